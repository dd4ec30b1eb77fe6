#pragma once

#include "vitals/views/PerformanceGroupBox.h"

#include <QList>
#include <QPointer>

class QLabel;
class QPushButton;
class ToggleSwitch;
class PerformanceAutopilot;
struct AutopilotCandidate;

// The "Performance Autopilot" box of the overview, bound both ways to the autopilot: the two
// switches set and follow `enabled` and `autoQuit` (auto-quit can only be changed while the
// autopilot is on, and keeps its stored value while off), the last quit is shown in green, and
// while enabled the candidates are listed, each with Protect and Quit, or "Nothing to suggest
// right now." when there are none. While disabled no candidate is shown, even if the autopilot
// still holds some.
//
// Quit asks the very application of its row (by process id, not by name: two may share one);
// when that asked nothing, because the application has gone or could not be reached, an orange
// line under the last action says so until the next Quit.
//
// The pane only shows and forwards: it never refreshes the candidates itself. Rows follow the
// candidate list in place (same applications in the same order: texts updated; otherwise
// rebuilt).
class PerformanceAutopilotPane : public PerformanceGroupBox {
    Q_OBJECT
public:
    explicit PerformanceAutopilotPane(PerformanceAutopilot* autopilot, QWidget* parent = nullptr);

    struct Row {
        QWidget* widget = nullptr;
        QLabel* name = nullptr;
        QLabel* reason = nullptr;
        QPushButton* protect = nullptr;
        QPushButton* quit = nullptr;
        qint64 pid = 0; // the application's process: what Quit asks
    };

    // The candidate rows in list order (hidden while the autopilot is off).
    const QList<Row>& rows() const { return m_rows; }

private:
    void showSwitches();
    void showSaveError();
    void showLastAction();
    void showCandidates();
    Row makeRow(const AutopilotCandidate& candidate);
    void quitRow(qint64 pid, const QString& name);

    QPointer<PerformanceAutopilot> m_autopilot;
    ToggleSwitch* m_enabled;
    ToggleSwitch* m_autoQuit;
    // A setting the autopilot could not store, shown under the switches that changed it.
    QLabel* m_saveError;
    QLabel* m_lastAction;
    QLabel* m_nothing;
    // Why the last Quit asked nothing; hidden after one that asked, and while disabled.
    QLabel* m_quitNotice;
    QWidget* m_rowsHost;
    QList<Row> m_rows;
};
