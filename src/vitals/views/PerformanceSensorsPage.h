#pragma once

#include "vitals/views/PerformancePage.h"

#include <QList>
#include <QStringList>

class QLabel;
class QPushButton;
class PerformanceBadge;
class PerformanceGroupBox;
class PerformanceSensorRow;
struct SystemSnapshot;

// The sensors page: heat in plain language. The thermal pressure card (always: every machine
// has the signal, even when it is "Unknown"), then either the curated temperature sensors,
// hottest first, or a box saying none are exposed (never both), the likely cause when something
// is working the machine hard, and a button that asks the assistant about heat. Built once;
// showSnapshot() updates in place, rebuilding the sensor rows only when the list of keys changes.
class PerformanceSensorsPage : public PerformancePage {
    Q_OBJECT
public:
    explicit PerformanceSensorsPage(QWidget* parent = nullptr);

    void showSnapshot(const SystemSnapshot& snapshot);

private:
    PerformanceBadge* m_badge;
    QLabel* m_sentence;
    QLabel* m_sourceNote;
    PerformanceGroupBox* m_empty;
    QLabel* m_emptyText;
    PerformanceGroupBox* m_sensorsBox;
    QList<PerformanceSensorRow*> m_rows;
    QStringList m_rowKeys;
    PerformanceGroupBox* m_causeBox;
    QLabel* m_causeName;
    QLabel* m_causeExplanation;
    QPushButton* m_ask;
};
