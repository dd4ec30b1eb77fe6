#pragma once

#include "automation/AutomationRule.h"
#include "automation/AutomationRuleState.h"

#include <optional>
#include <QWidget>

class QKSpinner;
class QLabel;
class QPushButton;
class QKLineLabel;
class QKWrapLabel;
class ToggleSwitch;

// One rule's box on the automation screen: its icon, title, schedule and detail with the on/off
// switch; then its status ("Running…" with a spinner, the last run, "Enabled — waiting for
// schedule" or "Off") with "Run now"; then the last result, wrapped, when there is one.
class AutomationRuleRow : public QWidget {
    Q_OBJECT
public:
    explicit AutomationRuleRow(const AutomationRule& rule, QWidget* parent = nullptr);

    const AutomationRule& rule() const { return m_rule; }
    // Shows the rule's entry (none: switched off, never run) and whether it is the rule running
    // now; busy disables the switch and "Run now" (some rule runs).
    void setRuleState(const std::optional<AutomationRuleState>& state, bool running, bool busy);
    // The switch and "Run now": what goes off while some rule runs.
    QList<QWidget*> controls() const;

signals:
    void switchTurned(const QString& ruleId, bool on);
    void runNowClicked(const AutomationRule& rule);

private:
    AutomationRule m_rule;
    ToggleSwitch* m_toggle;
    QWidget* m_running;
    QKSpinner* m_spinner;
    QKLineLabel* m_status;
    QPushButton* m_runNow;
    QKWrapLabel* m_result;
};
