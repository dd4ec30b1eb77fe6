#include "assistant/AssistantTestSupport.h"
#include "shell/QKFeature.h"

#include <gtest/gtest.h>

using namespace assistanttest;

namespace {

SystemSnapshot hotMachine() {
    SystemSnapshot s;
    s.memUsedBytes = 6'420'000'000;
    s.memTotalBytes = 16'000'000'000;
    s.cpuPercent = 87.9;
    s.diskFreeBytes = 41'300'000'000;
    s.diskTotalBytes = 494'380'000'000;
    s.thermal.pressure = ThermalSnapshot::Pressure::Serious;
    s.thermal.cpuCelsius = 71.6;
    s.topCPUProcesses = {{QUuid::createUuid(), "cc1plus", 99.7, 0},
                         {QUuid::createUuid(), "firefox-esr", 12.2, 0}};
    s.topProcesses = {{QUuid::createUuid(), "firefox-esr", 1'830'000'000, 0},
                      {QUuid::createUuid(), "code", 912'400'000, 0}};
    return s;
}

QString fixtureText(const QString& name) {
    return QString::fromUtf8(readAll(testsupport::fixture("assistant/" + name)));
}

class AssistantModelTest : public ::testing::Test {
protected:
    AssistantRig rig;
    void SetUp() override { rig.model.available = true; }
};

} // namespace

TEST_F(AssistantModelTest, InstructionsAndPromptAreBuiltExactly) {
    PendrelTimelineStore& timeline = *rig.timeline.store;
    timeline.record(TimelineEntry::Kind::Automation, "Cleared old downloads",
                    "Moved 12 files (1.2 GB) to the Trash.", QString("automation"));
    timeline.togglePin(timeline.entries().constFirst().id);
    rig.timeline.clock->advance(3600);
    timeline.record(TimelineEntry::Kind::Action, "Open Disk Map", "Opened Storage",
                    QString("disk"));
    rig.timeline.clock->advance(60);

    // Three exchanges before the question: seven messages with the welcome, of which the model
    // sees the last six.
    rig.model.scriptAnswer("Your CPU is busy compiling.");
    rig.askAndWait("Why is the fan so LOUD?");
    rig.askAndWait("is it safe to clear caches");
    rig.askAndWait("what is windowserver");
    ASSERT_EQ(rig.assistant->messages().size(), 7);

    rig.model.scriptAnswer("  An honest answer.\n");
    const TamsoMessage answer =
        rig.askAndWait("  Tell me what is GOING on\n", hotMachine(),
                       TamsoScreenContext{"disk", "Storage", QString("Disk Map")});
    EXPECT_EQ(answer.text, "  An honest answer.\n") << "the model's text is kept as written";
    EXPECT_TRUE(answer.actions.isEmpty());

    ASSERT_EQ(rig.model.exchanges.size(), 2);
    const FakeLanguageModel::Exchange& exchange = rig.model.exchanges.constLast();
    EXPECT_EQ(exchange.instructions, fixtureText("model-instructions.txt"))
        << exchange.instructions.toStdString();
    EXPECT_EQ(exchange.prompt, fixtureText("model-prompt.txt")) << exchange.prompt.toStdString();
    EXPECT_FALSE(exchange.options.sampling.has_value());
    EXPECT_FALSE(exchange.options.temperature.has_value());
    EXPECT_FALSE(exchange.options.maximumResponseTokens.has_value());

    EXPECT_EQ(TamsoAssistant::introduction().toUtf8().size(), 115);
    EXPECT_EQ(TamsoAssistant::hardRules().toUtf8().size(), 1330);
}

TEST_F(AssistantModelTest, TheFirstQuestionSeesTheWelcomeAndOnlyTheLowerCasedQuestion) {
    rig.model.scriptAnswer("ok");
    rig.askAndWait("What Is Going On?");
    ASSERT_EQ(rig.model.exchanges.size(), 1);
    const QString prompt = rig.model.exchanges[0].prompt;
    EXPECT_TRUE(prompt.contains("\n\nEarlier in this conversation:\nPendrel: " +
                                TamsoAssistant::welcomeText() + "\n\nQuestion: what is going on?"))
        << prompt.toStdString();
    EXPECT_TRUE(prompt.endsWith("\n\nQuestion: what is going on?"));
    EXPECT_FALSE(prompt.contains("Pinned insights"));
    EXPECT_FALSE(prompt.contains("Recent Pendrel activity"));
    EXPECT_FALSE(prompt.contains("The user is currently looking at"));
    // The timeline keeps the question as typed.
    EXPECT_EQ(rig.timeline.store->entries().constFirst().title, "What Is Going On?");
}

TEST_F(AssistantModelTest, AFailingModelAndAnUnavailableOneLeaveTheAnswerToTheFallback) {
    rig.model.scriptFailure("refused");
    EXPECT_EQ(rig.askAndWait("tell me a joke").text, kFallback);
    EXPECT_EQ(rig.model.exchanges.size(), 1);

    rig.model.available = false;
    EXPECT_EQ(
        rig.askAndWait("tell me a story", {}, TamsoScreenContext{"vault", "Privacy", std::nullopt})
            .text,
        "I can answer about speed, heat, memory, disk space, battery, screenshots, "
        "organising folders, duplicates, and what system processes are. You are on "
        "Privacy. Try: \"why is my Mac hot?\" or \"why is my Mac slow?\".");
    EXPECT_EQ(rig.model.exchanges.size(), 1) << "no prompt is built for an unavailable model";

    rig.model.available = true;
    rig.model.scriptAnswer("");
    const TamsoMessage empty = rig.askAndWait("say nothing");
    EXPECT_EQ(empty.role, TamsoMessage::Role::Tamso);
    EXPECT_TRUE(empty.text.isEmpty()) << "an empty reply is an empty bubble";

    // A "what is" question without a glossary key goes on to the model.
    rig.model.scriptAnswer("A word.");
    EXPECT_EQ(rig.askAndWait("what is a quokka").text, "A word.");
}

TEST(AssistantPromptTextTest, LiveDataLineCoversEmptyListsAndMissingTemperature) {
    SystemSnapshot s;
    s.memUsedBytes = 0;
    s.memTotalBytes = 8'000'000'000;
    s.cpuPercent = 3.99;
    EXPECT_EQ(
        TamsoAssistant::liveDataLine(s),
        "Live data from this Mac: memory Zero KB used of 8 GB, CPU 3%, disk Zero KB free of "
        "Zero KB, thermal pressure Unknown, top CPU processes: none, top memory processes: .");

    s.thermal.pressure = ThermalSnapshot::Pressure::Nominal;
    s.thermal.cpuCelsius = 48.4;
    s.memUsedBytes = std::numeric_limits<quint64>::max();
    s.cpuPercent = std::numeric_limits<double>::quiet_NaN();
    const QString line = TamsoAssistant::liveDataLine(s);
    EXPECT_TRUE(line.contains(", CPU 0%,")) << line.toStdString();
    EXPECT_TRUE(line.contains("thermal pressure Cool, CPU temperature about 48°C, top CPU"));
    EXPECT_TRUE(line.contains("memory 9.22 EB used")) << line.toStdString();
}

TEST(AssistantPromptTextTest, SectionLinesTakeTheBlurbsFirstSentence) {
    QKFeature f;
    f.title = "Title";
    f.blurb = ". Disk cleanup. More.";
    EXPECT_EQ(TamsoAssistant::sectionLine(f), "- Title: Disk cleanup.");
    f.blurb = "";
    EXPECT_EQ(TamsoAssistant::sectionLine(f), "- Title");
    f.blurb = " \t. ";
    EXPECT_EQ(TamsoAssistant::sectionLine(f), "- Title");
    EXPECT_EQ(TamsoAssistant::sectionList().count('\n'), QKFeature::all().size() - 1);
}

TEST(AssistantPromptTextTest, TranscriptKeepsTheLastSixMessages) {
    QList<TamsoMessage> earlier;
    for (int i = 1; i <= 8; ++i)
        earlier.append(i % 2 ? TamsoMessage::question(QString("q%1").arg(i))
                             : TamsoMessage::answer(QString("a%1").arg(i)));
    EXPECT_EQ(TamsoAssistant::transcript(earlier),
              "User: q3\nPendrel: a4\nUser: q5\nPendrel: a6\nUser: q7\nPendrel: a8");
    EXPECT_EQ(TamsoAssistant::transcript({}), "");
}
