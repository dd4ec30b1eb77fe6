// The settings form and the About screen: run mode and its login-item error, the look settings
// shared between windows, and the version line.
#include "shell/views/SettingsView.h"
#include "platform/LoginItem.h"
#include "platform/UserDefaults.h"
#include "shell/AppVersion.h"
#include "shell/RunModeManager.h"
#include "shell/SettingsText.h"
#include "shell/UpdaterManager.h"
#include "shell/views/AboutView.h"
#include "shell/views/AccentSwatch.h"
#include "shell/views/ThemePicker.h"
#include "support/AccessibleAudit.h"
#include "support/KeyboardWindow.h"
#include "support/TestSupport.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"
#include "ui-kit/ToggleSwitch.h"

#include "fakes/FakeLoginItem.h"
#include "support/Find.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

struct SettingsTest : ::testing::Test {
    UserDefaults defaults{testsupport::freshDir("settings") + "/defaults.json"};
    FakeLoginItem login;
    RunModeManager runMode{defaults, login};
    UpdaterManager updater{defaults};
};

// The form's choice of this run mode.
QAbstractButton* choice(const SettingsView& view, RunMode mode) {
    return Find::part<QAbstractButton>(view, QStringLiteral("mode-") + runModeRawValue(mode));
}

QStringList ringed(const ThemePicker& picker) {
    QStringList names;
    for (AccentSwatch* s : picker.swatches())
        if (s->isRinged())
            names.append(rawValue(s->accent()));
    return names;
}

} // namespace

TEST_F(SettingsTest, ShowsTheLoginErrorInOrangeAndHidesItWhenCleared) {
    SettingsView view(&runMode, &updater, defaults);
    EXPECT_FALSE(Find::part<QKIconLabel>(view, "loginError")->isVisibleTo(&view));

    login.failWith = "the autostart folder is read-only";
    runMode.setMode(RunMode::Login);
    EXPECT_TRUE(Find::part<QKIconLabel>(view, "loginError")->isVisibleTo(&view));
    EXPECT_EQ(Find::part<QKIconLabel>(view, "loginError")->text(),
              "Could not change the login setting: the autostart folder is read-only");
    EXPECT_EQ(Find::part<QKSymbol>(Find::part<QKIconLabel>(view, "loginError"), "iconLabelSymbol")
                  ->symbol(),
              "exclamationmark.triangle");
    EXPECT_EQ(Find::part<QLabel>(view, "runModeExplanation")->text(),
              SettingsText::runModeExplanation(RunMode::Login));
    EXPECT_EQ(login.registers, 1);

    login.failWith.clear();
    runMode.setMode(RunMode::Login);
    EXPECT_FALSE(Find::part<QKIconLabel>(view, "loginError")->isVisibleTo(&view));
}

TEST_F(SettingsTest, TwoWindowsShowTheSameRunModeAtOnce) {
    SettingsView first(&runMode, &updater, defaults);
    SettingsView second(&runMode, &updater, defaults);
    EXPECT_TRUE(choice(first, RunMode::MenuBar)->isChecked());
    choice(first, RunMode::WindowOnly)->click();
    EXPECT_EQ(runMode.mode(), RunMode::WindowOnly);
    EXPECT_TRUE(choice(second, RunMode::WindowOnly)->isChecked());
    EXPECT_FALSE(choice(second, RunMode::MenuBar)->isChecked());
    EXPECT_EQ(Find::part<QLabel>(second, "runModeExplanation")->text(),
              "Pendrel quits when you close the window. No background presence, no taskbar or "
              "menu bar item when it is not open.");
    EXPECT_EQ(defaults.stringValue("run.mode"), QString("Only when open"));
}

// A reader's "Toggle" checks a run-mode choice without clicking it: the choice is still made,
// saved and explained, as a click makes it. The accent swatches read which one is current, and
// choosing one through a reader stores it.
TEST_F(SettingsTest, EveryWayOfChoosingSavesAndExplainsTheChoice) {
    SettingsView view(&runMode, &updater, defaults);
    QAccessibleInterface* atLogin =
        QAccessible::queryAccessibleInterface(choice(view, RunMode::Login));
    ASSERT_NE(atLogin, nullptr);
    atLogin->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(atLogin->state().checked);
    EXPECT_EQ(runMode.mode(), RunMode::Login);
    EXPECT_EQ(defaults.stringValue("run.mode"), runModeRawValue(RunMode::Login));
    EXPECT_EQ(Find::part<QLabel>(view, "runModeExplanation")->text(),
              SettingsText::runModeExplanation(RunMode::Login));
    EXPECT_EQ(login.registers, 1);

    const auto read = [&](const char* name) {
        return QAccessible::queryAccessibleInterface(Find::part<AccentSwatch>(view, name));
    };
    EXPECT_EQ(read("swatch-Blue")->role(), QAccessible::RadioButton);
    EXPECT_TRUE(read("swatch-Blue")->state().checked);
    EXPECT_FALSE(read("swatch-Teal")->state().checked);
    EXPECT_FALSE(read("swatch-Teal")
                     ->actionInterface()
                     ->actionNames()
                     .contains(QAccessibleActionInterface::toggleAction()));
    read("swatch-Teal")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(defaults.stringValue(ThemeKeys::Accent), QString("Teal"));
    EXPECT_TRUE(read("swatch-Teal")->state().checked);
    EXPECT_FALSE(read("swatch-Blue")->state().checked);
}

TEST_F(SettingsTest, UpdateControlsShowThatNothingChecksAndKeepThePreference) {
    SettingsView view(&runMode, &updater, defaults);
    ASSERT_TRUE(updater.automaticallyChecks());
    // Nothing checks for updates here: the disabled switch shows off, not the stored "on".
    auto* autoUpdate = Find::part<ToggleSwitch>(view, "autoUpdateSwitch");
    EXPECT_FALSE(autoUpdate->isChecked());
    EXPECT_FALSE(autoUpdate->isEnabled());
    EXPECT_FALSE(Find::part<QPushButton>(view, "checkNowButton")->isEnabled());
    updater.setAutomaticallyChecks(false);
    updater.setAutomaticallyChecks(true);
    EXPECT_FALSE(autoUpdate->isChecked());
    EXPECT_EQ(defaults.value("updates.auto"), QJsonValue(true)) << "the preference is kept";
    const QList<QLabel*> labels = view.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](QLabel* l) { return l->text() == SettingsText::updatesNote(); }));
    EXPECT_FALSE(SettingsText::updatesNote().contains("Sparkle"));
    // Nothing here has an extensions settings pane: the button is off and says why.
    auto* extensions = Find::part<QPushButton>(view, "extensionsButton");
    EXPECT_FALSE(extensions->isEnabled());
    EXPECT_EQ(extensions->toolTip(), SettingsText::extensionsUnavailable());
    EXPECT_EQ(Find::part<QLabel>(view, "extensionsNote")->text(),
              SettingsText::extensionsUnavailable());
}

TEST_F(SettingsTest, ThemePickerShowsTheStoredLookAndEveryPickerFollowsAChange) {
    ThemePicker settingsPicker(defaults);
    ThemePicker aboutPicker(defaults);
    EXPECT_EQ(ringed(settingsPicker), QStringList({"Blue"}));
    EXPECT_EQ(Find::part<SegmentedControl>(settingsPicker, "themeAppearance")->currentIndex(),
              0); // stored "Match macOS"
    EXPECT_EQ(Find::part<SegmentedControl>(settingsPicker, "themeAppearance")->labels().value(0),
              "Match system");
    EXPECT_EQ(Find::part<QLabel>(settingsPicker, "textSizeNote")->text(),
              "set at the bottom of the sidebar, currently normal");

    aboutPicker.swatches().at(5)->click(); // Teal
    EXPECT_EQ(defaults.stringValue(ThemeKeys::Accent), QString("Teal"));
    EXPECT_EQ(ringed(settingsPicker), QStringList({"Teal"}));

    defaults.setValue(ThemeKeys::Accent, "teal");
    EXPECT_TRUE(ringed(aboutPicker).isEmpty()) << "only exact raw values ring a swatch";

    emit Find::part<SegmentedControl>(settingsPicker, "themeAppearance")->activated(2);
    EXPECT_EQ(defaults.stringValue(ThemeKeys::Appearance), QString("Dark"));
    EXPECT_EQ(Find::part<SegmentedControl>(aboutPicker, "themeAppearance")->currentIndex(), 2);
    defaults.setValue(ThemeKeys::Appearance, "dark");
    EXPECT_EQ(Find::part<SegmentedControl>(aboutPicker, "themeAppearance")->currentIndex(), -1);

    defaults.setValue(ThemeKeys::FontSize, 4);
    EXPECT_TRUE(
        Find::part<QLabel>(aboutPicker, "textSizeNote")->text().endsWith("currently biggest"));
    // A stored size out of range reads as the nearest one in range.
    defaults.setValue(ThemeKeys::FontSize, 2);
    defaults.setValue(ThemeKeys::FontSize, 9);
    EXPECT_TRUE(
        Find::part<QLabel>(aboutPicker, "textSizeNote")->text().endsWith("currently biggest"));
}

// Tab into the run-mode choices lands on the one the manager holds, whichever it is and however
// it was set, never on the first of them.
TEST_F(SettingsTest, TabIntoTheRunModeChoicesLandsOnTheCheckedOne) {
    testsupport::KeyboardWindow window;
    auto* view = new SettingsView(&runMode, &updater, defaults, &window.widget);
    window.column->addWidget(view);
    window.show();
    // The last control before the choices: the switch and the button between are off.
    auto* before = Find::part<AccentSwatch>(*view, "swatch-Teal");
    for (const RunMode mode : {RunMode::MenuBar, RunMode::Login, RunMode::WindowOnly}) {
        runMode.setMode(mode);
        window.tabTo(before);
        QTest::keyClick(before, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), choice(*view, mode))
            << runModeRawValue(mode).toStdString();
    }
}

// A swatch's ring is seen beside its own accent, the window and, on the stored choice, the
// choice ring: in the dark appearance it fell short of a whole ring.
TEST_F(SettingsTest, EverySwatchsFocusRingStandsApartFromBothItsSidesInBothAppearances) {
    testsupport::KeyboardWindow window;
    auto* picker = new ThemePicker(defaults, &window.widget);
    auto* elsewhere = new QPushButton(QStringLiteral("Open"), &window.widget);
    window.column->addWidget(picker);
    window.column->addWidget(elsewhere);
    window.show();
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        window.widget.setPalette(
            Themed::palette(scheme, Themed::accentColor(AccentChoice::Blue, scheme)));
        for (AccentSwatch* swatch : picker->swatches()) {
            const testsupport::RingSides sides = testsupport::ringAsTabShowsIt(swatch, elsewhere);
            const std::string what = swatch->objectName().toStdString() +
                                     (scheme == ColorScheme::Dark ? " dark" : " light");
            EXPECT_GE(sides.seen, 4 * swatch->height()) << what;
            EXPECT_LE(sides.faint * 8, sides.seen + sides.faint) << what;
        }
    }
}

TEST(AboutView, ShowsTheVersionAndBuild) {
    AboutView about;
    EXPECT_EQ(Find::part<QLabel>(about, "aboutVersion")->text(),
              QString("Version %1 (%2)")
                  .arg(AppVersion::appVersionString(), AppVersion::appBuildString()));
    EXPECT_NE(Find::maybe<ThemePicker>(about, "themePicker"), nullptr);
}
