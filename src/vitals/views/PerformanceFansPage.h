#pragma once

#include "vitals/views/PerformancePage.h"

#include <QList>

class QLabel;
class QPushButton;
class QBoxLayout;
class PerformanceFanCard;
class PerformanceGroupBox;
struct SystemSnapshot;

// The fans page: read-only fan status. What the fans are doing (with a note under thermal
// pressure), one card per fan in list order or the fanless card when the machine reports none,
// what Pendrel will not do, and a button that asks the assistant why the fans are loud. Built
// once; showSnapshot() updates in place, rebuilding the fan cards only when the fan ids change.
class PerformanceFansPage : public PerformancePage {
    Q_OBJECT
public:
    explicit PerformanceFansPage(QWidget* parent = nullptr);

    void showSnapshot(const SystemSnapshot& snapshot);

private:
    QLabel* m_summary;
    QLabel* m_pressureNote;
    QWidget* m_fansHost;
    QBoxLayout* m_fansColumn;
    PerformanceGroupBox* m_fanless;
    QList<PerformanceFanCard*> m_cards;
    QList<int> m_cardIds;
    QPushButton* m_ask;
};
