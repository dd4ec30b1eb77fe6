#include "ui-kit/Color.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <QGuiApplication>

namespace Color {

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

quint64 scanHex(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i + 1 < text.size() && text.at(i) == u'0' &&
        (text.at(i + 1) == u'x' || text.at(i + 1) == u'X'))
        i += 2;
    quint64 value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const int d = hexDigit(text.at(i));
        if (d < 0)
            break;
        if (value > (std::numeric_limits<quint64>::max() >> 4))
            overflow = true;
        value = (value << 4) | quint64(d);
    }
    return overflow ? std::numeric_limits<quint64>::max() : value;
}

} // namespace

QColor hex(QStringView text) {
    const quint64 n = scanHex(text);
    return QColor::fromRgb(int((n >> 16) & 0xFF), int((n >> 8) & 0xFF), int(n & 0xFF));
}

const QColor& brandBlue() {
    static const QColor c = hex(u"2457D6");
    return c;
}
const QColor& brandBlueLight() {
    static const QColor c = hex(u"316FE7");
    return c;
}
const QColor& brandIndigo() {
    static const QColor c = hex(u"5A48D8");
    return c;
}
const QColor& softWhite() {
    static const QColor c = QColor::fromRgbF(1, 1, 1, 0.18f);
    return c;
}

QColor appWindowBackground(const QPalette& palette) {
    return palette.color(QPalette::Window);
}
QColor appWindowBackground() {
    return appWindowBackground(QGuiApplication::palette());
}
QColor cardFill(const QPalette& palette) {
    return palette.color(QPalette::Base);
}
QColor cardStroke(const QPalette& palette) {
    QColor c = palette.color(QPalette::WindowText);
    c.setAlphaF(0.09f);
    return c;
}

QColor system(SystemColor color, bool dark) {
    struct Pair {
        const char16_t* light;
        const char16_t* dark;
    };
    // In the order of SystemColor.
    static constexpr Pair kPairs[] = {
        {u"007AFF", u"0A84FF"}, // Blue
        {u"A04BD0", u"BF5AF2"}, // Purple
        {u"1F9D48", u"32D74B"}, // Green
        {u"E07800", u"FF9F0A"}, // Orange
        {u"E8335A", u"FF375F"}, // Pink
        {u"1A9BB3", u"40C8E0"}, // Teal
        {u"E0352B", u"FF453A"}, // Red
    };
    const auto index = std::size_t(color);
    if (index >= std::size(kPairs))
        return hex(kPairs[0].light);
    return hex(dark ? kPairs[index].dark : kPairs[index].light);
}

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

double luminance(const QColor& color) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

QColor over(const QColor& top, const QColor& bottom) {
    const float a = top.alphaF();
    return QColor::fromRgbF(top.redF() * a + bottom.redF() * (1 - a),
                            top.greenF() * a + bottom.greenF() * (1 - a),
                            top.blueF() * a + bottom.blueF() * (1 - a));
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace Color
