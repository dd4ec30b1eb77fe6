#include "platform/LinuxDocumentText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <sys/stat.h>

namespace {

QString fixture(const char* name) {
    return testsupport::fixture(QStringLiteral("developer/") + QLatin1String(name));
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using testsupport::write;

} // namespace

TEST(LinuxDocumentText, ReadsTheBodyTextOfEachKind) {
    LinuxDocumentText reader;
    // Pages joined by one line feed; the page without text is skipped.
    const auto pdf = reader.extract(fixture("two-pages.pdf"));
    ASSERT_TRUE(pdf);
    EXPECT_TRUE(pdf->contains(QStringLiteral("Quarterly report")));
    EXPECT_TRUE(pdf->contains(QStringLiteral("Revenue: 1,200")));
    EXPECT_TRUE(pdf->contains(QStringLiteral("Signed: Ada")));
    EXPECT_LT(pdf->indexOf("Revenue"), pdf->indexOf("Signed"));
    EXPECT_EQ(reader.extract(fixture("no-text.pdf")).value_or("?").trimmed(), QString());

    // Paragraphs become lines; tabs stay; formatting, tab-stop definitions and deleted text do
    // not show, so the two differently styled documents read the same.
    const QString terms =
        QStringLiteral("Payment is due within 30 days.\nFee:\t250 EUR\n\nSigned by Ada");
    EXPECT_EQ(reader.extract(fixture("terms-plain.docx")), terms);
    EXPECT_EQ(reader.extract(fixture("terms-styled.docx")), terms);

    // Runs of spaces, tabs and line breaks spelled out; footnotes and declarations left out.
    EXPECT_EQ(reader.extract(fixture("minutes.odt")),
              QStringLiteral("Minutes\nPresent:   Ada, Grace\nBudget\t1200\napproved"));

    // Code-page bytes, \u with its fallback skipped, escapes; tables and the generator skipped.
    EXPECT_EQ(reader.extract(fixture("notes.rtf")),
              QString::fromUtf8("Café au lait\nSecond line — dash\nBraces { and } and \\ "
                                "backslash\tend"));

    // What a browser shows: no title, no style sheet, and the links to /dev/zero never read.
    const auto html = reader.extract(fixture("page.html"));
    ASSERT_TRUE(html);
    EXPECT_EQ(html->trimmed(), QString::fromUtf8("Price list\nTea & coffee: 3 €\nCake"));

    // No reader for old binary Word files, whatever they hold.
    const QString doc = write(testsupport::freshDir("doc") + "/old.doc", "Plain words");
    EXPECT_EQ(reader.extract(doc), std::nullopt);
}

TEST(LinuxDocumentText, DamagedFilesGiveNothingOrTextButNeverHang) {
    const QString dir = testsupport::freshDir("damaged");
    LinuxDocumentText reader;
    QElapsedTimer clock;
    clock.start();
    for (const char* name :
         {"two-pages.pdf", "terms-plain.docx", "minutes.odt", "notes.rtf", "page.html"}) {
        SCOPED_TRACE(name);
        const QByteArray whole = bytesOf(fixture(name));
        ASSERT_FALSE(whole.isEmpty());
        const QString suffix = QString::fromLatin1(name).section('.', -1);
        for (qsizetype cut : {qsizetype(1), whole.size() / 3, whole.size() / 2, whole.size() - 5}) {
            const QString path =
                write(dir + QStringLiteral("/cut%1.").arg(cut) + suffix, whole.left(cut));
            const auto text = reader.extract(path); // anything but a crash or a hang
            if (suffix == QLatin1String("docx") || suffix == QLatin1String("odt")) {
                EXPECT_EQ(text, std::nullopt) << cut; // the zip directory sits at the end
            }
        }
        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator rng(42);
        for (char& b : noise)
            b = char(rng.bounded(256));
        reader.extract(write(dir + "/noise." + suffix, noise));
        EXPECT_EQ(reader.extract(write(dir + "/empty." + suffix, {})).value_or(QString()),
                  QString());
    }
    for (const char* suffix : {"pdf", "docx", "odt"}) {
        QByteArray noise(4096, 'x');
        EXPECT_EQ(reader.extract(write(dir + "/garbage." + suffix, noise)), std::nullopt) << suffix;
    }
    EXPECT_LT(clock.elapsed(), 20000);
}

TEST(LinuxDocumentText, RefusesWhatIsNotAPlainFileAndArchivesThatBalloon) {
    const QString dir = testsupport::freshDir("odd-docs");
    LinuxDocumentText reader;
    for (const char* name : {"pipe.pdf", "pipe.docx", "pipe.rtf"}) {
        const QString fifo = dir + "/" + name;
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        EXPECT_EQ(reader.extract(fifo), std::nullopt) << name; // returns; never waits for a writer
    }
    QDir().mkpath(dir + "/folder.pdf");
    EXPECT_EQ(reader.extract(dir + "/folder.pdf"), std::nullopt);

    // A member larger than the reader's bound is refused rather than cut.
    LinuxDocumentText small(200);
    EXPECT_EQ(small.extract(fixture("terms-plain.docx")), std::nullopt);

    // A hostile run-of-spaces count is capped.
    const QByteArray content =
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:text><text:p>a<text:s text:c="2000000000"/>b</text:p></office:text></office:body></office:document-content>)";
    const auto spaced = LinuxDocumentText::openDocumentBodyText(content);
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->size(), 1024 + 2);
    EXPECT_EQ(LinuxDocumentText::wordBodyText("<w:document"), std::nullopt); // unfinished XML
    EXPECT_EQ(LinuxDocumentText::rtfText("plain words"), std::nullopt);
}
