#include "vitals/views/PerformanceOverviewPage.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceAutopilotPane.h"
#include "vitals/views/PerformanceImpactList.h"
#include "vitals/views/PerformanceMetricTile.h"
#include "vitals/views/PerformanceTemperatureCard.h"
#include "vitals/views/PerformanceView.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;
namespace Text = PerformanceText;

PerformanceOverviewPage::PerformanceOverviewPage(PerformanceAutopilot* autopilot,
                                                 ScreenState* screen, QWidget* parent)
    : PerformancePage(Text::overviewIntro(), parent) {
    setObjectName(QStringLiteral("performanceOverview"));
    using namespace QKLayout;
    items({part(m_cpu = new PerformanceMetricTile(Text::cpuTitle(), m_content))
               .name(QStringLiteral("cpuTile")),
           part(m_temperature = new PerformanceTemperatureCard(screen, m_content))
               .name(QStringLiteral("temperatureCard")),
           part(m_memory = new PerformanceMetricTile(Text::memoryTitle(), m_content))
               .name(QStringLiteral("memoryTile")),
           part(m_storage = new PerformanceMetricTile(Text::storageTitle(), m_content))
               .name(QStringLiteral("storageTile")),
           part(m_battery = new PerformanceMetricTile(Text::batteryTitle(), m_content))
               .name(QStringLiteral("batteryTile")),
           part(m_autopilot = new PerformanceAutopilotPane(autopilot, m_content))
               .name(QStringLiteral("autopilotPane"))})
        .fillPage(m_column);

    m_impactBox = addBox(Text::impactTitle(), 0, QStringLiteral("impactBox"));
    items({part(m_impact = new PerformanceImpactList(m_impactBox->card()))
               .name(QStringLiteral("impactList"))})
        .fill(m_impactBox->column());

    QWidget* askRow = nullptr;
    items({part(askRow = new QWidget(m_content))
               .holding(row(QMargins(),
                            {part(m_askWhy = new QKProminentButton(Text::askWhyButton(), askRow))
                                 .name(QStringLiteral("askWhy")),
                             part(m_askHeat = button(Text::askHeatButton(), false, askRow))
                                 .name(QStringLiteral("askHeat"))
                                 .with([this](QPushButton* heat) {
                                     heat->setMinimumHeight(m_askWhy->sizeHint().height());
                                 }),
                             stretch(1)}))})
        .fillPage(m_column);
    connect(m_askWhy, &QPushButton::clicked, this, &PerformanceView::askWhySlow);
    connect(m_askHeat, &QPushButton::clicked, this, &PerformanceView::askAboutHeat);
}

void PerformanceOverviewPage::showSnapshot(const SystemSnapshot& s) {
    m_cpu->setMetric(Text::cpuLevel(s), Text::cpuValue(s), Text::cpuExplanation(s));
    m_temperature->showSnapshot(s);
    m_memory->setMetric(Text::memoryLevel(s), Text::memoryValue(s), Text::memoryExplanation(s));
    m_storage->setMetric(Text::storageLevel(s), Text::storageValue(s), Text::storageExplanation(s));
    const std::optional<Text::BatteryExplanation> battery = Text::batteryExplanation(s);
    m_battery->setVisible(battery.has_value());
    if (battery)
        m_battery->setMetric(battery->level, battery->value, battery->detail);
    m_impactBox->setVisible(!s.topProcesses.isEmpty() || !s.topCPUProcesses.isEmpty());
    m_impact->showSnapshot(s);
}
