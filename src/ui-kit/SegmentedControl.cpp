#include "ui-kit/SegmentedControl.h"

#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKPaint.h"

#include <algorithm>
#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kPadH = 12;
constexpr int kPadV = 4;
constexpr int kInset = 2;
constexpr qreal kRadius = 7;
// How far inside the current segment's edge its focus ring runs.
constexpr int kRingInset = 2;

QColor withAlpha(QColor c, qreal alpha) {
    c.setAlphaF(float(c.alphaF() * alpha));
    return c;
}

} // namespace

SegmentedControl::SegmentedControl(const QStringList& labels, QWidget* parent)
    : QWidget(parent), m_labels(labels) {
    QKAccessible::install();
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void SegmentedControl::setCurrentIndex(int index) {
    if (index < -1 || index >= count())
        index = -1;
    if (index == m_current)
        return;
    const int previous = m_current;
    m_current = index;
    update();
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* self = QAccessible::queryAccessibleInterface(this);
    QAccessible::State checked;
    checked.checked = true;
    for (int i : {previous, m_current}) {
        if (QAccessibleInterface* segment = self ? self->child(i) : nullptr) {
            QAccessibleStateChangeEvent event(segment, checked);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (hasFocus() && self && self->child(m_current)) {
        QAccessibleEvent event(self->child(m_current), QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void SegmentedControl::activateSegment(int index) {
    if (isEnabled() && index >= 0 && index < count())
        emit activated(index);
}

void SegmentedControl::setWidthLimit(int width) {
    m_widthLimit = width;
    setMaximumWidth(std::max(width, sizeHint().width()));
}

int SegmentedControl::naturalWidth(int index) const {
    return QFontMetrics(font()).horizontalAdvance(m_labels.at(index)) + 2 * kPadH;
}

int SegmentedControl::lineHeight() const {
    return QFontMetrics(font()).height() + 2 * kPadV;
}

QSize SegmentedControl::sizeHint() const {
    int width = 2 * kInset;
    for (int i = 0; i < count(); ++i)
        width += naturalWidth(i);
    // The height follows the width the layout gave a shown control, so a wrapped control asks
    // for its lines; the passes that size a window before it shows see one line, so that what
    // a window measures before it is shown is what it shows.
    const qsizetype lineCount =
        m_laidWidth < 0 || !isVisible() ? 1 : std::max<qsizetype>(1, lines(m_laidWidth).size());
    return QSize(width, int(lineCount) * lineHeight() + 2 * kInset);
}

QSize SegmentedControl::minimumSizeHint() const {
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, naturalWidth(i));
    return QSize(widest + 2 * kInset, sizeHint().height());
}

void SegmentedControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool relines = m_laidWidth < 0 ? lines(width()).size() > 1
                                         : lines(width()).size() != lines(m_laidWidth).size();
    m_laidWidth = width();
    if (relines && isVisible())
        updateGeometry();
}

void SegmentedControl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_laidWidth = width();
    if (lines(width()).size() > 1)
        updateGeometry();
}

QList<QList<int>> SegmentedControl::lines(int width) const {
    const int inner = width - 2 * kInset;
    QList<QList<int>> out;
    int used = 0;
    for (int i = 0; i < count(); ++i) {
        if (out.isEmpty() || (used + naturalWidth(i) > inner && !out.back().isEmpty())) {
            out.append(QList<int>());
            used = 0;
        }
        out.back().append(i);
        used += naturalWidth(i);
    }
    return out;
}

QRect SegmentedControl::segmentRect(int index) const {
    if (index < 0 || index >= count())
        return QRect();
    // Each segment as wide as its label; the extra room of its line (or a shortfall, for a label
    // wider than the control) is shared evenly along the line.
    const QList<QList<int>> all = lines(width());
    const int inner = width() - 2 * kInset;
    const int lineHeight = (height() - 2 * kInset) / int(all.size());
    for (int line = 0; line < all.size(); ++line) {
        const QList<int>& on = all.at(line);
        const int at = int(on.indexOf(index));
        if (at < 0)
            continue;
        const int n = int(on.size());
        int natural = 0;
        for (int i : on)
            natural += naturalWidth(i);
        const int extra = inner - natural;
        int left = kInset;
        for (int k = 0; k < at; ++k)
            left += naturalWidth(on.at(k)) + extra * (k + 1) / n - extra * k / n;
        const int w = naturalWidth(index) + extra * (at + 1) / n - extra * at / n;
        const bool last = line == all.size() - 1;
        const int top = kInset + line * lineHeight;
        return QRect(left, top, w, last ? height() - kInset - top : lineHeight);
    }
    return QRect();
}

int SegmentedControl::segmentAt(const QPoint& pos) const {
    for (int i = 0; i < count(); ++i)
        if (segmentRect(i).contains(pos))
            return i;
    return -1;
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool dark = Color::isDark(pal);
    const QColor primary = QKForeground::color(QKForeground::Primary, pal);

    QPainterPath track;
    track.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    const QColor trackFill = withAlpha(primary, dark ? 0.10 : 0.07);
    p.fillPath(track, trackFill);
    p.setPen(QPen(withAlpha(primary, 0.08), 1));
    p.drawPath(track);

    for (int i = 0; i < count(); ++i) {
        const QRectF seg = QRectF(segmentRect(i));
        if (i == m_current) {
            QPainterPath thumb;
            thumb.addRoundedRect(seg, kRadius - kInset, kRadius - kInset);
            p.fillPath(thumb.translated(0, 0.5), QColor(0, 0, 0, dark ? 60 : 22));
            const QColor thumbFill = dark ? QColor(0x63, 0x63, 0x68) : QColor(Qt::white);
            p.fillPath(thumb, thumbFill);
            // The ring runs inside the thumb, clear of its edge: there it is seen against the
            // thumb alone, not beside the track's outline or the shadow under the thumb, which
            // stand too close to the accent in the light theme.
            if (QKFocusRing::shows(this))
                QKFocusRing::paint(p,
                                   seg.adjusted(kRingInset, kRingInset, -kRingInset, -kRingInset),
                                   kRadius - kInset - kRingInset, pal, thumbFill, {thumbFill});
        } else if (i == m_hovered && isEnabled()) {
            QKPaint::fillRounded(p, seg, kRadius - kInset, withAlpha(primary, 0.05));
        }
        QColor ink = primary;
        if (!isEnabled())
            ink = withAlpha(ink, 0.4);
        p.setPen(ink);
        QFont f = font();
        if (i == m_current)
            f.setWeight(QFont::Medium);
        p.setFont(f);
        p.drawText(seg, Qt::AlignCenter, m_labels.at(i));
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    activateSegment(segmentAt(event->position().toPoint()));
}

void SegmentedControl::mouseMoveEvent(QMouseEvent* event) {
    const int index = segmentAt(event->position().toPoint());
    if (index != m_hovered) {
        m_hovered = index;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void SegmentedControl::leaveEvent(QEvent* event) {
    m_hovered = -1;
    update();
    QWidget::leaveEvent(event);
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    if (count() == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    int next = -1;
    switch (event->key()) {
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = count() - 1;
        break;
    case Qt::Key_Left:
        next = std::max(0, (m_current < 0 ? count() : m_current) - 1);
        break;
    case Qt::Key_Right:
        next = std::min(count() - 1, m_current + 1);
        break;
    // The arrows already choose as they move; Space and Return choose the first segment of a
    // picker that holds no choice yet, and otherwise keep the one chosen.
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        next = m_current < 0 ? 0 : m_current;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (next != m_current)
        activateSegment(next);
}

void SegmentedControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        if (m_widthLimit >= 0)
            setWidthLimit(m_widthLimit);
        updateGeometry();
    }
    QWidget::changeEvent(event);
}
