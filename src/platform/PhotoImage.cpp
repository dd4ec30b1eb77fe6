#include "platform/PhotoImage.h"

#include "platform/HeifImage.h"
#include "platform/JpegDcImage.h"
#include "platform/RegularFile.h"
#include "platform/ThreadScratch.h"

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <unistd.h>
#include <vector>

namespace PhotoImage {

namespace {

// Files up to this size are mapped and read from memory, which lets the JPEG decoder take the
// whole file at once instead of 4 KB at a time, and lets JpegDcImage see it at all.
constexpr qint64 kMappedFileLimit = 64LL * 1024 * 1024;

// The memory every decode in flight takes together, whatever the number of threads asking:
// each decode takes its share before it starts and waits while the rest is in use.
class DecodeBudget {
public:
    // Waits until `bytes` are free and takes them; false (at once) for more than the whole.
    bool take(qint64 bytes) {
        if (bytes > decodeBudget)
            return false;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_freed.wait(lock, [&] { return m_inUse + bytes <= decodeBudget; });
        m_inUse += bytes;
        return true;
    }
    void give(qint64 bytes) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_inUse -= bytes;
        }
        m_freed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_freed;
    qint64 m_inUse = 0;
};

DecodeBudget& budget() {
    static DecodeBudget shared;
    return shared;
}

class BudgetShare {
public:
    explicit BudgetShare(qint64 bytes) : m_bytes(bytes), m_held(budget().take(bytes)) {}
    ~BudgetShare() {
        if (m_held)
            budget().give(m_bytes);
    }
    BudgetShare(const BudgetShare&) = delete;
    BudgetShare& operator=(const BudgetShare&) = delete;
    bool held() const { return m_held; }

private:
    qint64 m_bytes;
    bool m_held;
};

// A photo file opened for decoding: mapped into memory when it is small enough, else read
// through the file, which is opened without moving its access time. The reader reads from
// `device()`.
class PhotoFile {
public:
    explicit PhotoFile(const QString& path) {
        RegularFile opened(path);
        if (!opened.moveInto(m_file))
            return;
        const qint64 size = m_file.size();
        if (size > 0 && size <= kMappedFileLimit)
            if (uchar* mapped = m_file.map(0, size)) {
                m_bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size);
                m_buffer.setData(m_bytes);
                m_buffer.open(QIODevice::ReadOnly);
            }
    }
    bool isOpen() const { return m_file.isOpen(); }
    QIODevice* device() { return m_buffer.isOpen() ? static_cast<QIODevice*>(&m_buffer) : &m_file; }
    // The whole file when mapped, else empty.
    QByteArrayView bytes() const { return m_bytes; }
    qint64 size() const { return m_file.size(); }
    // Reads the whole file into `whole`, when mapped (a decoder that goes through every byte
    // takes this rather than bytes(): in a loop over photos, one read into memory the thread
    // keeps costs a fraction of faulting each page of a fresh mapping in). False when it is
    // not mapped or cannot be read whole.
    bool readWhole(std::vector<char>& whole) {
        if (m_bytes.isEmpty())
            return false;
        whole.resize(size_t(m_bytes.size()));
        size_t got = 0;
        while (got < whole.size()) {
            const ssize_t n =
                ::pread(m_file.handle(), whole.data() + got, whole.size() - got, off_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            got += size_t(n);
        }
        return true;
    }

private:
    QFile m_file;
    QByteArray m_bytes;
    QBuffer m_buffer;
};

// The memory a decode of a picture stored at `full` takes when it comes out at `target`, beside
// the mapped file: the block means of a JPEG (the file read whole and a copy of its data), a
// scaled decode of another JPEG (a progressive one holds every coefficient, two bytes each,
// which the header tells), or the whole picture for every other format.
qint64 decodeBytes(const QSize& full, const QSize& target, bool jpeg,
                   const JpegDcImage::Header& header, bool blockMeans, qint64 fileSize) {
    const qint64 pixels = qint64(full.width()) * qint64(full.height());
    const qint64 out = qint64(target.width()) * qint64(target.height()) * 4;
    if (blockMeans)
        return JpegDcImage::workingBytes(full) + 2 * fileSize + out;
    if (jpeg) {
        // Without the header (a file too large to map), as if every component were full size.
        const qint64 coefficients = header.coefficientBytes ? header.coefficientBytes : pixels * 6;
        return std::max(coefficients, out * 4) + out + fileSize;
    }
    return pixels * 4 + out + fileSize;
}

// What the reader's orientation does to a picture read without it.
QImage oriented(const QImage& image, QImageIOHandler::Transformations t) {
    if (t == QImageIOHandler::TransformationNone)
        return image;
    QImage out = image.mirrored(t.testFlag(QImageIOHandler::TransformationMirror),
                                t.testFlag(QImageIOHandler::TransformationFlip));
    if (t.testFlag(QImageIOHandler::TransformationRotate90))
        out = out.transformed(QTransform().rotate(90));
    return out;
}

} // namespace

QSize fitted(const QSize& size, const QSize& bound) {
    if (!bound.isValid() || bound.isEmpty() || size.isEmpty())
        return size;
    if (size.width() <= bound.width() && size.height() <= bound.height())
        return size;
    return size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

std::optional<QSize> pixelSize(const QString& path) {
    PhotoFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    QImageReader reader(file.device());
    reader.setDecideFormatFromContent(true);
    if (reader.canRead()) {
        const QSize s = reader.size();
        if (s.isValid() && !s.isEmpty())
            return s;
    }
    return HeifImage::size(path);
}

std::optional<QImage> read(const QString& path, const QSize& bound) {
    PhotoFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    QImageReader reader(file.device());
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        const std::optional<QSize> heif = HeifImage::size(path);
        if (!heif)
            return std::nullopt;
        const BudgetShare share(decodeBytes(*heif, fitted(*heif, bound), false, {}, false, 0));
        return share.held() ? HeifImage::read(path, bound) : std::nullopt;
    }
    const QSize full = reader.size();
    if (!full.isValid() || full.isEmpty()) {
        // A format that tells no size before the picture: decoded as it is.
        QImage image = reader.read();
        return image.isNull() ? std::nullopt : std::optional<QImage>(std::move(image));
    }
    // The reader scales the stored picture before turning it upright, so a sideways photo is
    // fitted with its stored axes swapped.
    const QImageIOHandler::Transformations transformation = reader.transformation();
    const bool swapped = transformation.testFlag(QImageIOHandler::TransformationRotate90);
    const QSize target = fitted(full, swapped ? bound.transposed() : bound);

    const bool jpeg = reader.format() == "jpeg";
    // An eighth of the picture or less is all the block means of a JPEG; they are far cheaper
    // to get than any decode.
    const JpegDcImage::Header header =
        jpeg && !file.bytes().isEmpty()
            ? JpegDcImage::header(file.bytes()).value_or(JpegDcImage::Header{})
            : JpegDcImage::Header{};
    const bool blockMeans = header.decodable && header.size == full &&
                            target.width() <= (full.width() + 7) / 8 &&
                            target.height() <= (full.height() + 7) / 8;
    const BudgetShare share(decodeBytes(full, target, jpeg, header, blockMeans, file.size()));
    if (!share.held())
        return std::nullopt;
    if (blockMeans) {
        thread_local std::vector<char> whole;
        const ThreadScratch::Trim trim(whole);
        if (file.readWhole(whole))
            if (std::optional<QImage> eighth =
                    JpegDcImage::decode(QByteArrayView(whole.data(), qsizetype(whole.size())))) {
                if (eighth->size() != target)
                    *eighth =
                        eighth->scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                return oriented(*eighth, transformation);
            }
    }
    if (target != full)
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace PhotoImage
