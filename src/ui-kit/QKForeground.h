#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The foreground styles of text and symbols: primary, secondary, tertiary and quaternary text,
// the accent (tint), and the named status colours. A style is resolved against the palette the
// widget inherits, so it follows the appearance, the accent and a part of a window drawn in a
// fixed scheme (the dark sidebar) without any rebuild.
struct QKForeground {
    enum Style { Primary, Secondary, Tertiary, Quaternary, Tint, Green, Orange, Red };

    // The colour of a style on a background painted with this palette.
    static QColor color(Style style, const QPalette& inherited);

    // Sets the widget's text roles (WindowText, Text, ButtonText) to the style and keeps them
    // right whenever the inherited palette or the parent changes.
    static void apply(QWidget* widget, Style style);
};
