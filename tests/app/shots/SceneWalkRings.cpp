// The walk's focus rings: every control Tab stops at is rung and measured against the colours on
// both sides of its ring, at 3:1 in both themes.
#include "app/shots/SceneWalk.h"
#include "support/FocusRingMeasure.h"
#include "ui-kit/Color.h"

#include <algorithm>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

namespace SceneWalk {

namespace {

// A focus indicator is seen when at least this much of it stands 3:1 apart from the unfocused
// look: as many pixels as a one-pixel line around a square as tall as the control (a switch rings
// its track, a radio button its dot, a list its current row).
int ringNeeded(const QSize& size) {
    return 4 * std::min(size.width(), size.height());
}

// What surrounds a control where its ring shows: the page a scroll area shows (drawn whole,
// wherever it is scrolled to) or the window, and how much of it a ring is measured against.
constexpr int kRingMargin = 3;
// A ring is faint when more than one in this many of its pixels beside another colour stand
// under 3:1 from it: its rounded corners blend, a side never does.
constexpr int kFaintShare = 8;

QWidget* backdrop(QWidget* w) {
    for (QWidget* up = w->parentWidget(); up; up = up->parentWidget()) {
        if (up->isWindow())
            return up;
        const QWidget* viewport = up->parentWidget();
        auto* area =
            viewport ? qobject_cast<const QAbstractScrollArea*>(viewport->parentWidget()) : nullptr;
        if (area && area->viewport() == viewport)
            return up;
    }
    return w;
}

// The kind of control a focus look belongs to: its class, and for a list the delegate that
// draws its rows.
QString controlKind(const QWidget* w) {
    QString kind = QString::fromLatin1(w->metaObject()->className());
    if (auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->itemDelegate())
        kind +=
            QLatin1Char('/') + QString::fromLatin1(view->itemDelegate()->metaObject()->className());
    return kind;
}

} // namespace

// Every control is rung and measured, since the colours beside a ring are those of the
// place it stands in (a tile among tiles, a filled button on a card). Whether a kind shows
// focus at all is told by its first few controls.
void Walk::checkFocusLook(QWidget* window, QWidget* w, const QString& name) {
    if (w->width() <= 0 || w->height() <= 0)
        return;
    // A dialog's default button already wears the outline the style gives focus.
    if (auto* push = qobject_cast<QPushButton*>(w); push && push->isDefault())
        return;
    const QString kind = controlKind(w);
    const bool dark = Color::isDark(w->palette());
    int& tries = focusTries[kind + (dark ? QStringLiteral(" dark") : QString())];
    const KeepScroll keep(window);
    if (!window->isActiveWindow()) {
        window->activateWindow();
        QApplication::processEvents();
    }
    QWidget* before = QApplication::focusWidget();
    if (before == w) {
        before->clearFocus();
        QApplication::processEvents();
    }
    QWidget* host = backdrop(w);
    const QRect place = QRect(w->mapTo(host, QPoint(0, 0)), w->size())
                            .adjusted(-kRingMargin, -kRingMargin, kRingMargin, kRingMargin)
                            .intersected(host->rect());
    const QImage plain = host->grab(place).toImage();
    // What a Tab press marks on the window before it moves the focus: styles ring a control
    // only when the focus came by keyboard.
    const bool byKeyboard = window->testAttribute(Qt::WA_KeyboardFocusChange);
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    w->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const bool focused = w->hasFocus();
    const QImage ringed = host->grab(place).toImage();
    if (before && before != w)
        before->setFocus(Qt::OtherFocusReason);
    else
        w->clearFocus();
    window->setAttribute(Qt::WA_KeyboardFocusChange, byKeyboard);
    QApplication::processEvents();
    if (focused && plain != ringed) {
        tries = -1;
        const testsupport::RingSides sides = testsupport::ringSides(plain, ringed, 3.0);
        const int needed = ringNeeded(w->size());
        if (sides.seen < needed || sides.faint * kFaintShare > sides.seen + sides.faint) {
            const QString line =
                who(w) + QStringLiteral(" (") + kind +
                QStringLiteral("): focus look under "
                               "3:1 in the ") +
                (dark ? QStringLiteral("dark") : QStringLiteral("light")) +
                QStringLiteral(" theme against the colours beside it (%1 px seen of the %2 a "
                               "ring needs, %3 px faint)")
                    .arg(sides.seen)
                    .arg(needed)
                    .arg(sides.faint);
            faintFocus.add(line, name);
        }
        return;
    }
    if (tries < 0 || tries >= 3)
        return;
    if (++tries == 3) {
        const QString line = kind + (focused ? QStringLiteral(": focus does not show")
                                             : QStringLiteral(": does not take the focus"));
        noFocusLook.add(line, name);
    }
}

} // namespace SceneWalk
