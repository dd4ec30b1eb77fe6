// The Developer Centre driven as a user would, over a sandbox home: pane switching, the first
// measuring and its preselection, the clean with the typed code, and the keep-awake pane.
#include "developer/views/DevCleanView.h"
#include "automation/AutomationTestSupport.h"
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleanerPaneText.h"
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "developer/views/DevAwakePane.h"
#include "developer/views/DevCategoryList.h"
#include "fakes/FakeDiskUsage.h"
#include "fakes/FakePowerInhibitor.h"
#include "fakes/FakePowerSource.h"
#include "platform/NotificationCenter.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TamsoExplainRow.h"
#include "ui-kit/ToggleSwitch.h"
#include "vitals/KeepAwakeManager.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

using Kind = ScanPhase;

namespace {

struct Rig {
    automationtest::World world;
    ScreenState screen;
    bool onPower = true;
    QDateTime now = QDateTime(QDate(2026, 3, 27), QTime(10, 0), Qt::UTC);
    FakePowerInhibitor* inhibitor = nullptr;
    // Model folders are sized by the disk-usage tool, not walked: the test says what it finds.
    std::shared_ptr<FakeDiskUsage> du = std::make_shared<FakeDiskUsage>();
    std::unique_ptr<DevCleanupScanner> scanner;
    std::unique_ptr<KeepAwakeManager> keepAwake;

    Rig() {
        CleanupScanner::Deps tools = world.cleaningTools();
        tools.measure = std::make_shared<CategoryMeasurer>(du, CategoryMeasurer::Options{});
        scanner = std::make_unique<DevCleanupScanner>(world.layout, tools);
        auto fake = std::make_unique<FakePowerInhibitor>();
        inhibitor = fake.get();
        KeepAwakeManager::Deps backends;
        backends.inhibitor = std::move(fake);
        backends.powerSource = std::make_unique<FakePowerSource>(&onPower);
        backends.clock = [this] { return now; };
        keepAwake = std::make_unique<KeepAwakeManager>(std::move(backends));
    }
    QString home() const { return world.layout.home(); }
    std::unique_ptr<DevCleanView> view() {
        auto v = std::make_unique<DevCleanView>(screen, *scanner, *keepAwake);
        v->confirmation()->setRandomSource([] { return quint32(42); });
        v->resize(1000, 760);
        return v;
    }
    bool done() const { return scanner->state().phase == Kind::Done; }
    QString location(const QString& id) const {
        for (const CleanCategory& c : scanner->categories())
            if (c.id == id)
                return c.locations.value(0);
        return {};
    }
};

QStringList titles(const QList<TamsoExplainRow*>& rows) {
    QStringList out;
    for (TamsoExplainRow* r : rows)
        out << r->title();
    return out;
}

QWidget* currentPane(const DevCleanView& view) {
    return Find::part<QStackedWidget>(view, "devPanes")->currentWidget();
}

// The rows of this name on show; a list's rebuild hides the rows it replaces at once and deletes
// them later.
// The rows a refresh placed are shown by the layout on the next turn of the event loop, which a
// wait that ends on the scanner's state may not have reached; that turn is run first.
QList<TamsoExplainRow*> shownRows(const QWidget& root, const QString& name) {
    QCoreApplication::sendPostedEvents();
    QList<TamsoExplainRow*> out;
    for (TamsoExplainRow* row : Find::parts<TamsoExplainRow>(root, name)) {
        if (!row->isHidden())
            out.append(row);
    }
    return out;
}

DevCategoryList* modelsPane(const DevCleanView& view) {
    return Find::part<DevCategoryList>(view, "devModelsPane");
}
DevCategoryList* cleanupPane(const DevCleanView& view) {
    return Find::part<DevCategoryList>(view, "devCleanupPane");
}

// A pane's category rows, top to bottom; a rebuild hides the box of the rows it replaces at once
// and deletes it later.
QList<TamsoExplainRow*> rowsOf(const DevCategoryList* pane) {
    QList<TamsoExplainRow*> out;
    for (TamsoExplainRow* row : Find::parts<TamsoExplainRow>(pane, "devCategoryRow")) {
        if (row->isVisibleTo(pane))
            out.append(row);
    }
    return out;
}

// The keep-awake pane's parts.
struct Awake {
    explicit Awake(const DevCleanView& view)
        : root(Find::part<DevAwakePane>(view, "devAwakePane")),
          main(Find::part<ToggleSwitch>(root, "awakeMain")),
          display(Find::part<ToggleSwitch>(root, "awakeDisplay")),
          power(Find::part<ToggleSwitch>(root, "awakePower")),
          duration(Find::part<QComboBox>(root, "awakeDuration")),
          title(Find::part<QLabel>(root, "awakeTitle")),
          status(Find::part<QLabel>(root, "awakeStatus")),
          note(Find::part<QLabel>(root, "awakeNote")) {}
    DevAwakePane* root;
    ToggleSwitch* main;
    ToggleSwitch* display;
    ToggleSwitch* power;
    QComboBox* duration;
    QLabel* title;
    QLabel* status;
    QLabel* note;
};

} // namespace

TEST(DevCleanView, PanesFollowThePickerTheCardsAndOnlyExactPaneMessages) {
    Rig rig;
    {
        auto view = rig.view();
        EXPECT_EQ(currentPane(*view), Find::part<QWidget>(*view, "devHub"));
        // A reader hears the group of panes by the Centre's name.
        QAccessibleInterface* picker = QAccessible::queryAccessibleInterface(
            Find::part<SegmentedControl>(*view, "devPanePicker"));
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->text(QAccessible::Name), QStringLiteral("Developer Centre"));
        Find::part<SegmentedControl>(*view, "devPanePicker")->activated(2);
        EXPECT_EQ(rig.screen.devPane(), DevPane::Models);
        EXPECT_EQ(currentPane(*view), modelsPane(*view));
        Find::part<QPushButton>(*view, "hubOpen-awake")->click();
        EXPECT_EQ(currentPane(*view), Find::part<QWidget>(*view, "devAwakePane"));

        for (const char* ignored : {"Models", "", "AI models", "cleanup "}) {
            NotificationCenter::defaultCenter().post(Notifications::OpenDevPane, ignored);
            EXPECT_EQ(rig.screen.devPane(), DevPane::Awake) << ignored;
        }
        NotificationCenter::defaultCenter().post(Notifications::OpenDevPane, "models");
        EXPECT_EQ(currentPane(*view), modelsPane(*view));

        QString opened;
        QObject context;
        NotificationCenter::defaultCenter().observe(Notifications::OpenSection, &context,
                                                    [&](const QString& id) { opened = id; });
        Find::part<QPushButton>(*view, "hubOpen-compare")->click();
        EXPECT_EQ(opened, "compare");
    }
    // With the screen gone the message changes nothing; a new screen shows the last pane.
    NotificationCenter::defaultCenter().post(Notifications::OpenDevPane, "cleanup");
    EXPECT_EQ(rig.screen.devPane(), DevPane::Models);
    auto again = rig.view();
    EXPECT_EQ(currentPane(*again), modelsPane(*again));
}

TEST(DevCleanView, FirstShowingMeasuresOncePreselectsAndCleansToTheTrash) {
    Rig rig;
    const QString npm = rig.home() + "/.npm/_cacache/index/blob";
    const QString ollama = rig.home() + "/.ollama/models/blobs/sha";
    cleaningtest::writeFile(npm, 40'000);
    cleaningtest::writeFile(ollama, 90'000);
    const QString models = rig.location("dev-ollama");
    ASSERT_EQ(models, rig.home() + "/.ollama/models");
    rig.du->setSize(models, 90'112);
    {
        auto view = rig.view();
        view->show();
        EXPECT_EQ(rig.scanner->state().phase, Kind::Running);
        EXPECT_EQ(rig.screen.devSelected().size(), 17);
        EXPECT_FALSE(rig.screen.devSelected().contains("dev-ollama"));
        ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }, 20000));
        EXPECT_TRUE(Find::part<QLabel>(*view, "hubSafeLine")->isVisibleTo(view.get()));
        EXPECT_TRUE(Find::part<QLabel>(*view, "hubSafeLine")
                        ->text()
                        .startsWith("Safe recovery available · "));
        EXPECT_EQ(titles(shownRows(*view, "hubLargestRow")),
                  QStringList({"Ollama models", "npm cache"}));
        EXPECT_EQ(titles(rowsOf(modelsPane(*view))), QStringList({"Ollama models"}));
        EXPECT_EQ(titles(rowsOf(cleanupPane(*view))), QStringList({"Ollama models", "npm cache"}));
    }
    // Coming back does not measure again.
    auto view = rig.view();
    view->show();
    EXPECT_TRUE(rig.done());

    // Ticking the model on the models pane shows on the cleanup pane too.
    rig.screen.setDevPane(DevPane::Models);
    Find::part<QCheckBox>(rowsOf(modelsPane(*view)).first(), "explainRowCheck")->click();
    EXPECT_TRUE(rig.screen.devSelected().contains("dev-ollama"));
    EXPECT_EQ(rowsOf(cleanupPane(*view)).first()->selected(), true);
    EXPECT_EQ(Find::part<QPushButton>(cleanupPane(*view), "devClean")->text(),
              Find::part<QPushButton>(modelsPane(*view), "devClean")->text());

    // Confirm with the typed code: both folders go to the Trash, the result line shows, the
    // scanner measures again, and only the ticks of rows graded safe stay: the models row,
    // which asks to be checked first, is never left ticked over what a clean left behind.
    const QSet<QString> ticks = rig.screen.devSelected();
    Find::part<QPushButton>(modelsPane(*view), "devClean")->click();
    DeleteCodeSheet* sheet = view->confirmation()->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_FALSE(sheet->confirmButton()->isEnabled());
    QTest::keyClicks(sheet->entryField(), "0042");
    sheet->confirmButton()->click();
    rig.du->setSize(models, 0); // what the tool reports for the emptied folder
    EXPECT_TRUE(view->isCleaning());
    EXPECT_FALSE(Find::part<QPushButton>(modelsPane(*view), "devClean")->isEnabled());
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.screen.devResult().has_value(); }, 20000));
    EXPECT_TRUE(rig.screen.devResult()->startsWith("Freed "));
    EXPECT_FALSE(rig.screen.devResult()->contains("skipped"));
    EXPECT_FALSE(QFileInfo::exists(npm));
    EXPECT_FALSE(QFileInfo::exists(ollama));
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }, 20000));
    QSet<QString> safeTicks = ticks;
    safeTicks.remove("dev-ollama");
    EXPECT_EQ(rig.screen.devSelected(), safeTicks);
    EXPECT_FALSE(view->isCleaning());
    // The clean empties each model folder but keeps the folder itself; an emptied folder holds
    // nothing, so the row leaves the lists, as the npm cache walked file by file does, and the
    // hub has nothing safe to recover.
    EXPECT_TRUE(rowsOf(modelsPane(*view)).isEmpty());
    EXPECT_TRUE(rowsOf(cleanupPane(*view)).isEmpty());
    EXPECT_TRUE(QFileInfo(models).isDir());
    EXPECT_EQ(Find::part<QLabel>(*view, "hubSafeLine")->text(),
              "Safe recovery available · Zero KB");
    // The safe rows stay ticked, but they measured nothing: no clean is offered.
    EXPECT_EQ(Find::part<QPushButton>(cleanupPane(*view), "devClean")->text(),
              "Clean selected · Zero KB");
    EXPECT_FALSE(Find::part<QPushButton>(cleanupPane(*view), "devClean")->isEnabled());

    // Both fill again. Rescan clears the result and keeps the ticks. While it measures,
    // unmeasured rows count zero, so neither pane offers a clean until the figures are in.
    cleaningtest::writeFile(npm, 40'000);
    cleaningtest::writeFile(ollama, 90'000);
    rig.du->hold();
    Find::part<QPushButton>(cleanupPane(*view), "devRescan")->click();
    EXPECT_FALSE(rig.screen.devResult().has_value());
    EXPECT_EQ(rig.screen.devSelected(), safeTicks);
    QTest::qWait(50);
    ASSERT_EQ(rig.scanner->state().phase, Kind::Running);
    EXPECT_FALSE(Find::part<QPushButton>(cleanupPane(*view), "devClean")->isEnabled());
    EXPECT_FALSE(Find::part<QPushButton>(modelsPane(*view), "devClean")->isEnabled());
    EXPECT_TRUE(Find::part<QPushButton>(cleanupPane(*view), "devRescan")->isEnabled());
    rig.du->setSize(models, 90'112);
    rig.du->release();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.done(); }, 20000));
    EXPECT_EQ(titles(rowsOf(cleanupPane(*view))), QStringList({"Ollama models", "npm cache"}));
    EXPECT_TRUE(Find::part<QPushButton>(cleanupPane(*view), "devClean")->isEnabled());
    EXPECT_TRUE(Find::part<QPushButton>(modelsPane(*view), "devClean")->isEnabled());
}

// A clean that took nothing reads as a problem, one that freed something as done, whichever
// pane shows it.
TEST(DevCleanView, AResultThatTookNothingIsShownAsAProblem) {
    Rig rig;
    auto view = rig.view();
    Find::part<SegmentedControl>(*view, "devPanePicker")->activated(2);
    auto* result = Find::part<QLabel>(modelsPane(*view), "devResult");
    const auto ink = [&] { return result->palette().color(QPalette::WindowText); };
    CleanResult failed;
    failed.failures = {QStringLiteral("blob.bin: Permission denied"),
                       QStringLiteral("pack.bin: Permission denied")};
    rig.screen.setDevResult(CleanerPaneText::resultLine(failed));
    EXPECT_EQ(ink(), QKForeground::color(QKForeground::Red, result->parentWidget()->palette()));
    CleanResult freed;
    freed.freedBytes = 4096;
    freed.cleaned = 1;
    rig.screen.setDevResult(CleanerPaneText::resultLine(freed));
    EXPECT_EQ(ink(), QKForeground::color(QKForeground::Green, result->parentWidget()->palette()));
}

TEST(DevCleanView, KeepAwakePaneSaysWhenTheDisplayIsNotHeld) {
    Rig rig;
    auto view = rig.view();
    const Awake pane(*view);
    const QString refused = "The display could not be kept awake on this desktop.";
    // No screensaver service: the machine is kept awake, the display is not.
    rig.inhibitor->refuseDisplay = true;
    pane.display->click();
    pane.main->click();
    ASSERT_TRUE(pane.main->isChecked());
    EXPECT_TRUE(pane.status->text().contains("display may sleep"));
    EXPECT_FALSE(pane.note->isHidden());
    EXPECT_EQ(pane.note->text(), refused);

    // The display switch turned off: nothing is refused.
    pane.display->click();
    EXPECT_TRUE(pane.note->isHidden());

    // On again, and this time the display is held.
    pane.display->click();
    EXPECT_EQ(pane.note->text(), refused);
    rig.inhibitor->refuseDisplay = false;
    rig.keepAwake->applySettings();
    EXPECT_TRUE(pane.status->text().contains("display stays awake"));
    EXPECT_TRUE(pane.note->isHidden());

    // Refused again, then keep-awake switched off: only the reason it stopped is left.
    rig.inhibitor->refuseDisplay = true;
    rig.keepAwake->applySettings();
    EXPECT_EQ(pane.note->text(), refused);
    pane.main->click();
    EXPECT_EQ(pane.note->text(), KeepAwakeManager::turnedOffNote());
}

TEST(DevCleanView, KeepAwakePaneShowsWhatTheManagerDid) {
    Rig rig;
    auto view = rig.view();
    const Awake pane(*view);
    EXPECT_EQ(pane.duration->currentText(), "Until I turn it off");
    EXPECT_FALSE(pane.display->isChecked());
    EXPECT_TRUE(pane.power->isChecked());
    EXPECT_EQ(Find::part<QPushButton>(*view, "hubOpen-awake")->text(), "Open");

    // On battery with "Only while on power": the switch falls back with the reason.
    rig.onPower = false;
    pane.main->click();
    EXPECT_FALSE(pane.main->isChecked());
    EXPECT_EQ(pane.title->text(), "Your Mac can sleep normally");
    EXPECT_EQ(pane.note->text(),
              "Plug in power first — Keep Awake is set to work only while charging.");

    // Display switch while off changes only the setting.
    pane.display->click();
    EXPECT_TRUE(rig.keepAwake->keepDisplayAwake());
    EXPECT_EQ(pane.status->text(), "Off — your Mac can sleep normally.");

    rig.onPower = true;
    pane.main->click();
    EXPECT_TRUE(pane.main->isChecked());
    EXPECT_EQ(pane.title->text(), "Keeping this Mac awake");
    EXPECT_TRUE(pane.note->isHidden());
    EXPECT_EQ(Find::part<QPushButton>(*view, "hubOpen-awake")->text(), "Manage");
    EXPECT_EQ(Find::part<QLabel>(*view, "hubAwakeText")->text(), rig.keepAwake->statusLine());
    EXPECT_TRUE(Find::part<QKIconLabel>(*view, "hubAwakeLine")->isVisibleTo(view.get()));
    EXPECT_EQ(Find::part<QKIconLabel>(*view, "hubAwakeLine")->text(), rig.keepAwake->statusLine());

    // A period chosen while on runs from the moment of the choice.
    rig.now = rig.now.addSecs(600);
    pane.duration->setCurrentIndex(1);
    emit pane.duration->activated(1);
    EXPECT_EQ(rig.keepAwake->duration(), KeepAwakeManager::Duration::OneHour);
    EXPECT_TRUE(pane.status->text().endsWith(" · about 59 min left"))
        << pane.status->text().toStdString();
    // A setting changed on battery pauses it, with the reason.
    rig.onPower = false;
    pane.display->click();
    EXPECT_FALSE(pane.main->isChecked());
    EXPECT_EQ(pane.note->text(), "Paused — Mac is on battery. Plug in to resume, or turn "
                                 "off “Only while on power”.");

    // A change from elsewhere (the menu-bar panel) shows without any action here.
    rig.onPower = true;
    rig.keepAwake->start();
    EXPECT_TRUE(pane.main->isChecked());
    EXPECT_EQ(pane.title->text(), "Keeping this Mac awake");
    rig.keepAwake->stop(KeepAwakeManager::turnedOffNote());
    EXPECT_FALSE(pane.main->isChecked());
    EXPECT_EQ(pane.note->text(), "Turned off");
    EXPECT_EQ(pane.status->text(), "Off — your Mac can sleep normally.");
    EXPECT_EQ(Find::part<QPushButton>(*view, "hubOpen-awake")->text(), "Open");
    EXPECT_FALSE(Find::part<QKIconLabel>(*view, "hubAwakeLine")->isVisibleTo(view.get()));
}
