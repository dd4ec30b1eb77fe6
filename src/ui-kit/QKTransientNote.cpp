#include "ui-kit/QKTransientNote.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"

#include <algorithm>
#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QLayout>

namespace {

const QString kName = QStringLiteral("transientNote");
constexpr int kGap = 4;      // between the clicked area and the note
constexpr int kMargin = 8;   // kept free at the window's edges
constexpr int kWidest = 440; // the line wraps beyond this

} // namespace

QKTransientNote* QKTransientNote::open(QWidget* anchor, const QString& text, const QRect& area) {
    if (!anchor)
        return nullptr;
    if (QKTransientNote* old = shownIn(anchor))
        old->dismiss();
    auto* note = new QKTransientNote(anchor, text, area);
    note->place();
    note->show();
    note->raise();
    // Shown (above) and alerted: a screen reader speaks a notification that comes into view.
    QAccessibleEvent alert(note, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    return note;
}

QKTransientNote* QKTransientNote::shownIn(const QWidget* widget) {
    if (!widget)
        return nullptr;
    const QList<QKTransientNote*> notes =
        widget->window()->findChildren<QKTransientNote*>(kName, Qt::FindDirectChildrenOnly);
    for (QKTransientNote* note : notes) {
        if (note->m_anchor)
            return note;
    }
    return nullptr;
}

QKTransientNote::QKTransientNote(QWidget* anchor, const QString& text, const QRect& area)
    : QKCardSurface(8, false, anchor->window()), m_anchor(anchor), m_area(area) {
    setObjectName(kName);
    // Read as a notification, not as a nameless panel: readers announce only what says it is one.
    QKAccessible::setRole(this, QAccessible::Notification);
    setAccessibleName(text);
    using namespace QKLayout;
    row({10, 6, 12, 6}, 6,
        {part(m_symbol =
                  new QKSymbol("exclamationmark.triangle.fill"_sym,
                               QKFont{.style = TextStyle::Callout}, QKForeground::Orange, this))
             .align(Qt::AlignTop),
         part(m_label = QKBuild::label(text, TextStyle::Callout, QKForeground::Primary, this))
             .name(QStringLiteral("transientNoteText"))
             .stretch(1)})
        .on(this);

    anchor->installEventFilter(this);
    connect(anchor, &QObject::destroyed, this, &QKTransientNote::dismiss);
    m_timer.setSingleShot(true);
    m_timer.setInterval(ShownMs);
    connect(&m_timer, &QTimer::timeout, this, &QKTransientNote::dismiss);
    m_timer.start();
}

QString QKTransientNote::text() const {
    return m_label->text();
}

void QKTransientNote::place() {
    QWidget* window = parentWidget();
    if (!window || !m_anchor)
        return;
    // One line when it fits in the widest note the window allows; wrapped beyond that.
    const int widest = std::max(0, std::min(kWidest, window->width() - 2 * kMargin));
    const QMargins margins = layout()->contentsMargins();
    const int chrome =
        margins.left() + margins.right() + m_symbol->sizeHint().width() + layout()->spacing();
    const int room = std::max(0, widest - chrome);
    const int line = m_label->fontMetrics().horizontalAdvance(m_label->text()) + 1;
    m_label->setFixedWidth(std::min(line, room));
    adjustSize();
    const QSize size = this->size();
    const QRect area = m_area.isEmpty() ? m_anchor->rect() : m_area;
    const QPoint below = m_anchor->mapTo(window, area.bottomLeft()) + QPoint(0, 1 + kGap);
    const QPoint above = m_anchor->mapTo(window, area.topLeft()) - QPoint(0, kGap + size.height());
    QPoint at = below;
    if (below.y() + size.height() > window->height() - kMargin && above.y() >= kMargin)
        at = above;
    at.setX(
        std::clamp(at.x(), kMargin, std::max(kMargin, window->width() - kMargin - size.width())));
    at.setY(std::clamp(at.y(), 0, std::max(0, window->height() - size.height())));
    move(at);
}

void QKTransientNote::dismiss() {
    m_timer.stop();
    if (m_anchor)
        m_anchor->removeEventFilter(this);
    m_anchor = nullptr;
    hide();
    deleteLater();
}

void QKTransientNote::mousePressEvent(QMouseEvent*) {
    dismiss();
}

bool QKTransientNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_anchor && event->type() == QEvent::Hide)
        dismiss();
    return QKCardSurface::eventFilter(watched, event);
}
