#include "app/MenuBarExtra.h"

#include "fakes/FakePowerInhibitor.h"
#include "fakes/FakePowerSource.h"
#include "fakes/FakeSnapshotSampler.h"
#include "support/TestSupport.h"
#include "vitals/AppState.h"
#include "vitals/KeepAwakeManager.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QSignalSpy>

namespace {

// Coverage of the label's pixels inside a box given in points.
int inkIn(const QPixmap& label, const QRectF& points) {
    const QImage image = label.toImage();
    const qreal dpr = label.devicePixelRatio();
    const QRect box = QRectF(points.topLeft() * dpr, points.size() * dpr).toAlignedRect();
    int covered = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            covered += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return covered;
}

constexpr qreal kCanvas = MenuBarExtra::labelCanvas;
// The label's 18 × 16 frame sits centred in the canvas; the badge's centre is 7 right and 5 down
// from the frame's centre.
const QPointF kCentre(kCanvas / 2, kCanvas / 2);
const QRectF kBadge(kCentre + QPointF(7 - 3.5, 5 - 3.5), QSizeF(7, 7));
const QRectF kLetter(kCentre - QPointF(4, 5), QSizeF(6, 8));

} // namespace

TEST(TrayLabel, LetterAlwaysBadgeOnlyWhenAsked) {
    const QColor ink(0x1D, 0x1D, 0x1F);
    for (qreal dpr : {1.0, 2.0, 8.0}) {
        const QPixmap plain = MenuBarExtra::label(false, dpr, ink);
        const QPixmap badged = MenuBarExtra::label(true, dpr, ink);
        EXPECT_EQ(plain.deviceIndependentSize(), QSizeF(kCanvas, kCanvas));
        EXPECT_EQ(plain.size(), QSize(int(kCanvas * dpr), int(kCanvas * dpr)));
        EXPECT_GT(inkIn(plain, kLetter), 0) << dpr;
        EXPECT_GT(inkIn(badged, kLetter), 0) << dpr;
        EXPECT_EQ(inkIn(plain, kBadge), 0) << dpr;
        EXPECT_GT(inkIn(badged, kBadge), int(7 * 7 * dpr * dpr / 4)) << dpr;
    }
}

TEST(TrayLabel, BadgeFollowsKeepAwakeLive) {
    bool onPower = true;
    KeepAwakeManager::Backends backends;
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
