#pragma once

#include <functional>
#include <QDBusConnection>
#include <QString>
#include <QUrl>

// Shows a file to the user in their file manager, selected in its folder.
class FileRevealer {
public:
    // Told once, on the main thread, whether anything took the request: true when a file
    // manager or an opener accepted it, false when nothing could show the file. It may be told
    // before reveal returns.
    using Outcome = std::function<void(bool shown)>;

    virtual ~FileRevealer() = default;
    // Returns at once; the file manager appears when it is ready. A missing file still has its
    // folder opened where that exists. outcome may be empty.
    virtual void reveal(const QString& path, Outcome outcome) = 0;
};

// Asks the desktop's file manager over the session bus (org.freedesktop.FileManager1
// ShowItems, which the common file managers serve and the bus can start). When the bus is not
// there or the call fails, opens the folder that holds the file instead; the outcome is false
// only when that opener refuses too (no launcher found).
//
// Main thread only; the bus call is asynchronous, so a slow or absent file manager never
// blocks the caller.
class FileManagerRevealer final : public FileRevealer {
public:
    using OpenUrl = std::function<bool(const QUrl&)>;
    // Gives the bus to call at the moment of a reveal, so nothing connects before it is needed.
    using Bus = std::function<QDBusConnection()>;

    // bus: the session bus, and openUrl: QDesktopServices::openUrl, unless a caller hands in
    // its own.
    explicit FileManagerRevealer(Bus bus = {}, OpenUrl openUrl = {});

    void reveal(const QString& path, Outcome outcome) override;

    // The folder opened when the file manager cannot be asked.
    static QUrl fallbackFolder(const QString& path);
    // The file:// URI of a path (made absolute), built from the path's own bytes (NativePath),
    // each byte outside the unreserved set and "/" percent-encoded: a name that is not UTF-8
    // reaches the file manager as the name on disk ("c%FF.pdf"), not as another.
    static QString fileUri(const QString& path);

private:
    Bus m_bus;
    OpenUrl m_open;
};
