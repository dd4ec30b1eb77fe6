#pragma once

#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Small reads of the kernel's text files under /proc and /sys, done with plain system calls
// because a sample reads hundreds of them. Nothing here throws, and nothing waits on what is
// not a plain file: every file is opened non-blocking and read only when it is a regular file
// (as every /proc and /sys attribute is), so a FIFO or device put in a file's place gives none
// at once instead of stalling the sampler.
namespace KernelFiles {

// The whole file (files larger than maxBytes are cut there), or none when it cannot be opened or
// read or is not a regular file. An empty file gives an empty array, not none.
std::optional<QByteArray> read(const QString& path, qsizetype maxBytes = 64 * 1024);

// The file's first line with surrounding white space removed, or none.
std::optional<QByteArray> readLine(const QString& path);

// The file's first line as a whole decimal integer (optional sign, surrounding white space
// allowed), or none when missing, empty or not exactly a number.
std::optional<qint64> readInteger(const QString& path);
// The same, and none as well when the number lies outside min…max: the kernel's files hold
// what a driver wrote, and a value no hardware can have is no reading.
std::optional<qint64> readInteger(const QString& path, qint64 min, qint64 max);

// Entry names of a folder (following symlinks), without "." and "..", in the order the kernel
// gives them; empty when the folder cannot be read.
QStringList listDir(const QString& path);

// Sorts names such as "hwmon10", "hwmon2" by their text with embedded numbers compared as
// numbers ("hwmon2" before "hwmon10").
void sortNatural(QStringList& names);

// One device folder of a kernel class: its name ("hwmon2") and its path, ending in '/'.
struct ClassFolder {
    QString name;
    QString path;
};
// The folders of <sysRoot>/class/<className>, in sortNatural's order (as they are numbered).
QList<ClassFolder> classFolders(const QString& sysRoot, QLatin1String className);

} // namespace KernelFiles
