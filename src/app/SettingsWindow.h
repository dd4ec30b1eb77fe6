#pragma once

#include <QMargins>
#include <QRect>
#include <QWidget>

class QScrollArea;
class RunModeManager;
class SettingsView;
class UpdaterManager;

// The settings window ("Pendrel Settings"). It works on the process-wide run-mode and update
// managers, the same objects the main window sees, so a change shows in both at once.
//
// The window is as tall as the form needs at its fixed width, and always inside the work area
// of its screen (the screen less panels and docks), frame included: it is fitted before it is
// first shown, again whenever the form's height changes (text size, an error line coming or
// going) and once the window manager has told us the frame's size. A form taller than the work
// area scrolls.
//
// Escape and Ctrl+W close it, as they close the desktop's other settings windows, unless the
// focused control takes the key itself.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent = nullptr);

    // Sizes and places the window inside `available` (a work area in global coordinates). A
    // window not yet placed is centred in it; a placed one keeps its position unless its frame
    // would reach past an edge, in which case it is moved (and, if need be, shortened) to fit.
    void fitInto(const QRect& available);
    // The work area of the screen the window shows on (or will show on when first opened: the
    // screen under the pointer).
    QRect availableArea() const;

    void setVisible(bool visible) override;

signals:
    // The window was sized and placed again (after a real change of the form, a first showing
    // or a late frame; never in answer to its own re-layout).
    void fitted();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The frame the window manager draws around the window; before the window is on screen the
    // best guess we have (a title bar).
    QMargins frameMargins() const;
    int formHeight() const;
    // The form's height from the layouts as they stand, without refreshing any size hint.
    int laidOutHeight() const;
    void queueFit();

    QScrollArea* m_scroll = nullptr;
    SettingsView* m_view = nullptr;
    bool m_placed = false;
    bool m_fitQueued = false;
    int m_fittedHeight = -1;
    QMargins m_fittedFrame;
};
