#pragma once

#include "platform/HomeLayout.h"
#include "storage/FolderOrganizer.h"
#include "support/TestSupport.h"

#include <ostream>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <sys/stat.h>
#include <utime.h>

// Readable failures for the organizer's state.
inline void PrintTo(const FolderOrganizer::State& s, std::ostream* os) {
    *os << "kind " << int(s.kind) << " done " << s.done << "/" << s.total << " moved " << s.moved
        << " failed " << s.failed << (s.undo ? " (undo)" : "") << " \"" << s.message.toStdString()
        << "\"";
}

namespace organizertest {

// A home whose data folder (and so the journals) lies inside it, under .local.
inline HomeLayout layoutFor(const QString& home) {
    return HomeLayout::forHome(home);
}

// Writes the text and sets the modification time (default: 40 days before now).
inline void makeFile(const QString& path, const QByteArray& bytes = "x",
                     QDateTime mtime = QDateTime::currentDateTimeUtc().addDays(-40)) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(bytes);
    f.close();
    struct utimbuf times;
    times.actime = times.modtime = time_t(mtime.toSecsSinceEpoch());
    ::utime(QFile::encodeName(path).constData(), &times);
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry below root except the app's data under .local: path → size, hash and mtime of a
// file, "dir" for a folder, "link" for a symlink.
inline QMap<QString, QString> snapshot(const QString& root) {
    QMap<QString, QString> out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(root.size() + 1);
        if (rel.startsWith(QLatin1String(".local")))
            continue;
        struct stat st;
        ::lstat(QFile::encodeName(path).constData(), &st);
        if (S_ISLNK(st.st_mode))
            out.insert(rel, QStringLiteral("link"));
        else if (S_ISDIR(st.st_mode))
            out.insert(rel, QStringLiteral("dir"));
        else
            out.insert(rel,
                       QStringLiteral("%1 %2 %3.%4")
                           .arg(st.st_size)
                           .arg(QString::fromLatin1(
                               QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256)
                                   .toHex()))
                           .arg(qint64(st.st_mtim.tv_sec))
                           .arg(qint64(st.st_mtim.tv_nsec)));
    }
    return out;
}

} // namespace organizertest
