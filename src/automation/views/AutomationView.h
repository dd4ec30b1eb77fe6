#pragma once

#include "ui-kit/QKFocusHold.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AutomationRuleRow;
class AutomationStore;
class QKLineLabel;
class QLabel;
class QPushButton;
class RunModeManager;

// The Automation section: one box per rule with its switch, status, "Run now" and last result,
// then a box that explains scheduling, warns when the app is only around while its window is
// open, and offers "Check schedules now" beside the store's status message.
//
// Everything shown is the store's (and the run mode's); the screen keeps nothing of its own,
// follows their changes as they are published and starts no work when shown. While a rule runs
// every switch and button is disabled; the focus of the one pressed waits on the screen (named
// for assistive technology) and comes back to it when the run ends.
//
// runMode null: the run-mode tip is never shown.
class AutomationView : public QWidget {
    Q_OBJECT
public:
    AutomationView(AutomationStore& store, RunModeManager* runMode, QWidget* parent = nullptr);

private:
    void showStates();
    void showStatus();
    void showTip();

    AutomationStore& m_store;
    QPointer<RunModeManager> m_runMode;
    QList<AutomationRuleRow*> m_rows;
    QLabel* m_tip;
    QPushButton* m_check;
    QKLineLabel* m_status;
    QKFocusHold m_hold;
};
