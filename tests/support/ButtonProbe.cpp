#ifdef PENDREL_TEST_WIDGETS

// buttonProblems: each way a user without a mouse has of pressing a button, tried on the button
// with the screen kept from hearing it.
#include "support/AccessibleAudit.h"

#include <functional>
#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QPointer>
#include <QPushButton>
#include <QTimerEvent>
#include <QToolButton>
#include <QWidget>

namespace testsupport {

namespace {

// QObject::isSignalConnected is protected; a public alias in a derived class names it.
struct SignalPeek : QObject {
    using QObject::isSignalConnected;
};

template <typename Signal> bool heard(const QObject* sender, Signal signal) {
    if (!sender)
        return false;
    bool (QObject::*connected)(const QMetaMethod&) const = &SignalPeek::isSignalConnected;
    return (sender->*connected)(QMetaMethod::fromSignal(signal));
}

// How long QAbstractButton::animateClick holds the button down before it clicks.
constexpr int kAnimatedClickMs = 100;

// What one use of a button emitted, as its stand-in group saw it.
struct Effect {
    bool pressed = false;
    bool released = false;
    bool clicked = false;
    bool toggled = false;
    bool pending = false; // an animated click waits for its timer: it would click
    bool checkChanged = false;

    bool clicks() const { return clicked || pending; }
    bool any() const {
        return pressed || released || clicked || toggled || pending || checkChanged;
    }
};

// Lends the button to a group of its own for the probe's life (see buttonProblems), and gives it
// back as it was: its group, that group's order and ids, its checked state and the focus.
class Probe {
public:
    explicit Probe(QAbstractButton* button)
        : m_button(button), m_blocker(button), m_group(button->group()),
          m_checked(button->isChecked()), m_focus(QApplication::focusWidget()) {
        if (m_group) {
            m_order = m_group->buttons();
            for (QAbstractButton* b : m_order)
                m_ids << m_group->id(b);
        }
        m_stand.setExclusive(false);
        m_stand.addButton(button);
        QObject::connect(&m_stand, &QButtonGroup::buttonPressed, [this] { m_seen.pressed = true; });
        QObject::connect(&m_stand, &QButtonGroup::buttonReleased,
                         [this] { m_seen.released = true; });
        QObject::connect(&m_stand, &QButtonGroup::buttonClicked, [this] { m_seen.clicked = true; });
        QObject::connect(&m_stand, &QButtonGroup::buttonToggled, [this] { m_seen.toggled = true; });
    }

    ~Probe() {
        m_stand.removeButton(m_button);
        if (m_group) {
            for (QAbstractButton* b : m_order)
                m_group->removeButton(b);
            for (qsizetype i = 0; i < m_order.size(); ++i)
                m_group->addButton(m_order.at(i), m_ids.at(i));
        }
        if (m_focus && QApplication::focusWidget() != m_focus)
            m_focus->setFocus(Qt::OtherFocusReason);
    }

    Effect run(const std::function<void()>& use) {
        m_seen = {};
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        QList<int> before;
        for (const auto& timer : dispatcher->registeredTimers(m_button))
            before << timer.timerId;
        use();
        // An animated click (Qt's accessible "Press") clicks when its timer fires, by then
        // unblocked; its timer is fired now, which also stops it.
        for (const auto& timer : dispatcher->registeredTimers(m_button)) {
            if (!before.contains(timer.timerId) && timer.interval == kAnimatedClickMs) {
                QTimerEvent fire(timer.timerId);
                QApplication::sendEvent(m_button, &fire);
            }
        }
        Effect effect = m_seen;
        effect.pending = m_button->isDown();
        effect.checkChanged = m_button->isChecked() != m_checked;
        // Lets go of a key-pressed button and stops an auto-repeat; signals are blocked.
        m_button->setDown(false);
        m_button->setChecked(m_checked);
        return effect;
    }

private:
    QAbstractButton* m_button;
    QSignalBlocker m_blocker;
    QPointer<QButtonGroup> m_group;
    QList<QAbstractButton*> m_order;
    QList<int> m_ids;
    QButtonGroup m_stand;
    bool m_checked;
    QPointer<QWidget> m_focus;
    Effect m_seen;
};

// Keeps a key the button leaves from going up to its parents: a dialog clicks its default
// button on Return, for real.
class KeepKeysHere : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    }
};

// A key goes to the focused control, so the button takes the focus first (the probe gives it
// back).
void sendKey(QWidget* target, Qt::Key key) {
    target->setFocus(Qt::TabFocusReason);
    KeepKeysHere stop;
    if (QWidget* parent = target->parentWidget())
        parent->installEventFilter(&stop);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

bool opensMenu(const QAbstractButton* button) {
    if (auto* push = qobject_cast<const QPushButton*>(button))
        return push->menu() != nullptr;
    if (auto* tool = qobject_cast<const QToolButton*>(button))
        return tool->menu() || (tool->defaultAction() && tool->defaultAction()->menu());
    return false;
}

} // namespace

QStringList buttonProblems(QAbstractButton* button) {
    QStringList problems;
    if (!button || !button->isEnabled() || opensMenu(button))
        return problems;
    QButtonGroup* group = button->group();
    const bool clickHeard =
        heard(button, &QAbstractButton::clicked) || heard(button, &QAbstractButton::pressed) ||
        heard(button, &QAbstractButton::released) || heard(group, &QButtonGroup::buttonClicked) ||
        heard(group, &QButtonGroup::idClicked) || heard(group, &QButtonGroup::buttonPressed) ||
        heard(group, &QButtonGroup::idPressed) || heard(group, &QButtonGroup::buttonReleased) ||
        heard(group, &QButtonGroup::idReleased);
    const bool toggleHeard = heard(button, &QAbstractButton::toggled) ||
                             heard(group, &QButtonGroup::buttonToggled) ||
                             heard(group, &QButtonGroup::idToggled);
    const bool clickMatters = clickHeard || toggleHeard || button->isCheckable();
    if (!clickMatters)
        return problems;

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
    QStringList actions;
    if (iface && iface->actionInterface())
        actions = iface->actionInterface()->actionNames();
    actions.removeAll(QAccessibleActionInterface::setFocusAction());
    const QString who = describeAccessible(iface);
    if (actions.isEmpty())
        problems << who + QStringLiteral(": a click acts but it offers no accessible action");

    Probe probe(button);
    // A click on the checked member of an exclusive set changes nothing either.
    const bool exclusiveChecked =
        button->isChecked() && ((group && group->exclusive()) || button->autoExclusive());
    for (const QString& action : actions) {
        const Effect effect = probe.run([&] { iface->actionInterface()->doAction(action); });
        if (clickHeard && !effect.clicks())
            problems << who + QStringLiteral(": accessible \"") + action +
                            QStringLiteral("\" does not click it, so what listens to its click "
                                           "hears nothing");
        else if (!clickHeard && !exclusiveChecked && !effect.any())
            problems << who + QStringLiteral(": accessible \"") + action +
                            QStringLiteral("\" changes nothing");
    }

    if ((button->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
        const Effect space = probe.run([&] { sendKey(button, Qt::Key_Space); });
        const Effect enter = probe.run([&] { sendKey(button, Qt::Key_Return); });
        if (!space.clicks())
            problems << who + QStringLiteral(": Space does not click it");
        if (!enter.clicks() && !button->isCheckable())
            problems << who + QStringLiteral(": Return does not click it");
    }
    return problems;
}

} // namespace testsupport

#endif
