#pragma once

#include "vitals/views/PerformancePage.h"

class QPushButton;
class QLabel;
class PerformanceAutopilot;
class PerformanceAutopilotPane;
class PerformanceGroupBox;
class PerformanceImpactList;
class PerformanceMetricTile;
class PerformanceTemperatureCard;
class ScreenState;
struct SystemSnapshot;

// The overview page: what is happening right now and why. CPU tile, temperature card, memory,
// storage and (with a battery) battery tiles, the autopilot box, the biggest-impact box (only
// when a process list has entries) and the two ask buttons, in one scrolling column. Built once;
// showSnapshot() updates every text in place.
class PerformanceOverviewPage : public PerformancePage {
    Q_OBJECT
public:
    PerformanceOverviewPage(PerformanceAutopilot* autopilot, ScreenState* screen,
                            QWidget* parent = nullptr);

    void showSnapshot(const SystemSnapshot& snapshot);

private:
    PerformanceMetricTile* m_cpu;
    PerformanceTemperatureCard* m_temperature;
    PerformanceMetricTile* m_memory;
    PerformanceMetricTile* m_storage;
    PerformanceMetricTile* m_battery;
    PerformanceAutopilotPane* m_autopilot;
    PerformanceGroupBox* m_impactBox;
    PerformanceImpactList* m_impact;
    QPushButton* m_askWhy;
    QPushButton* m_askHeat;
};
