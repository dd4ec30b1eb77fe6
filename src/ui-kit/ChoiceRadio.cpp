#include "ui-kit/ChoiceRadio.h"

#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"

#include <algorithm>
#include <cmath>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QPainter>

ChoiceRadio::ChoiceRadio(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on)
            takeTabStop();
    });
}

void ChoiceRadio::takeTabStop() {
    // Qt moves the set's one Tab stop to a member only when that member takes the focus, so a
    // choice made by the program (a setting read at start) left Tab landing on the first member.
    QList<QAbstractButton*> set;
    if (QButtonGroup* group = this->group(); group && group->exclusive())
        set = group->buttons();
    else if (autoExclusive() && parentWidget())
        set = parentWidget()->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (QAbstractButton* member : std::as_const(set)) {
        if (!member->isCheckable() || (member != this && !member->autoExclusive() && !group()))
            continue;
        const Qt::FocusPolicy policy = member->focusPolicy();
        member->setFocusPolicy(member == this ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                              : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

int ChoiceRadio::indicator() const {
    // A little larger than the capitals of the label, so it grows with the text size.
    return std::max(12, int(std::lround(QFontMetrics(font()).ascent() * 1.05)));
}

QSize ChoiceRadio::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(indicator() + kGap + fm.horizontalAdvance(text()) + 2,
                 std::max(fm.height(), indicator()) + 4);
}

void ChoiceRadio::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const qreal fade = isEnabled() ? 1.0 : 0.45;
    const int d = indicator();
    const QRectF dot(0.5, (height() - d) / 2.0 + 0.5, d - 1, d - 1);

    QColor primary = QKForeground::color(QKForeground::Primary, pal);
    if (isChecked()) {
        QColor accent = pal.color(QPalette::Active, QPalette::Highlight);
        accent.setAlphaF(float(fade));
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawEllipse(dot);
        const qreal inner = d * 0.36;
        p.setBrush(QColor(255, 255, 255, int(255 * fade)));
        p.drawEllipse(dot.center(), inner / 2, inner / 2);
    } else {
        QColor ring = primary;
        ring.setAlphaF(float(0.35 * fade));
        p.setPen(QPen(ring, 1));
        p.setBrush(pal.color(QPalette::Base));
        p.drawEllipse(dot);
    }
    // Around the whole choice, label included: a ring around the dot alone is too small to see.
    if (QKFocusRing::shows(this))
        QKFocusRing::paint(p, QRectF(rect()), 4, pal);

    primary.setAlphaF(float(primary.alphaF() * fade));
    p.setPen(primary);
    p.setFont(font());
    p.drawText(QRect(d + kGap, 0, width() - d - kGap, height()), Qt::AlignLeft | Qt::AlignVCenter,
               text());
}
