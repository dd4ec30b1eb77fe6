#include "developer/FileCompare.h"
#include "fakes/FakeDocumentText.h"
#include "fakes/FakeLanguageModel.h"
#include "platform/LinuxDocumentText.h"
#include "shell/ScreenState.h"
#include "support/AccessTime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

namespace {

using Side = FileCompare::Side;

using testsupport::write;

QString png(const QString& path, QColor color) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(color);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

QUrl url(const QString& path) {
    return QUrl::fromLocalFile(path);
}

QByteArray numbered(int count, const char* eol = "\n") {
    QByteArray text;
    for (int k = 1; k <= count; ++k)
        text += "line " + QByteArray::number(k) + (k < count ? eol : "");
    return text;
}

// A compare wired to a fresh screen state, a scripted model and either real or fake documents.
struct Rig {
    ScreenState screen;
    FakeLanguageModel model;
    std::unique_ptr<FileCompare> compare;

    explicit Rig(std::shared_ptr<DocumentText> documents = std::make_shared<LinuxDocumentText>())
        : compare(std::make_unique<FileCompare>(screen, model, std::move(documents))) {}

    // Puts both files on, left then right.
    void put(const QString& left, const QString& right) {
        compare->setSide(url(left), Side::Left);
        compare->setSide(url(right), Side::Right);
    }
    // The same, then waits for the run to publish.
    void pair(const QString& left, const QString& right) {
        put(left, right);
        settle();
    }
    void settle() {
        ASSERT_TRUE(testsupport::waitFor([this] { return !screen.compareBusy(); }, 10000));
    }
};

// A rig over documents the test words and holds back itself.
struct FakeDocumentsRig : Rig {
    std::shared_ptr<FakeDocumentText> documents;

    FakeDocumentsRig() : FakeDocumentsRig(std::make_shared<FakeDocumentText>()) {}

private:
    explicit FakeDocumentsRig(const std::shared_ptr<FakeDocumentText>& fake)
        : Rig(fake), documents(fake) {}
};

} // namespace

TEST(FileCompare, OneSideAloneStartsNothing) {
    Rig rig;
    const QString dir = testsupport::freshDir("one");
    rig.compare->setSide(url(write(dir + "/a.txt", "a")), Side::Left);
    EXPECT_FALSE(rig.screen.compareBusy());
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::None);
    EXPECT_EQ(rig.compare->generation(), 0u);
}

TEST(FileCompare, ChoosesTheKindOfComparisonByExtensionAndContent) {
    Rig rig;
    const QString dir = testsupport::freshDir("kinds");

    // Extensions are compared without case; images get the byte verdict only.
    rig.pair(png(dir + "/Photo.JPG", Qt::red), png(dir + "/photo.png", Qt::blue));
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Image);
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), false);
    rig.pair(dir + "/photo.png", dir + "/photo.png");
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), true);

    // A picture's zero bytes make an image-and-text pair binary.
    const QString text = write(dir + "/notes.txt", "hello\n");
    rig.pair(dir + "/photo.png", text);
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Binary);
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), false);

    // A PDF and a text file are not both documents: the PDF's raw bytes are sniffed.
    rig.pair(write(dir + "/scan.pdf", QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n\0\0stream", 24)),
             text);
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Binary);

    // Same words, different formatting: the text inside is identical.
    const QString fx = testsupport::fixture("developer/");
    rig.pair(fx + "terms-plain.docx", fx + "terms-styled.docx");
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Text);
    EXPECT_TRUE(rig.screen.compareUsedExtraction());
    EXPECT_EQ(rig.screen.compareSummary(), DiffSummary{});
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), std::nullopt);
    rig.pair(fx + "terms-plain.docx", fx + "terms-changed.docx");
    EXPECT_EQ(rig.screen.compareSummary(), (DiffSummary{0, 0, 1}));
    EXPECT_EQ(rig.screen.compareRows().at(0).rightText,
              QStringLiteral("Payment is due within 45 days."));

    // Documents without text fall back to their raw bytes; a zip is binary.
    rig.pair(write(dir + "/x.docx", QByteArray("PK\3\4\0\0", 6)), fx + "terms-plain.docx");
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Binary);

    // Two empty files: one empty line each.
    rig.pair(write(dir + "/e1.txt", {}), write(dir + "/e2.txt", {}));
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Text);
    ASSERT_EQ(rig.screen.compareRows().size(), 1);
    EXPECT_EQ(rig.screen.compareRows()[0].kind, DiffRow::Kind::Same);
    EXPECT_FALSE(rig.screen.compareUsedExtraction());

    // CR LF against LF is not identical: every CR LF leaves an empty line.
    rig.pair(write(dir + "/crlf.txt", numbered(3, "\r\n")), write(dir + "/lf.txt", numbered(3)));
    EXPECT_EQ(rig.screen.compareSummary(), (DiffSummary{0, 2, 0}));
}

TEST(FileCompare, DiffsUpTo20000LinesAndGivesTheByteVerdictBeyond) {
    Rig rig;
    const QString dir = testsupport::freshDir("limit");
    const QString exact = write(dir + "/exact.txt", numbered(20000));
    rig.pair(exact, write(dir + "/exact2.txt", numbered(20000)));
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Text);
    EXPECT_EQ(rig.screen.compareRows().size(), 20000);

    rig.pair(exact, write(dir + "/over.txt", numbered(20001)));
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::TooBig);
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), false);
    EXPECT_TRUE(rig.screen.compareRows().isEmpty());
}

// A run hands its first rows to the screen while it is still busy, whether the files begin alike
// or differ from their first line; they are exactly the rows its result starts with.
TEST(FileCompare, TheFirstRowsOfALineDiffAreHandedOverBeforeTheResult) {
    Rig rig;
    const QString dir = testsupport::freshDir("ahead");
    QByteArray shared = numbered(1000) + "\n", apart;
    for (int k = 0; k < 3000; ++k) {
        shared += "old " + QByteArray::number(k) + "\n";
        apart += (k % 3 == 1 ? "old " : "new ") + QByteArray::number(k) + "\n";
    }
    QList<DiffRow> ahead;
    bool busyThen = false;
    QObject::connect(rig.compare.get(), &FileCompare::rowsAhead, [&](const QList<DiffRow>& rows) {
        ahead = rows;
        busyThen = rig.screen.compareBusy() && rig.screen.compareRows().isEmpty();
    });
    const QString base = write(dir + "/a.txt", shared);
    for (const QByteArray& other : {numbered(1000) + "\n" + apart, "first\n" + apart}) {
        ahead.clear();
        rig.pair(base, write(dir + "/b.txt", other));
        ASSERT_EQ(ahead.size(), FileCompare::aheadRows);
        EXPECT_TRUE(busyThen);
        EXPECT_EQ(ahead, rig.screen.compareRows().first(ahead.size()));
    }
    EXPECT_NE(ahead.front().kind, DiffRow::Kind::Same);

    // A diff of fewer rows comes whole.
    ahead.clear();
    rig.pair(write(dir + "/c.txt", "one\ntwo\n"), write(dir + "/d.txt", "uno\ntwo\n"));
    EXPECT_TRUE(ahead.isEmpty());
    EXPECT_EQ(rig.screen.compareRows().size(), 3);
}

TEST(FileCompare, ATextThatIsNotUtf8AsAWholeIsAnErrorThatKeepsTheLastResult) {
    Rig rig;
    const QString dir = testsupport::freshDir("bad");
    const QString good = write(dir + "/good.txt", "one\ntwo\n");
    rig.pair(good, write(dir + "/good2.txt", "one\n2\n"));
    ASSERT_EQ(rig.screen.compareMode(), CompareMode::Text);
    rig.compare->setSide(url(write(dir + "/late.txt", QByteArray(9000, 'a') + "\xff")),
                         Side::Right);
    rig.settle();
    EXPECT_EQ(rig.screen.compareError(),
              QStringLiteral("One of the files couldn't be read as text."));
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Text);
    EXPECT_EQ(rig.screen.compareSummary(), (DiffSummary{0, 0, 1}));
    EXPECT_TRUE(rig.screen.compareRows().isEmpty());
}

TEST(FileCompare, AFifoOrAFolderOnASideIsDifferentAndNeverHangs) {
    Rig rig;
    const QString dir = testsupport::freshDir("odd");
    const QString fifo = dir + "/pipe.txt";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString text = write(dir + "/a.txt", "a\n");
    QElapsedTimer clock;
    clock.start();
    rig.pair(fifo, text);
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Binary);
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), false);

    // A FIFO named like a document or a picture is not opened by the readers either.
    const QString fifoDoc = dir + "/pipe.docx";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoDoc).constData(), 0600), 0);
    rig.pair(fifoDoc, testsupport::fixture("developer/terms-plain.docx"));
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Binary);

    QDir().mkpath(dir + "/folder.txt");
    rig.pair(text, dir + "/folder.txt");
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::Binary);
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), false);
    // Two unreadable sides are not "identical" either.
    rig.pair(dir + "/folder.txt", fifo);
    EXPECT_EQ(rig.screen.compareIdenticalBytes(), false);
    EXPECT_LT(clock.elapsed(), 8000);
}

// A run that ends after a newer one never overwrites the newer pair's result.
TEST(FileCompare, AnOldRunNeverOverwritesTheCurrentPair) {
    FakeDocumentsRig rig;
    const QString dir = testsupport::freshDir("stale");
    const QString oldLeft = write(dir + "/old.html", "<p>old</p>");
    const QString right = write(dir + "/right.html", "<p>right</p>\n");
    rig.documents->setText(oldLeft, QStringLiteral("old words"));
    rig.documents->setText(right, QStringLiteral("right words"));
    rig.documents->gate(oldLeft);

    QSignalSpy published(rig.compare.get(), &FileCompare::published);
    rig.put(oldLeft, right);
    ASSERT_TRUE(testsupport::waitFor([&] { return rig.documents->waiting(); }));

    // The new pair is not two documents: compared as raw text, at once.
    const QString newLeft = write(dir + "/new.txt", "<p>right</p>\n");
    rig.compare->setSide(url(newLeft), Side::Left);
    ASSERT_TRUE(testsupport::waitFor([&] { return published.count() == 1; }));
    EXPECT_FALSE(rig.screen.compareUsedExtraction());
    EXPECT_EQ(rig.screen.compareSummary(), DiffSummary{});

    rig.documents->open();
    QTest::qWait(200);
    EXPECT_EQ(published.count(), 1);
    EXPECT_FALSE(rig.screen.compareUsedExtraction());
    EXPECT_EQ(rig.screen.compareRows().at(0).leftText, QStringLiteral("<p>right</p>"));
    EXPECT_FALSE(rig.screen.compareBusy());
}

TEST(FileCompare, BusyStaysOnUntilTheCurrentRunPublishes) {
    FakeDocumentsRig rig;
    const QString dir = testsupport::freshDir("busy");
    const QString a = write(dir + "/a.rtf", "{\\rtf1 a}");
    const QString b = write(dir + "/b.rtf", "{\\rtf1 b}");
    const QString c = write(dir + "/c.rtf", "{\\rtf1 c}");
    for (const QString& p : {a, b, c})
        rig.documents->setText(p, p.section('/', -1));
    rig.documents->gate(b);
    rig.documents->gate(c);
    rig.put(a, b);
    rig.compare->setSide(url(c), Side::Right); // the first run is cancelled and ends first
    QTest::qWait(150);
    EXPECT_TRUE(rig.screen.compareBusy());
    EXPECT_EQ(rig.screen.compareMode(), CompareMode::None);
    rig.documents->open();
    rig.settle();
    EXPECT_EQ(rig.screen.compareRows().at(0).rightText, QStringLiteral("c.rtf"));
}

TEST(FileCompare, ExplainsTheChangesThroughTheModel) {
    Rig rig;
    const QString dir = testsupport::freshDir("explain");
    rig.pair(write(dir + "/a.txt", "same\nold\n"), write(dir + "/b.txt", "same\nnew\n"));
    ASSERT_EQ(rig.screen.compareSummary(), (DiffSummary{0, 0, 1}));

    rig.model.scriptAnswer(QStringLiteral(" One word changed. "));
    rig.model.setHeld(true);
    rig.compare->explainChanges();
    EXPECT_TRUE(rig.screen.compareAIWorking());
    rig.compare->explainChanges(); // ignored while the first is being written
    ASSERT_EQ(rig.model.exchanges.size(), 1);
    const auto& exchange = rig.model.exchanges.first();
    EXPECT_TRUE(exchange.instructions.startsWith(
        "You explain document differences for the Pendrel app. You are given the changed\nlines"));
    EXPECT_TRUE(exchange.instructions.endsWith("cosmetic, say so."));
    EXPECT_EQ(exchange.instructions.count('\n'), 5);
    EXPECT_EQ(exchange.prompt, QStringLiteral("Document A: a.txt\nDocument B: b.txt\n\nChanges:\n"
                                              "BEFORE: old\nAFTER: new"));
    EXPECT_FALSE(exchange.options.temperature || exchange.options.sampling ||
                 exchange.options.maximumResponseTokens);

    rig.model.release();
    ASSERT_TRUE(testsupport::waitFor([&] { return !rig.screen.compareAIWorking(); }));
    EXPECT_EQ(rig.screen.compareAISummary(), QStringLiteral(" One word changed. "));
    EXPECT_FALSE(rig.screen.compareAIUnavailable());

    // A failing model leaves the note; the comparison stays.
    rig.model.setHeld(false);
    rig.model.scriptFailure("refused");
    rig.compare->explainChanges();
    ASSERT_TRUE(testsupport::waitFor([&] { return !rig.screen.compareAIWorking(); }));
    EXPECT_EQ(rig.screen.compareAISummary(), std::nullopt);
    EXPECT_TRUE(rig.screen.compareAIUnavailable());
    EXPECT_EQ(rig.screen.compareSummary(), (DiffSummary{0, 0, 1}));
}

TEST(FileCompare, WithoutAModelTheNoteShowsAtOnceAndNothingIsAsked) {
    Rig rig;
    rig.model.available = false;
    rig.compare->explainChanges();
    EXPECT_TRUE(rig.screen.compareAIUnavailable());
    EXPECT_FALSE(rig.screen.compareAIWorking());
    EXPECT_TRUE(rig.model.exchanges.isEmpty());
}

TEST(FileCompare, AnExplanationOfAnEarlierPairIsDropped) {
    Rig rig;
    const QString dir = testsupport::freshDir("explain-stale");
    const QString a = write(dir + "/a.txt", "x\n");
    rig.pair(a, write(dir + "/b.txt", "y\n"));
    rig.model.setHeld(true);
    rig.model.scriptAnswer("about a and b");
    rig.compare->explainChanges();
    rig.compare->setSide(url(write(dir + "/c.txt", "z\n")), Side::Right);
    EXPECT_FALSE(rig.screen.compareAIWorking()); // the new pair may be explained at once
    rig.settle();
    rig.model.release();
    QTest::qWait(100);
    EXPECT_EQ(rig.screen.compareAISummary(), std::nullopt);
    EXPECT_FALSE(rig.screen.compareAIUnavailable());
}

TEST(FileCompare, LongChangesAreCutForTheModel) {
    Rig rig;
    const QString dir = testsupport::freshDir("explain-long");
    QByteArray a, b;
    for (int k = 0; k < 200; ++k) {
        a += "the old wording of clause " + QByteArray::number(k) + "\n";
        b += "the new wording of clause " + QByteArray::number(k) + "\n";
    }
    rig.pair(write(dir + "/a.txt", a), write(dir + "/b.txt", b));
    rig.compare->explainChanges();
    ASSERT_EQ(rig.model.exchanges.size(), 1);
    EXPECT_TRUE(rig.model.exchanges[0].prompt.endsWith("\n(more changes not shown)"));
}

// Comparing two files reads them; it must not make them look recently opened to the age rules.
TEST(FileCompare, ComparingLeavesTheFilesAccessTimes) {
    const QString dir = testsupport::freshDir("compare-atime");
    if (!testsupport::plainReadsMoveAccessTime(dir))
        GTEST_SKIP() << "reads on this mount never move the access time";
    const auto fixture = [&](const char* name, const QString& as) {
        const QString to = dir + "/" + as;
        EXPECT_TRUE(QFile::copy(testsupport::fixture(QStringLiteral("developer/") + name), to));
        return to;
    };
    const QList<QStringList> pairs = {
        {write(dir + "/a.txt", numbered(50)), write(dir + "/b.txt", numbered(51))},
        {fixture("terms-plain.docx", "a.docx"), fixture("terms-changed.docx", "b.docx")},
        {fixture("two-pages.pdf", "a.pdf"), fixture("no-text.pdf", "b.pdf")},
        {write(dir + "/a.bin", QByteArray(5000, '\0')), write(dir + "/b.bin", QByteArray(5000, 1))},
        {png(dir + "/a.png", Qt::red), png(dir + "/b.png", Qt::blue)},
    };
    LinuxDocumentText documents;
    for (const QStringList& pair : pairs) {
        for (const QString& file : pair)
            testsupport::ageFile(file);
        const qint64 first = testsupport::accessTimeNs(pair[0]);
        const qint64 second = testsupport::accessTimeNs(pair[1]);
        const FileCompare::Outcome outcome = FileCompare::run(pair[0], pair[1], documents);
        EXPECT_FALSE(outcome.error) << pair[0].toStdString();
        EXPECT_FALSE(FileCompare::identical(pair[0], pair[1]));
        EXPECT_EQ(testsupport::accessTimeNs(pair[0]), first) << pair[0].toStdString();
        EXPECT_EQ(testsupport::accessTimeNs(pair[1]), second) << pair[1].toStdString();
    }
}
