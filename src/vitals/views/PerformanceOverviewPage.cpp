#include "vitals/views/PerformanceOverviewPage.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKProminentButton.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceAutopilotPane.h"
#include "vitals/views/PerformanceImpactList.h"
#include "vitals/views/PerformanceMetricTile.h"
#include "vitals/views/PerformanceTemperatureCard.h"
#include "vitals/views/PerformanceView.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;
namespace Text = PerformanceText;

PerformanceOverviewPage::PerformanceOverviewPage(PerformanceAutopilot* autopilot,
                                                 ScreenState* screen, QWidget* parent)
    : PerformancePage(QStringLiteral("What is happening right now, and why."), parent) {
    setObjectName(QStringLiteral("performanceOverview"));
    m_cpu = addPart(m_column, new PerformanceMetricTile(QStringLiteral("CPU"), m_content),
                    QStringLiteral("cpuTile"));
    m_temperature = addPart(m_column, new PerformanceTemperatureCard(screen, m_content),
                            QStringLiteral("temperatureCard"));
    m_memory = addPart(m_column, new PerformanceMetricTile(QStringLiteral("Memory"), m_content),
                       QStringLiteral("memoryTile"));
    m_storage = addPart(m_column, new PerformanceMetricTile(QStringLiteral("Storage"), m_content),
                        QStringLiteral("storageTile"));
    m_battery = addPart(m_column, new PerformanceMetricTile(QStringLiteral("Battery"), m_content),
                        QStringLiteral("batteryTile"));

    m_autopilot = addPart(m_column, new PerformanceAutopilotPane(autopilot, m_content),
                          QStringLiteral("autopilotPane"));

    m_impactBox =
        addBox(QStringLiteral("Biggest impact right now"), 0, QStringLiteral("impactBox"));
    m_impact = new PerformanceImpactList(m_impactBox->card());
    m_impact->setObjectName(QStringLiteral("impactList"));
    m_impactBox->column()->addWidget(m_impact);

    auto* askRow = new QWidget(m_content);
    auto* ask = new QHBoxLayout(askRow);
    ask->setContentsMargins(0, 0, 0, 0);
    m_askWhy = new QKProminentButton(QStringLiteral("Ask Pendrel why"), askRow);
    m_askWhy->setObjectName(QStringLiteral("askWhy"));
    m_askHeat = button(QStringLiteral("Ask about heat"), false, askRow);
    m_askHeat->setObjectName(QStringLiteral("askHeat"));
    m_askHeat->setMinimumHeight(m_askWhy->sizeHint().height());
    ask->addWidget(m_askWhy);
    ask->addWidget(m_askHeat);
    ask->addStretch(1);
    addPart(m_column, askRow);
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
