// The file search: how a description becomes terms and a kind, and the walk over a made-up home.
#include "assistant/SpotlightSearch.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <sys/stat.h>
#include <sys/time.h>

using Kind = ScanPhase;
using FileKind = SpotlightSearch::FileKind;

namespace {

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* s : items)
        out << QString::fromUtf8(s);
    return out;
}

// Writes a file below root with its modification (and access) time `age` seconds ago.
QString put(const QString& root, const QString& relative, qint64 age,
            const QByteArray& bytes = "x") {
    const QString path = root + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const timeval times[2] = {{time_t(now - age), 0}, {time_t(now - age), 0}};
    ::utimes(QFile::encodeName(path).constData(), times);
    return path;
}

QStringList names(const QList<SearchHit>& hits) {
    return testsupport::strings(hits,
                                [](const SearchHit& h) { return QFileInfo(h.path()).fileName(); });
}

QList<SearchHit> searchAndWait(SpotlightSearch& s, const QString& description) {
    s.search(description);
    EXPECT_TRUE(testsupport::waitFor([&] { return s.state().phase != Kind::Running; }));
    return s.results();
}

} // namespace

TEST(SpotlightSearchTerms, DescriptionsBecomeTermsAndKinds) {
    struct Row {
        const char* description;
        std::optional<QStringList> terms; // none: nothing to search for
        std::optional<FileKind> kind;
    } rows[] = {
        {"the photos", QStringList(), FileKind::Image},
        {"of my", std::nullopt, std::nullopt},
        {"x", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"invoices 2024", list({"invoices", "invoice", "2024", "2024s"}), std::nullopt},
        {"PDF Invoice", list({"invoice", "invoices"}), FileKind::Pdf},
        {"pdf document", QStringList(), FileKind::Pdf},
        {"beach bus", list({"beach", "beachs", "bus", "buss"}), std::nullopt},
        {"my screenshot", list({"screenshot", "screenshots"}), FileKind::Image},
        {"songs, clip!", list({"songs", "song", "clip", "clips"}), FileKind::Movie},
        {"old word doc", list({"old", "olds", "word", "words", "doc", "docs"}), FileKind::Content},
        {"invoice invoices", list({"invoice", "invoices"}), std::nullopt},
        {"Café–crème", list({"café", "cafés", "crème", "crèmes"}), std::nullopt},
    };
    for (const Row& r : rows) {
        const auto query = SpotlightSearch::parse(QString::fromUtf8(r.description));
        SCOPED_TRACE(r.description);
        ASSERT_EQ(query.has_value(), r.terms.has_value());
        if (!query)
            continue;
        EXPECT_EQ(query->terms, *r.terms);
        EXPECT_EQ(query->kind, r.kind);
    }
}

TEST(SpotlightSearchTerms, CountsAndCaps) {
    // "a" and a lone accented letter (two code points, one character) are too short.
    EXPECT_TRUE(SpotlightSearch::allTerms({QStringLiteral("e\u0301")}).isEmpty());
    // Four characters ending in "s" lose it; three gain one.
    EXPECT_EQ(SpotlightSearch::allTerms({QStringLiteral("gas")}), list({"gas", "gass"}));
    EXPECT_EQ(SpotlightSearch::allTerms({QStringLiteral("e\u0301tes")}),
              QStringList({QStringLiteral("e\u0301tes"), QStringLiteral("e\u0301te")}));
    // Five unrelated words give ten terms, of which eight are searched.
    const QString five = QStringLiteral("alpha bravo delta echo golf");
    EXPECT_EQ(SpotlightSearch::allTerms(SpotlightSearch::words(five)).size(), 10);
    EXPECT_EQ(SpotlightSearch::parse(five)->terms.size(), SpotlightSearch::kMaxTerms);
    EXPECT_EQ(SpotlightSearch::words(QStringLiteral("Tax_return-2024.PDF")),
              list({"tax", "return", "2024", "pdf"}));
    EXPECT_EQ(SpotlightSearch::fold(QStringLiteral("Résumé ÉTÉ")), QStringLiteral("resume ete"));
    EXPECT_TRUE(SpotlightSearch::isOfKind(QStringLiteral("Beach.JPG"), FileKind::Image));
    EXPECT_TRUE(SpotlightSearch::isOfKind(QStringLiteral("a.pdf"), FileKind::Content));
    EXPECT_FALSE(SpotlightSearch::isOfKind(QStringLiteral("jpg"), FileKind::Image));
    EXPECT_FALSE(SpotlightSearch::isOfKind(QStringLiteral("a.pdf"), FileKind::Image));
}

TEST(SpotlightSearchWalk, FindsByNameContentAndKindNewestFirst) {
    const QString home = testsupport::freshDir(QStringLiteral("search-home"));
    put(home, QStringLiteral("Documents/invoice-old.pdf"), 5000);
    put(home, QStringLiteral("Documents/Invoice-NEW.PDF"), 100);
    put(home, QStringLiteral("Documents/notes.txt"), 300, "Paid the electricity INVOICE today\n");
    put(home, QStringLiteral("Documents/big.txt"), 200, QByteArray(600 * 1024, 'a') + "invoice");
    put(home, QStringLiteral("Documents/binary.txt"), 250, QByteArray("invoice\0\0", 9));
    put(home, QStringLiteral("Documents/Résumé 2023.odt"), 400);
    put(home, QStringLiteral(".hidden/invoice.pdf"), 1);
    put(home, QStringLiteral("Documents/.invoice-draft.pdf"), 1);
    put(home, QStringLiteral("Pictures/dog.jpg"), 50);
    put(home, QStringLiteral("Pictures/cat.png"), 60);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QByteArray folder = QFile::encodeName(home + QStringLiteral("/Invoices archive"));
    QDir().mkpath(QFile::decodeName(folder));
    const timeval folderTimes[2] = {{time_t(now - 6000), 0}, {time_t(now - 6000), 0}};
    ::utimes(folder.constData(), folderTimes);
    const QByteArray link = QFile::encodeName(home + QStringLiteral("/invoice-link"));
    QFile::link(home + QStringLiteral("/Documents"), QFile::decodeName(link));
    const timeval linkTimes[2] = {{time_t(now - 7000), 0}, {time_t(now - 7000), 0}};
    ::lutimes(link.constData(), linkTimes);

    SpotlightSearch search(home);
    // Names of folders and links count too, but nothing is entered through a link or found in
    // a hidden place, a large file or a binary one.
    EXPECT_EQ(names(searchAndWait(search, QStringLiteral("invoice"))),
              list({"Invoice-NEW.PDF", "notes.txt", "invoice-old.pdf", "Invoices archive",
                    "invoice-link"}));
    EXPECT_EQ(search.state().phase, Kind::Done);
    EXPECT_EQ(search.lastQuery(), "invoice");

    EXPECT_EQ(names(searchAndWait(search, QStringLiteral("PDF invoices"))),
              list({"Invoice-NEW.PDF", "invoice-old.pdf"}));
    EXPECT_EQ(names(searchAndWait(search, QStringLiteral("the photos"))),
              list({"dog.jpg", "cat.png"}));
    EXPECT_EQ(names(searchAndWait(search, QStringLiteral("resume"))), list({"Résumé 2023.odt"}));
    EXPECT_EQ(names(searchAndWait(search, QStringLiteral("RÉSUMÉ"))), list({"Résumé 2023.odt"}));

    // Nothing to search for: failed, and the earlier hits stay.
    search.search(QStringLiteral("of my"));
    EXPECT_EQ(search.state(), SpotlightSearch::State::failed(QStringLiteral(
                                  "Describe what you are looking for in a few words.")));
    EXPECT_EQ(names(search.results()), list({"Résumé 2023.odt"}));
    EXPECT_EQ(search.lastQuery(), "of my");

    search.clear();
    EXPECT_EQ(search.state().phase, Kind::Idle);
    EXPECT_TRUE(search.results().isEmpty());
    EXPECT_TRUE(search.lastQuery().isEmpty());
}

TEST(SpotlightSearchWalk, KeepsTheThirtyNewestAndLeavesAccessTimes) {
    const QString home = testsupport::freshDir(QStringLiteral("search-cap"));
    for (int i = 0; i < 45; ++i)
        put(home, QStringLiteral("Reports/%1/quarterly.txt").arg(i), 1000 + i * 10,
            "the quarterly figures");
    // Read for its contents: its access time is older than its change, which a plain read
    // would move.
    const QString notes = put(home, QStringLiteral("notes.md"), 0, "quarterly plan");
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const timeval times[2] = {{time_t(now - 90'000), 0}, {time_t(now - 10), 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(notes).constData(), times), 0);

    SpotlightSearch search(home);
    const QList<SearchHit> hits = searchAndWait(search, QStringLiteral("quarterly figures"));
    ASSERT_EQ(hits.size(), SpotlightSearch::kMaxHits);
    EXPECT_EQ(hits.first().path(), notes);
    for (int i = 1; i < hits.size(); ++i)
        EXPECT_EQ(hits.at(i).path(), home + QStringLiteral("/Reports/%1/quarterly.txt").arg(i - 1));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(notes).constData(), &st), 0);
    EXPECT_EQ(qint64(st.st_atime), now - 90'000);

    // A walk out of time settles for what it saw, and says so.
    SpotlightSearch::Limits tight;
    tight.maxMilliseconds = 0;
    SpotlightSearch::Found found = SpotlightSearch::find(
        home, *SpotlightSearch::parse(QStringLiteral("quarterly")), tight, CancelToken(), 1);
    EXPECT_TRUE(found.limited);
    EXPECT_LT(found.matched, 46);
    // So does one that may read no more contents: "plan" is only inside notes.md.
    SpotlightSearch::Limits noReading;
    noReading.maxTotalTextBytes = 0;
    found = SpotlightSearch::find(home, *SpotlightSearch::parse(QStringLiteral("plan")), noReading,
                                  CancelToken(), 1);
    EXPECT_TRUE(found.limited);
    EXPECT_TRUE(found.hits.isEmpty());
    found = SpotlightSearch::find(home, *SpotlightSearch::parse(QStringLiteral("plan")),
                                  SpotlightSearch::Limits(), CancelToken(), 1);
    EXPECT_FALSE(found.limited);
    EXPECT_EQ(found.hits.size(), 1);
}

// Only a limit ends a walk early, and the published state carries it to the screen.
TEST(SpotlightSearchWalk, ASearchCutShortEndsDonePartial) {
    const QString home = testsupport::freshDir(QStringLiteral("search-partial"));
    for (int i = 0; i < 200; ++i)
        put(home, QStringLiteral("d%1/e%2/report-%2.txt").arg(i % 9).arg(i), i);
    SpotlightSearch complete(home);
    searchAndWait(complete, QStringLiteral("report"));
    EXPECT_EQ(complete.state(), SpotlightSearch::State::done());
    EXPECT_FALSE(complete.partial());

    SpotlightSearch::Limits outOfTime;
    outOfTime.maxMilliseconds = 0;
    SpotlightSearch cut(home, outOfTime);
    cut.setWalkThreads(1);
    searchAndWait(cut, QStringLiteral("report"));
    EXPECT_EQ(cut.state(), SpotlightSearch::State::done());
    EXPECT_TRUE(cut.partial());
}

TEST(SpotlightSearchWalk, ANewSearchOrClearSupersedesTheRunningOne) {
    const QString home = testsupport::freshDir(QStringLiteral("search-supersede"));
    for (int i = 0; i < 300; ++i) {
        put(home, QStringLiteral("a/%1/alpha-%1.txt").arg(i), i);
        put(home, QStringLiteral("b/%1/bravo-%1.txt").arg(i), i);
    }
    SpotlightSearch search(home);
    QList<QStringList> published;
    QObject::connect(&search, &SpotlightSearch::resultsChanged, &search,
                     [&] { published.append(names(search.results())); });
    search.search(QStringLiteral("alpha"));
    search.search(QStringLiteral("bravo"));
    ASSERT_TRUE(testsupport::waitFor([&] { return search.state().phase == Kind::Done; }));
    QTest::qWait(100);
    ASSERT_FALSE(published.isEmpty());
    for (const QStringList& p : published)
        for (const QString& name : p)
            EXPECT_TRUE(name.startsWith(QLatin1String("bravo"))) << qPrintable(name);
    EXPECT_EQ(search.results().size(), SpotlightSearch::kMaxHits);

    search.search(QStringLiteral("alpha"));
    EXPECT_EQ(search.state().phase, Kind::Running);
    EXPECT_TRUE(search.results().isEmpty());
    search.clear();
    QTest::qWait(200);
    EXPECT_EQ(search.state().phase, Kind::Idle);
    EXPECT_TRUE(search.results().isEmpty());
    EXPECT_TRUE(search.lastQuery().isEmpty());
}

// What the screen follows: each move of the state is announced once, a refusal at once, and a
// result's hits and partial flag are in place when Done is announced.
TEST(SpotlightSearchWalk, EveryMoveOfTheStateIsAnnouncedOnce) {
    const QString home = testsupport::freshDir(QStringLiteral("search-announce"));
    put(home, QStringLiteral("Documents/invoice.pdf"), 10);
    SpotlightSearch search(home);
    QList<SpotlightSearch::State> heard;
    QList<qsizetype> hitsWhenHeard;
    QObject::connect(&search, &SpotlightSearch::stateChanged, &search, [&] {
        heard.append(search.state());
        hitsWhenHeard.append(search.results().size());
    });
    const QString refusal = SpotlightSearch::nothingToSearchMessage();

    search.search(QStringLiteral("of my"));
    EXPECT_EQ(heard, QList{SpotlightSearch::State::failed(refusal)});
    search.search(QStringLiteral("the"));
    EXPECT_EQ(heard.size(), 1) << "refused again: nothing moved";
    search.clear();
    EXPECT_EQ(heard.last(), SpotlightSearch::State());
    EXPECT_EQ(heard.size(), 2);

    searchAndWait(search, QStringLiteral("invoice"));
    EXPECT_EQ(heard.mid(2),
              (QList{SpotlightSearch::State::running(), SpotlightSearch::State::done()}));
    EXPECT_EQ(hitsWhenHeard.last(), 1);
    EXPECT_FALSE(search.partial());

    // From Done, a refusal is one move, and the hits stay.
    search.search(QStringLiteral("of my"));
    EXPECT_EQ(heard.mid(4), QList{SpotlightSearch::State::failed(refusal)});
    EXPECT_EQ(search.results().size(), 1);
}
