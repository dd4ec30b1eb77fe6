#include "ui-kit/QKPushButton.h"

#include "ui-kit/QKButtonFace.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"

#include <QFontMetrics>

QKPushButton::QKPushButton(const QString& text, std::optional<QFont::Weight> weight,
                           QWidget* parent)
    : QPushButton(text, parent), m_weight(weight) {
    setAutoDefault(false);
    QKFocusRing::pressOnReturn(this);
    QKFocusRing::drawsOwnRing(this);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    QKFont::apply(this, TextStyle::Body, weight);
}

void QKPushButton::setSmall(bool small) {
    m_small = small;
    QKFont::apply(this, small ? TextStyle::Callout : TextStyle::Body, m_weight);
    updateGeometry();
    update();
}

QSize QKPushButton::sizeHint() const {
    return QKButtonFace::frameFor(font(), QFontMetrics(font()).horizontalAdvance(text()), m_small);
}
