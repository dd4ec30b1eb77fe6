#include "ui-kit/QKTurn.h"

#include "ui-kit/QKSpinner.h"

#include <QEvent>
#include <QWidget>

QKTurn::QKTurn(QWidget* widget, int count, int intervalMs)
    : QObject(widget), m_widget(widget), m_count(count) {
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % m_count;
        emit turned(m_step);
        m_widget->update();
    });
    widget->installEventFilter(this);
}

void QKTurn::setWanted(bool wanted) {
    m_wanted = wanted;
    follow();
}

bool QKTurn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_widget && event->type() == QEvent::Show)
        follow();
    // Hidden with its window too (minimized), when the widget itself still counts as visible.
    if (watched == m_widget && event->type() == QEvent::Hide)
        m_timer.stop();
    return QObject::eventFilter(watched, event);
}

void QKTurn::follow() {
    if (m_wanted && m_widget->isVisible() && QKSpinner::isAnimated())
        m_timer.start();
    else
        m_timer.stop();
}
