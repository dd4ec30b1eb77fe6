#pragma once

#include <QWidget>

class AskTamsoStrip;
class KeepAwakeManager;
class QComboBox;
class QKGroupBox;
class QLabel;
class ToggleSwitch;

// The Developer Centre's keep-awake pane. It holds no state: every control shows and sets the
// process-wide keep-awake manager, which the menu-bar panel and the hub card show too. The main
// switch asks the manager to start or stop and then shows what the manager did, so a refused
// start falls back to off with the reason in the note line, which also says when the system
// keeps the machine awake but refuses the display. A changed setting is applied to a
// running keep-awake at once (its period restarts from now).
class DevAwakePane : public QWidget {
    Q_OBJECT
public:
    explicit DevAwakePane(KeepAwakeManager& keepAwake, QWidget* parent = nullptr);

private:
    // The keep-awake switch with its status, the display and power switches with their notes, the
    // duration and the last note, in a card of their own.
    QKGroupBox* controlsBox();
    void sync();

    KeepAwakeManager& m_keepAwake;
    AskTamsoStrip* m_ask;
    QLabel* m_title;
    QLabel* m_status;
    ToggleSwitch* m_main;
    ToggleSwitch* m_display;
    ToggleSwitch* m_power;
    QComboBox* m_duration;
    QLabel* m_note;
};
