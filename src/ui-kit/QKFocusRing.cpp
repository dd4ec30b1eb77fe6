#include "ui-kit/QKFocusRing.h"

#include "ui-kit/Color.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QTextEdit>

namespace QKFocusRing {

namespace {

// Shared by every button it serves: it keeps no state of its own.
class ReturnPresses : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool confirm = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!confirm || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled())
            return false;
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

ReturnPresses* returnPresses() {
    static QPointer<ReturnPresses> shared;
    if (!shared)
        shared = new ReturnPresses(QCoreApplication::instance());
    return shared;
}

// The ring over a scroll area's viewport: a child of the area that draws only the ring and lets
// every click through.
class ScrollRing : public QWidget {
public:
    explicit ScrollRing(QAbstractScrollArea* area) : QWidget(area), m_area(area) {
        setObjectName(QStringLiteral("qk_focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        // The viewport, not the area: when the area is resized, its viewport takes its new size
        // only after the area's own resize event has been seen.
        area->viewport()->installEventFilter(this);
        hide();
    }

    void follow() {
        setGeometry(m_area->viewport()->geometry());
        raise();
        setVisible(shows(m_area));
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            setGeometry(m_area->viewport()->geometry());
        return false;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paint(p, QRectF(rect()), 4, palette());
    }

private:
    QAbstractScrollArea* m_area;
};

bool wantsRing(QWidget* widget) {
    return qobject_cast<QAbstractScrollArea*>(widget) &&
           !qobject_cast<QAbstractItemView*>(widget) && !qobject_cast<QPlainTextEdit*>(widget) &&
           !qobject_cast<QTextEdit*>(widget);
}

void showRing(QWidget* widget, bool on) {
    if (!widget || !wantsRing(widget))
        return;
    auto* area = static_cast<QAbstractScrollArea*>(widget);
    // Found by name: without a meta-object of its own, a cast cannot tell it from other children.
    auto* ring = dynamic_cast<ScrollRing*>(
        area->findChild<QWidget*>(QStringLiteral("qk_focusRing"), Qt::FindDirectChildrenOnly));
    if (!ring) {
        if (!on)
            return;
        ring = new ScrollRing(area);
    }
    if (on)
        ring->follow();
    else
        ring->hide();
}

// Margin kept between a control brought into view and its area's edge, so its ring shows whole.
constexpr int kRevealMargin = 12;

// Qt scrolls a control into view only when Tab is pressed inside the area that holds it; focus
// that comes from outside (from the window's toolbar into the sidebar) or by a shortcut lands
// out of sight. Every area the control sits in, innermost first, brings it in.
void bringIntoView(QWidget* widget) {
    for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        auto* area = qobject_cast<QScrollArea*>(up);
        if (area && area->widget() && area->widget()->isAncestorOf(widget))
            area->ensureWidgetVisible(widget, kRevealMargin, kRevealMargin);
        if (up->isWindow())
            break;
    }
}

} // namespace

bool shows(const QWidget* widget) {
    return widget && widget->hasFocus() &&
           widget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

QColor ink(const QPalette& palette, const QColor& under) {
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    if (Color::contrast(accent, under) >= kMinimumContrast)
        return accent;
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    return Color::contrast(white, under) >= Color::contrast(black, under) ? white : black;
}

void paint(QPainter& painter, const QRectF& frame, qreal radius, const QPalette& palette,
           const QColor& under) {
    const QColor base = under.isValid() ? under : palette.color(QPalette::Active, QPalette::Window);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink(palette, base), 2));
    painter.setBrush(Qt::NoBrush);
    const qreal r = std::max<qreal>(0, radius - 1);
    painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), r, r);
    painter.restore();
}

void pressOnReturn(QAbstractButton* button) {
    if (button)
        button->installEventFilter(returnPresses());
}

void watchScrollAreas() {
    static bool watching = false;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (watching || !app)
        return;
    watching = true;
    QObject::connect(app, &QApplication::focusChanged, app, [](QWidget* old, QWidget* now) {
        showRing(old, false);
        showRing(now, true);
        if (now && shows(now))
            bringIntoView(now);
    });
}

} // namespace QKFocusRing
