#pragma once

#include <optional>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A freedesktop desktop entry (".desktop" file) read into its groups and keys, as the freedesktop
// Desktop Entry standard and the session managers that read autostart folders understand it.
//
// Reading never fails: text that is not an entry simply yields no groups. Line by line, after
// leading white space: blank lines and "#" lines are comments; "[Name]" opens a group (a later
// header of the same name continues that group); "Key=Value" sets a key of the open group, white
// space around "=" ignored; anything else, and keys before the first group, are passed over.
// A key set twice keeps its last value. Bytes that are not UTF-8 are replaced, never trusted.
class DesktopEntry {
public:
    static constexpr auto MainGroup = "Desktop Entry";
    // Larger files are not read at all: no entry in an autostart folder is anywhere near this.
    static constexpr qsizetype MaxFileBytes = 1024 * 1024;

    static DesktopEntry parse(const QByteArray& text);
    // None when the path is not a regular file (a folder, a pipe), cannot be read, or is larger
    // than MaxFileBytes.
    static std::optional<DesktopEntry> readFile(const QString& path);

    // Group names in the order they first appear.
    QStringList groups() const { return m_order; }
    // True when the first group is "Desktop Entry", which the Desktop Entry standard requires.
    bool isValid() const;

    // The value exactly as written (escapes not undone), for a key including any "[locale]".
    std::optional<QString> rawValue(const QString& group, const QString& key) const;
    // A string value with its escapes undone.
    std::optional<QString> string(const QString& group, const QString& key) const;
    // A localestring: the best of key[lang_COUNTRY@MODIFIER], key[lang_COUNTRY],
    // key[lang@MODIFIER], key[lang] and key for a POSIX locale such as "de_AT.UTF-8@euro"
    // (the encoding is ignored; "C", "POSIX" and "" take the plain key).
    std::optional<QString> localeString(const QString& group, const QString& key,
                                        const QString& locale) const;
    // "true" or "1", "false" or "0"; anything else counts as absent.
    std::optional<bool> boolean(const QString& group, const QString& key) const;
    // A ";"-separated list ("\;" keeps a semicolon inside an element); the trailing ";" is
    // optional.
    std::optional<QStringList> stringList(const QString& group, const QString& key) const;

    // Whether a session starts this entry from an autostart folder: false when its main group
    // says "Hidden=true" or "X-GNOME-Autostart-enabled=false".
    bool autostarts() const;
    // The program of the "Exec" key: its first argument with quoting undone; empty when there is
    // no Exec or its quoting is malformed.
    QString program() const;

    // Undoes the string escapes \s \n \t \r \\ (and \; when inList). An unknown escape is kept
    // as written.
    static QString unescape(const QString& value, bool inList = false);
    // Splits an (already unescaped) Exec value into arguments: double quotes group, and inside
    // them a backslash keeps the next of " ` $ \ literal. Field codes (%f, %U, ...) standing
    // alone are dropped, "%%" gives "%". None when a quote is left open.
    static std::optional<QStringList> splitExec(const QString& exec);

    // The locale that names are shown in, from LC_ALL, LC_MESSAGES or LANG (the first set),
    // as found in the given environment lookup.
    static QString messagesLocale(const QByteArray& lcAll, const QByteArray& lcMessages,
                                  const QByteArray& lang);

private:
    struct Group {
        QHash<QString, QString> values;
    };
    QHash<QString, Group> m_groups;
    QStringList m_order;
};
