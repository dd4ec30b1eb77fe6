#include "apps/AppsTestSupport.h"
#include "apps/InstalledAppListModel.h"
#include "apps/views/AppsHubView.h"
#include "apps/views/SubscriptionIntelligenceView.h"
#include "apps/views/UninstallerView.h"
#include "platform/ByteFormat.h"
#include "platform/NotificationCenter.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "support/Posts.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKBadge.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TamsoExplainRow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

using namespace appstest;

using testsupport::Posts;

namespace {

QStringList rowNames(const UninstallerView& view) {
    QStringList out;
    for (const InstalledApp& a : Find::part<InstalledAppListModel>(view, "appModel")->rows())
        out << a.name;
    return out;
}

void confirmWithCode(UninstallerView& view) {
    QTest::mouseClick(Find::part<QPushButton>(view, "uninstallButton"), Qt::LeftButton);
    ASSERT_TRUE(view.confirm()->isPresented());
    DeleteCodeSheet* sheet = view.confirm()->sheet();
    ASSERT_TRUE(sheet);
    QTest::keyClicks(sheet->entryField(), sheet->code());
    ASSERT_TRUE(sheet->confirmButton()->isEnabled());
    QTest::mouseClick(sheet->confirmButton(), Qt::LeftButton);
}

} // namespace

TEST(UninstallerView, LoadsOnShowFiltersAndKeepsTheSelectionWhileSearching) {
    Machine m;
    m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    m.bundle(m.system, QStringLiteral("Photo Booth"), QStringLiteral("com.example.booth"));
    m.bundle(m.user, QStringLiteral("zed"), QString());
    auto service = m.service();
    ScreenState screen;
    UninstallerView view(screen, *service);
    EXPECT_TRUE(view.showsFinding());
    view.show();
    ASSERT_TRUE(testsupport::waitFor([&] { return !view.showsFinding(); }));
    EXPECT_TRUE(view.showsPickPrompt());
    EXPECT_EQ(rowNames(view), QStringList({"Editor", "Photo Booth", "zed"}));

    QTest::keyClicks(Find::part<QLineEdit>(view, "appSearch"), "ED");
    EXPECT_EQ(screen.uninstallSearch(), "ED");
    EXPECT_EQ(rowNames(view), QStringList({"Editor", "zed"}));

    // A picked row stays the selection when a search hides it.
    Find::part<QListView>(view, "appList")
        ->setCurrentIndex(Find::part<InstalledAppListModel>(view, "appModel")->index(0));
    EXPECT_EQ(service->selectedApp()->name, "Editor");
    EXPECT_TRUE(view.showsLeftoverProgress());
    EXPECT_FALSE(Find::part<QPushButton>(view, "uninstallButton")->isEnabled());
    Find::part<QLineEdit>(view, "appSearch")->clear();
    QTest::keyClicks(Find::part<QLineEdit>(view, "appSearch"), "Booth");
    EXPECT_EQ(rowNames(view), QStringList({"Photo Booth"}));
    EXPECT_EQ(service->selectedApp()->name, "Editor");
    ASSERT_TRUE(testsupport::waitFor([&] { return !service->leftoversLoading(); }));
    EXPECT_TRUE(view.showsNoLeftovers());
    EXPECT_TRUE(Find::part<QPushButton>(view, "uninstallButton")->isEnabled());
    EXPECT_EQ(Find::part<QPushButton>(view, "uninstallButton")->text(),
              "Uninstall · " + formatBytes(service->selectedApp()->appSizeBytes));
    EXPECT_EQ(view.confirmTitle(), "Uninstall Editor and 0 leftover items?");
}

TEST(UninstallerView, TicksMoveTheTotalAndConfirmingWritesTheResultLine) {
    Machine m;
    const QString bundle =
        m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    write(m.caches() + "/com.example.editor/blob", QByteArray(90000, 'c'));
    write(m.preferences() + "/Editor.conf", QByteArray(100, 'p'));
    auto service = m.service();
    ScreenState screen;
    auto view = std::make_unique<UninstallerView>(screen, *service);
    view->show();
    ASSERT_TRUE(testsupport::waitFor([&] { return !service->apps().isEmpty(); }));
    view->pick(bundle);
    ASSERT_TRUE(testsupport::waitFor([&] { return !service->leftoversLoading(); }));
    const QList<TamsoExplainRow*> rows = Find::parts<TamsoExplainRow>(*view, "leftoverRow");
    ASSERT_EQ(rows.size(), 2);
    const qint64 appBytes = service->selectedApp()->appSizeBytes;
    const LeftoverItem high = service->leftovers().at(0);
    const LeftoverItem low = service->leftovers().at(1);
    EXPECT_EQ(rows.at(0)->meta(), "Matched to this app.");
    EXPECT_EQ(rows.at(1)->safety(), TamsoSafety::CheckFirst);
    EXPECT_EQ(Find::part<QPushButton>(*view, "uninstallButton")->text(),
              "Uninstall · " + formatBytes(appBytes + high.sizeBytes));
    EXPECT_EQ(view->confirmTitle(), "Uninstall Editor and 1 leftover item?");

    Find::part<QCheckBox>(rows.at(1), "explainRowCheck")->click();
    EXPECT_TRUE(service->leftovers().at(1).selected);
    EXPECT_EQ(Find::part<QPushButton>(*view, "uninstallButton")->text(),
              "Uninstall · " + formatBytes(appBytes + high.sizeBytes + low.sizeBytes));
    EXPECT_EQ(view->confirmTitle(), "Uninstall Editor and 2 leftover items?");
    Find::part<QCheckBox>(rows.at(1), "explainRowCheck")->click();
    Find::part<QCheckBox>(rows.at(0), "explainRowCheck")->click();
    EXPECT_EQ(Find::part<QPushButton>(*view, "uninstallButton")->text(),
              "Uninstall · " + formatBytes(appBytes));
    EXPECT_EQ(view->confirmTitle(), "Uninstall Editor and 0 leftover items?");
    Find::part<QCheckBox>(rows.at(0), "explainRowCheck")->click();

    confirmWithCode(*view);
    ASSERT_TRUE(testsupport::waitFor([&] { return screen.uninstallResult().has_value(); }));
    EXPECT_EQ(*screen.uninstallResult(),
              "Removed Editor · freed " + formatBytes(appBytes + high.sizeBytes));
    EXPECT_EQ(Find::part<QLabel>(*view, "uninstallResult")->text(), *screen.uninstallResult());
    EXPECT_TRUE(Find::part<QLabel>(*view, "uninstallResult")->isVisible());
    EXPECT_TRUE(view->showsPickPrompt());
    EXPECT_TRUE(QFileInfo::exists(m.preferences() + "/Editor.conf"));

    // The line survives leaving and coming back.
    view.reset();
    UninstallerView again(screen, *service);
    again.show();
    EXPECT_EQ(Find::part<QLabel>(again, "uninstallResult")->text(), *screen.uninstallResult());
}

TEST(AppsHubView, TheOverviewStartsOneLoadAndTheCardsLeadOn) {
    Machine m;
    m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    auto service = m.service();
    ScreenState screen;
    QSignalSpy states(service.get(), &AppUninstaller::stateChanged);
    Posts opened(Notifications::OpenSection);
    const auto picker = [](const AppsHubView& hub) {
        return Find::part<SegmentedControl>(hub, "appsPanePicker");
    };
    // The pane on show (the section sets no cover in front of it).
    const auto pane = [](const AppsHubView& hub) {
        return Find::part<QStackedWidget>(hub, "appsPaneHost")->currentWidget();
    };
    const auto uninstaller = [&](const AppsHubView& hub) {
        return qobject_cast<UninstallerView*>(pane(hub));
    };
    const auto card = [&](const AppsHubView& hub, const QString& title) {
        return Find::part<QKProminentButton>(pane(hub), "card-" + title);
    };
    {
        AppsHubView hub(screen, *service);
        hub.show();
        EXPECT_FALSE(uninstaller(hub));
        EXPECT_EQ(picker(hub)->currentIndex(), 0);
        EXPECT_EQ(states.count(), 1); // one load began
        EXPECT_TRUE(service->state().isRunning());

        // Uninstall and back while it loads: no second load.
        emit picker(hub)->activated(1);
        EXPECT_EQ(screen.appsPane(), AppsPane::Uninstall);
        ASSERT_TRUE(uninstaller(hub));
        emit picker(hub)->activated(0);
        EXPECT_EQ(states.count(), 1);

        card(hub, "Startup")->click();
        card(hub, "Subscriptions")->click();
        EXPECT_EQ(opened.payloads, QStringList({"startup", "subscriptions"}));
        EXPECT_EQ(screen.appsPane(), AppsPane::Hub);
        card(hub, "Smart uninstall")->click();
        EXPECT_EQ(screen.appsPane(), AppsPane::Uninstall);
        EXPECT_EQ(picker(hub)->currentIndex(), 1);
        EXPECT_TRUE(uninstaller(hub));
    }
    // Coming back, the section opens where it was left.
    ASSERT_TRUE(testsupport::waitFor([&] { return service->state().phase == ScanPhase::Done; }));
    AppsHubView again(screen, *service);
    again.show();
    EXPECT_TRUE(uninstaller(again));
}

TEST(SubscriptionsView, BadgesAndTheButtonThatOpensApps) {
    Posts opened(Notifications::OpenSection);
    SubscriptionIntelligenceView view;
    view.show();
    ASSERT_EQ(Find::parts<QKBadge>(view, "insightBadge").size(), 3);
    EXPECT_EQ(Find::parts<QKBadge>(view, "insightBadge").at(0)->text(), "Worth reviewing");
    EXPECT_EQ(Find::parts<QKBadge>(view, "insightBadge").at(0)->tone(), QKForeground::Orange);
    EXPECT_EQ(Find::parts<QKBadge>(view, "insightBadge").at(1)->text(), "Potential saving");
    EXPECT_EQ(Find::parts<QKBadge>(view, "insightBadge").at(1)->tone(), QKForeground::Green);
    // The example line stands above the first card.
    const auto* examples = view.findChild<QLabel*>("subscriptionsExamples");
    ASSERT_TRUE(examples);
    QCoreApplication::processEvents();
    EXPECT_LT(examples->mapTo(&view, QPoint(0, 0)).y(),
              Find::parts<QKBadge>(view, "insightBadge").at(0)->mapTo(&view, QPoint(0, 0)).y());
    Find::part<QPushButton>(view, "reviewInstalledApps")->click();
    EXPECT_EQ(opened.payloads, QStringList({"uninstaller"}));
}

TEST(AppsHubView, AssistiveTechnologyNamesThePaneGroupAndTheAppList) {
    Machine m;
    m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    auto service = m.service();
    ScreenState screen;
    AppsHubView hub(screen, *service);
    hub.show();
    QAccessibleInterface* group =
        QAccessible::queryAccessibleInterface(Find::part<SegmentedControl>(hub, "appsPanePicker"));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), "Apps");

    screen.setAppsPane(AppsPane::Uninstall);
    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(Find::part<QListView>(hub, "appList"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->text(QAccessible::Name), "Installed apps");
    ASSERT_TRUE(testsupport::waitFor([&] { return service->state().phase == ScanPhase::Done; }));
}

TEST(UninstallerView, ACachedListShowsAtOnceWhileItsRescanRuns) {
    Machine m;
    m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    {
        auto first = m.service();
        first->loadApps();
        ASSERT_TRUE(testsupport::waitFor([&] { return first->state().phase == ScanPhase::Done; }));
    }
    auto service = m.service();
    ScreenState screen;
    UninstallerView view(screen, *service);
    view.show();
    // The rescan's result comes back through the event loop, which has not run yet.
    ASSERT_TRUE(service->state().isRunning());
    EXPECT_FALSE(view.showsFinding());
    EXPECT_TRUE(view.showsPickPrompt());
    EXPECT_EQ(rowNames(view), QStringList({"Editor"}));
    ASSERT_TRUE(testsupport::waitFor([&] { return service->state().phase == ScanPhase::Done; }));
    EXPECT_TRUE(view.showsPickPrompt());
}
