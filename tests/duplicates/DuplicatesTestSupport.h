#pragma once

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <unistd.h>

namespace duptest {

inline QString write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
    return path;
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
