#include "ui-kit/QKFileIcons.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

namespace {

// The type the name gives; anything but a folder is told by its name (a listing's file info may
// not know yet what the entry is, and the generic answer would then look inside).
QMimeType typeByName(const QFileInfo& info) {
    return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

} // namespace

QKFileIcons::QKFileIcons() {
    setOptions(DontUseCustomDirectoryIcons);
}

QKFileIcons& QKFileIcons::shared() {
    static QKFileIcons provider;
    return provider;
}

QIcon QKFileIcons::icon(const QFileInfo& info) const {
    if (info.isDir())
        return icon(Folder);
    const QMimeType type = typeByName(info);
    if (!type.isValid())
        return icon(File);
    QIcon themed = QIcon::fromTheme(type.iconName());
    if (themed.isNull())
        themed = QIcon::fromTheme(type.genericIconName());
    return themed.isNull() ? icon(File) : themed;
}

QString QKFileIcons::type(const QFileInfo& info) const {
    // The generic answer sniffs the content of a file (a link's target included), so it only
    // hears of folders.
    if (info.isDir())
        return QAbstractFileIconProvider::type(info);
    const QMimeType type = typeByName(info);
    return type.isValid() ? type.comment() : QString();
}
