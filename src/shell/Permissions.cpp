#include "shell/Permissions.h"

#include <QFile>
#include <QFileInfo>

Permissions::FileAccess Permissions::FileAccess::real() {
    return {[](const QString& path) { return QFileInfo(path).isReadable(); },
            [](const QString& path) {
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly))
                    return false;
                const qint64 size = file.size();
                const QByteArray bytes = file.readAll();
                return file.error() == QFileDevice::NoError && bytes.size() == size;
            }};
}

Permissions::Permissions(std::function<bool()> probe, QObject* parent) : QObject(parent) {
    setHasFullDiskAccess(probe ? probe() : false);
}

Permissions* Permissions::shared() {
    static Permissions* instance = new Permissions(&Permissions::probeFullDiskAccess);
    return instance;
}

bool Permissions::probeFullDiskAccess() {
    return true;
}

bool Permissions::probeFullDiskAccessIn(const QString& home, const FileAccess& access) {
    const QString candidates[] = {
        home + QStringLiteral("/Library/Application Support/com.apple.TCC/TCC.db"),
        home + QStringLiteral("/Library/Safari/Bookmarks.plist"),
    };
    for (const QString& path : candidates) {
        if (access.isReadable(path) && access.readWhole(path))
            return true;
    }
    return false;
}

void Permissions::openFullDiskAccessSettings() {
    qInfo("Pendrel: there is no Full Disk Access setting on this system; nothing to open.");
}

void Permissions::setHasFullDiskAccess(bool value) {
    if (value == m_has)
        return;
    m_has = value;
    emit hasFullDiskAccessChanged(value);
}
