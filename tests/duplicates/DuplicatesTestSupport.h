#pragma once

#include "platform/NativePath.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <optional>
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <sys/stat.h>
#include <unistd.h>

namespace duptest {

using testsupport::write;

// The path of `name` below `dir`, where the name is raw bytes that need not be UTF-8 (decoded
// losslessly, as the walks do).
inline QString byteName(const QString& dir, const QByteArray& name) {
    return NativePath::decode(NativePath::encode(dir) + '/' + name);
}

// A folder or file at any path, made with system calls: Qt's file classes would write to the
// name their lossy decoding gives instead.
inline QString makeFolder(const QString& path) {
    EXPECT_EQ(::mkdir(NativePath::encode(path).constData(), 0700), 0);
    return path;
}
inline QString writeBytes(const QString& path, const QByteArray& content) {
    const int fd = ::open(NativePath::encode(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    EXPECT_GE(fd, 0);
    if (fd >= 0) {
        EXPECT_EQ(::write(fd, content.constData(), size_t(content.size())),
                  ssize_t(content.size()));
        ::close(fd);
    }
    return path;
}
// What the file at path holds, nothing when there is no such file.
inline std::optional<QByteArray> readBytes(const QString& path) {
    const int fd = ::open(NativePath::encode(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray content;
    char buffer[65536];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, qsizetype(got));
    ::close(fd);
    return content;
}
// Rewrites the file in place (same inode, same name) and sets its modification time two seconds
// past what it was, as an edit made a while after a scan does.
inline void editInPlace(const QString& path, const QByteArray& content) {
    struct stat before;
    ASSERT_EQ(::stat(NativePath::encode(path).constData(), &before), 0);
    writeBytes(path, content);
    struct timespec times[2] = {before.st_atim, before.st_mtim};
    times[1].tv_sec += 2;
    ASSERT_EQ(::utimensat(AT_FDCWD, NativePath::encode(path).constData(), times, 0), 0);
}
// Removes a file or a folder and everything below it with system calls, so that names Qt cannot
// spell do not outlive the test (the sandbox's own removal goes through Qt). Paths listed in a
// Cleanup go when it does, also when the test fails early.
inline void removeTree(const QString& path) {
    ::nftw(
        NativePath::encode(path).constData(),
        [](const char* entry, const struct stat*, int, struct FTW*) { return ::remove(entry); }, 16,
        FTW_DEPTH | FTW_PHYS);
}
struct Cleanup {
    QStringList paths;
    ~Cleanup() {
        for (const QString& path : paths)
            removeTree(path);
    }
};

inline bool exists(const QString& path) {
    struct stat st;
    return ::lstat(NativePath::encode(path).constData(), &st) == 0;
}

// `size` bytes of a pattern that depends on the seed, so different seeds differ everywhere.
inline QByteArray bytes(qsizetype size, int seed) {
    QByteArray b(size, Qt::Uninitialized);
    quint32 x = quint32(seed) * 2654435761u + 1;
    for (qsizetype i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    return b;
}

// One group of copies: the same content at each of the names ("/a", "/sub/b", …) below dir,
// written in the order given.
inline void writeCopies(const QString& dir, std::initializer_list<const char*> names,
                        const QByteArray& content) {
    for (const char* name : names)
        write(dir + name, content);
}

// A scene drawn from its number: a sky gradient, a horizon, a few shapes, each placed and
// coloured by the scene, so two scene numbers show different pictures.
inline QImage scene(int number, QSize size = QSize(960, 720)) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int hue = (number * 67) % 360;
    QLinearGradient sky(0, 0, number % 2 ? size.width() : 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 230));
    sky.setColorAt(1, QColor::fromHsv((hue + 40) % 360, 90, 120));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    const qreal w = size.width();
    const qreal h = size.height();
    p.setBrush(QColor::fromHsv((hue + 150) % 360, 160, 90 + (number * 13) % 120));
    const qreal horizon = h * (0.35 + 0.08 * (number % 5));
    p.drawRect(QRectF(0, horizon, w, h - horizon));
    for (int i = 0; i < 4; ++i) {
        const int k = number * 7 + i * 3;
        p.setBrush(QColor::fromHsv((hue + 60 * i) % 360, 200, 120 + (k * 29) % 130));
        const QRectF r(w * (((k * 37) % 80) / 100.0), h * (((k * 53) % 70) / 100.0),
                       w * (0.1 + ((k * 11) % 25) / 100.0), h * (0.1 + ((k * 17) % 30) / 100.0));
        if ((k + i) % 2)
            p.drawEllipse(r);
        else
            p.drawRect(r);
    }
    p.end();
    return image;
}

inline QString savePhoto(const QImage& image, const QString& path, int quality = 90) {
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(image.save(path, nullptr, quality)) << path.toStdString();
    return path;
}

// The picture encoded as a JPEG.
inline QByteArray jpeg(const QImage& image, int quality = 90) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", quality));
    return data;
}

// Every pixel lifted by `amount` of the full range, clipped.
inline QImage brightened(const QImage& source, int amount) {
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] =
                qRgb(std::min(255, qRed(line[x]) + amount), std::min(255, qGreen(line[x]) + amount),
                     std::min(255, qBlue(line[x]) + amount));
    }
    return image;
}

} // namespace duptest
