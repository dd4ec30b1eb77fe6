#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/ThemeSettings.h"

#include <optional>
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>

class UserDefaults;
class QWidget;

// The look of every window, driven by "theme.appearance", "theme.accent" and "theme.fontSize".
//
// One instance per process (shared(), bound to UserDefaults::standard()) owns the application
// palette and font: it follows changed(key) of those three keys at once, so a change made in
// any window shows in every window, with every widget updated in place (nothing is rebuilt).
// - Appearance: "Light" and "Dark" force a scheme; "Match macOS" and any unrecognised value
//   follow the system, which on Qt 6.4 means the platform palette Qt started with (dark when its
//   window background is darker than its text; Qt 6.5+ asks QStyleHints::colorScheme()).
// - Accent: the palette's Highlight (the tint); unrecognised texts count as "Blue".
// - Text size: fontScale() from the step (TextSize); the application font becomes the body style
//   at that scale, and every widget styled through QKFont::apply is re-sized.
// Main thread only.
class Themed : public QObject {
    Q_OBJECT
    Q_PROPERTY(qreal fontScale READ fontScale NOTIFY fontScaleChanged)
    Q_PROPERTY(bool dark READ isDark NOTIFY colorSchemeChanged)
    Q_PROPERTY(QColor accentColor READ accentColor NOTIFY accentColorChanged)
public:
    // Takes over the application palette and font at once.
    explicit Themed(UserDefaults& defaults, QObject* parent = nullptr);

    static Themed& shared();

    // Puts a top-level window (main window, settings window, menu-bar panel, sheets) under the
    // theme: it paints the themed window background.
    static void apply(QWidget* window);
    // Draws a part of a window in a fixed scheme (the sidebar is always dark), keeping the
    // current accent; its children inherit it.
    static void applyScheme(QWidget* widget, ColorScheme scheme);

    qreal fontScale() const { return m_scale; }
    bool isDark() const { return m_scheme == ColorScheme::Dark; }
    // What "theme.appearance" asks for; nothing when following the system.
    std::optional<ColorScheme> preferredScheme() const { return m_preferred; }
    AccentChoice accent() const { return m_accent; }
    QColor accentColor() const { return accentColor(m_accent, m_scheme); }
    bool systemPrefersDark() const;

    // The palette of a scheme with an accent, and the accent's colour in a scheme.
    static QPalette palette(ColorScheme scheme, const QColor& accent);
    static QColor accentColor(AccentChoice accent, ColorScheme scheme);
    // The application font at a scale: the body style, regular weight, default design.
    static QFont defaultFont(qreal scale);

signals:
    void fontScaleChanged(qreal scale);
    // The desktop's own light or dark preference changed (whatever the app's appearance is).
    void systemSchemeChanged(bool dark);
    void colorSchemeChanged(bool dark);
    void accentColorChanged(const QColor& accent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the three keys; re-applies what changed (everything when force) and announces it.
    void reload(bool force);
    void applyPalette();
    void applyFonts();
    void refreshSystemPalette();

    UserDefaults& m_defaults;
    qreal m_scale = QKFontScaleKey::defaultValue;
    ColorScheme m_scheme = ColorScheme::Light;
    std::optional<ColorScheme> m_preferred;
    AccentChoice m_accent = AccentChoice::Blue;
    QPalette m_platformPalette;
    bool m_systemRefreshQueued = false;
};
