// The cleaner pane's rules: which rows start ticked, which are listed where, when the list shows
// at all, and the lines it writes.
#include "cleaning/CleanerPaneText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

CleanCategory row(const QString& id, TamsoSafety safety = TamsoSafety::Safe,
                  bool onByDefault = true, bool removable = true) {
    CleanCategory c;
    c.id = id;
    c.name = "Row " + id;
    c.safety = safety;
    c.onByDefault = onByDefault;
    c.removable = removable;
    return c;
}

CleanCategory measured(CleanCategory c, qint64 bytes, int files) {
    c.sizeBytes = bytes;
    c.fileCount = files;
    return c;
}

QStringList ids(const QList<CleanCategory>& rows) {
    return testsupport::strings(rows, &CleanCategory::id);
}

using S = TamsoSafety;

} // namespace

TEST(CleanerPreselection, SafeDefaultsFirstThenEveryDefaultThatIsNotRisky) {
    struct Case {
        const char* name;
        QList<CleanCategory> table;
        QSet<QString> expected;
    };
    const QList<Case> cases = {
        {"safe defaults only",
         {row("a"), row("b", S::CheckFirst), row("c", S::Safe, false),
          row("d", S::Safe, true, false)},
         {"a"}},
        {"no safe default: caution and keep defaults, never risky",
         {row("a", S::CheckFirst), row("b", S::Risky), row("c", S::Keep), row("d", S::Safe, false)},
         {"a", "c"}},
        {"the screenshot table: only the 7-day band",
         {row("screenshots-7"), row("screenshots-30", S::CheckFirst, false),
          row("screenshots-all", S::Risky, false)},
         {"screenshots-7"}},
        {"nothing on by default", {row("a", S::Safe, false), row("b", S::Risky)}, {}},
        {"measure-only rows are never ticked",
         {row("keep", S::Keep, true, false), row("risky", S::Risky)},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CleanerPaneText::preselection(c.table), c.expected);
    }
}

TEST(CleanerSections, FoundRowsSplitIntoCleanableAndLockedInTableOrder) {
    const QList<CleanCategory> table = {
        measured(row("empty"), 0, 0),
        measured(row("files-only"), 0, 3),
        measured(row("kept", S::Keep, false, false), 500, 2),
        measured(row("bytes"), 100, 1),
        measured(row("kept-empty", S::Keep, false, false), 0, 0),
    };
    EXPECT_EQ(ids(CleanerPaneText::measuredItems(table)), QStringList({"files-only", "bytes"}));
    EXPECT_EQ(ids(CleanerPaneText::measureOnlyRows(table)), QStringList({"kept"}));
    // Ticked measure-only rows and unknown ids add nothing.
    EXPECT_EQ(CleanerPaneText::selectedBytes(table, {"bytes", "kept", "gone"}), 100);
    EXPECT_EQ(CleanerPaneText::selectedBytes(table, {}), 0);
}

TEST(CleanerSections, NothingFoundLooksOnlyAtTheBytesOfLockedRows) {
    // Every cleanable row measured zero; a locked row has a file but no bytes.
    QList<CleanCategory> table = {measured(row("a"), 0, 0),
                                  measured(row("kept", S::Keep, false, false), 0, 1)};
    EXPECT_FALSE(CleanerPaneText::showsList(table));
    table[1].sizeBytes = 1;
    EXPECT_TRUE(CleanerPaneText::showsList(table));
    table = {measured(row("a"), 0, 1)};
    EXPECT_TRUE(CleanerPaneText::showsList(table));
    EXPECT_FALSE(CleanerPaneText::showsList({}));
}

TEST(CleanerLines, MetaResultAndButtonTexts) {
    CleanCategory shot = measured(row("screenshots-7"), 1, 12);
    shot.consequence = "They are gone from the Desktop";
    EXPECT_EQ(CleanerPaneText::metaLine(shot), "They are gone from the Desktop · 12 items");
    CleanCategory mail = measured(row("mail"), 1, 12);
    EXPECT_EQ(CleanerPaneText::metaLine(mail), "12 items");
    mail.fileCount = 0;
    EXPECT_EQ(CleanerPaneText::metaLine(mail), "");
    shot.fileCount = 0;
    EXPECT_EQ(CleanerPaneText::metaLine(shot), "They are gone from the Desktop");

    const auto result = [](qint64 freed, int cleaned, QStringList failures,
                           QStringList mounted = {}) {
        return CleanerPaneText::resultLine(CleanResult{freed, cleaned, failures, mounted});
    };
    EXPECT_EQ(result(1'200'000'000, 9, {}), "Freed 1.2 GB");
    EXPECT_EQ(result(1'200'000'000, 9, {"a: x", "b: x", "c: x"}), "Freed 1.2 GB · 3 items skipped");
    // An empty file that went frees nothing, and the clean still did something.
    EXPECT_EQ(result(0, 1, {"a: x"}), "Freed Zero KB · 1 item skipped");
    EXPECT_FALSE(CleanerPaneText::resultIsProblem(result(0, 1, {"a: x"})));

    // Nothing went: the line says why, and reads as a problem.
    const QString none = result(0, 0, {"blob.bin: Permission denied"});
    EXPECT_EQ(none, "Nothing was cleaned · 1 item skipped · blob.bin: Permission denied");
    EXPECT_TRUE(CleanerPaneText::resultIsProblem(none));
    EXPECT_EQ(result(0, 0, {"proj: Another folder is mounted inside it", "a: x", "b: x"},
                     {"proj", "a", "b"}),
              "Nothing was cleaned · 3 items skipped · proj: Another folder is mounted inside "
              "it, and 2 more · proj and 2 more were left in place: other folders are mounted "
              "in them");
    EXPECT_FALSE(CleanerPaneText::resultIsProblem("Freed 1.2 GB"));
    EXPECT_EQ(CleanerPaneText::cleanButtonTitle(0), "Clean selected · Zero KB");
    EXPECT_EQ(CleanerPaneText::confirmTitle(2'500'000), "Clean 2.5 MB?");
    EXPECT_EQ(CleanerPaneText::filesText(7), "7 files");
}

TEST(CleanerLines, ARowSaysWhereItLookedInsteadOfAnIgnoredVariable) {
    CleanCategory logs = measured(row("logs"), 1, 2);
    logs.consequence = "Apps write new logs as they run.";
    logs.ignoredVariables = {{"XDG_STATE_HOME", "/tmp", "/home/ada/.local/state", false},
                             {"XDG_DATA_HOME", "share", "/home/ada/.local/share", true}};
    EXPECT_EQ(CleanerPaneText::metaLine(logs),
              "Apps write new logs as they run. · 2 items\n"
              "XDG_STATE_HOME points at /tmp, which holds more than app data, so Pendrel looked "
              "in /home/ada/.local/state instead.\n"
              "XDG_DATA_HOME is not a full path, so Pendrel looked in /home/ada/.local/share "
              "instead.");
    logs.consequence.clear();
    logs.fileCount = 0;
    logs.ignoredVariables.removeLast();
    EXPECT_EQ(CleanerPaneText::metaLine(logs),
              "XDG_STATE_HOME points at /tmp, which holds more than app data, so Pendrel looked "
              "in /home/ada/.local/state instead.");
}

TEST(CleanerRefusals, ARefusedRowIsListedWithWhyAndNeverStaysTicked) {
    using K = ContentsRefusal::Kind;
    const struct {
        ContentsRefusal refusal;
        const char* line;
        const char* reason;
    } rows[] = {
        {{K::Home, "/home/ada/", "/home/ada", true},
         "Left alone: /home/ada is your home folder, so Pendrel will not empty it.",
         "It is your home folder"},
        {{K::Home, "/home", "/home/ada", false},
         "Left alone: /home holds your home folder, so Pendrel will not empty it.",
         "It holds your home folder"},
        {{K::UserFolder, "/home/ada/Documents", "/home/ada/Documents", true},
         "Left alone: /home/ada/Documents is your Documents folder, so Pendrel will not empty it.",
         "It is your Documents folder"},
        {{K::UserFolder, "/data", "/data/Videos/", false},
         "Left alone: /data holds your Videos folder, so Pendrel will not empty it.",
         "It holds your Videos folder"},
        {{K::AppFolder, "/home/ada/.local/share", "/home/ada/.local/share/Pendrel", false},
         "Left alone: /home/ada/.local/share holds Pendrel's own folder, so Pendrel will not "
         "empty it.",
         "It holds Pendrel's own folder"},
        {{K::Shared, "/tmp", "/tmp", true},
         "Left alone: /tmp is a folder the whole system shares, so Pendrel will not empty it.",
         "It is a folder the whole system shares"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(CleanerPaneText::refusalLine(r.refusal), r.line);
        EXPECT_EQ(CleanerPaneText::refusalReason(r.refusal), r.reason);
    }
    // A row that searches its places is not emptying them.
    CleanCategory logs = row("logs");
    logs.fileExtensions = {"log"};
    logs.refusal = rows[0].refusal;
    EXPECT_EQ(CleanerPaneText::metaLine(logs),
              "Left alone: /home/ada is your home folder, so Pendrel will not search it.");

    CleanCategory caches = row("caches");
    caches.consequence = "Will rebuild automatically if needed.";
    caches.refusal = rows[0].refusal;
    const QList<CleanCategory> table = {caches, measured(row("logs"), 10, 1)};
    EXPECT_EQ(CleanerPaneText::metaLine(caches), rows[0].line);
    EXPECT_EQ(ids(CleanerPaneText::measuredItems(table)), QStringList({"caches", "logs"}));
    EXPECT_TRUE(CleanerPaneText::showsList({caches}));
    EXPECT_EQ(CleanerPaneText::withoutRefused(table, {"caches", "logs", "gone"}),
              QSet<QString>({"logs", "gone"}));
}

TEST(CleanerSelection, AfterACleanOnlyRowsGradedSafeStayTicked) {
    CleanCategory refused = row("refused");
    refused.refusal = ContentsRefusal{};
    const QList<CleanCategory> table = {
        row("caches"),        row("trash", S::Risky), row("db", S::CheckFirst),
        row("kept", S::Keep), row("unticked"),        refused};
    EXPECT_EQ(CleanerPaneText::selectionAfterClean(
                  table, {"caches", "trash", "db", "kept", "refused", "gone"}),
              QSet<QString>({"caches"}));
    EXPECT_TRUE(CleanerPaneText::selectionAfterClean({}, {"caches"}).isEmpty());
}

TEST(CleanerSelection, TheHeaderCountsEachItemOnceAcrossRows) {
    // Rows that list items: two names of one file, a file inside a found folder, and a file in a
    // location that a ticked row empties.
    auto listing = [](const QString& id, QList<std::pair<QString, ItemStamp>> items) {
        CleanCategory c = row(id);
        c.olderThanDays = 7;
        for (const auto& [path, stamp] : items) {
            c.eligibleFiles.append(path);
            c.eligibleStamps.append(stamp);
            c.sizeBytes += stamp.allocatedBytes;
            ++c.fileCount;
        }
        return c;
    };
    const ItemStamp a{1, 10, 100, 0, 4096}, b{1, 11, 100, 0, 8192}, inFolder{1, 12, 10, 0, 4096};
    CleanCategory folders = listing("folders", {{"/h/p/node_modules", {1, 20, 0, 0, 65536}}});
    folders.olderThanDays.reset();
    folders.matchFolderNames = {"node_modules"};
    CleanCategory caches = measured(row("caches"), 50'000, 3);
    caches.locations = {"/h/.cache"};
    const QList<CleanCategory> table = {
        listing("week", {{"/h/Desktop/a.png", a}, {"/h/Desktop/b.png", b}}),
        listing("month", {{"/h/Desktop/a.png", a}, {"/h/Desktop/a-link.png", a}}),
        listing("loose", {{"/h/p/node_modules/x/y.js", inFolder}, {"/h/.cache/z", b}}),
        folders,
        caches,
    };
    EXPECT_EQ(CleanerPaneText::selectedBytes(table, {"week"}), 4096 + 8192);
    EXPECT_EQ(CleanerPaneText::selectedBytes(table, {"week", "month"}), 4096 + 8192);
    EXPECT_EQ(CleanerPaneText::selectedBytes(table, {"loose"}), 4096 + 8192);
    EXPECT_EQ(CleanerPaneText::selectedBytes(table, {"loose", "folders", "caches"}),
              65536 + 50'000);
}

TEST(CleanerSelection, CleaningNeedsATickedRowThatFoundSomething) {
    CleanCategory refused = measured(row("refused"), 500, 1);
    refused.refusal = ContentsRefusal{};
    const QList<CleanCategory> table = {
        measured(row("emptied"), 0, 0),
        measured(row("files"), 0, 2),
        measured(row("bytes"), 4096, 1),
        measured(row("kept", S::Keep, true, false), 900, 1),
        refused,
    };
    EXPECT_FALSE(CleanerPaneText::canClean(table, {}));
    EXPECT_FALSE(CleanerPaneText::canClean(table, {"emptied"}));
    EXPECT_FALSE(CleanerPaneText::canClean(table, {"emptied", "kept", "refused", "gone"}));
    EXPECT_TRUE(CleanerPaneText::canClean(table, {"emptied", "files"}));
    EXPECT_TRUE(CleanerPaneText::canClean(table, {"bytes"}));
}

// A count of one reads in the singular, in a row's meta line and in the file count alike.
TEST(CleanerCounts, OneItemAndOneFileReadInTheSingular) {
    CleanCategory category;
    category.fileCount = 1;
    EXPECT_EQ(CleanerPaneText::metaLine(category), "1 item");
    category.consequence = QStringLiteral("Apps rebuild it.");
    EXPECT_EQ(CleanerPaneText::metaLine(category), QString::fromUtf8("Apps rebuild it. · 1 item"));
    category.fileCount = 2;
    EXPECT_TRUE(CleanerPaneText::metaLine(category).endsWith("2 items"));

    EXPECT_EQ(CleanerPaneText::filesText(1), "1 file");
    EXPECT_EQ(CleanerPaneText::filesText(0), "0 files");
    EXPECT_EQ(CleanerPaneText::filesText(3), "3 files");
}
