#include "platform/UserDefaults.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>

namespace {

// Every test starts from a fresh install's look and leaves it so.
class ThemeTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        for (const QString& key : {ThemeKeys::Appearance, ThemeKeys::Accent, ThemeKeys::FontSize})
            UserDefaults::standard().remove(key);
    }
    // Stores a value and lets the application's font and palette reach every widget (Qt
    // delivers those changes to existing widgets on the next turn of the event loop).
    static void store(const QString& key, const QJsonValue& value) {
        UserDefaults::standard().setValue(key, value);
        QApplication::processEvents();
    }
};

TEST(ColorHex, ReadsTheLowTwentyFourBitsOfAHexNumber) {
    const QColor c = Color::hex(u"2457D6");
    EXPECT_EQ(c.red(), 36);
    EXPECT_EQ(c.green(), 87);
    EXPECT_EQ(c.blue(), 214);
    EXPECT_EQ(c.alpha(), 255);
    // Bits above 23 are ignored; the scanner's prefix and leading blanks are accepted.
    EXPECT_EQ(Color::hex(u"FF2457D6"), c);
    EXPECT_EQ(Color::hex(u"0x2457D6"), c);
    EXPECT_EQ(Color::hex(u"  2457d6"), c);
    // The scan stops at the first character that is no hex digit.
    EXPECT_EQ(Color::hex(u"2457D6 is blue"), c);
}

TEST(ColorHex, TextThatDoesNotScanIsBlack) {
    for (const char16_t* text : {u"#2457D6", u"", u"navy", u"-2457D6"})
        EXPECT_EQ(Color::hex(text), QColor(0, 0, 0)) << QString::fromUtf16(text).toStdString();
}

TEST(ColorHex, NumberBeyondSixtyFourBitsSaturates) {
    EXPECT_EQ(Color::hex(u"1000000000000000000"), QColor(255, 255, 255));
}

TEST(ColorHex, BrandColours) {
    EXPECT_EQ(Color::brandBlue(), QColor(0x24, 0x57, 0xD6));
    EXPECT_EQ(Color::brandBlueLight(), QColor(0x31, 0x6F, 0xE7));
    EXPECT_EQ(Color::brandIndigo(), QColor(0x5A, 0x48, 0xD8));
    EXPECT_NEAR(Color::softWhite().alphaF(), 0.18, 0.005);
}

TEST(ThemeSettings, OnlyExactRawValuesAreRecognised) {
    EXPECT_EQ(preferredColorScheme(QJsonValue(QStringLiteral("Dark"))), ColorScheme::Dark);
    EXPECT_EQ(preferredColorScheme(QJsonValue(QStringLiteral("Light"))), ColorScheme::Light);
    for (const QJsonValue& v :
         {QJsonValue(QStringLiteral("dark")), QJsonValue(QStringLiteral("Dark ")),
          QJsonValue(QStringLiteral("Match macOS")), QJsonValue(1), QJsonValue()})
        EXPECT_FALSE(preferredColorScheme(v).has_value());

    EXPECT_EQ(effectiveAccent(QJsonValue()), AccentChoice::Blue);
    EXPECT_EQ(effectiveAccent(QJsonValue(QStringLiteral("Teal"))), AccentChoice::Teal);
    EXPECT_EQ(effectiveAccent(QJsonValue(QStringLiteral("teal"))), AccentChoice::Blue);
    EXPECT_EQ(fromRawValue<AppAppearance>(QStringLiteral("Match macOS")), AppAppearance::System);
    // The stored value stays; the picker names what it follows here.
    EXPECT_EQ(rawValue(AppAppearance::System), "Match macOS");
    EXPECT_EQ(title(AppAppearance::System), "Match system");
    EXPECT_FALSE(fromRawValue<AppAppearance>(QStringLiteral("Match system")).has_value());
    EXPECT_EQ(title(AppAppearance::Dark), "Dark");
    EXPECT_EQ(allCases<AccentChoice>().size(), 6);
}

TEST_F(ThemeTest, AppearanceAndAccentReachTheApplicationPalette) {
    Themed& theme = Themed::shared();
    EXPECT_FALSE(theme.isDark()); // the offscreen platform is light

    store(ThemeKeys::Appearance, QStringLiteral("Dark"));
    EXPECT_TRUE(theme.isDark());
    EXPECT_TRUE(Color::isDark(QApplication::palette()));

    store(ThemeKeys::Appearance, QStringLiteral("dark")); // not a raw value: follows the system
    EXPECT_FALSE(theme.isDark());
    EXPECT_FALSE(theme.preferredScheme().has_value());

    store(ThemeKeys::Accent, QStringLiteral("Teal"));
    EXPECT_EQ(QApplication::palette().color(QPalette::Active, QPalette::Highlight),
              Themed::accentColor(AccentChoice::Teal, ColorScheme::Light));
    store(ThemeKeys::Accent, QStringLiteral("Mauve"));
    EXPECT_EQ(theme.accent(), AccentChoice::Blue);
}

TEST_F(ThemeTest, ForegroundStylesFollowAnAppearanceSwitchInPlace) {
    QWidget window;
    Themed::apply(&window);
    auto* secondary = new QLabel(QStringLiteral("Secondary"), &window);
    QKForeground::apply(secondary, QKForeground::Secondary);
    auto* tint = new QLabel(QStringLiteral("Tint"), &window);
    QKForeground::apply(tint, QKForeground::Tint);
    window.show();
    QApplication::processEvents();
    const QColor lightText = secondary->palette().color(QPalette::WindowText);
    EXPECT_LT(lightText.lightness(), 128);

    store(ThemeKeys::Appearance, QStringLiteral("Dark"));
    EXPECT_GT(secondary->palette().color(QPalette::WindowText).lightness(), 128);
    EXPECT_TRUE(Color::isDark(secondary->palette())); // its other roles still follow the window
    store(ThemeKeys::Accent, QStringLiteral("Pink"));
    EXPECT_EQ(tint->palette().color(QPalette::WindowText),
              Themed::accentColor(AccentChoice::Pink, ColorScheme::Dark));
    store(ThemeKeys::Appearance, QStringLiteral("Light"));
    EXPECT_EQ(secondary->palette().color(QPalette::WindowText), lightText);
}

TEST_F(ThemeTest, FixedSchemePartKeepsItsSchemeAndFollowsTheAccent) {
    QWidget sidebar;
    Themed::applyScheme(&sidebar, ColorScheme::Dark);
    auto* caption = new QLabel(QStringLiteral("v1"), &sidebar);
    QKForeground::apply(caption, QKForeground::Tint);
    sidebar.show();
    store(ThemeKeys::Appearance, QStringLiteral("Light"));
    EXPECT_TRUE(Color::isDark(sidebar.palette()));
    EXPECT_TRUE(Color::isDark(caption->palette()));
    store(ThemeKeys::Accent, QStringLiteral("Orange"));
    const QColor orange = Themed::accentColor(AccentChoice::Orange, ColorScheme::Dark);
    EXPECT_EQ(sidebar.palette().color(QPalette::Active, QPalette::Highlight), orange);
    EXPECT_EQ(caption->palette().color(QPalette::Active, QPalette::WindowText), orange);
}

TEST(QKFontSizes, ScaledSizesRoundHalvesAwayFromZero) {
    EXPECT_EQ(QKFont{.fixedSize = 20}.resolve(TextSize::scale(4)).pixelSize(), 27);
    EXPECT_EQ(QKFont{.fixedSize = 13}.resolve(TextSize::scale(0)).pixelSize(), 11); // 11.05
    EXPECT_EQ(QKFont::scaledSize(10, 1.35), 14);                                    // 13.5
    EXPECT_EQ(QKFont{.style = TextStyle::Body}.resolve(1.0).pixelSize(),
              int(QKFont::preferredSize(TextStyle::Body)));
}

TEST(QKFontSizes, HeadlineDefaultsToSemibold) {
    EXPECT_EQ(QKFont{.style = TextStyle::Headline}.resolve(1.0).weight(), QFont::DemiBold);
    EXPECT_EQ(QKFont{.style = TextStyle::Caption}.resolve(1.0).weight(), QFont::Normal);
    EXPECT_EQ((QKFont{.style = TextStyle::Headline, .weight = QFont::Normal}.resolve(1.0).weight()),
              QFont::Normal);
}

TEST_F(ThemeTest, StepChangeResizesExistingWidgetsInPlace) {
    QWidget window;
    Themed::apply(&window);
    auto* styled = new QLabel(QStringLiteral("Styled"), &window);
    QKFont::apply(styled, QKFont{.fixedSize = 20});
    auto* plain = new QLabel(QStringLiteral("Plain"), &window);
    window.show();
    QApplication::processEvents();

    EXPECT_EQ(styled->font().pixelSize(), 20);
    EXPECT_EQ(QFontInfo(plain->font()).pixelSize(), 13);

    store(ThemeKeys::FontSize, 4);
    EXPECT_DOUBLE_EQ(Themed::shared().fontScale(), 1.35);
    EXPECT_EQ(styled->font().pixelSize(), 27);
    EXPECT_EQ(QFontInfo(plain->font()).pixelSize(), 18); // 13 × 1.35 = 17.55

    store(ThemeKeys::FontSize, 9); // out of range: the nearest step, Biggest
    EXPECT_EQ(styled->font().pixelSize(), 27);
    store(ThemeKeys::FontSize, 2);
    EXPECT_EQ(styled->font().pixelSize(), 20);
    store(ThemeKeys::FontSize, QStringLiteral("3"));
    EXPECT_DOUBLE_EQ(Themed::shared().fontScale(), 1.0);
}

} // namespace
