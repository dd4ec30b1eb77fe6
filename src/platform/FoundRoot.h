#pragma once

#include "platform/FolderAt.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A folder a walk searched, opened again when what the walk found there is acted on, so that
// each find is reached as the walk reached it: the folder itself as the walk opened it (a link
// at its own path is followed), and every folder between it and the find by name from the one
// above, never through a link (DirectoryWalker never enters one). A folder on the way that was
// swapped for a link since, pointing anywhere, leads nowhere: the find behind it is not reached.
//
// The folder is opened once, when the object is made, and held: a find reached later goes
// through that same folder even if its path has been given to another since.
class FoundRoot {
public:
    // Why a find could not be reached, besides the system's errno values.
    static constexpr int NotBelow = -1; // the find does not lie below the folder by its path

    // What reach() opened: the folder holding the find (a locating descriptor, good for the *at
    // calls and fstat) and the find's own name in it; or, when error is not 0, nothing.
    struct Reached {
        FolderAt::Fd folder;
        QByteArray name;
        int error = 0;
    };

    explicit FoundRoot(const QString& path);

    bool isOpen() const { return bool(m_fd); }
    // The errno of the open when it failed.
    int openError() const { return m_openError; }
    // In clean form.
    const QString& path() const { return m_path; }
    int fd() const { return m_fd.get(); }

    // Whether `find` lies strictly below path() by its text (both compared in clean form).
    bool holds(const QString& find) const;
    // The folder holding `find` reached from this one, for a find that lies strictly below path()
    // by its text (both compared in clean form). error: NotBelow, ELOOP or ENOTDIR when a folder
    // on the way is now a link or no folder, or another errno of the open (ENOENT when a folder
    // on the way is gone; the open error when this folder could not be opened).
    Reached reach(const QString& find) const;

    // The folder among `folders` that holds `find` by its text, the innermost one when they nest;
    // empty when none does.
    static QString holderOf(const QStringList& folders, const QString& find);

private:
    QString m_path;
    FolderAt::Fd m_fd;
    int m_openError = 0;
};
