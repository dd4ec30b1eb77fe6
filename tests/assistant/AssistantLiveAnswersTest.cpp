// Answers read from the live sample and the developer data: slowness, battery, quitting, the
// headroom chain, and developer data measured off the main thread while the window keeps running.
#include "assistant/RoutingTestSupport.h"
#include "shell/FeatureReplies.h"
#include "shell/QKFeature.h"

#include <QDir>
#include <QSemaphore>
#include <QThread>
#include <QTimer>

using namespace routingtest;

// The Explain record's live figures answer slowness only: its other phrases are not about load,
// and a reading of CPU and memory would answer a question nobody asked.
TEST_F(AssistantRoutingTest, OnlyQuestionsAboutSlownessGetTheExplainRecordsFigures) {
    SystemSnapshot s = busyMachine();
    s.cpuPercent = 100;
    const QString blurb = QKFeature::lookup("tamso")->blurb;
    for (const char* question : {"why did storage grow so much?",
                                 "What should I do about this folder?", "explain my mac"}) {
        SCOPED_TRACE(question);
        const TamsoMessage answer = rig.askAndWait(question, s);
        EXPECT_EQ(answer.text, blurb);
        EXPECT_FALSE(answer.text.contains("CPU load"));
    }
    for (const char* question : {"Why is my Mac slow?", "explain my mac, it is so slow",
                                 "explain why everything is sluggish"}) {
        SCOPED_TRACE(question);
        EXPECT_EQ(rig.askAndWait(question, s).text, FeatureReplies::explain(s));
    }
}

// The question the app itself suggests (the welcome text, the Performance screen's "Ask Pendrel
// why") is answered from the sample, not with a pitch for the assistant.
TEST_F(AssistantRoutingTest, WhyIsMyMacSlowIsAnsweredFromTheLiveFigures) {
    SystemSnapshot s = busyMachine();
    s.cpuPercent = 100;
    s.thermal.pressure = ThermalSnapshot::Pressure::Nominal;
    const TamsoMessage answer = rig.askAndWait("Why is my Mac slow?", s);
    EXPECT_EQ(answer.text, "Something is working your Mac hard right now. CPU load is 100%. "
                           "Firefox looks like the main load. You are using 6 GB of your 8 GB of "
                           "memory. The biggest memory user right now is Firefox at 2 GB. "
                           "Quitting it would free the most.");
    EXPECT_TRUE(answer.actions.isEmpty());
}

TEST_F(AssistantRoutingTest, BatteryAndQuitTextsFollowTheSample) {
    SystemSnapshot s;
    s.batteryPercent = 80;
    s.batteryCycles = 500;
    EXPECT_EQ(TamsoAssistant::batteryText(s),
              "Battery is at 80%. It has done 500 charge cycles; makers rate most batteries for "
              "about 1000.");
    s.batteryCharging = true;
    s.batteryHealthPercent = 91;
    s.batteryCycles.reset();
    EXPECT_EQ(TamsoAssistant::batteryText(s),
              "Battery is at 80% and on power. Health is 91% of its original capacity.");

    const TamsoMessage quit = rig.askAndWait("close apps please", SystemSnapshot{});
    EXPECT_EQ(quit.text, "Performance Autopilot can suggest apps that are open but not frontmost.");
    EXPECT_EQ(specs(quit), (QList<ActionSpec>{
                               {"Open Performance", "performance", K::OpenFeature, std::nullopt}}));

    // A process that belongs to a running application is proposed by that application's name,
    // the name the autopilot can find it by.
    SystemSnapshot busy;
    busy.topProcesses = {{QUuid::createUuid(), "firefox-esr", 2'000'000'000, 4242}};
    rig.applications->apps = {FakeRunningApplications::app("Firefox ESR", 4242)};
    const TamsoMessage named = rig.askAndWait("autopilot", busy);
    ASSERT_EQ(named.actions.size(), 2);
    EXPECT_EQ(named.actions[1].payload, "Firefox ESR");
    EXPECT_TRUE(named.text.contains("Right now Firefox ESR is using the most memory."));
}

TEST_F(AssistantRoutingTest, WithoutAHealthCheckTheHeadroomQuestionGoesOnDownTheChain) {
    AssistantRig bare(QStringLiteral("bare"));
    bare.assistant = std::make_unique<TamsoAssistant>(TamsoAssistant::Deps{
        .timeline = *bare.timeline.store,
        .model = bare.model,
        .notifications = bare.notifications,
        .autopilot = [] { return nullptr; },
        .applications = std::make_shared<FakeRunningApplications>(),
        .home = bare.home,
        .measure = bare.measure,
        .headroom = [](const SystemSnapshot&) { return std::nullopt; },
    });
    EXPECT_EQ(bare.askAndWait("my health score").text, kFallback);
}

TEST_F(AssistantRoutingTest, DeveloperDataIsMeasuredOffTheMainThreadAndAnswered) {
    const QString ollama = rig.home.map(".ollama");
    QThread* measuredOn = nullptr;
    rig.measure->setHook(
        [&](const CleanCategory&, const CancelToken&) { measuredOn = QThread::currentThread(); });

    // No folder: nothing is measured.
    EXPECT_EQ(rig.askAndWait("how big are my models").text,
              "I don’t see an Ollama folder on this Mac (~/.ollama). If you install models with "
              "Ollama later, ask again and I’ll measure how much space they use.");
    EXPECT_EQ(
        specs(rig.assistant->messages().constLast()),
        (QList<ActionSpec>{{"Open Developer Centre", "devclean", K::OpenFeature, std::nullopt}}));
    EXPECT_TRUE(rig.measure->measured().isEmpty());

    ASSERT_TRUE(QDir().mkpath(ollama + "/models/manifests/registry/library/llama3"));
    EXPECT_EQ(rig.askAndWait("how much space does ollama use").text,
              "Ollama is installed, but I’m not seeing measurable model data yet (about Zero "
              "KB). Nothing is deleted until you choose it in Developer Centre.");

    rig.measure->setResult("dev-ollama",
                           {.sizeBytes = 4'100'000'000, .fileCount = 0, .eligibleFiles = {}});
    EXPECT_EQ(rig.askAndWait("ollama").text,
              "Ollama data on this Mac is about 4.1 GB under ~/.ollama. I couldn’t count named "
              "models clearly — open Developer Centre → AI models for the cleanup view. Nothing "
              "is deleted until you choose it in Developer Centre.");

    writeAll(ollama + "/models/manifests/registry/library/llama3/latest", "{}");
    writeAll(ollama + "/models/manifests/registry/library/.hidden", "{}");
    const TamsoMessage one = rig.askAndWait("local ai model too big?");
    EXPECT_EQ(one.text, "Ollama has 1 model on this Mac, using about 4.1 GB under ~/.ollama. "
                        "Nothing is deleted until you choose it in Developer Centre.");
    EXPECT_EQ(specs(one),
              (QList<ActionSpec>{{"Open AI models", "devclean", K::OpenFeature, std::nullopt}}));
    writeAll(ollama + "/models/manifests/registry/library/llama3/8b", "{}");
    EXPECT_TRUE(rig.askAndWait("ollama models").text.startsWith("Ollama has 2 models on"));
    EXPECT_NE(measuredOn, nullptr);
    EXPECT_NE(measuredOn, QThread::currentThread());

    rig.measure->setResult("dev-lmstudio",
                           {.sizeBytes = 2'100'000'000, .fileCount = 0, .eligibleFiles = {}});
    const TamsoMessage lm = rig.askAndWait("how much space does lm studio take");
    EXPECT_EQ(lm.text, "LM Studio data on this Mac is about 2.1 GB. That includes models and "
                       "cache. Review it under Developer Centre → AI models before clearing.");
    EXPECT_EQ(specs(lm),
              (QList<ActionSpec>{{"Open AI models", "devclean", K::OpenFeature, std::nullopt}}));

    EXPECT_EQ(rig.askAndWait("docker").text,
              "I don’t see measurable Docker data folders on this Mac right now.");
    rig.measure->setResult("dev-docker",
                           {.sizeBytes = 31'000'000'000, .fileCount = 0, .eligibleFiles = {}});
    const TamsoMessage docker = rig.askAndWait("is docker using a lot");
    EXPECT_EQ(docker.text, "Docker-related data on this Mac is about 31 GB. That is mostly "
                           "images, containers and the Docker VM disk. Prefer reviewing it in "
                           "Developer Centre (or Docker’s own prune) before deleting.");
    EXPECT_EQ(specs(docker), (QList<ActionSpec>{{"Open Developer Centre", "devclean",
                                                 K::OpenFeature, std::nullopt}}));
    EXPECT_EQ(rig.askAndWait("docker compose help").text, kFallback);
}

TEST_F(AssistantRoutingTest, TheWindowKeepsRunningWhileDeveloperDataIsMeasured) {
    QSemaphore release;
    rig.measure->setHook([&](const CleanCategory&, const CancelToken&) { release.acquire(); });
    rig.assistant->ask("docker size", SystemSnapshot{}, std::nullopt);
    bool ticked = false;
    QTimer::singleShot(20, [&] { ticked = true; });
    EXPECT_TRUE(testsupport::waitFor([&] { return ticked; }, 2000));
    EXPECT_TRUE(rig.assistant->thinking()) << "the answer waits for the measurement";
    release.release();
    EXPECT_TRUE(testsupport::waitFor([&] { return !rig.assistant->thinking(); }));
    EXPECT_TRUE(rig.assistant->messages().constLast().text.startsWith("I don’t see measurable "
                                                                      "Docker"));
}
