// A setting the settings file could not keep: every control that changed it shows the stored
// value again and says why, where the change was made.
#include "fakes/FakeLoginItem.h"
#include "fakes/FakeRunningApplications.h"
#include "platform/UserDefaults.h"
#include "shell/RunModeManager.h"
#include "shell/SettingsText.h"
#include "shell/UpdaterManager.h"
#include "shell/views/AccentSwatch.h"
#include "shell/views/SettingsView.h"
#include "shell/views/ThemePicker.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSizeControl.h"
#include "ui-kit/ThemeSettings.h"
#include "ui-kit/ToggleSwitch.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/views/PerformanceAutopilotPane.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QToolButton>

namespace {

// Settings whose file can never be written: a file stands where its folder should be.
struct ReadOnlySettings : ::testing::Test {
    static QString blockedPath() {
        const QString dir = testsupport::freshDir("read-only");
        QFile blocker(dir + "/Pendrel");
        blocker.open(QIODevice::WriteOnly);
        return dir + "/Pendrel/defaults.json";
    }
    UserDefaults defaults{blockedPath()};
};

const QString prefix = QStringLiteral("Could not save the setting: ");

} // namespace

TEST_F(ReadOnlySettings, TheLookSettingsShowWhatIsStoredAndWhy) {
    ThemePicker picker(defaults);
    auto* error = picker.findChild<QKIconLabel*>("themeSaveError");
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->isHidden());

    emit Find::part<SegmentedControl>(picker, "themeAppearance")->activated(2); // Dark
    EXPECT_EQ(Find::part<SegmentedControl>(picker, "themeAppearance")->currentIndex(), 0)
        << "still Match";
    EXPECT_FALSE(defaults.contains(ThemeKeys::Appearance));
    EXPECT_FALSE(error->isHidden());
    EXPECT_TRUE(error->text().startsWith(prefix)) << error->text().toStdString();

    picker.swatches().at(5)->click(); // Teal
    EXPECT_TRUE(picker.swatches().at(0)->isRinged()) << "still Blue";
    EXPECT_FALSE(picker.swatches().at(5)->isRinged());
    EXPECT_FALSE(error->isHidden());
}

TEST_F(ReadOnlySettings, TheRunModeGoesBackToTheStoredOneAndSaysWhy) {
    FakeLoginItem login;
    RunModeManager runMode(defaults, login);
    UpdaterManager updater(defaults);
    SettingsView view(&runMode, &updater, defaults);
    auto* error = view.findChild<QKIconLabel*>("runModeSaveError");
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->isHidden());

    Find::part<QAbstractButton>(view, QStringLiteral("mode-") + runModeRawValue(RunMode::Login))
        ->click();
    EXPECT_EQ(runMode.mode(), RunMode::MenuBar);
    EXPECT_TRUE(Find::part<QAbstractButton>(view, QStringLiteral("mode-") +
                                                      runModeRawValue(RunMode::MenuBar))
                    ->isChecked());
    EXPECT_EQ(login.current, LoginItemService::Status::NotRegistered)
        << "what is applied is what the next start will apply";
    EXPECT_FALSE(error->isHidden());
    EXPECT_TRUE(error->text().startsWith(prefix));
    EXPECT_EQ(Find::part<QLabel>(view, "runModeExplanation")->text(),
              SettingsText::runModeExplanation(RunMode::MenuBar));
}

TEST_F(ReadOnlySettings, TheTextSizeButtonsKeepTheStoredStepAndWarn) {
    TextSizeControl control(defaults);
    ASSERT_TRUE(Find::part<QToolButton>(control, "textSizeSaveWarning")->isHidden());
    Find::part<QToolButton>(control, "textSizeBigger")->click();
    EXPECT_FALSE(defaults.contains(ThemeKeys::FontSize));
    EXPECT_EQ(control.stepName(), "Normal");
    EXPECT_FALSE(Find::part<QToolButton>(control, "textSizeSaveWarning")->isHidden());
    EXPECT_TRUE(
        Find::part<QToolButton>(control, "textSizeSaveWarning")->toolTip().startsWith(prefix));
    EXPECT_EQ(Find::part<QToolButton>(control, "textSizeSaveWarning")->accessibleName(),
              Find::part<QToolButton>(control, "textSizeSaveWarning")->toolTip());
}

TEST_F(ReadOnlySettings, TheAutopilotSwitchesShowWhatIsStoredAndWhy) {
    PerformanceAutopilot autopilot(defaults, std::make_shared<FakeRunningApplications>());
    PerformanceAutopilotPane pane(&autopilot);
    auto* error = pane.findChild<QLabel*>("autopilotSaveError");
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->isHidden()) << "a start that could not store the defaults says nothing";

    Find::part<ToggleSwitch>(pane, "autopilotEnabled")->click();
    EXPECT_FALSE(autopilot.enabled());
    EXPECT_FALSE(Find::part<ToggleSwitch>(pane, "autopilotEnabled")->isChecked());
    EXPECT_FALSE(Find::part<ToggleSwitch>(pane, "autopilotAutoQuit")->isEnabled());
    EXPECT_FALSE(error->isHidden());
    EXPECT_TRUE(error->text().startsWith(prefix));
}

TEST(FailedSave, TheWarningGoesWithTheNextStoredChange) {
    UserDefaults defaults(testsupport::freshDir("recovers") + "/defaults.json");
    TextSizeControl control(defaults);
    emit defaults.saveFailed(ThemeKeys::FontSize, prefix + "No space left on device");
    EXPECT_FALSE(Find::part<QToolButton>(control, "textSizeSaveWarning")->isHidden());
    Find::part<QToolButton>(control, "textSizeBigger")->click();
    EXPECT_EQ(defaults.integerValue(ThemeKeys::FontSize), 3);
    EXPECT_TRUE(Find::part<QToolButton>(control, "textSizeSaveWarning")->isHidden());
}
