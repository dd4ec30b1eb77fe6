#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// The turn of a drawn busy indicator (a spinner, or a button's spinner while it works): a step
// from 0 to count-1 that advances at a fixed interval and repaints its widget. It turns only
// while it is wanted, the widget is shown, and busy indicators are animated at all
// (QKSpinner::isAnimated: offscreen renders stand still at the step they were at). Every widget
// that turns something drives it with one of these rather than a timer of its own.
class QKTurn : public QObject {
    Q_OBJECT
public:
    QKTurn(QWidget* widget, int count, int intervalMs);

    int step() const { return m_step; }
    // Whether the owner is busy; true from the start for an indicator that is busy while shown.
    void setWanted(bool wanted);
    bool isTurning() const { return m_timer.isActive(); }

signals:
    // After each step, before the widget repaints: for painters that hold the step themselves
    // (a list's delegate drawing many spinners).
    void turned(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QWidget* m_widget;
    int m_count;
    int m_step = 0;
    bool m_wanted = false;
    QTimer m_timer;
};
