#pragma once

#include <optional>
#include <QFont>
#include <QMetaType>

class QWidget;

// The text styles of the interface. Each has a preferred size (a fixed table: Qt has no
// per-style query) that the text-size scale multiplies.
enum class TextStyle {
    LargeTitle,
    Title,
    Title2,
    Title3,
    Headline,
    Subheadline,
    Body,
    Callout,
    Footnote,
    Caption,
    Caption2
};

enum class FontDesign { Default, Serif, Rounded, Monospaced };

// The scale every text is multiplied by when nothing has set one.
struct QKFontScaleKey {
    static constexpr qreal defaultValue = 1.0;
};

// How one text is styled: the style (absent = body) or a fixed size in points, an optional
// weight (absent = semibold for headline, regular otherwise), a design, and tabular digits.
// The size in force is the base size times the current text-size scale, rounded to the nearest
// whole point, halves away from zero.
//
// Every widget that shows text styles it through apply(): the style is recorded on the widget,
// so a change of the text-size step re-sizes the widget's font in place. A widget that never
// calls apply() takes the application font, which Themed scales too. No widget may set a
// point or pixel size of its own.
struct QKFont {
    std::optional<TextStyle> style = std::nullopt;
    std::optional<qreal> fixedSize = std::nullopt;
    std::optional<QFont::Weight> weight = std::nullopt;
    FontDesign design = FontDesign::Default;
    // Digits of equal width. Qt 6.4 cannot switch a font's digit forms, so this is honoured by
    // the widgets that paint their own text (QKLineLabel); a QLabel shows the font's own digits.
    bool monospacedDigit = false;

    // The preferred size of a style before scaling, in points (device-independent pixels).
    static qreal preferredSize(TextStyle style);
    // round(base × scale), halves away from zero.
    static int scaledSize(qreal base, qreal scale);

    qreal baseSize() const;
    QFont::Weight effectiveWeight() const;
    // The font at the given scale.
    QFont resolve(qreal scale) const;
    // The font at the current scale of the application (Themed::shared()).
    QFont current() const;

    // Styles the widget now and whenever the text-size step changes.
    static void apply(QWidget* widget, const QKFont& font);
    static void apply(QWidget* widget, TextStyle style,
                      std::optional<QFont::Weight> weight = std::nullopt,
                      FontDesign design = FontDesign::Default);
    // The style recorded on a widget by apply(), if any.
    static std::optional<QKFont> of(const QWidget* widget);

    // The family used for a design: Inter when installed (else the platform sans) for default
    // and rounded, the platform's fixed-pitch family for monospaced, its serif for serif.
    static QString family(FontDesign design);
};

Q_DECLARE_METATYPE(QKFont)
