#include "platform/FeaturePrint.h"
#include "platform/HeifImage.h"
#include "platform/LinuxDocumentText.h"
#include "platform/PhotoImage.h"
#include "platform/RegularFile.h"
#include "platform/Sha256.h"
#include "support/AccessTime.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <unistd.h>

namespace {

struct Read {
    const char* what;
    QString path;
    std::function<bool(const QString&)> read;
};

QString photo(const QString& path, const char* format) {
    QImage image(512, 384, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 512, 384);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    painter.end();
    EXPECT_TRUE(image.save(path, format));
    return path;
}

QString copied(const QString& folder, const char* fixture) {
    const QString to = folder + QLatin1Char('/') + QLatin1String(fixture);
    EXPECT_TRUE(QFile::copy(testsupport::fixture(QStringLiteral("developer/") + fixture), to));
    return to;
}

} // namespace

// The age rules report the later of a file's access and modification times; a read of ours that
// moved the access time would make a 200-day-old download look recently opened.
TEST(ReadingKeepsAccessTime, EveryReaderOfAUsersFileLeavesItsAccessTime) {
    const QString folder = testsupport::freshDir("reads");
    if (!testsupport::plainReadsMoveAccessTime(folder))
        GTEST_SKIP() << "reads on this mount never move the access time";

    const QString download =
        testsupport::write(folder + QStringLiteral("/download"), QByteArray(300000, 'x'));
    const QString jpeg = photo(folder + QStringLiteral("/photo.jpg"), "JPEG");
    const QString png = photo(folder + QStringLiteral("/photo.png"), "PNG");
    LinuxDocumentText documents;
    const auto extracts = [&](const QString& path) { return documents.extract(path).has_value(); };

    std::vector<Read> reads = {
        {"plain file", download,
         [](const QString& path) {
             RegularFile file(path);
             char buffer[4096];
             return file.read(buffer, sizeof buffer) == sizeof buffer;
         }},
        {"file by its folder", download,
         [](const QString& path) {
             const int folderFd = ::open(QFile::encodeName(QFileInfo(path).path()).constData(),
                                         O_RDONLY | O_DIRECTORY | O_CLOEXEC);
             const int fd = RegularFile::openForReadingAt(
                 folderFd, QFile::encodeName(QFileInfo(path).fileName()).constData(),
                 O_RDONLY | O_CLOEXEC);
             char byte = 0;
             const bool read = fd >= 0 && ::read(fd, &byte, 1) == 1;
             ::close(fd);
             ::close(folderFd);
             return read;
         }},
        {"digest", download, [](const QString& path) { return Sha256::ofFile(path).has_value(); }},
        {"JPEG size", jpeg,
         [](const QString& path) { return PhotoImage::pixelSize(path).has_value(); }},
        {"JPEG block means", jpeg,
         [](const QString& path) { return PhotoImage::read(path, QSize(32, 32)).has_value(); }},
        {"JPEG full decode", jpeg,
         [](const QString& path) { return PhotoImage::read(path).has_value(); }},
        {"JPEG by its descriptor", jpeg,
         [](const QString& path) {
             const RegularFile file(path);
             return PhotoImage::read(file.descriptorPath(), QSize(100, 100)).has_value();
         }},
        {"PNG decode", png,
         [](const QString& path) { return PhotoImage::read(path, QSize(64, 64)).has_value(); }},
        {"feature print", jpeg,
         [](const QString& path) { return FeaturePrint::ofFile(path).has_value(); }},
        {"PDF text", copied(folder, "two-pages.pdf"), extracts},
        {"Word text", copied(folder, "terms-plain.docx"), extracts},
        {"OpenDocument text", copied(folder, "minutes.odt"), extracts},
        {"RTF text", copied(folder, "notes.rtf"), extracts},
        {"web page text", copied(folder, "page.html"), extracts},
    };
    // libheif reads the file before it tells that it is not HEIF.
    if (HeifImage::available())
        reads.push_back({"HEIF probe", png,
                         [](const QString& path) { return !HeifImage::size(path).has_value(); }});
    for (const Read& r : reads) {
        testsupport::ageFile(r.path);
        const qint64 before = testsupport::accessTimeNs(r.path);
        EXPECT_TRUE(r.read(r.path)) << r.what << ": nothing read";
        EXPECT_EQ(testsupport::accessTimeNs(r.path), before) << r.what;
    }
}
