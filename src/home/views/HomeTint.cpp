#include "home/views/HomeTint.h"

#include "ui-kit/Color.h"
#include "ui-kit/QKForeground.h"

namespace HomeTint {

QColor color(HomeTone tone, const QPalette& palette) {
    const bool dark = Color::isDark(palette);
    switch (tone) {
    case HomeTone::Green:
        return Color::system(Color::SystemColor::Green, dark);
    case HomeTone::Yellow:
        // The interface has no yellow of its own; these two stay legible as text and symbols on
        // the light and the dark window.
        return dark ? Color::hex(u"FFD60A") : Color::hex(u"B88A00");
    case HomeTone::Orange:
        return Color::system(Color::SystemColor::Orange, dark);
    case HomeTone::Red:
        return Color::system(Color::SystemColor::Red, dark);
    case HomeTone::Accent:
        return QKForeground::color(QKForeground::Tint, palette);
    case HomeTone::Secondary:
        break;
    }
    return QKForeground::color(QKForeground::Secondary, palette);
}

QColor color(HomeTone tone, const QPalette& palette, qreal opacity) {
    QColor c = color(tone, palette);
    c.setAlphaF(float(c.alphaF() * opacity));
    return c;
}

} // namespace HomeTint
