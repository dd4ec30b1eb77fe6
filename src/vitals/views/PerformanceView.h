#pragma once

#include "vitals/PerformanceMode.h"

#include <QPointer>
#include <QWidget>

class QKModeHost;
class AppState;
class PerformanceAutopilot;
class PerformanceFansPage;
class PerformanceOverviewPage;
class PerformanceSensorsPage;
class ScreenState;
class SegmentedControl;
struct SystemSnapshot;

// The Performance section: what the machine is doing right now and why. A segmented picker
// switches among the overview, the sensors page and the fans page; the choice lives in
// ScreenState::performanceMode, so it survives leaving the section, and the temperature card's
// links set it too. Until AppState has published its first sample every mode shows
// "Reading your Mac…".
//
// The pages are built once and follow AppState::snapshotChanged in place (only the page on show
// is updated; a page coming on show is brought up to date first).
//
// The autopilot feed: while this screen is shown (visible on screen, window included) every
// snapshot AppState publishes is handed to PerformanceAutopilot::refreshCandidates, and the
// current one once each time the screen comes on show. Hidden or destroyed, it hands over
// nothing, so the autopilot's list, and its auto-quit, stand still.
//
// The three services are not owned; each may be null (that part then shows nothing).
class PerformanceView : public QWidget {
    Q_OBJECT
public:
    using Mode = PerformanceMode;

    PerformanceView(AppState* appState, PerformanceAutopilot* autopilot, ScreenState* screen,
                    QWidget* parent = nullptr);

    // Whether it still waits for the first sample, with no page of a mode on show.
    bool showsProgress() const;

    // The actions of the ask buttons: post the question to the assistant.
    static void askWhySlow();
    static void askAboutHeat();
    static void askWhyFansAreLoud();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Mode mode() const;
    void showMode();
    void refreshPage();
    void onSnapshot(const SystemSnapshot& snapshot);

    QPointer<AppState> m_appState;
    QPointer<PerformanceAutopilot> m_autopilot;
    QPointer<ScreenState> m_screen;
    SegmentedControl* m_picker;
    QKModeHost* m_stack;
    QWidget* m_progress;
    PerformanceOverviewPage* m_overview = nullptr;
    PerformanceSensorsPage* m_sensors = nullptr;
    PerformanceFansPage* m_fans = nullptr;
    // Pages whose texts are older than the latest snapshot (updated when they come on show).
    bool m_stale[3] = {true, true, true};
};
