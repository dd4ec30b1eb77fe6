#include "ui-kit/QKFont.h"

#include "ui-kit/Themed.h"

#include <cmath>
#include <QFontDatabase>
#include <QFontInfo>
#include <QVariant>
#include <QWidget>

namespace {
constexpr char kProperty[] = "_qk_font";
}

qreal QKFont::preferredSize(TextStyle style) {
    // Sizes in device-independent pixels, which Qt scales with the screen like the points of
    // the rest of the layout. Captions sit a little above the smallest desktop sizes so that
    // they stay legible at step 0 on a normal-density screen.
    switch (style) {
    case TextStyle::LargeTitle:
        return 26;
    case TextStyle::Title:
        return 22;
    case TextStyle::Title2:
        return 17;
    case TextStyle::Title3:
        return 15;
    case TextStyle::Headline:
        return 13;
    case TextStyle::Subheadline:
        return 11;
    case TextStyle::Body:
        return 13;
    case TextStyle::Callout:
        return 12;
    case TextStyle::Footnote:
        return 11;
    case TextStyle::Caption:
        return 11;
    case TextStyle::Caption2:
        return 10;
    }
    return 13;
}

int QKFont::scaledSize(qreal base, qreal scale) {
    return int(std::round(base * scale));
}

qreal QKFont::baseSize() const {
    return fixedSize ? *fixedSize : preferredSize(style.value_or(TextStyle::Body));
}

QFont::Weight QKFont::effectiveWeight() const {
    if (weight)
        return *weight;
    return style == TextStyle::Headline ? QFont::DemiBold : QFont::Normal;
}

QString QKFont::family(FontDesign design) {
    switch (design) {
    case FontDesign::Monospaced: {
        static const QString mono = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        return mono;
    }
    case FontDesign::Serif: {
        static const QString serif = [] {
            QFont f(QStringLiteral("serif"));
            f.setStyleHint(QFont::Serif);
            return QFontInfo(f).family();
        }();
        return serif;
    }
    case FontDesign::Default:
    case FontDesign::Rounded:
        break;
    }
    static const QString sans = [] {
        const QString inter = QStringLiteral("Inter");
        if (QFontDatabase::families().contains(inter))
            return inter;
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return sans;
}

QFont QKFont::resolve(qreal scale) const {
    QFont font(family(design));
    if (design == FontDesign::Monospaced)
        font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(1, scaledSize(baseSize(), scale)));
    font.setWeight(effectiveWeight());
    return font;
}

QFont QKFont::current() const {
    return resolve(Themed::shared().fontScale());
}

void QKFont::apply(QWidget* widget, const QKFont& font) {
    if (!widget)
        return;
    widget->setProperty(kProperty, QVariant::fromValue(font));
    widget->setFont(font.current());
}

void QKFont::apply(QWidget* widget, TextStyle style, std::optional<QFont::Weight> weight,
                   FontDesign design) {
    apply(widget, QKFont{.style = style, .weight = weight, .design = design});
}

std::optional<QKFont> QKFont::of(const QWidget* widget) {
    const QVariant v = widget ? widget->property(kProperty) : QVariant();
    if (!v.isValid() || !v.canConvert<QKFont>())
        return std::nullopt;
    return v.value<QKFont>();
}
