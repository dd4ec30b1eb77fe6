#pragma once

#include <QList>
#include <QWidget>

class QFrame;
class QLabel;
class QKLineLabel;
struct SystemSnapshot;

// The list inside "Biggest impact right now": up to 4 of the busiest CPU processes with their
// load, a divider when both lists show, and up to 5 of the largest memory processes with their
// size. A list with no entries shows neither its heading nor its rows. Rows are a fixed pool
// whose texts are set in place.
class PerformanceImpactList : public QWidget {
    Q_OBJECT
public:
    static constexpr int cpuRows = 4;
    static constexpr int memoryRows = 5;

    explicit PerformanceImpactList(QWidget* parent = nullptr);

    void showSnapshot(const SystemSnapshot& snapshot);

    struct Row {
        QWidget* widget = nullptr;
        QKLineLabel* name = nullptr;
        QKLineLabel* value = nullptr;
    };

private:
    Row makeRow(const QString& name);

    QLabel* m_cpuHeading;
    QList<Row> m_cpu;
    QFrame* m_divider;
    QLabel* m_memoryHeading;
    QList<Row> m_memory;
};
