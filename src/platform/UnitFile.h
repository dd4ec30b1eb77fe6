#pragma once

#include <optional>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A systemd unit file read into its sections and assignments, by the rules of systemd's own
// reader: lines are trimmed; blank lines and lines starting with "#" or ";" are comments; a line
// ending in a backslash continues on the next (the backslash becomes a space, and comment lines
// in between are skipped); "[Section]" opens a section; "Key=Value" assigns, white space around
// "=" ignored; assignments before the first section and lines without "=" are passed over.
//
// Reading never fails and never follows drop-ins or includes: it is one file's text.
class UnitFile {
public:
    // Larger files are not read at all; no real unit is anywhere near this.
    static constexpr qsizetype MaxFileBytes = 1024 * 1024;

    static UnitFile parse(const QByteArray& text);
    // None when the path is not a regular file, cannot be read, or is larger than MaxFileBytes.
    static std::optional<UnitFile> readFile(const QString& path);

    QStringList sections() const { return m_order; }
    // The last assignment of the key, or none.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Every assignment of a list-valued key in order; an empty assignment clears the ones
    // before it, as systemd does for ExecStart= and its kin.
    QStringList values(const QString& section, const QString& key) const;

    // The program a service starts: the first word of its first ExecStart= command, with the
    // command's prefix characters ("@", "-", ":", "+", "!") and quoting removed. Empty for
    // units that start no command (sockets, timers, targets) or malformed quoting.
    QString program() const;
    // [Unit] Description=, or none when missing or empty.
    std::optional<QString> description() const;

    // Splits a command line by systemd's quoting rules: words separated by white space, single
    // or double quotes group, a backslash keeps a separator in its word, and C escapes (\n, \t,
    // \\, \", \xNN, \NNN octal, \uXXXX, ...) are undone. None when a quote is left open or an
    // escape is malformed.
    static std::optional<QStringList> splitCommandLine(const QString& line);
    // Expands the unit-name specifiers %n %N %p %i %I %j and %% for a unit named like
    // "getty@tty1.service"; other specifiers are left as written.
    static QString expandSpecifiers(const QString& text, const QString& unitName);

private:
    struct Assignment {
        QString key;
        QString value;
    };
    QHash<QString, QList<Assignment>> m_sections;
    QStringList m_order;
};
