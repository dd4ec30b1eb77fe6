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

    PerformanceBadge* badge() const { return m_badge; }
    QKLineLabel* value() const { return m_value; }
    QLabel* detail() const { return m_detail; }

private:
    PerformanceBadge* m_badge;
    QKLineLabel* m_value;
    QLabel* m_detail;
};
