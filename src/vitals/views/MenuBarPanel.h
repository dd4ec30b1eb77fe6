#pragma once

#include "ui-kit/QKFocusHold.h"

#include <QList>
#include <QWidget>

namespace QKLayout {
class Box;
class Item;
} // namespace QKLayout
class AppState;
class KeepAwakeManager;
class MenuBarButton;
class MenuBarMetricRow;
class QKLineLabel;
class QKSymbol;
class QLabel;
class QKStatusDot;
class Sparkline;

// The panel that drops down from the menu-bar extra: a quick view of the machine from AppState's
// latest snapshot (worded by MenuBarText), and five one-click actions (free up memory, keep-awake
// on/off, open the main window, refresh now, quit).
//
// It reads AppState and KeepAwakeManager only through their published values and follows every
// change in place; it keeps no state of its own beyond what it shows. Its actions are handed on:
// AppState::freeMemory and AppState::sampleAndPublish, KeepAwakeManager::start and stop("Turned
// off"), and the two signals below for what belongs to the app (the main window, quitting).
//
// The panel is 290 wide and as tall as its content; its height follows rows appearing and
// disappearing and the text-size step. It paints a rounded, outlined panel and shapes itself
// (a mask) to that outline, so as a popup window it drops down with rounded corners.
//
// One addition to the plain read-only view: when the keep-awake switch of this panel asks
// keep-awake to start and it stays off (on battery with "only while on power", or the system
// refused), the reason KeepAwakeManager gives (lastNote) is shown where the status line would
// be, so the click does not go unanswered. It goes away as soon as keep-awake changes state or
// the switch is used again.
class MenuBarPanel : public QWidget {
    Q_OBJECT
public:
    MenuBarPanel(AppState& appState, KeepAwakeManager& keepAwake, QWidget* parent = nullptr);

    static constexpr int panelWidth = 290;

signals:
    void openMainWindowRequested();
    void quitRequested();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The panel's rows, top to bottom: the header, the keep-awake status, freeing memory and its
    // result, the memory breakdown, the two histories, battery and heat, then the actions.
    void buildRows();
    QKLayout::Box headerRow();
    QKLayout::Item keepAwakeStatus();
    QKLayout::Box breakdownRows();
    QKLayout::Box histories();
    QKLayout::Box actions();
    // Reads every published value once and brings each row up to date.
    void render();
    void fitHeight();
    void updateShape();

    void freeMemory();
    void toggleKeepAwake();
    void openMainWindow();
    void refresh();

    AppState& m_appState;
    KeepAwakeManager& m_keepAwake;
    bool m_startRefused = false;

    QKStatusDot* m_dot = nullptr;
    QLabel* m_headline = nullptr;
    QWidget* m_keepAwakeRow = nullptr;
    QKSymbol* m_keepAwakeSymbol = nullptr;
    QLabel* m_keepAwakeText = nullptr;
    MenuBarButton* m_freeButton = nullptr;
    QLabel* m_freedLine = nullptr;
    QList<QKLineLabel*> m_breakdownLabels;
    QList<QKLineLabel*> m_breakdownValues;
    MenuBarMetricRow* m_memoryRow = nullptr;
    Sparkline* m_memoryChart = nullptr;
    MenuBarMetricRow* m_diskRow = nullptr;
    Sparkline* m_diskChart = nullptr;
    QWidget* m_batteryRow = nullptr;
    QKSymbol* m_batterySymbol = nullptr;
    QLabel* m_batteryText = nullptr;
    QWidget* m_heatRow = nullptr;
    QKSymbol* m_heatSymbol = nullptr;
    QLabel* m_heatText = nullptr;
    MenuBarButton* m_keepAwakeButton = nullptr;
    MenuBarButton* m_openButton = nullptr;
    MenuBarButton* m_refreshButton = nullptr;
    MenuBarButton* m_quitButton = nullptr;
    // "Free up memory" is off while it frees; its focus waits on the panel meanwhile.
    QKFocusHold m_hold{this};
};
