#include "assistant/AssistantTestSupport.h"

#include <gtest/gtest.h>

using namespace assistanttest;
using K = TamsoActionKind;

namespace {

// Every message the assistant posts, in order, with the number of timeline entries there were
// when it was delivered.
class AssistantActionTest : public ::testing::Test {
protected:
    AssistantRig rig;
    QObject observer;
    QStringList posts;

    void SetUp() override {
        for (const QString& name :
             {Notifications::OpenSection, Notifications::OpenDiskMode, Notifications::RunSearch}) {
            rig.notifications.observe(name, &observer, [this, name](const QString& payload) {
                posts.append(QStringLiteral("%1 %2 (timeline %3)")
                                 .arg(name, payload)
                                 .arg(rig.timeline.store->entries().size()));
            });
        }
    }

    const TimelineEntry& lastRecord() const { return rig.timeline.store->entries().constFirst(); }

    // A sample whose biggest memory user is process `pid`.
    static SystemSnapshot busiest(qint64 pid) {
        SystemSnapshot s;
        s.topProcesses = {{QUuid::createUuid(), "editor", 3'000'000'000, pid}};
        return s;
    }
};

} // namespace

TEST_F(AssistantActionTest, OpeningADiskModePostsSectionThenModeBeforeRecording) {
    rig.assistant->setPendingAction(
        TamsoAction::make("Open Disk Map", "disk", K::ProposeOpenCleanup, QString("diskMap")));
    rig.assistant->perform();

    EXPECT_EQ(posts, (QStringList{"corvantoOpenSection disk (timeline 0)",
                                  "corvantoOpenDiskMode diskMap (timeline 0)"}));
    ASSERT_EQ(rig.timeline.store->entries().size(), 1);
    EXPECT_EQ(lastRecord().kind, TimelineEntry::Kind::Action);
    EXPECT_EQ(lastRecord().title, "Open Disk Map");
    EXPECT_EQ(lastRecord().detail, "Opened Storage");
    EXPECT_EQ(lastRecord().featureID, "disk");
    EXPECT_FALSE(lastRecord().pinned);
    EXPECT_FALSE(rig.assistant->pendingAction().has_value());
    EXPECT_EQ(rig.assistant->messages().size(), 1) << "opening a section says nothing";
}

TEST_F(AssistantActionTest, OpeningASectionWithoutModePostsOnlyTheSection) {
    rig.assistant->setPendingAction(TamsoAction::make("Open Storage", "disk", K::OpenFeature));
    rig.assistant->perform();
    EXPECT_EQ(posts, QStringList{"corvantoOpenSection disk (timeline 0)"});
    EXPECT_EQ(lastRecord().title, "Open Storage");

    // A section the catalog lacks is still posted, and the record names the id.
    posts.clear();
    rig.assistant->setPendingAction(TamsoAction::make("Open Nowhere", "nowhere", K::OpenFeature));
    rig.assistant->perform();
    EXPECT_EQ(posts, QStringList{"corvantoOpenSection nowhere (timeline 1)"});
    EXPECT_EQ(lastRecord().detail, "Opened nowhere");
}

// Two applications share a name: approving asks the one that was proposed, by its process.
TEST_F(AssistantActionTest, ApprovingAQuitAsksTheProposedApplicationAndIsAnswered) {
    rig.applications->apps = {FakeRunningApplications::app("Safari", 700),
                              FakeRunningApplications::app("Mail", 701)};
    const TamsoMessage proposal = rig.askAndWait("should i quit something", busiest(700));
    ASSERT_EQ(proposal.actions.size(), 2);
    EXPECT_EQ(proposal.actions[1].payload, "Safari");
    rig.applications->apps.prepend(FakeRunningApplications::app("Safari", 699));
    rig.assistant->setPendingAction(proposal.actions[1]);
    rig.assistant->perform();

    EXPECT_EQ(rig.applications->quitRequests, QList<qint64>{700});
    EXPECT_EQ(rig.autopilot.lastAction(), "Quit Safari") << "a quit the user asked for";
    EXPECT_TRUE(posts.isEmpty());
    const TamsoMessage& said = rig.assistant->messages().constLast();
    EXPECT_EQ(said.role, TamsoMessage::Role::Tamso);
    EXPECT_EQ(said.text, "Asked Safari to quit. You can reopen it any time.");
    EXPECT_TRUE(said.actions.isEmpty());
    EXPECT_EQ(lastRecord().kind, TimelineEntry::Kind::Action);
    EXPECT_EQ(lastRecord().title, "Quit Safari");
    EXPECT_EQ(lastRecord().detail, "Asked Safari to quit. You can reopen it any time.");
    EXPECT_EQ(lastRecord().featureID, "performance");
}

// A compiler, a daemon, a helper or a process already gone is no application to ask: the answer
// offers the Performance section only, and names nothing to quit.
TEST_F(AssistantActionTest, OnlyARunningApplicationIsProposedForQuitting) {
    rig.applications->apps = {
        FakeRunningApplications::app("Editor", 500), FakeRunningApplications::app("Panel", 501),
        FakeRunningApplications::app("Closed", 502), FakeRunningApplications::app(QString(), 503)};
    rig.applications->apps[1].regular = false;
    rig.applications->apps[2].terminated = true;
    for (const qint64 pid : {777, 0, 501, 502, 503}) {
        SCOPED_TRACE(pid);
        SystemSnapshot s = busiest(pid);
        s.topProcesses[0].name = QStringLiteral("cc1plus");
        const TamsoMessage answer = rig.askAndWait("should i quit something", s);
        EXPECT_EQ(answer.text,
                  "Performance Autopilot can suggest apps that are open but not frontmost.");
        ASSERT_EQ(answer.actions.size(), 1);
        EXPECT_EQ(answer.actions[0].label, "Open Performance");
        EXPECT_EQ(answer.actions[0].kind, K::OpenFeature);
    }
    EXPECT_TRUE(rig.applications->quitRequests.isEmpty());
}

// Between the proposal and the approval the application may quit, and its pid may even go to
// another program; an action the assistant never proposed has no application at all. None of
// them asks anything, and the answer says so instead of claiming a request.
TEST_F(AssistantActionTest, AQuitThatAsksNothingSaysSoAndIsRecordedAsSuch) {
    rig.applications->apps = {FakeRunningApplications::app("Editor", 500)};
    const TamsoMessage proposal = rig.askAndWait("quit something", busiest(500));
    ASSERT_EQ(proposal.actions.size(), 2);
    rig.applications->apps = {FakeRunningApplications::app("Terminal", 500),
                              FakeRunningApplications::app("Editor", 501)};
    rig.assistant->setPendingAction(proposal.actions[1]);
    rig.assistant->perform();
    const QString gone = "Editor is no longer running, so I didn't ask anything to quit.";
    EXPECT_EQ(rig.assistant->messages().constLast().text, gone);
    EXPECT_EQ(lastRecord().title, "Quit Editor");
    EXPECT_EQ(lastRecord().detail, gone);

    rig.assistant->setPendingAction(
        TamsoAction::make("Propose quitting Editor", "performance", K::ProposeQuit, "Editor"));
    rig.assistant->perform();
    EXPECT_EQ(rig.assistant->messages().constLast().text, gone);
    EXPECT_TRUE(rig.applications->quitRequests.isEmpty());
    EXPECT_TRUE(rig.autopilot.lastAction().isEmpty());

    // Still running, but the desktop does not take the request.
    const TamsoMessage again = rig.askAndWait("quit something", busiest(501));
    ASSERT_EQ(again.actions.size(), 2);
    rig.applications->deliverQuit = false;
    rig.assistant->setPendingAction(again.actions[1]);
    rig.assistant->perform();
    EXPECT_EQ(rig.applications->quitRequests, QList<qint64>{501});
    EXPECT_EQ(rig.assistant->messages().constLast().text,
              "I couldn't reach Editor to ask it to quit, so nothing was closed.");
    EXPECT_TRUE(rig.autopilot.lastAction().isEmpty());
}

TEST_F(AssistantActionTest, NothingPendingOrAQuitWithoutNameDoesNothingButClear) {
    rig.assistant->perform();
    rig.assistant->setPendingAction(TamsoAction::make("Quit", "performance", K::ProposeQuit));
    rig.assistant->perform();
    EXPECT_FALSE(rig.assistant->pendingAction().has_value());

    // The second of two performs finds nothing pending.
    rig.assistant->setPendingAction(TamsoAction::make("Open Storage", "disk", K::OpenFeature));
    rig.assistant->perform();
    rig.assistant->perform();

    EXPECT_EQ(posts, QStringList{"corvantoOpenSection disk (timeline 0)"});
    EXPECT_EQ(rig.timeline.store->entries().size(), 1);
    EXPECT_EQ(rig.assistant->messages().size(), 1);
    EXPECT_TRUE(rig.applications->quitRequests.isEmpty());
}

TEST_F(AssistantActionTest, PendingIsClearedBeforeTheActionIsCarriedOut) {
    std::optional<TamsoAction> seen = TamsoAction::make("x", "y", K::OpenFeature);
    rig.notifications.observe(Notifications::OpenSection, &observer,
                              [&](const QString&) { seen = rig.assistant->pendingAction(); });
    rig.assistant->setPendingAction(TamsoAction::make("Open Home", "dashboard", K::OpenFeature));
    rig.assistant->perform();
    EXPECT_FALSE(seen.has_value());
}

TEST(AssistantConversationTest, AskAcceptsTrimmedQuestionsAndRecordsEachAnswer) {
    AssistantRig rig;
    const QList<TamsoMessage>& messages = rig.assistant->messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, TamsoAssistant::welcomeText());
    EXPECT_EQ(messages[0].role, TamsoMessage::Role::Tamso);
    EXPECT_FALSE(rig.assistant->thinking());

    rig.assistant->ask(" \t\n ", SystemSnapshot{}, std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(rig.assistant->thinking());
    EXPECT_TRUE(rig.timeline.store->entries().isEmpty());

    rig.assistant->ask("  Is it SAFE to clear caches?\n", SystemSnapshot{}, std::nullopt);
    ASSERT_EQ(messages.size(), 2) << "the question shows at once";
    EXPECT_EQ(messages[1].role, TamsoMessage::Role::User);
    EXPECT_EQ(messages[1].text, "Is it SAFE to clear caches?");
    EXPECT_TRUE(messages[1].actions.isEmpty());
    EXPECT_TRUE(rig.assistant->thinking());
    ASSERT_TRUE(testsupport::waitFor([&] { return messages.size() == 3; }));
    EXPECT_FALSE(rig.assistant->thinking());
    ASSERT_EQ(rig.timeline.store->entries().size(), 1);
    const TimelineEntry& entry = rig.timeline.store->entries().constFirst();
    EXPECT_EQ(entry.kind, TimelineEntry::Kind::AskAnswer);
    EXPECT_EQ(entry.title, "Is it SAFE to clear caches?");
    EXPECT_EQ(entry.detail, messages[2].text);
    EXPECT_EQ(entry.featureID, "tamso") << "no screen: the assistant's own section";

    rig.askAndWait("why is my mac slow", SystemSnapshot{},
                   TamsoScreenContext{"vault", "Privacy", std::nullopt});
    EXPECT_EQ(rig.timeline.store->entries().constFirst().featureID, "vault");
}

TEST(AssistantConversationTest, TwoQuestionsInFlightEachGetTheirOwnAnswer) {
    AssistantRig rig;
    rig.model.available = true;
    rig.model.setHeld(true);
    rig.model.scriptAnswer("first");
    rig.model.scriptAnswer("second");
    rig.assistant->ask("tell me one thing", SystemSnapshot{}, std::nullopt);
    rig.assistant->ask("tell me another", SystemSnapshot{}, std::nullopt);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.model.waiting() == 2; }));
    EXPECT_TRUE(rig.assistant->thinking());
    // Each prompt's conversation ends before its own question.
    EXPECT_TRUE(rig.model.exchanges[0].prompt.endsWith("Pendrel: " + TamsoAssistant::welcomeText() +
                                                       "\n\nQuestion: tell me one thing"));
    EXPECT_TRUE(rig.model.exchanges[1].prompt.contains("\nUser: tell me one thing\n\nQuestion: "
                                                       "tell me another"));
    rig.model.release();
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.assistant->messages().size() == 5; }));
    EXPECT_FALSE(rig.assistant->thinking());
    EXPECT_EQ(rig.assistant->messages()[3].text, "first");
    EXPECT_EQ(rig.assistant->messages()[4].text, "second");
    EXPECT_EQ(rig.timeline.store->entries().size(), 2);
}
