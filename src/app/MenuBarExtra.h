#pragma once

#include "shell/Services.h"

#include <memory>
#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QPixmap>

class QSystemTrayIcon;
class QWidget;

// The menu-bar extra: a tray icon labelled with a painted "P" (with a cup badge while
// keep-awake is on) that drops down the menu-bar panel. Present in every run mode, for as long
// as the desktop has a tray (PendrelApp follows the tray).
//
// The label follows KeepAwakeManager::isActive live, with nothing reopened. Its ink follows the
// desktop, not the app's own appearance: the tray belongs to the desktop's panel, so an app set
// to Dark on a light desktop still gets dark ink. The panel behaves as a popup: a click outside
// (the panel losing activation) or Escape closes it, and the click on the tray icon that closed
// it does not open it again at once; it is a tool window, so assistive technology reaches it
// from the application as it reaches the main window. Where a
// compositor runs the panel is a translucent window with antialiased round corners; without one
// it is shaped by a mask.
class MenuBarExtra : public QObject {
    Q_OBJECT
public:
    struct Options {
        // False: no tray icon is made (tests); the label and the panel behave the same.
        bool systemTray = true;
    };

    explicit MenuBarExtra(const Services& services, QObject* parent = nullptr);
    MenuBarExtra(const Services& services, Options options, QObject* parent = nullptr);
    ~MenuBarExtra() override;

    // The label's frame is 18 × 16 points: "P" in the semibold serif face at 13 points centred
    // in it, and, when badge is true, the cup symbol drawn 7 points tall with its centre 7 right
    // and 5 down from the frame's centre. The badge reaches past the frame's right and bottom
    // edges, so the pixmap is a square of labelCanvas points with the frame centred in it (tray
    // slots are square too); around the badge the "P" is cleared by a hairline so the two read
    // apart. The frame is a rounded plate of the opposite lightness (plateFor) with the letter
    // in ink on it, and the badge has an edge of the plate's colour all round, so the label
    // reads on a light and on a dark tray whatever the ink: a tray's colour need not match the
    // desktop's preference. An invalid ink means defaultInk().
    static constexpr int labelCanvas = 22;
    static QPixmap label(bool badge, qreal devicePixelRatio = 2.0, QColor ink = QColor());
    // Dark ink on a light desktop, light ink on a dark one (the desktop's own preference).
    static QColor defaultInk();
    static QColor inkFor(bool darkDesktop);
    // The plate behind ink: near-black behind a light ink, near-white behind a dark one.
    static QColor plateFor(const QColor& ink);

    // What the tray shows now: the label with or without the badge.
    bool badgeShown() const { return m_badgeShown; }
    QIcon icon() const { return m_icon; }

    QWidget* panel() const { return m_panel.get(); }
    void togglePanel();

signals:
    void openMainWindowRequested();
    void quitRequested();
    // The tray's icon was replaced (badge shown or removed, or the ink changed).
    void iconChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateIcon();

    Services m_services;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    std::unique_ptr<QWidget> m_panel;
    QIcon m_icon;
    bool m_badgeShown = false;
    QElapsedTimer m_sinceHidden;
};
