#pragma once

#include <QString>

// Where the startup items service puts a file that stands in the way of a switch: the Trash,
// never a plain delete. A seam of its own so tests never reach the real Trash.
class StartupItemTrash {
public:
    virtual ~StartupItemTrash() = default;
    // False with the system's description when the file could not be moved to the Trash.
    virtual bool moveToTrash(const QString& path, QString* error) = 0;
};

// The freedesktop Trash of the file's volume, through QFile::moveToTrash.
class QtStartupItemTrash final : public StartupItemTrash {
public:
    bool moveToTrash(const QString& path, QString* error) override;
};
