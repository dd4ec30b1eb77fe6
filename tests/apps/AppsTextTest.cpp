#include "apps/AppsHubText.h"
#include "apps/AppUninstaller.h"
#include "apps/InstalledAppListModel.h"
#include "apps/SubscriptionsText.h"
#include "apps/Tweak.h"
#include "apps/TweaksText.h"
#include "apps/UninstallerText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

InstalledApp named(const QString& name) {
    InstalledApp app;
    app.id = QStringLiteral("/Applications/") + name + QStringLiteral(".app");
    app.name = name;
    app.url = QUrl::fromLocalFile(app.id);
    app.bundleID = QStringLiteral("com.example.") + name.toLower();
    return app;
}

QStringList names(const QList<InstalledApp>& apps) {
    return testsupport::strings(apps, &InstalledApp::name);
}

} // namespace

TEST(UninstallerText, FiltersByNameAloneAsTyped) {
    const QList<InstalledApp> apps = {named("Editor"), named("Photo Booth"), named("zed"),
                                      named("Calendar")};
    EXPECT_EQ(names(UninstallerText::filteredApps(apps, "")), names(apps));
    EXPECT_EQ(names(UninstallerText::filteredApps(apps, " ")), QStringList({"Photo Booth"}));
    EXPECT_EQ(names(UninstallerText::filteredApps(apps, "ED")), QStringList({"Editor", "zed"}));
    EXPECT_TRUE(UninstallerText::filteredApps(apps, "com.example").isEmpty());
    EXPECT_TRUE(UninstallerText::filteredApps(apps, "xyz").isEmpty());
}

TEST(UninstallerText, ConfirmationTitleCountsTickedItems) {
    EXPECT_EQ(UninstallerText::confirmTitle(std::nullopt, 3), "Uninstall?");
    EXPECT_EQ(UninstallerText::confirmTitle(QStringLiteral("Editor"), 0),
              "Uninstall Editor and 0 leftover items?");
    EXPECT_EQ(UninstallerText::confirmTitle(QStringLiteral("Editor"), 1),
              "Uninstall Editor and 1 leftover item?");
    EXPECT_EQ(UninstallerText::confirmTitle(QStringLiteral("Editor"), 2),
              "Uninstall Editor and 2 leftover items?");
    EXPECT_EQ(UninstallerText::confirmTitle(QStringLiteral("50%1 Off"), 2),
              "Uninstall 50%1 Off and 2 leftover items?");
}

TEST(UninstallerText, ResultLinesFollowTheOutcome) {
    EXPECT_EQ(UninstallerText::resultText({52'400'000, {}, true}, "Editor"),
              "Removed Editor · freed 52.4 MB");
    EXPECT_EQ(UninstallerText::resultText({52'400'000, {"a.plist", "b"}, true}, "Editor"),
              "Removed Editor · 2 leftover item(s) skipped");
    EXPECT_EQ(UninstallerText::resultText({0, {"Editor"}, false}, "Editor"),
              "Couldn't remove Editor. It may still be open, or need admin permission. Quit it "
              "fully and try again.");
    EXPECT_EQ(UninstallerText::resultText({0, {"No app selected."}, false}, "app"),
              "Couldn't remove app. It may still be open, or need admin permission. Quit it "
              "fully and try again.");
    EXPECT_EQ(UninstallerText::uninstallButton(1'000'000, 500'000), "Uninstall · 1.5 MB");
    EXPECT_EQ(UninstallerText::uninstallButton(0, 0), "Uninstall · Zero KB");
}

TEST(UninstallerText, LeftoverRowsAndIdentityLines) {
    LeftoverItem item;
    item.path = QStringLiteral("/home/u/.cache/com.example.editor");
    item.category = QStringLiteral("Caches");
    EXPECT_EQ(UninstallerText::leftoverDetail(item), "Caches · /home/u/.cache/com.example.editor");
    EXPECT_EQ(item.fileName(), "com.example.editor");
    EXPECT_EQ(UninstallerText::leftoverMeta(LeftoverItem::Confidence::High),
              "Matched to this app.");
    EXPECT_EQ(UninstallerText::leftoverMeta(LeftoverItem::Confidence::Low),
              "Name match only — check before removing.");
    EXPECT_EQ(UninstallerText::leftoverSafety(LeftoverItem::Confidence::High), TamsoSafety::Safe);
    EXPECT_EQ(UninstallerText::leftoverSafety(LeftoverItem::Confidence::Low),
              TamsoSafety::CheckFirst);
    InstalledApp app = named("Editor");
    EXPECT_EQ(UninstallerText::identityLine(app), "com.example.editor");
    app.bundleID.reset();
    EXPECT_EQ(UninstallerText::identityLine(app), "/Applications/Editor.app");
}

TEST(AppsHubText, CardsLeadWhereTheirTitlesSay) {
    const QList<AppsHubText::Card> cards = AppsHubText::cards();
    ASSERT_EQ(cards.size(), 3);
    EXPECT_EQ(cards.at(0).action, AppsHubText::CardAction::ShowUninstallPane);
    EXPECT_EQ(AppsHubText::sectionFor(cards.at(0).action), QString());
    EXPECT_EQ(AppsHubText::sectionFor(cards.at(1).action), "startup");
    EXPECT_EQ(AppsHubText::sectionFor(cards.at(2).action), "subscriptions");
    // Three texts about one idea, kept apart on purpose.
    EXPECT_NE(cards.at(2).blurb, SubscriptionsText::intro());
    EXPECT_EQ(SubscriptionsText::reviewSection(), "uninstaller");
}

TEST(SubscriptionsText, OnlyTheOverlapCarriesTheSavingBadge) {
    const QList<SubscriptionsText::Insight> insights = SubscriptionsText::insights();
    ASSERT_EQ(insights.size(), 3);
    QStringList saving;
    for (const auto& i : insights) {
        if (i.saving)
            saving << i.name;
    }
    EXPECT_EQ(saving, QStringList({"Dropbox"}));
    // The fixed insights keep their words and are introduced as examples, never as findings.
    EXPECT_EQ(insights.at(1).detail, QString("18 GB used — you already have 2 TB iCloud"));
    EXPECT_EQ(SubscriptionsText::examplesLine(), "The cards below are examples of what Pendrel "
                                                 "looks for, not findings from this computer.");
    EXPECT_EQ(SubscriptionsText::badge(true), "Potential saving");
    EXPECT_EQ(SubscriptionsText::badge(false), "Worth reviewing");
    // Nothing learns from use: the note under the cards says they are fixed.
    EXPECT_FALSE(SubscriptionsText::howText().contains("learns"));
    EXPECT_TRUE(SubscriptionsText::howText().startsWith("For now the cards are fixed examples"));
}

// A switch only keeps a value in the app's store: every row says what it stores and for whom,
// none promises an effect on the desktop, and a row whose switch stores a value when off says
// which one instead of leaving the introduction's "clears that value" to stand for it.
TEST(TweaksText, RowsSayWhatIsStoredAndWhatOffStores) {
    const QString offPrefix = QStringLiteral("Switched off, it stores ");
    int twoValued = 0;
    for (const Tweak& tweak : TweakTable::all()) {
        SCOPED_TRACE(tweak.id.toStdString());
        const QString& text = tweak.plainDescription;
        EXPECT_TRUE(text.startsWith("Stores ")) << text.toStdString();
        EXPECT_TRUE(text.contains(" that read")) << text.toStdString();
        for (const char* promise :
             {"Applies",   "reopen",         "Adds",    "become",   "Crashed", "immediately",
              "Held keys", "instantly",      "Removes", "Prevents", "Stops",   "Captures",
              "See ",      "Display",        "Feels",   "Your ",    "you ",    "appears",
              "shrink",    "launch without", "open as"})
            EXPECT_FALSE(text.contains(QLatin1String(promise))) << text.toStdString();
        if (!tweak.offValue) {
            EXPECT_FALSE(text.contains(offPrefix)) << "off clears the value";
            continue;
        }
        ++twoValued;
        EXPECT_FALSE(text.contains("clears")) << text.toStdString();
        if (tweak.onFlag == "-bool")
            EXPECT_TRUE(text.endsWith(offPrefix + *tweak.offValue +
                                      " rather than clearing the "
                                      "value."))
                << text.toStdString();
        else
            EXPECT_TRUE(text.contains(offPrefix)) << text.toStdString();
    }
    EXPECT_EQ(twoValued, 6);
    EXPECT_TRUE(TweaksText::introduction().contains("stores the opposite one"));
    EXPECT_TRUE(TweaksText::restoreNote().contains("opposite"));
}

// The hub names the places an uninstall searches here, not the other system's folder names.
TEST(AppsHubText, NamesThePlacesOfThisSystem) {
    QStringList texts;
    for (const AppsHubText::Card& card : AppsHubText::cards())
        texts << card.blurb;
    for (const AppsHubText::ExplainRow& row : AppsHubText::explainRows())
        texts << row.title << row.detail;
    for (const QString& text : texts) {
        for (const char* other : {"Preferences", "Containers", "Application Support", ".app"})
            EXPECT_FALSE(text.contains(QLatin1String(other))) << text.toStdString();
    }
    // Nothing is tracked yet, so nothing claims to be noticed.
    QStringList claims{SubscriptionsText::intro()};
    for (const AppsHubText::Card& card : AppsHubText::cards()) {
        if (card.title == "Subscriptions")
            claims << card.blurb;
    }
    ASSERT_EQ(claims.size(), 2);
    for (const QString& text : claims)
        EXPECT_FALSE(text.contains("notices")) << text.toStdString();
    EXPECT_EQ(AppsHubText::cards().at(0).blurb,
              "Find leftovers in the settings, data and cache folders. Estimated recovery before "
              "you confirm.");
}

TEST(InstalledAppListModel, ARowReadsItsSizeAsWellAsItsName) {
    InstalledAppListModel model;
    InstalledApp zed = named(QStringLiteral("Zed"));
    zed.appSizeBytes = 9'200'000;
    model.setApps({zed}, QString());
    const QModelIndex row = model.index(0, 0);
    EXPECT_EQ(row.data(Qt::AccessibleTextRole).toString(), "Zed");
    EXPECT_EQ(row.data(Qt::AccessibleDescriptionRole).toString(), "9.2 MB");
}
