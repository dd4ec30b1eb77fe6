#ifdef PENDREL_TEST_WIDGETS

#include "support/AccessibleAudit.h"

#include "ui-kit/Color.h"

#include <functional>
#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimerEvent>
#include <QToolButton>
#include <QWidget>

namespace testsupport {

namespace {

bool isOperable(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::PageTab:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::SpinBox:
    case QAccessible::Link:
    case QAccessible::MenuItem:
    case QAccessible::EditableText:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::HotkeyField:
        return true;
    default:
        return false;
    }
}

bool saysNothing(QAccessible::Role role) {
    return role == QAccessible::NoRole || role == QAccessible::Client ||
           role == QAccessible::Whitespace;
}

// Item views and combo boxes hold rows described by their model; the walk stops at them.
bool holdsRows(QAccessible::Role role) {
    return role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree ||
           role == QAccessible::ComboBox;
}

QString roleName(QAccessible::Role role) {
    const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
    const char* key = roles.valueToKey(role);
    return key ? QString::fromLatin1(key) : QString::number(int(role), 16);
}

QString describe(QAccessibleInterface* iface) {
    QString who;
    if (QObject* o = iface->object()) {
        who = QString::fromLatin1(o->metaObject()->className());
        if (!o->objectName().isEmpty())
            who += QLatin1Char('#') + o->objectName();
        // An anonymous element is placed by its nearest named ancestor.
        for (QObject* up = o->parent(); up && o->objectName().isEmpty(); up = up->parent()) {
            if (!up->objectName().isEmpty()) {
                who += QStringLiteral(" in #") + up->objectName();
                break;
            }
        }
    } else if (QAccessibleInterface* parent = iface->parent()) {
        who = QStringLiteral("part of ") + describe(parent);
    }
    return who + QStringLiteral(" (") + roleName(iface->role()) + QLatin1Char(')');
}

// The text a widget puts on screen itself, when it is one that draws text.
QString drawnText(QObject* object) {
    if (!object || !object->isWidgetType())
        return QString();
    if (auto* label = qobject_cast<QLabel*>(object))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->text();
    if (object->inherits("QKLineLabel") || object->inherits("QKClampedText") ||
        object->inherits("QKBadge"))
        return object->property("text").toString();
    return QString();
}

QString exposedText(QAccessibleInterface* iface) {
    QString name = iface->text(QAccessible::Name);
    if (name.isEmpty()) {
        if (QAccessibleTextInterface* text = iface->textInterface())
            name = text->text(0, text->characterCount());
    }
    return name;
}

void walk(QAccessibleInterface* iface, const std::function<void(QAccessibleInterface*)>& visit) {
    if (!iface || !iface->isValid() || iface->state().invisible)
        return;
    visit(iface);
    if (holdsRows(iface->role()))
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), visit);
}

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
    const QString who = describe(iface);
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

int pixelsAtContrast(const QImage& plain, const QImage& focused, double ratio) {
    if (plain.size() != focused.size())
        return 0;
    const QImage a = plain.convertToFormat(QImage::Format_RGB32);
    const QImage b = focused.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (ra[x] != rb[x] && Color::contrast(QColor(ra[x]), QColor(rb[x])) >= ratio)
                ++count;
        }
    }
    return count;
}

RingSides ringSides(const QImage& plain, const QImage& focused, double ratio) {
    RingSides sides;
    if (plain.size() != focused.size())
        return sides;
    const QImage a = plain.convertToFormat(QImage::Format_RGB32);
    const QImage b = focused.convertToFormat(QImage::Format_RGB32);
    const int w = a.width();
    const int h = a.height();
    auto at = [](const QImage& image, int x, int y) {
        return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] & 0xffffffu;
    };
    constexpr int kReach = 2;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb was = at(a, x, y);
            const QRgb is = at(b, x, y);
            if (was == is || Color::contrast(QColor(was), QColor(is)) < ratio)
                continue;
            bool touches = false;
            bool faint = false;
            for (int dy = -kReach; dy <= kReach && !faint; ++dy) {
                for (int dx = -kReach; dx <= kReach && !faint; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    const QRgb beside = at(b, nx, ny);
                    if (beside != at(a, nx, ny))
                        continue;
                    touches = true;
                    faint = Color::contrast(QColor(is), QColor(beside)) < ratio;
                }
            }
            if (touches)
                ++(faint ? sides.faint : sides.seen);
        }
    }
    return sides;
}

RingSides ringAsTabShowsIt(QWidget* control, QWidget* elsewhere) {
    QWidget* window = control->window();
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    elsewhere->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    // Measured once the window has laid out whatever changed before (a palette, a text size).
    const QRect place = QRect(control->mapTo(window, QPoint(0, 0)), control->size())
                            .adjusted(-3, -3, 3, 3)
                            .intersected(window->rect());
    const QImage plain = window->grab(place).toImage();
    control->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    if (!control->hasFocus())
        return {};
    return ringSides(plain, window->grab(place).toImage(), 3.0);
}

QStringList accessibilityProblems(QWidget* root) {
    QStringList problems;
    walk(QAccessible::queryAccessibleInterface(root), [&](QAccessibleInterface* iface) {
        const QAccessible::Role role = iface->role();
        const QString name = iface->text(QAccessible::Name).trimmed();
        if (isOperable(role) && name.isEmpty())
            problems << describe(iface) + QStringLiteral(": control without a name");

        if (saysNothing(role)) {
            QStringList actions;
            if (QAccessibleActionInterface* act = iface->actionInterface())
                actions = act->actionNames();
            actions.removeAll(QAccessibleActionInterface::setFocusAction());
            // A scroll area takes the focus to scroll by keyboard; Qt describes it as a pane
            // around what it holds, which is what it is.
            QObject* o = iface->object();
            if (!o || !(o->isWindowType() || o->inherits("QAbstractScrollArea"))) {
                if (iface->state().focusable)
                    problems << describe(iface) +
                                    QStringLiteral(": takes the focus but has no role");
                else if (!actions.isEmpty())
                    problems << describe(iface) + QStringLiteral(": offers ") +
                                    actions.join(QLatin1Char('/')) +
                                    QStringLiteral(" but has no role");
            }
        }

        const QString drawn = drawnText(iface->object());
        if (!drawn.trimmed().isEmpty() && exposedText(iface).trimmed().isEmpty())
            problems << describe(iface) + QStringLiteral(": shows \"") + drawn.left(40) +
                            QStringLiteral("\" but exposes no text");
    });
    return problems;
}

QStringList scrollAreaProblems(QWidget* root) {
    QStringList problems;
    QList<QScrollArea*> areas = root->findChildren<QScrollArea*>();
    if (auto* self = qobject_cast<QScrollArea*>(root))
        areas.prepend(self);
    for (QScrollArea* area : areas) {
        if (area != root && !area->isVisibleTo(root))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(area);
        const QString who = iface ? describe(iface) : QString::fromLatin1("QScrollArea");
        bool holdsStops = false;
        for (QWidget* w : area->viewport()->findChildren<QWidget*>()) {
            if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() &&
                w->isVisibleTo(area)) {
                holdsStops = true;
                break;
            }
        }
        if ((area->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && holdsStops)
            problems << who +
                            QStringLiteral(": a Tab stop of its own before the controls it holds");
        if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty()) {
            bool placeNamed = false;
            for (const QWidget* up = area->parentWidget(); up && !placeNamed;
                 up = up->isWindow() ? nullptr : up->parentWidget())
                placeNamed = !up->accessibleName().isEmpty() || !up->windowTitle().isEmpty();
            problems << who + QStringLiteral(": scroll area without a name") +
                            (placeNamed ? QString() : QStringLiteral(", in a screen without one"));
        }
    }
    return problems;
}

QStringList accessibleTexts(QWidget* root) {
    QStringList texts;
    walk(QAccessible::queryAccessibleInterface(root), [&](QAccessibleInterface* iface) {
        const QString text = exposedText(iface);
        if (!text.isEmpty())
            texts << text;
    });
    return texts;
}

QAccessibleInterface* findAccessible(QWidget* root, const QString& name) {
    QAccessibleInterface* found = nullptr;
    walk(QAccessible::queryAccessibleInterface(root), [&](QAccessibleInterface* iface) {
        if (!found && iface->text(QAccessible::Name) == name)
            found = iface;
    });
    return found;
}

} // namespace testsupport

#endif
