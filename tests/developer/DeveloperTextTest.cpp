#include "developer/DeveloperText.h"
#include "support/TestSupport.h"
#include "vitals/PerformanceMode.h"

#include <gtest/gtest.h>

using namespace DeveloperText;

namespace {

CleanCategory row(const QString& id, qint64 bytes, int files, bool onByDefault = true) {
    CleanCategory c;
    c.id = id;
    c.name = id;
    c.sizeBytes = bytes;
    c.fileCount = files;
    c.onByDefault = onByDefault;
    return c;
}

QStringList ids(const QList<CleanCategory>& rows) {
    return testsupport::strings(rows, &CleanCategory::id);
}

} // namespace

TEST(DeveloperText, OnlyAnExactRawValueOpensAPane) {
    const struct {
        QString payload;
        std::optional<DevPane> pane;
    } cases[] = {
        {"models", DevPane::Models},   {"awake", DevPane::Awake}, {"hub", DevPane::Hub},
        {"cleanup", DevPane::Cleanup}, {"Models", std::nullopt},  {"", std::nullopt},
        {"AI models", std::nullopt},   {" models", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paneFromPayload(c.payload), c.pane) << c.payload.toStdString();
}

TEST(DeveloperText, HubFiguresLeaveOutEmptyRowsAndModelsFromTheSafeTotal) {
    const QList<CleanCategory> table = {
        row("dev-derived", 300, 3),
        row("dev-docker", 900, 1, false),
        row("dev-ollama", 5000, 2, true), // large and on by default, still not "safe recovery"
        row("dev-npm", 0, 4),             // files without bytes: visible
        row("dev-yarn", 0, 0),            // nothing: hidden
        row("dev-lmstudio", 300, 1, false),
        row("dev-cargo", 300, 1),
    };
    EXPECT_EQ(ids(visibleCategories(table)), QStringList({"dev-derived", "dev-docker", "dev-ollama",
                                                          "dev-npm", "dev-lmstudio", "dev-cargo"}));
    EXPECT_EQ(ids(hubCategories(table)),
              QStringList({"dev-derived", "dev-docker", "dev-npm", "dev-cargo"}));
    EXPECT_EQ(safeTotal(table), 600);
    // Five largest, equal sizes in table order, models included.
    EXPECT_EQ(ids(largest(table)), QStringList({"dev-ollama", "dev-docker", "dev-derived",
                                                "dev-lmstudio", "dev-cargo"}));
    EXPECT_EQ(ids(largest(table.mid(0, 3))),
              QStringList({"dev-ollama", "dev-docker", "dev-derived"}));
    EXPECT_EQ(ids(paneRows(table, true)), QStringList({"dev-ollama", "dev-lmstudio"}));
    EXPECT_EQ(ids(paneRows(table, false)).size(), 6);

    const QList<CleanCategory> empty = {row("dev-derived", 0, 0), row("dev-ollama", 0, 0)};
    EXPECT_EQ(safeTotal(empty), 0);
    EXPECT_TRUE(largest(empty).isEmpty());
    EXPECT_EQ(safeRecoveryLine(0), "Safe recovery available · Zero KB");
}

TEST(DeveloperText, SelectionCountsHiddenRowsAndRescanKeepsOrDefaults) {
    const QList<CleanCategory> table = {row("dev-derived", 300, 3), row("dev-yarn", 0, 0),
                                        row("dev-docker", 900, 1, false),
                                        row("dev-ollama", 50, 1, false)};
    EXPECT_EQ(selectedBytes(table, {"dev-docker", "dev-yarn", "gone"}), 900);
    EXPECT_EQ(rescanSelection(table, {}), QSet<QString>({"dev-derived", "dev-yarn"}));
    EXPECT_EQ(rescanSelection(table, {"dev-ollama", "gone"}), QSet<QString>({"dev-ollama"}));
    EXPECT_EQ(confirmTitle(0), "Clean Zero KB of developer data?");
}

TEST(DeveloperText, MeasuringAndKeepAwakeWording) {
    EXPECT_EQ(measuringLine(0, 0), "Measuring…");
    EXPECT_EQ(measuringLine(3, 23), "Measuring 3 of 23…");
    EXPECT_EQ(measuringDetail(""), "Starting");
    EXPECT_EQ(measuringDetail("npm cache"), "npm cache");
    EXPECT_EQ(placeholderNow(""), "This can take a minute the first time.");
    EXPECT_EQ(placeholderNow("npm cache"), "Now: npm cache");
    EXPECT_EQ(placeholderCount(2, 0), "");
    EXPECT_EQ(placeholderCount(2, 23), "2 of 23");
    EXPECT_EQ(nothingMessage(true), "No Ollama or LM Studio models found on this Mac.");

    EXPECT_EQ(keepAwakeCardText(true, "On — live"), "On — live");
    EXPECT_EQ(keepAwakeCardText(false, "On — live"),
              "Stop idle sleep for Open Claw-style agents, builds and long downloads.");
    EXPECT_EQ(keepAwakeCardButton(true), "Manage");
    EXPECT_EQ(keepAwakeCardButton(false), "Open");
    EXPECT_EQ(keepAwakeTitle(true), "Keeping this Mac awake");
    EXPECT_EQ(keepAwakeTitle(false), "Your Mac can sleep normally");
    const QString refused = "The display could not be kept awake on this desktop.";
    EXPECT_EQ(awakeNote("", false), "");
    EXPECT_EQ(awakeNote("Mac woke", false), "Mac woke");
    EXPECT_EQ(awakeNote("", true), refused);
    EXPECT_EQ(awakeNote("Mac woke", true), refused + "\nMac woke");
    // The advice holds on a machine without fans too, and the prompt names what is measured.
    EXPECT_FALSE(awakeLimits().at(2).contains(title(PerformanceMode::Fans)));
    // Nothing from a toolchain this system does not have, and no tool named twice.
    EXPECT_FALSE(hubIntro().contains("Xcode"));
    for (const Card& card : cards())
        EXPECT_FALSE(card.text.contains("Xcode")) << card.text.toStdString();
    EXPECT_FALSE(nothingMessage(false).contains("Xcode"));
    EXPECT_EQ(hubAskPrompt(), "Ask about Docker, caches or models");
    QStringList labels;
    for (KeepAwakeManager::Duration d : KeepAwakeManager::allDurations())
        labels << durationLabel(d);
    EXPECT_EQ(labels, QStringList({"Until I turn it off", "1 hour", "2 hours", "4 hours"}));
}
