#include "ui-kit/QKFileIcons.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

namespace {

// The type a regular file's name (or the name of a link to one) gives, or nothing for anything
// else: a folder or a special file is left to the generic answers.
QMimeType typeByName(const QFileInfo& info) {
    if (!info.isFile())
        return {};
    return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
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
    // hears of folders and special files.
    if (!info.isFile())
        return QAbstractFileIconProvider::type(info);
    const QMimeType type = typeByName(info);
    return type.isValid() ? type.comment() : QAbstractFileIconProvider::type(info);
}
