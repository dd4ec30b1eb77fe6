#include "vitals/views/PerformanceView.h"
#include "ui-kit/QKBuild.h"

#include "shell/ScreenState.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/SegmentedControl.h"
#include "vitals/AppState.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceFansPage.h"
#include "vitals/views/PerformanceOverviewPage.h"
#include "vitals/views/PerformanceSensorsPage.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QWidget* makeProgress(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("readingProgress"));
    auto* column = new QVBoxLayout(page);
    column->addStretch(1);
    auto* bar = new QProgressBar(page);
    bar->setRange(0, 0); // busy: no known amount
    bar->setTextVisible(false);
    bar->setFixedWidth(160);
    bar->setMaximumHeight(8);
    column->addWidget(bar, 0, Qt::AlignHCenter);
    QLabel* text = QKBuild::label(QStringLiteral("Reading your Mac…"), TextStyle::Callout,
                                  QKForeground::Secondary, page, std::nullopt, false);
    column->addWidget(text, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return page;
}

} // namespace

PerformanceView::PerformanceView(AppState* appState, PerformanceAutopilot* autopilot,
                                 ScreenState* screen, QWidget* parent)
    : QWidget(parent), m_appState(appState), m_autopilot(autopilot), m_screen(screen) {
    setObjectName(QStringLiteral("performanceView"));
    setWindowTitle(QStringLiteral("Performance"));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    QStringList titles;
    for (Mode m : allCases<Mode>())
        titles.append(title(m));
    auto* pickerRow = new QHBoxLayout;
    pickerRow->setContentsMargins(16, 12, 16, 4);
    m_picker = new SegmentedControl(titles, this);
    m_picker->setObjectName(QStringLiteral("performanceModePicker"));
    m_picker->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_picker->setMaximumWidth(420);
    // The picker takes up to its 420 points of the row's spare width; the spacer the rest.
    pickerRow->addWidget(m_picker, 1);
    pickerRow->addStretch(1);
    root->addLayout(pickerRow);

    m_stack = new QStackedWidget(this);
    m_progress = makeProgress(m_stack);
    m_overview = new PerformanceOverviewPage(autopilot, screen, m_stack);
    m_sensors = new PerformanceSensorsPage(m_stack);
    m_fans = new PerformanceFansPage(m_stack);
    m_stack->addWidget(m_progress);
    m_stack->addWidget(m_overview);
    m_stack->addWidget(m_sensors);
    m_stack->addWidget(m_fans);
    root->addWidget(m_stack, 1);

    connect(m_picker, &SegmentedControl::activated, this, [this](int index) {
        const QList<Mode>& modes = allCases<Mode>();
        if (m_screen && index >= 0 && index < modes.size())
            m_screen->setPerformanceMode(modes.at(index));
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

QWidget* PerformanceView::currentPage() const {
    return m_stack->currentWidget();
}

bool PerformanceView::showsProgress() const {
    return m_stack->currentWidget() == m_progress;
}

void PerformanceView::showMode() {
    const Mode m = mode();
    m_picker->setCurrentIndex(int(allCases<Mode>().indexOf(m)));
    if (!m_appState || !m_appState->hasFirstSample()) {
        m_stack->setCurrentWidget(m_progress);
        return;
    }
    switch (m) {
    case Mode::Overview:
        m_stack->setCurrentWidget(m_overview);
        break;
    case Mode::Sensors:
        m_stack->setCurrentWidget(m_sensors);
        break;
    case Mode::Fans:
        m_stack->setCurrentWidget(m_fans);
        break;
    }
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
