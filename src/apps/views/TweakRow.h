#pragma once

#include "apps/Tweak.h"

#include <QWidget>

class QLabel;
class ToggleSwitch;

// One row of the tweaks list: the tweak's name, its plain description and the switch. No row
// speaks of restarting a program: switching restarts nothing here.
class TweakRow : public QWidget {
    Q_OBJECT
public:
    explicit TweakRow(const Tweak& tweak, QWidget* parent = nullptr);

    const Tweak& tweak() const { return m_tweak; }

    // Shows a state without it counting as the user's turn.
    void setOn(bool on);

signals:
    void switchTurned(const Tweak& tweak, bool on);

private:
    Tweak m_tweak;
    QLabel* m_name;
    QLabel* m_description;
    ToggleSwitch* m_switch;
};
