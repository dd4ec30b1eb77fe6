#pragma once

#include "platform/Trash.h"

#include <QMutex>
#include <QString>

// The home Trash of the freedesktop Trash standard ($XDG_DATA_HOME/Trash, handed in), as
// the file managers of the desktop read it: items in files/, one info/<name>.trashinfo each with
// the percent-encoded original path and the deletion date, and an optional directorysizes cache.
//
// An item on the Trash's own file system is moved here by rename, after its .trashinfo has been
// created exclusively (so two movers never take one name). An item on another file system goes
// through QFile::moveToTrash, which finds that volume's own Trash. Missing Trash folders are
// created (mode 0700) before anything is moved, so a fresh account never loses a file to a
// half-made Trash.
class FreedesktopTrash : public Trash {
public:
    explicit FreedesktopTrash(QString trashDir);

    bool moveToTrash(const QString& path, QString* error) override;
    QString itemsFolder() const override { return m_dir + QStringLiteral("/files"); }
    bool erase(const QString& itemPath, QString* error) override;

    QString infoFolder() const { return m_dir + QStringLiteral("/info"); }

    // The Path= value of a .trashinfo: the absolute path's bytes, percent-encoded except for
    // unreserved characters and "/".
    static QByteArray encodePath(const QString& absolutePath);
    // The name an item takes in files/ on its attempt-th try: "photo.png", "photo.2.png", …
    static QString candidateName(const QString& fileName, int attempt);

private:
    bool ensureFolders(QString* error) const;
    void dropDirectorySize(const QString& name);

    QString m_dir;
    QMutex m_sizesLock; // directorysizes is rewritten whole
};
