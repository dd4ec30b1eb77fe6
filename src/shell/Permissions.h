#pragma once

#include <functional>
#include <QObject>
#include <QString>

// Whether the app may read the user's protected files ("Full Disk Access").
//
// The probe tries to read two files that only a trusted app can read, in order, and succeeds on
// the first whole read; their contents are never looked at. Linux has no such gate, so the
// backend used by the app reports access granted; the probe itself is kept for the screens that
// offer a fresh check, and runs against whatever home and file access it is given.
class Permissions : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool hasFullDiskAccess READ hasFullDiskAccess WRITE setHasFullDiskAccess NOTIFY
                   hasFullDiskAccessChanged)
public:
    struct FileAccess {
        std::function<bool(const QString& path)> isReadable;
        std::function<bool(const QString& path)> readWhole; // true when the whole read succeeded
        static FileAccess real();
    };

    // Starts false, then takes the probe's result (observers see one change at most).
    explicit Permissions(std::function<bool()> probe, QObject* parent = nullptr);
    static Permissions* shared();

    // The probe the app uses on this platform: access is always granted on Linux.
    static bool probeFullDiskAccess();
    // The probe's algorithm against a home folder: the privacy database first, then the
    // browser bookmarks.
    static bool probeFullDiskAccessIn(const QString& home, const FileAccess& access);
    // No settings pane exists for this on Linux: logs and opens nothing.
    static void openFullDiskAccessSettings();

    bool hasFullDiskAccess() const { return m_has; }
    void setHasFullDiskAccess(bool value);

signals:
    void hasFullDiskAccessChanged(bool value);

private:
    bool m_has = false;
};
