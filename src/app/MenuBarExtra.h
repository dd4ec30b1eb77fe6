#pragma once

#include "shell/Services.h"

#include <QObject>
#include <QPixmap>
#include <memory>

class QSystemTrayIcon;
class QWidget;

// The menu-bar extra: a tray icon labelled with a painted "P" (with a cup badge while
// keep-awake is on) that drops down the menu-bar panel. Present in every run mode.
class MenuBarExtra : public QObject {
    Q_OBJECT
public:
    explicit MenuBarExtra(const Services& services, QObject* parent = nullptr);
    ~MenuBarExtra() override;

    // The label, 18 × 16 points: "P" in a semibold serif face at 13 points, and, when badge is
    // true, the cup symbol at 7 points moved 7 right and 5 down from the centre. The glyph is
    // drawn in ink with a faint rim of the opposite lightness, so it reads on any panel.
    static QPixmap label(bool badge, qreal devicePixelRatio = 2.0, QColor ink = QColor());
    // Dark ink on a light desktop palette, light ink on a dark one.
    static QColor defaultInk();

    QWidget* panel() const { return m_panel.get(); }
    void togglePanel();

signals:
    void openMainWindowRequested();
    void quitRequested();

private:
    void updateIcon();

    Services m_services;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    std::unique_ptr<QWidget> m_panel;
};
