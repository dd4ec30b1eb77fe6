#include "ui-kit/Themed.h"

#include "platform/UserDefaults.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/TextSize.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

namespace {

constexpr char kSchemeProperty[] = "_qk_scheme";

QColor blend(const QColor& top, float alpha, const QColor& bottom) {
    return QColor::fromRgbF(top.redF() * alpha + bottom.redF() * (1 - alpha),
                            top.greenF() * alpha + bottom.greenF() * (1 - alpha),
                            top.blueF() * alpha + bottom.blueF() * (1 - alpha));
}

} // namespace

Themed::Themed(UserDefaults& defaults, QObject* parent) : QObject(parent), m_defaults(defaults) {
    // What the platform offers before anything of ours replaces it.
    m_platformPalette = QGuiApplication::palette();
    connect(&m_defaults, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == ThemeKeys::Appearance || key == ThemeKeys::Accent || key == ThemeKeys::FontSize)
            reload(false);
    });
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this, [this] {
        reload(false);
        emit systemSchemeChanged(systemPrefersDark());
    });
#endif
    if (qApp)
        qApp->installEventFilter(this);
    reload(true);
}

Themed& Themed::shared() {
    static QPointer<Themed> instance;
    if (!instance)
        instance = new Themed(UserDefaults::standard(), qApp);
    return *instance;
}

bool Themed::systemPrefersDark() const {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const Qt::ColorScheme hinted = QGuiApplication::styleHints()->colorScheme();
    if (hinted != Qt::ColorScheme::Unknown)
        return hinted == Qt::ColorScheme::Dark;
#endif
    return m_platformPalette.color(QPalette::Window).lightness() <
           m_platformPalette.color(QPalette::WindowText).lightness();
}

void Themed::reload(bool force) {
    const qreal scale = TextSize::scale(TextSize::rawStep(m_defaults));
    m_preferred = preferredColorScheme(m_defaults.value(ThemeKeys::Appearance));
    const ColorScheme scheme =
        m_preferred.value_or(systemPrefersDark() ? ColorScheme::Dark : ColorScheme::Light);
    const AccentChoice accent = effectiveAccent(m_defaults.value(ThemeKeys::Accent));

    const bool schemeChanged = scheme != m_scheme;
    const bool accentChanged = accent != m_accent || schemeChanged;
    const bool scaleChanged = !qFuzzyCompare(scale, m_scale);
    m_scheme = scheme;
    m_accent = accent;
    m_scale = scale;

    if (force || schemeChanged || accentChanged)
        applyPalette();
    if (force || scaleChanged)
        applyFonts();
    if (schemeChanged)
        emit colorSchemeChanged(isDark());
    if (accentChanged)
        emit accentColorChanged(accentColor());
    if (scaleChanged)
        emit fontScaleChanged(m_scale);
}

void Themed::applyPalette() {
    const QPalette pal = palette(m_scheme, accentColor());
    QApplication::setPalette(pal);
    QToolTip::setPalette(pal);
    // Parts drawn in a fixed scheme keep it, with the new accent.
    for (QWidget* w : QApplication::allWidgets()) {
        const QVariant fixed = w->property(kSchemeProperty);
        if (fixed.isValid()) {
            const auto scheme = ColorScheme(fixed.toInt());
            w->setPalette(palette(scheme, accentColor(m_accent, scheme)));
        }
    }
}

void Themed::applyFonts() {
    QApplication::setFont(defaultFont(m_scale));
    for (QWidget* w : QApplication::allWidgets()) {
        if (const std::optional<QKFont> style = QKFont::of(w))
            w->setFont(style->resolve(m_scale));
    }
}

void Themed::apply(QWidget* window) {
    if (!window)
        return;
    shared();
    QKFocusRing::watchScrollAreas();
    window->setBackgroundRole(QPalette::Window);
    window->setAutoFillBackground(true);
}

void Themed::applyScheme(QWidget* widget, ColorScheme scheme) {
    if (!widget)
        return;
    const Themed& theme = shared();
    widget->setProperty(kSchemeProperty, int(scheme));
    widget->setPalette(palette(scheme, accentColor(theme.accent(), scheme)));
}

QColor Themed::accentColor(AccentChoice accent, ColorScheme scheme) {
    const bool dark = scheme == ColorScheme::Dark;
    using SC = Color::SystemColor;
    switch (accent) {
    case AccentChoice::Blue:
        return Color::system(SC::Blue, dark);
    case AccentChoice::Purple:
        return Color::system(SC::Purple, dark);
    case AccentChoice::Green:
        return Color::system(SC::Green, dark);
    case AccentChoice::Orange:
        return Color::system(SC::Orange, dark);
    case AccentChoice::Pink:
        return Color::system(SC::Pink, dark);
    case AccentChoice::Teal:
        return Color::system(SC::Teal, dark);
    }
    return Color::system(SC::Blue, dark);
}

QPalette Themed::palette(ColorScheme scheme, const QColor& accent) {
    const bool dark = scheme == ColorScheme::Dark;
    const QColor window = dark ? QColor(0x1E, 0x1E, 0x21) : QColor(0xF1, 0xF2, 0xF5);
    const QColor base = dark ? QColor(0x2A, 0x2A, 0x2E) : QColor(0xFF, 0xFF, 0xFF);
    const QColor text = dark ? QColor(0xF2, 0xF2, 0xF5) : QColor(0x1D, 0x1D, 0x1F);
    const QColor button = dark ? QColor(0x38, 0x38, 0x3D) : QColor(0xFB, 0xFB, 0xFC);

    QPalette p;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor fg = disabled ? blend(text, 0.35f, window) : text;
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, fg);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase,
                   dark ? QColor(0x31, 0x31, 0x35) : QColor(0xF6, 0xF7, 0xF9));
        p.setColor(group, QPalette::Text, disabled ? blend(text, 0.35f, base) : text);
        p.setColor(group, QPalette::Button, button);
        p.setColor(group, QPalette::ButtonText, disabled ? blend(text, 0.35f, button) : text);
        p.setColor(group, QPalette::BrightText, Qt::white);
        p.setColor(group, QPalette::Light, dark ? QColor(0x4A, 0x4A, 0x50) : Qt::white);
        p.setColor(group, QPalette::Midlight,
                   dark ? QColor(0x3C, 0x3C, 0x41) : QColor(0xE6, 0xE7, 0xEB));
        p.setColor(group, QPalette::Mid,
                   dark ? QColor(0x2E, 0x2E, 0x33) : QColor(0xC9, 0xCA, 0xD0));
        p.setColor(group, QPalette::Dark,
                   dark ? QColor(0x15, 0x15, 0x17) : QColor(0xA3, 0xA4, 0xAB));
        p.setColor(group, QPalette::Shadow, QColor(0, 0, 0, dark ? 160 : 70));
        p.setColor(group, QPalette::Highlight, disabled ? blend(accent, 0.4f, window) : accent);
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::Link, accent);
        p.setColor(group, QPalette::LinkVisited, accent.darker(120));
        p.setColor(group, QPalette::ToolTipBase, dark ? QColor(0x2E, 0x2E, 0x33) : Qt::white);
        p.setColor(group, QPalette::ToolTipText, text);
        p.setColor(group, QPalette::PlaceholderText, blend(text, 0.40f, base));
    }
    return p;
}

QFont Themed::defaultFont(qreal scale) {
    return QKFont{.style = TextStyle::Body, .weight = QFont::Normal}.resolve(scale);
}

bool Themed::eventFilter(QObject* watched, QEvent* event) {
    // The platform's theme changed: look again at its palette, once per burst of events.
    if (event->type() == QEvent::ThemeChange && !m_systemRefreshQueued) {
        m_systemRefreshQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_systemRefreshQueued = false;
            refreshSystemPalette();
        });
    }
    return QObject::eventFilter(watched, event);
}

void Themed::refreshSystemPalette() {
    const bool wasDark = systemPrefersDark();
    // A default palette carries no roles of its own, so setting it exposes the platform's.
    QApplication::setPalette(QPalette());
    m_platformPalette = QGuiApplication::palette();
    reload(true);
    if (systemPrefersDark() != wasDark)
        emit systemSchemeChanged(!wasDark);
}
