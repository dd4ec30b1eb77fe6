#pragma once

#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceGroupBox.h"

class QLabel;
class QKLineLabel;
class PerformanceBadge;

// One tile of the overview (CPU, memory, storage, battery): the title with the level badge, the
// value in large digits, and "Because" with the sentence that explains it. Updated in place.
class PerformanceMetricTile : public PerformanceGroupBox {
    Q_OBJECT
public:
    explicit PerformanceMetricTile(const QString& title, QWidget* parent = nullptr);

    void setMetric(PerformanceText::Level level, const QString& value, const QString& detail);

private:
    PerformanceBadge* m_badge;
    QKLineLabel* m_value;
    QLabel* m_detail;
};
