#pragma once

#include "apps/StartupItem.h"

#include <QWidget>

class QKLineLabel;
class QLabel;
class QPushButton;
class ToggleSwitch;

// One row of the startup list: the item's label, its program (or file name) and its scope, a
// "Reveal" button, and a switch for the user's own items or "locked" for the rest. The switch
// is on exactly when the item is not in the disabled folder; an item of the user's folder that
// switches itself off inside its file shows a faded switch, since moving it cannot help.
class StartupItemRow : public QWidget {
    Q_OBJECT
public:
    explicit StartupItemRow(const StartupItem& item, QWidget* parent = nullptr);

    const StartupItem& item() const { return m_item; }
    // Null for locked items.
    ToggleSwitch* toggle() const { return m_switch; }
    QPushButton* revealButton() const { return m_reveal; }

    // Puts the switch back to the item's own state (after a switch that failed).
    void resetSwitch();

signals:
    void revealRequested(const StartupItem& item);
    // The user turned the switch: on = start at login again.
    void switchTurned(const StartupItem& item, bool on);

private:
    StartupItem m_item;
    QKLineLabel* m_title;
    QKLineLabel* m_detail;
    QKLineLabel* m_scope;
    QPushButton* m_reveal;
    ToggleSwitch* m_switch = nullptr;
    QLabel* m_locked = nullptr;
};
