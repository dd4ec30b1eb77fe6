#pragma once

#include "home/HomeTone.h"

#include <QList>
#include <QWidget>

class QKGridLayout;
class AppState;
class HealthCheck;
class QKGroupBox;
class QLabel;
class QVBoxLayout;
struct SystemSnapshot;

// The health report: today's score, storage, performance and recovery potential, six cards of
// live figures and up to three recommendations that each open another section. It follows the
// published snapshot and the health check in place and stores nothing.
//
// The first time it comes on show in a run, before any measurement has finished and while none
// is running, it starts both health measurements; it never repeats them by itself.
//
// The services are not owned and must outlive the screen.
class HealthReportView : public QWidget {
    Q_OBJECT
public:
    HealthReportView(AppState& appState, HealthCheck& health, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The summary's score beside its three rows, and the line that says a check failed.
    void summaryRows(QKGroupBox* summary);
    void refresh();
    void rebuildRecommendations(const SystemSnapshot& snapshot, qint64 junkBytes);

    AppState& m_appState;
    HealthCheck& m_health;
    bool m_appeared = false;
    HomeTone m_scoreTone = HomeTone::Green;
    QLabel* m_score = nullptr;
    QLabel* m_storage;
    QLabel* m_performance;
    QLabel* m_recovery;
    QLabel* m_failure;
    QWidget* m_cardsGrid;
    QList<QWidget*> m_cards;
    QKGroupBox* m_recommendations;
    QVBoxLayout* m_rows;
    QStringList m_rowKey; // what the rows show now, to rebuild them only on a change
};
