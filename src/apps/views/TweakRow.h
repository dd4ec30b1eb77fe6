#pragma once

#include "apps/Tweak.h"

#include <QWidget>

class QLabel;
class ToggleSwitch;

// One row of the tweaks list: the tweak's name, its plain description, a line saying that
// nothing is restarted (for a tweak whose setting was written for a program that rereads it only
// when it starts), and the switch.
class TweakRow : public QWidget {
    Q_OBJECT
public:
    explicit TweakRow(const Tweak& tweak, QWidget* parent = nullptr);

    const Tweak& tweak() const { return m_tweak; }
    ToggleSwitch* toggle() const { return m_switch; }
    // Null when the tweak names no program.
    QLabel* restartLabel() const { return m_restart; }

    // Shows a state without it counting as the user's turn.
    void setOn(bool on);

signals:
    void switchTurned(const Tweak& tweak, bool on);

private:
    Tweak m_tweak;
    QLabel* m_name;
    QLabel* m_description;
    QLabel* m_restart = nullptr;
    ToggleSwitch* m_switch;
};
