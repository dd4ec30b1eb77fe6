// The walk's keyboard user: every control Tab reaches, in reading order, and each button used
// through its accessible actions, Space and Return the way a click uses it.
#include "app/shots/SceneWalk.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/SegmentedControl.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSet>
#include <QTextEdit>

namespace SceneWalk {

namespace {

// The widgets a user operates: what a click or a key changes. Scroll bars are left out, since
// the keys scroll the area they belong to; read-only text is read, not operated.
bool isInteractive(const QWidget* w) {
    if (qobject_cast<const QScrollBar*>(w))
        return false;
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
        qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const SegmentedControl*>(w))
        return true;
    if (auto* view = qobject_cast<const QAbstractItemView*>(w))
        return view->model() && view->model()->rowCount(view->rootIndex()) > 0;
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(w))
        return !edit->isReadOnly();
    if (auto* edit = qobject_cast<const QTextEdit*>(w))
        return !edit->isReadOnly();
    return false;
}

// What Tab stops at, in the order it stops, starting from the window: the rule Qt's own
// focusNextPrevChild follows.
QList<QWidget*> tabStops(QWidget* window) {
    QList<QWidget*> stops;
    QSet<QWidget*> seen;
    for (QWidget* w = window->nextInFocusChain(); w && w != window && !seen.contains(w);
         w = w->nextInFocusChain()) {
        seen.insert(w);
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() &&
            w->isVisibleTo(window) && w->isEnabled())
            stops.append(w);
    }
    return stops;
}

// Radio buttons of one exclusive group are one Tab stop: Tab reaches the chosen one (Qt takes
// the others out of the chain) and the arrow keys move the choice.
QList<QAbstractButton*> groupOf(QAbstractButton* button) {
    if (!button->isCheckable())
        return {};
    if (QButtonGroup* group = button->group(); group && group->exclusive())
        return group->buttons();
    QList<QAbstractButton*> members;
    if (button->autoExclusive() && button->parentWidget()) {
        for (QAbstractButton* b : button->parentWidget()->findChildren<QAbstractButton*>(
                 QString(), Qt::FindDirectChildrenOnly)) {
            if (b->autoExclusive())
                members << b;
        }
    }
    return members;
}

bool reachedByTab(QWidget* w, const QSet<QWidget*>& stops) {
    QWidget* target = w->focusProxy() ? w->focusProxy() : w;
    if (stops.contains(target))
        return true;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        for (QAbstractButton* member : groupOf(button)) {
            if (stops.contains(member))
                return true;
        }
    }
    return false;
}

// Whether Tab going from `a` to `b`, two controls side by side in one container, goes back
// against reading order: up to an earlier line, or leftwards on the same line.
bool goesBack(const QWidget* a, const QWidget* b) {
    const QRect ra(a->mapTo(a->window(), QPoint(0, 0)), a->size());
    const QRect rb(b->mapTo(b->window(), QPoint(0, 0)), b->size());
    const bool sameLine = rb.top() < ra.bottom() && ra.top() < rb.bottom();
    if (sameLine)
        return rb.center().x() < ra.left();
    return rb.bottom() <= ra.top();
}

// A widget that shows the pointing hand of its own accord says a click on it does something.
bool looksClickable(const QWidget* w) {
    return w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::PointingHandCursor;
}

} // namespace

void Walk::checkKeyboard(QWidget* window, const QString& name) {
    const QList<QWidget*> stops = tabStops(window);
    const QSet<QWidget*> reached(stops.begin(), stops.end());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // A sheet or dialog over the window has a Tab chain of its own, walked as a window.
        if (w->window() != window || !w->isVisibleTo(window) || !w->isEnabled() ||
            !isInteractive(w))
            continue;
        if (!reachedByTab(w, reached)) {
            const QString line = who(w) + QStringLiteral(": Tab never reaches it");
            unreachable.add(line, name);
        }
    }
    for (qsizetype i = 1; i < stops.size(); ++i) {
        QWidget* a = stops.at(i - 1);
        QWidget* b = stops.at(i);
        if (a->parentWidget() == b->parentWidget() && goesBack(a, b)) {
            const QString line = who(a) + QStringLiteral(" then ") + who(b) +
                                 QStringLiteral(": Tab goes back against reading order");
            backwards.add(line, name);
        }
    }
    for (QWidget* w : stops)
        checkFocusLook(window, w, name);
}

void Walk::checkActions(QWidget* window, const QString& name) {
    const KeepScroll keep(window);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !w->isVisibleTo(window) || !w->isEnabled())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            auto [it, fresh] = probed.try_emplace(w, w);
            if (!fresh && it->second)
                continue;
            it->second = w;
            for (const QString& p : testsupport::buttonProblems(button))
                actions.add(p, name);
        } else if (looksClickable(w) && !qobject_cast<QAbstractItemView*>(w->parentWidget()) &&
                   !qobject_cast<QAbstractItemView*>(w)) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
            QStringList names;
            if (iface && iface->actionInterface())
                names = iface->actionInterface()->actionNames();
            names.removeAll(QAccessibleActionInterface::setFocusAction());
            if (names.isEmpty())
                actions.add(who(w) + QStringLiteral(": shows a pointing hand but offers no "
                                                    "accessible action"),
                            name);
            if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus && !w->focusProxy())
                actions.add(
                    who(w) + QStringLiteral(": shows a pointing hand but no key reaches it"), name);
        }
    }
}

} // namespace SceneWalk
