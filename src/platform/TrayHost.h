#pragma once

#include <QObject>

// Whether the desktop offers a place for a tray icon (a status-notifier host or an XEmbed
// system tray) right now. Trays come and go: a panel often starts after the apps of a login, and
// a panel that crashes takes its tray with it, so the answer is followed for the whole run.
// Main thread only.
class TrayHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isAvailable() const = 0;

signals:
    // Emitted once per change, after isAvailable() has taken the new value.
    void availabilityChanged(bool available);
};
