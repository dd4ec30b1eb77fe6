#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QProcessEnvironment;

// Where the user's things live on this machine: the home folder, the XDG base folders and the
// XDG user folders, plus the one table that maps the home-relative paths the app's category
// tables are written in ("Library/Caches/pip", ".Trash", "Downloads") to their Linux places.
//
// A value type: every scanner and store is handed one, so tests can point them at a temporary
// home. Nothing here touches the disk except reading user-dirs.dirs in fromEnvironment().
class HomeLayout {
public:
    // A base-folder variable whose value was not used, and the default place used instead.
    struct IgnoredVariable {
        QString name;          // "XDG_STATE_HOME"
        QString value;         // as it was set
        QString usedInstead;   // the freedesktop default under the home
        bool relative = false; // not an absolute path (else: a place that is not the app data's)

        bool operator==(const IgnoredVariable&) const = default;
    };

    // From HOME, XDG_{CONFIG,DATA,CACHE,STATE}_HOME, XDG_RUNTIME_DIR and
    // $XDG_CONFIG_HOME/user-dirs.dirs; unset XDG values fall back to the freedesktop defaults
    // under HOME. A base folder is where the cleaners look for what is safe to clear, so a value
    // that would point them at files that are not app data is ignored (and listed in
    // ignoredVariables()), the default used instead: a relative path, or a folder that may not
    // be treated as app data (AppDataPlace: one that is or holds the home, a user or project
    // folder, /tmp or /var/tmp; one that is or lies in the runtime folder, /run, /dev, /proc,
    // /sys or a folder of keys), compared as canonical paths (symlinks, "..", trailing slashes),
    // as they stand on the disk at this moment.
    static HomeLayout fromEnvironment();
    static HomeLayout fromEnvironment(const QProcessEnvironment& environment);
    // The freedesktop defaults under the given home; no environment or file is read.
    static HomeLayout forHome(const QString& home);

    QString home() const { return m_home; }
    QString configHome() const { return m_config; }
    QString dataHome() const { return m_data; }
    QString cacheHome() const { return m_cache; }
    QString stateHome() const { return m_state; }
    // Empty when XDG_RUNTIME_DIR is unset.
    QString runtimeDir() const { return m_runtime; }

    QString desktopDir() const { return m_desktop; }
    QString downloadsDir() const { return m_downloads; }
    QString documentsDir() const { return m_documents; }
    QString picturesDir() const { return m_pictures; }
    QString moviesDir() const { return m_movies; }
    QString musicDir() const { return m_music; }

    // The freedesktop Trash of the home: $XDG_DATA_HOME/Trash (with files/ and info/ inside).
    QString trashDir() const { return m_data + QStringLiteral("/Trash"); }
    // The app's own data folder (JSON files, organizer journals): $XDG_DATA_HOME/Pendrel.
    QString appSupportDir() const { return m_data + QStringLiteral("/Pendrel"); }
    // The app's own settings folder (defaults): $XDG_CONFIG_HOME/Pendrel.
    QString appConfigDir() const { return m_config + QStringLiteral("/Pendrel"); }
    // Desktop, Downloads, Documents, Pictures, Videos and Music, as placed here.
    QStringList userFolders() const {
        return {m_desktop, m_downloads, m_documents, m_pictures, m_movies, m_music};
    }
    // The folders under the home where people keep their code: ~/Developer, ~/Projects, ~/src,
    // ~/code and ~/work. Their contents are the user's own, as the user folders' are.
    QStringList projectFolders() const;
    QString autostartDir() const { return m_config + QStringLiteral("/autostart"); }

    // The root the system-wide places below hang from: "/" on a running machine, a sandbox in
    // tests. Only systemApplicationDirs() reads it.
    QString systemRoot() const {
        return m_systemRoot.isEmpty() ? QStringLiteral("/") : m_systemRoot;
    }
    void setSystemRoot(const QString& v);

    // Where applications are installed here, for the other platform's "/Applications" and
    // "~/Applications". The system's: /opt and the system's Flatpak apps (/var/lib/flatpak/app),
    // under systemRoot(). The user's: the home's Applications folder (where AppImages are kept)
    // and the user's Flatpak apps ($XDG_DATA_HOME/flatpak/app).
    QStringList systemApplicationDirs() const;
    QStringList userApplicationDirs() const;

    // Where the user's logs are kept here, for the other platform's "Library/Logs", which has no
    // single counterpart. Folders in which the files named *.log are the logs, among other state:
    // $XDG_STATE_HOME and the X server's own $XDG_DATA_HOME/xorg. And the session's error logs,
    // logs by name: ~/.xsession-errors and ~/.xsession-errors.old.
    QStringList logFolders() const;
    QStringList sessionLogs() const;

    // Maps a home-relative path written for the other platform to an absolute path here.
    // The longest matching row of the table wins, matched on whole path components; a path with
    // no counterpart stays literal under home (and is normally absent). A leading "~/" or "/" is
    // ignored; an empty path gives home itself.
    QString map(const QString& homeRelative) const;

    // The base-folder variables fromEnvironment() did not use, in the order config, data,
    // cache, state; empty for a layout made any other way.
    const QList<IgnoredVariable>& ignoredVariables() const { return m_ignored; }
    // Those whose default place is, or holds, one of the paths (compared as written): the
    // variables a table row's places would have followed.
    QList<IgnoredVariable> ignoredVariablesFor(const QStringList& paths) const;

    void setHome(const QString& v) { m_home = v; }
    void setDataHome(const QString& v) { m_data = v; }
    void setCacheHome(const QString& v) { m_cache = v; }
    void setStateHome(const QString& v) { m_state = v; }
    void setDownloadsDir(const QString& v) { m_downloads = v; }
    void setDesktopDir(const QString& v) { m_desktop = v; }
    void setDocumentsDir(const QString& v) { m_documents = v; }

    // Reads XDG_*_DIR lines of a user-dirs.dirs text ("$HOME/..." or absolute paths) into the
    // user folders; lines it does not understand, relative paths and a folder that is or lies
    // above the home (not a folder of the user's own) are ignored.
    void applyUserDirs(const QString& userDirsText);

private:
    QString m_home, m_config, m_data, m_cache, m_state, m_runtime;
    QString m_desktop, m_downloads, m_documents, m_pictures, m_movies, m_music;
    QString m_systemRoot; // empty: "/"
    QList<IgnoredVariable> m_ignored;
};
