#include "app/MenuBarExtra.h"

#include "fakes/FakePowerInhibitor.h"
#include "fakes/FakePowerSource.h"
#include "fakes/FakeSnapshotSampler.h"
#include "support/TestSupport.h"
#include "vitals/AppState.h"
#include "vitals/KeepAwakeManager.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>

namespace {

constexpr qreal kCanvas = MenuBarExtra::labelCanvas;
// The label's 18 × 16 frame sits centred in the canvas; the badge's centre is 7 right and 5 down
// from the frame's centre.
const QPointF kCentre(kCanvas / 2, kCanvas / 2);
const QRectF kBadge(kCentre + QPointF(7 - 3.5, 5 - 3.5), QSizeF(7, 7));
const QRectF kLetter(kCentre - QPointF(4, 5), QSizeF(6, 8));

QImage argb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The pixels (device pixels) where two labels differ by more than a little, inside a box given
// in points (the whole canvas when the box is null).
QList<QPoint> differing(const QPixmap& a, const QPixmap& b, const QRectF& points = QRectF()) {
    const QImage ia = argb(a);
    const QImage ib = argb(b);
    const qreal dpr = a.devicePixelRatio();
    const QRect box =
        points.isNull()
            ? ia.rect()
            : QRectF(points.topLeft() * dpr, points.size() * dpr).toAlignedRect() & ia.rect();
    QList<QPoint> out;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb pa = ia.pixel(x, y);
            const QRgb pb = ib.pixel(x, y);
            const int d = std::abs(qRed(pa) - qRed(pb)) + std::abs(qGreen(pa) - qGreen(pb)) +
                          std::abs(qBlue(pa) - qBlue(pb)) + std::abs(qAlpha(pa) - qAlpha(pb));
            if (d > 60)
                out << QPoint(x, y);
        }
    }
    return out;
}

// Relative luminance of a colour (sRGB), and the contrast ratio of two of them (1 to 21).
double luminance(QRgb c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}
double contrast(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// How the letter stands out on a tray of this colour: the contrast between the letter's own
// pixels and what the eye sees just beyond its outline (a band from 1 to 2.5 points away), with
// the label drawn over the tray.
double letterContrastOn(QColor tray, QColor ink, qreal dpr) {
    // The letter's pixels: where the label in this ink differs from one in a slightly other ink
    // of the same lightness.
    QColor other = ink;
    other.setBlue(ink.blue() > 128 ? ink.blue() - 90 : ink.blue() + 90);
    const QPixmap label = MenuBarExtra::label(false, dpr, ink);
    const QList<QPoint> letter = differing(label, MenuBarExtra::label(false, dpr, other));
    if (letter.isEmpty())
        return 0;
    QImage shown(label.size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(tray);
    {
        QImage pixels = label.toImage();
        pixels.setDevicePixelRatio(1); // pixel over pixel
        QPainter p(&shown);
        p.drawImage(0, 0, pixels);
    }
    QSet<quint64> inLetter;
    for (const QPoint& pt : letter)
        inLetter.insert((quint64(pt.x()) << 32) | quint64(pt.y()));
    double letterSum = 0;
    for (const QPoint& pt : letter)
        letterSum += luminance(shown.pixel(pt));
    double bandSum = 0;
    int band = 0;
    const double nearest = 1.0 * dpr, farthest = 2.5 * dpr;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (inLetter.contains((quint64(x) << 32) | quint64(y)))
                continue;
            double best = 1e9;
            for (const QPoint& pt : letter)
                best = std::min(best, std::hypot(pt.x() - x, pt.y() - y));
            if (best > nearest && best <= farthest) {
                bandSum += luminance(shown.pixel(x, y));
                ++band;
            }
        }
    }
    return band == 0 ? 0 : contrast(letterSum / letter.size(), bandSum / band);
}

} // namespace

TEST(TrayLabel, LetterAlwaysBadgeOnlyWhenAsked) {
    const QColor ink(0x1D, 0x1D, 0x1F);
    const QColor otherInk(0x1D, 0x1D, 0x70);
    for (qreal dpr : {1.0, 2.0, 8.0}) {
        const QPixmap plain = MenuBarExtra::label(false, dpr, ink);
        const QPixmap badged = MenuBarExtra::label(true, dpr, ink);
        EXPECT_EQ(plain.deviceIndependentSize(), QSizeF(kCanvas, kCanvas));
        EXPECT_EQ(plain.size(), QSize(int(kCanvas * dpr), int(kCanvas * dpr)));
        // The ink draws the letter in its box, with or without the badge.
        EXPECT_GT(differing(plain, MenuBarExtra::label(false, dpr, otherInk), kLetter).size(), 0)
            << dpr;
        EXPECT_GT(differing(badged, MenuBarExtra::label(true, dpr, otherInk), kLetter).size(), 0)
            << dpr;
        // The badge changes its own box and a hairline round it, nothing else.
        EXPECT_GT(differing(plain, badged, kBadge).size(), int(7 * 7 * dpr * dpr / 4)) << dpr;
        EXPECT_EQ(differing(plain, badged).size(),
                  differing(plain, badged, kBadge.adjusted(-1.5, -1.5, 1.5, 1.5)).size())
            << dpr;
    }
}

TEST(TrayLabel, TheLetterReadsOnALightAndADarkTray) {
    const QColor lightTray(0xF0, 0xF0, 0xF0);
    const QColor darkTray(0x1E, 0x1E, 0x1E);
    for (bool darkDesktop : {false, true}) {
        const QColor ink = MenuBarExtra::inkFor(darkDesktop);
        for (const QColor& tray : {lightTray, darkTray}) {
            for (qreal dpr : {1.0, 2.0}) {
                EXPECT_GE(letterContrastOn(tray, ink, dpr), 4.5)
                    << "ink " << ink.name().toStdString() << " on tray "
                    << tray.name().toStdString() << " at " << dpr;
            }
        }
    }
}

TEST(TrayLabel, BadgeFollowsKeepAwakeLive) {
    bool onPower = true;
    KeepAwakeManager::Deps backends;
    backends.inhibitor = std::make_unique<FakePowerInhibitor>();
    backends.powerSource = std::make_unique<FakePowerSource>(&onPower);
    KeepAwakeManager keepAwake(std::move(backends));
    AppState::Options options;
    options.makeSampler = FakeSnapshotSampler::factory(std::make_shared<FakeSamplerState>());
    options.startSampling = false;
    AppState app(options);
    Services services;
    services.appState = &app;
    services.keepAwake = &keepAwake;

    MenuBarExtra extra(services, MenuBarExtra::Options{.systemTray = false});
    QSignalSpy changed(&extra, &MenuBarExtra::iconChanged);
    const auto shows = [&](bool badge) {
        const QSize size{int(kCanvas), int(kCanvas)};
        const QImage shown = extra.icon().pixmap(size, 2.0).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
        const QImage expected = MenuBarExtra::label(badge, 2.0, MenuBarExtra::defaultInk())
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return shown.size() == expected.size() && shown == expected;
    };
    EXPECT_FALSE(extra.badgeShown());
    EXPECT_TRUE(shows(false));

    keepAwake.start();
    EXPECT_TRUE(extra.badgeShown());
    EXPECT_TRUE(shows(true));
    EXPECT_EQ(changed.count(), 1);

    keepAwake.stop(KeepAwakeManager::turnedOffNote());
    EXPECT_FALSE(extra.badgeShown());
    EXPECT_TRUE(shows(false));

    // A refused start never shows the badge.
    onPower = false;
    keepAwake.start();
    EXPECT_FALSE(extra.badgeShown());
}
