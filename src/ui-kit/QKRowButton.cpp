#include "ui-kit/QKRowButton.h"

#include <QMouseEvent>
#include <QRect>

namespace QKRowButton {

Hit hit(const QEvent* event, const QRect& button) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return Hit::Elsewhere;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !button.contains(mouse->position().toPoint()))
        return Hit::Elsewhere;
    return type == QEvent::MouseButtonRelease ? Hit::Clicked : Hit::Taken;
}

} // namespace QKRowButton
