#include "vitals/views/PerformanceView.h"

#include "shell/ScreenState.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/SegmentedControl.h"
#include "vitals/AppState.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceFansPage.h"
#include "vitals/views/PerformanceOverviewPage.h"
#include "vitals/views/PerformanceSensorsPage.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QLabel>
#include <QShowEvent>

PerformanceView::PerformanceView(AppState* appState, PerformanceAutopilot* autopilot,
                                 ScreenState* screen, QWidget* parent)
    : QWidget(parent), m_appState(appState), m_autopilot(autopilot), m_screen(screen) {
    setObjectName(QStringLiteral("performanceView"));
    setWindowTitle(PerformanceText::windowTitle());

    using namespace QKLayout;
    flushColumn({row({16, 12, 16, 4},
                     {// The picker takes up to its 420 points of the row's spare width; the spacer
                      // the rest.
                      part(m_picker = new SegmentedControl(QKModeHost::titles<Mode>(), this))
                          .name(QStringLiteral("performanceModePicker"))
                          .accessibleName(windowTitle())
                          .with([](SegmentedControl* picker) {
                              picker->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
                              picker->setMaximumWidth(420);
                          })
                          .stretch(1),
                      stretch(1)}),
                 part(m_stack = new QKModeHost(
                          m_picker,
                          [this](int index, QWidget* parent) -> QWidget* {
                              switch (allCases<Mode>().value(index)) {
                              case Mode::Overview:
                                  return m_overview = new PerformanceOverviewPage(m_autopilot,
                                                                                  m_screen, parent);
                              case Mode::Sensors:
                                  return m_sensors = new PerformanceSensorsPage(parent);
                              case Mode::Fans:
                                  return m_fans = new PerformanceFansPage(parent);
                              }
                              return nullptr;
                          },
                          QKModeHost::Panes::Kept, this))
                     .stretch(1)})
        .on(this);
    m_progress = QKBusyPage::reading(PerformanceText::readingPage(), m_stack);
    m_stack->addWidget(m_progress);
    // The pages are built at once: each follows the snapshots from the first one on.
    for (int index = 0; index < allCases<Mode>().size(); ++index)
        m_stack->paneAt(index);

    m_stack->onPick<Mode>([this](Mode mode) {
        if (m_screen)
            m_screen->setPerformanceMode(mode);
    });
    if (screen)
        connect(screen, &ScreenState::performanceModeChanged, this, &PerformanceView::showMode);
    if (appState) {
        connect(appState, &AppState::snapshotChanged, this, &PerformanceView::onSnapshot);
        connect(appState, &AppState::hasFirstSampleChanged, this, &PerformanceView::showMode);
    }
    showMode();
}

PerformanceView::Mode PerformanceView::mode() const {
    return m_screen ? m_screen->performanceMode() : Mode::Overview;
}

bool PerformanceView::showsProgress() const {
    return m_stack->currentWidget() == m_progress;
}

void PerformanceView::showMode() {
    // Until the first sample every mode shows the progress page.
    const bool waiting = !m_appState || !m_appState->hasFirstSample();
    m_stack->setCover(waiting ? m_progress : nullptr);
    m_stack->showMode(mode());
    if (!waiting)
        refreshPage();
}

void PerformanceView::refreshPage() {
    if (!m_appState || showsProgress())
        return;
    const int index = int(mode());
    if (index < 0 || index >= 3 || !m_stale[index])
        return;
    const SystemSnapshot& s = m_appState->snapshot();
    switch (mode()) {
    case Mode::Overview:
        m_overview->showSnapshot(s);
        break;
    case Mode::Sensors:
        m_sensors->showSnapshot(s);
        break;
    case Mode::Fans:
        m_fans->showSnapshot(s);
        break;
    }
    m_stale[index] = false;
}

void PerformanceView::onSnapshot(const SystemSnapshot& snapshot) {
    for (bool& stale : m_stale)
        stale = true;
    refreshPage();
    if (m_autopilot && isVisible())
        m_autopilot->refreshCandidates(snapshot);
}

void PerformanceView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A spontaneous show is the window coming back (from minimised, say); the screen itself only
    // comes on show through a real show.
    if (!event->spontaneous() && m_autopilot && m_appState)
        m_autopilot->refreshCandidates(m_appState->snapshot());
}

void PerformanceView::askWhySlow() {
    QKBuild::ask(PerformanceText::askWhySlowQuestion());
}

void PerformanceView::askAboutHeat() {
    QKBuild::ask(PerformanceText::askAboutHeatQuestion());
}

void PerformanceView::askWhyFansAreLoud() {
    QKBuild::ask(PerformanceText::askAboutFansQuestion());
}
