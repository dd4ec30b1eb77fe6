// The chat screen's and the find panel's wording and small rules.
#include "assistant/TamsoAIText.h"

#include <gtest/gtest.h>

namespace {

using K = TamsoActionKind;

std::optional<TamsoAction> action(K kind, const char* label = "",
                                  std::optional<QString> payload = std::nullopt) {
    return TamsoAction::make(QString::fromUtf8(label), QStringLiteral("disk"), kind, payload);
}

} // namespace

TEST(TamsoAIText, ApprovalTextsByAction) {
    struct Row {
        std::optional<TamsoAction> pending;
        const char* title;
        const char* message;
    } rows[] = {
        {std::nullopt, "Approve action?", ""},
        {action(K::OpenFeature, "See performance", QStringLiteral("x")), "Continue?",
         "Open this area of Pendrel?"},
        {action(K::ProposeQuit, "Propose quitting Slack", QStringLiteral("Slack")), "Quit Slack?",
         "Pendrel will ask the app to quit politely. Unsaved work in that app may prompt you to "
         "save."},
        {action(K::ProposeQuit, "Propose quitting"), "Quit this app?",
         "Pendrel will ask the app to quit politely. Unsaved work in that app may prompt you to "
         "save."},
        {action(K::ProposeOpenCleanup, "Open Disk Map", QStringLiteral("diskMap")),
         "Open Disk Map?",
         "Pendrel will take you to that screen. Nothing is deleted until you choose it there."},
        {action(K::ProposeOpenCleanup, "Screenshot Cleaner"), "Open Screenshot Cleaner?",
         "Pendrel will take you to that screen. Nothing is deleted until you choose it there."},
        {action(K::ProposeOpenCleanup, "  "), "Open this screen?",
         "Pendrel will take you to that screen. Nothing is deleted until you choose it there."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.title);
        EXPECT_EQ(TamsoAIText::approvalTitle(r.pending), QString::fromUtf8(r.title));
        EXPECT_EQ(TamsoAIText::approvalMessage(r.pending), QString::fromUtf8(r.message));
    }
}

TEST(TamsoAIText, BlanksAreSpacesAndTabs) {
    struct Row {
        const char* text;
        bool thinking;
        bool ask;
    } rows[] = {
        {"", false, false},   {" \t ", false, false}, {" why? ", false, true},
        {"why", true, false}, {"\n", false, true},    {"\t x", false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(TamsoAIText::canAsk(QString::fromUtf8(r.text), r.thinking), r.ask);
        EXPECT_EQ(TamsoAIText::canFind(QString::fromUtf8(r.text)), r.ask || r.thinking);
    }
    EXPECT_EQ(TamsoAIText::trimmedBlanks(QStringLiteral("\t a b \t")), "a b");
}

TEST(TamsoAIText, ClearAndHitTexts) {
    EXPECT_FALSE(TamsoAIText::showsClear(false, QString()));
    EXPECT_TRUE(TamsoAIText::showsClear(false, QStringLiteral(" ")));
    EXPECT_TRUE(TamsoAIText::showsClear(true, QString()));
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/home/ana/Documents/Tax 2024/return.pdf"));
    EXPECT_EQ(TamsoAIText::hitName(url), "return.pdf");
    EXPECT_EQ(TamsoAIText::hitFolder(url), "/home/ana/Documents/Tax 2024");
}
