// The timeline's file: the reference form, what counts as unreadable, and what a failed write
// leaves behind.
#include "platform/CacheFolderTestSupport.h"
#include "platform/JsonFields.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace cachefoldertest;
using Kind = TimelineEntry::Kind;

namespace {

QByteArray fixture(const QString& name) {
    return readAll(testsupport::fixture(QStringLiteral("assistant/") + name));
}

QStringList asideFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("timeline.v1.json.unreadable-*")}, QDir::Files);
}

} // namespace

TEST(TimelineFile, TheReferenceFormLoadsExactlyAndARewriteReadsBackTheSame) {
    Timeline t("timeline-reference", fixture("timeline-reference.json"));
    const QList<TimelineEntry>& e = t.store->entries();
    ASSERT_EQ(e.size(), 3);

    EXPECT_EQ(e[0].id, QUuid::fromString(QStringLiteral("5F2B1C9E-8D3A-4E6F-9A1B-2C3D4E5F6A7B")));
    EXPECT_EQ(e[0].date, 802345678.901234);
    EXPECT_EQ(e[0].kind, Kind::AskAnswer);
    EXPECT_EQ(e[0].title, "why is my mac hot");
    EXPECT_EQ(e[0].featureID, "performance");
    EXPECT_TRUE(e[0].pinned);
    EXPECT_EQ(e[1].kind, Kind::Automation);
    EXPECT_EQ(e[1].featureID, std::nullopt) << "null reads as none";
    EXPECT_EQ(e[1].dateTime(), QDateTime(QDate(2026, 6, 5), QTime(8, 13, 20), Qt::UTC));
    EXPECT_EQ(e[2].kind, Kind::Insight);
    EXPECT_EQ(e[2].featureID, std::nullopt) << "absent reads as none";
    EXPECT_EQ(e[2].date, -3600.5) << "a date before 2001 is a negative number";

    // Any change writes the file again; what it holds reads back to the same entries.
    const QUuid first = e[0].id;
    t.store->togglePin(first);
    t.store->togglePin(first);
    const QByteArray saved = t.bytes();
    EXPECT_FALSE(saved.contains('\n')) << "compact";
    EXPECT_FALSE(saved.contains("runBy")) << "unknown keys are not carried";
    EXPECT_TRUE(saved.contains("\"5F2B1C9E-8D3A-4E6F-9A1B-2C3D4E5F6A7B\""));
    EXPECT_TRUE(saved.contains("802345678.901234"));
    const QJsonArray array = QJsonDocument::fromJson(saved).array();
    ASSERT_EQ(array.size(), 3);
    EXPECT_FALSE(array[1].toObject().contains("featureID")) << "no value, no key";
    EXPECT_EQ(PendrelTimelineStore::decode(saved), e);
    Timeline reopened("timeline-reopened", saved);
    EXPECT_EQ(reopened.store->entries(), e);
}

TEST(TimelineFile, OnlyTheReferenceFormDecodes) {
    const auto entry = [](QJsonObject change, const QStringList& drop = {}) {
        QJsonObject o{{"id", "5F2B1C9E-8D3A-4E6F-9A1B-2C3D4E5F6A7B"},
                      {"date", 802345678.5},
                      {"kind", "action"},
                      {"title", "Quit Slack"},
                      {"detail", ""},
                      {"pinned", false}};
        for (auto it = change.begin(); it != change.end(); ++it)
            o.insert(it.key(), it.value());
        for (const QString& key : drop)
            o.remove(key);
        return QJsonDocument(QJsonArray{o}).toJson(QJsonDocument::Compact);
    };
    EXPECT_TRUE(PendrelTimelineStore::decode(entry({})));
    EXPECT_TRUE(
        PendrelTimelineStore::decode(entry({{"id", "5f2b1c9e-8d3a-4e6f-9a1b-2c3d4e5f6a7b"}})))
        << "a lower-case UUID is still a UUID";
    EXPECT_TRUE(PendrelTimelineStore::decode("[]"));

    const struct {
        const char* why;
        QByteArray bytes;
    } rejected[] = {
        {"no pinned key", entry({}, {"pinned"})},
        {"no detail key", entry({}, {"detail"})},
        {"unknown kind", entry({{"kind", "cleanup"}})},
        {"kind in another case", entry({{"kind", "Action"}})},
        {"ISO 8601 date", entry({{"date", "2026-06-05T16:53:20Z"}})},
        {"pinned as a number", entry({{"pinned", 0}})},
        {"featureID as a number", entry({{"featureID", 3}})},
        {"id with braces", entry({{"id", "{5F2B1C9E-8D3A-4E6F-9A1B-2C3D4E5F6A7B}"}})},
        {"id too short", entry({{"id", "5F2B1C9E-8D3A-4E6F-9A1B"}})},
        {"title as null", entry({{"title", QJsonValue::Null}})},
        {"an object at the top", R"({"entries":[]})"},
        {"a record that is no object", "[1]"},
        {"cut short", "[{\"id\":"},
        {"not JSON at all", "\x00\xff"},
    };
    for (const auto& r : rejected)
        EXPECT_FALSE(PendrelTimelineStore::decode(r.bytes)) << r.why;
}

TEST(TimelineFile, AnUnreadableFileIsKeptAsideAndOutlivesTheNextRecord) {
    const QByteArray bad = fixture("timeline-one-bad-record.json");
    LogCapture log;
    Timeline t("timeline-bad", bad);
    EXPECT_TRUE(t.store->entries().isEmpty()) << "one bad record rejects the whole file";
    EXPECT_FALSE(t.store->savesHeld());
    const QStringList aside = asideFiles(t.dir);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_FALSE(QFile::exists(t.file()));

    t.store->record(Kind::AskAnswer, "is my disk full", "No: 120 GB free.");
    ASSERT_EQ(PendrelTimelineStore::decode(t.bytes())->size(), 1);
    EXPECT_EQ(asideFiles(t.dir), aside);
    EXPECT_EQ(readAll(t.dir + "/" + aside.first()), bad) << "kept byte for byte";
}

TEST(TimelineFile, SomethingThatIsNoFileIsSetAsideToo) {
    const QString dir = testsupport::freshDir("timeline-folder");
    QDir().mkpath(dir + "/timeline.v1.json/inside");
    PendrelTimelineStore store(CacheFolder(AppSupportFolder(dir)), std::make_shared<FakeClock>());
    EXPECT_TRUE(store.entries().isEmpty());
    store.record(Kind::Action, "Quit Slack", "");
    EXPECT_TRUE(QFileInfo(dir + "/timeline.v1.json").isFile());
    ASSERT_EQ(asideFiles(dir).size(), 0) << "a folder is not a file";
    EXPECT_EQ(QDir(dir).entryList({"timeline.v1.json.unreadable-*"}, QDir::Dirs).size(), 1);
}

TEST(TimelineFile, AFailedWriteLogsTheLineAndLeavesTheOldFileAsItWas) {
    Timeline t("timeline-full-disk");
    t.store->record(Kind::Automation, "Weekly cleanup", "Moved 1.2 GB to the Trash.");
    const QByteArray before = t.bytes();
    ASSERT_FALSE(before.isEmpty());

    LogCapture log;
    {
        // The new file would be larger than the disk lets it grow.
        FileSizeLimit full(4096);
        t.clock->advance(60);
        t.store->record(Kind::AskAnswer, "what is using my disk", QString(20000, QLatin1Char('x')));
    }
    EXPECT_EQ(t.bytes(), before);
    EXPECT_EQ(t.store->entries().size(), 2) << "the change stays in memory";
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(
        QStringLiteral("Pendrel cache write failed for timeline.v1.json: ")))
        << log.lines().first().toStdString();
    EXPECT_GT(log.lines().first().size(), 52) << "with the reason";
}

TEST(CacheFolder, AFileThatCannotBeSetAsideIsNeverOverwritten) {
    // A name so long that the aside name is longer than a file name may be: the rename fails.
    const QString name = QString(236, QLatin1Char('t')) + QStringLiteral(".json");
    const CacheFolder folder(AppSupportFolder(testsupport::freshDir("held")));
    writeAll(folder.folder().pathFor(name), "not JSON");

    LogCapture log;
    const auto load = folder.loadArray<TimelineEntry>(name);
    EXPECT_EQ(load.outcome, CacheFolder::LoadOutcome::Held);
    EXPECT_FALSE(load.value);
    EXPECT_TRUE(folder.isHeld(name));
    log.lines().clear();
    EXPECT_FALSE(folder.writeJSON(QList<TimelineEntry>{}, name));
    EXPECT_EQ(readAll(folder.folder().pathFor(name)), "not JSON");
    // (Qt adds a line of its own about the name that is too long.)
    EXPECT_EQ(log.lines().filter("Pendrel cache write failed for " + name + ": ").size(), 1);

    // Once the user has moved it away, writing works again.
    QFile::remove(folder.folder().pathFor(name));
    EXPECT_TRUE(folder.writeJSON(QList<TimelineEntry>{}, name));
    EXPECT_FALSE(folder.isHeld(name));
    EXPECT_EQ(readAll(folder.folder().pathFor(name)), "[]");
}

TEST(CacheFolder, TheFirstWriteMakesTheFolderAndAMissingFileIsAnEmptyStart) {
    const QString root = testsupport::freshDir("first-write") + "/data/Pendrel";
    const CacheFolder folder{AppSupportFolder(root)};
    const auto load = folder.loadArray<TimelineEntry>("apps.json");
    EXPECT_EQ(load.outcome, CacheFolder::LoadOutcome::Missing);
    EXPECT_FALSE(QFileInfo::exists(root)) << "reading makes no folder";
    EXPECT_TRUE(folder.writeJSON(QList<TimelineEntry>{}, "apps.json"));
    EXPECT_EQ(readAll(root + "/apps.json"), "[]");
}
