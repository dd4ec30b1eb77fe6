// The timeline's rules: recording, the duplicate guard, the cap, pins, search and the prompt
// texts the assistant reads.
#include "platform/CacheFolderTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace cachefoldertest;
using Kind = TimelineEntry::Kind;

namespace {

// A file of `count` automation entries, one minute apart, the newest first.
QByteArray fileOf(int count) {
    QJsonArray array;
    for (int i = 0; i < count; ++i)
        array.append(TimelineEntry{QUuid::createUuid(), 800000000.0 - 60 * i, Kind::Automation,
                                   QStringLiteral("Run %1").arg(i), QString(), std::nullopt, false}
                         .toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QStringList titles(const QList<TimelineEntry>& entries) {
    return testsupport::strings(entries, &TimelineEntry::title);
}

} // namespace

TEST(TimelineStore, RecordingTrimsAndAnEmptyTitleTouchesNothing) {
    Timeline t("timeline-trim");
    t.store->record(Kind::AskAnswer, "   \n", "detail");
    EXPECT_TRUE(t.store->entries().isEmpty());
    EXPECT_FALSE(QFile::exists(t.file())) << "nothing recorded, nothing saved";

    t.store->record(Kind::AskAnswer, "  why is my mac slow ", "Memory is tight.\n", " tamso ");
    ASSERT_EQ(t.store->entries().size(), 1);
    const TimelineEntry& e = t.store->entries().first();
    EXPECT_EQ(e.title, "why is my mac slow");
    EXPECT_EQ(e.detail, "Memory is tight.");
    EXPECT_EQ(e.featureID, " tamso ") << "the feature id is kept as given";
    EXPECT_EQ(e.dateTime(), t.clock->now());
    EXPECT_EQ(PendrelTimelineStore::decode(t.bytes()), t.store->entries());
}

TEST(TimelineStore, TheSameEntryWithinThirtySecondsIsRecordedOnce) {
    Timeline t("timeline-duplicates");
    PendrelTimelineStore& s = *t.store;
    s.record(Kind::Automation, "Weekly cleanup", "Moved 1.2 GB");
    t.clock->advance(29);
    s.record(Kind::Automation, "Weekly cleanup", " Moved 1.2 GB ");
    EXPECT_EQ(s.entries().size(), 1);
    // Another detail or another kind is another entry.
    s.record(Kind::Automation, "Weekly cleanup", "Moved 1.3 GB");
    s.record(Kind::Action, "Weekly cleanup", "Moved 1.2 GB");
    EXPECT_EQ(s.entries().size(), 3);
    // The guard looks both ways: a clock set back still finds the recent entry.
    t.clock->advance(-40);
    s.record(Kind::Automation, "Weekly cleanup", "Moved 1.2 GB");
    EXPECT_EQ(s.entries().size(), 3);
    t.clock->advance(40 + 31);
    s.record(Kind::Automation, "Weekly cleanup", "Moved 1.2 GB");
    EXPECT_EQ(s.entries().size(), 4);
}

TEST(TimelineStore, TheCapDropsTheOldestRecordedEvenWhenPinned) {
    Timeline t("timeline-cap", fileOf(400));
    PendrelTimelineStore& s = *t.store;
    s.togglePin(s.entries().last().id); // "Run 399", the oldest
    s.record(Kind::Automation, "Run 400", QString());
    ASSERT_EQ(s.entries().size(), 400);
    EXPECT_EQ(s.entries().first().title, "Run 400");
    EXPECT_EQ(s.entries().last().title, "Run 398");
    EXPECT_EQ(PendrelTimelineStore::decode(t.bytes())->size(), 400);
}

TEST(TimelineStore, ALoadedFileKeepsEveryEntryUntilTheNextRecord) {
    Timeline t("timeline-450", fileOf(450));
    EXPECT_EQ(t.store->entries().size(), 450);
    t.store->record(Kind::Action, "Quit Slack", QString());
    EXPECT_EQ(t.store->entries().size(), 400);
    EXPECT_EQ(t.store->entries()[399].title, "Run 398");
}

TEST(TimelineStore, PinsAndClearingSaveEveryTime) {
    Timeline t("timeline-pins");
    PendrelTimelineStore& s = *t.store;
    s.record(Kind::AskAnswer, "first", QString());
    const QUuid id = s.entries().first().id;
    s.togglePin(id);
    EXPECT_TRUE(PendrelTimelineStore::decode(t.bytes())->first().pinned);
    s.togglePin(id);
    EXPECT_FALSE(PendrelTimelineStore::decode(t.bytes())->first().pinned);

    const QByteArray before = t.bytes();
    s.togglePin(QUuid::createUuid());
    EXPECT_EQ(t.bytes(), before) << "an unknown id changes nothing";

    t.clock->advance(5);
    s.record(Kind::AskAnswer, "second", QString());
    s.togglePin(s.entries().first().id);
    s.clearUnpinned();
    EXPECT_EQ(titles(s.entries()), QStringList{"second"});
    s.togglePin(s.entries().first().id);
    s.clearUnpinned();
    EXPECT_TRUE(s.entries().isEmpty());
    EXPECT_EQ(t.bytes(), "[]");
}

TEST(TimelineStore, SearchMatchesTitleDetailAndKindLabelNewestFirst) {
    // Stored order is not date order: the view sorts by date, ties keep stored order.
    auto entry = [](const char* title, double date, Kind kind, const char* detail = "") {
        return TimelineEntry{
            QUuid::createUuid(),       date,         kind, QString::fromUtf8(title),
            QString::fromUtf8(detail), std::nullopt, false};
    };
    const QList<TimelineEntry> stored = {
        entry("Weekly cleanup", 100, Kind::Automation, "Moved 1.2 GB"),
        entry("why is my mac hot", 300, Kind::AskAnswer, "ffmpeg is busy"),
        entry("Ollama models", 200, Kind::Insight),
        entry("Quit Slack", 300, Kind::Action, "Approved from Explain My Mac"),
    };
    Timeline t("timeline-search",
               QJsonDocument(CacheFolder::encodeArray(stored)).toJson(QJsonDocument::Compact));
    PendrelTimelineStore& s = *t.store;

    const struct {
        const char* search;
        QStringList expected;
    } cases[] = {
        {"", {"why is my mac hot", "Quit Slack", "Ollama models", "Weekly cleanup"}},
        {"   ", {"why is my mac hot", "Quit Slack", "Ollama models", "Weekly cleanup"}},
        {"INSIGHT", {"Ollama models"}},
        {"explain", {"why is my mac hot", "Quit Slack"}},
        {"auto", {"Weekly cleanup"}},
        {" FFMPEG ", {"why is my mac hot"}},
        {"kubernetes", {}},
    };
    for (const auto& c : cases) {
        s.setSearchText(QString::fromUtf8(c.search));
        EXPECT_EQ(titles(s.filteredEntries()), c.expected) << c.search;
    }
}

TEST(TimelineStore, ContextTextsForTheAssistant) {
    Timeline t("timeline-context");
    PendrelTimelineStore& s = *t.store;
    s.setPromptFormat(QLocale(QLocale::English, QLocale::UnitedStates), QTimeZone::utc());
    EXPECT_EQ(s.pinnedContext(), QString());
    EXPECT_EQ(s.recentContext(8), QString());

    t.clock->set(QDateTime(QDate(2026, 12, 8), QTime(9, 14), Qt::UTC));
    s.record(Kind::Automation, "Weekly cleanup", "Moved 1.2 GB to the Trash.", "automation");
    s.togglePin(s.entries().first().id);
    EXPECT_EQ(s.recentContext(8), QString()) << "only pinned entries";
    EXPECT_EQ(s.pinnedContext(),
              QString::fromUtf8("[12/8/26 9:14 AM · Automation] Weekly cleanup → Moved 1.2 GB "
                                "to the Trash."));

    for (int i = 0; i < 10; ++i) {
        t.clock->advance(3600);
        s.record(Kind::AskAnswer, QStringLiteral("question %1").arg(i), QString());
    }
    const QStringList recent = s.recentContext(8).split('\n');
    ASSERT_EQ(recent.size(), 8);
    EXPECT_EQ(recent.first(),
              QString::fromUtf8("[12/8/26 7:14 PM · Explain My Mac] question 9 → "));
    EXPECT_TRUE(recent.last().contains("question 2 → "));
    EXPECT_EQ(s.recentContext(0), QString());
    EXPECT_EQ(s.recentContext(50).split('\n').size(), 10);
}

TEST(TimelineEntry, PromptLinesCutTheDetailAtWhatAReaderCountsAsCharacters) {
    TimelineEntry e{QUuid::createUuid(), 0, Kind::Insight, "Flags", QString(), std::nullopt, false};
    const QString flag = QString::fromUtf8("🇳🇴"); // two code points, one character
    e.detail = flag.repeated(300);
    const QString line = e.promptLine(QLocale::c(), QTimeZone::utc());
    EXPECT_TRUE(line.endsWith(QStringLiteral(" → ") + flag.repeated(220)));
    e.detail = QString(500, QLatin1Char('a'));
    EXPECT_TRUE(e.promptLine().endsWith(QStringLiteral(" → ") + QString(220, QLatin1Char('a'))));
    EXPECT_FALSE(e.promptLine().endsWith(QString(221, QLatin1Char('a'))));
}
