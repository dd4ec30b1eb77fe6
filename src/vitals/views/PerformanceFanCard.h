#pragma once

#include "vitals/views/PerformanceGroupBox.h"

class QLabel;
class QProgressBar;
class QKIconLabel;
class QKLineLabel;
class PerformanceBadge;
struct FanReading;

// One fan on the fans page: its name and state capsule, the speed, how far it is towards its
// maximum with the Min/Max range (only when a maximum above 0 is known), the plain explanation,
// and the system's target when there is one above 0. Read-only: nothing here controls a fan.
class PerformanceFanCard : public PerformanceGroupBox {
    Q_OBJECT
public:
    explicit PerformanceFanCard(QWidget* parent = nullptr);

    void showFan(const FanReading& fan);

    // Progress bar steps: the bar's value is the fan's share of its maximum times this.
    static constexpr int progressSteps = 1000;

private:
    QKIconLabel* m_name;
    PerformanceBadge* m_state;
    QKLineLabel* m_speed;
    QProgressBar* m_progress;
    QWidget* m_range;
    QLabel* m_min;
    QLabel* m_max;
    QLabel* m_explanation;
    QLabel* m_target;
};
