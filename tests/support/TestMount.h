#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <sys/mount.h>

namespace testsupport {

// A tmpfs, or with `from` a bind mount of that folder or file, mounted at the first place; it
// is unmounted however the test ends, also at one of the other places (where a faulty move would
// have taken it). ok is false where this process may not mount (not root, no mount namespace):
// such a test skips.
struct Mount {
    QList<QByteArray> places;
    bool ok = false;
    explicit Mount(const QStringList& at, const QString& from = QString()) {
        for (const QString& path : at)
            places.append(QFile::encodeName(path));
        ok = from.isEmpty()
                 ? ::mount("tmpfs", places.first().constData(), "tmpfs", 0, "size=1m") == 0
                 : ::mount(QFile::encodeName(from).constData(), places.first().constData(), nullptr,
                           MS_BIND, nullptr) == 0;
    }
    ~Mount() {
        for (const QByteArray& place : places) {
            if (ok && ::umount2(place.constData(), MNT_DETACH) == 0)
                break;
        }
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;
};

} // namespace testsupport
