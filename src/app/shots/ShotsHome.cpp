#include "app/shots/Shots.h"

#include "fakes/FakeAccountName.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeSnapshotSampler.h"
#include "home/HealthCheck.h"
#include "home/views/AttentionSection.h"
#include "home/views/DashboardView.h"
#include "home/views/GuidedReviewEntryCard.h"
#include "home/views/GuidedReviewSheet.h"
#include "home/views/HealthReportView.h"
#include "shell/Permissions.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKProminentButton.h"
#include "vitals/AppState.h"

#include <memory>
#include <QDir>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr quint64 GB = 1'000'000'000ull;

using Shots::addCpu;
using Shots::addMemory;

// A laptop under strain: memory nearly full, the disk nearly full, running hot.
SystemSnapshot strainedLaptop() {
    SystemSnapshot s;
    s.memTotalBytes = 16 * GB;
    s.memUsedBytes = 15'050'000'000;
    s.memCachedBytes = 600'000'000;
    s.memFreeBytes = 350'000'000;
    s.cpuPercent = 78.4;
    s.diskTotalBytes = qint64(512 * GB);
    s.diskFreeBytes = qint64(21 * GB);
    s.diskUsedBytes = qint64(465 * GB);
    s.batteryPercent = 41;
    s.batteryCharging = false;
    addMemory(s, "code", 6'200'000'000, 5120);
    addMemory(s, "firefox", 2'900'000'000, 5301);
    addCpu(s, "cargo", 312.0, 6001);
    addCpu(s, "code", 41.0, 5120);
    s.thermal.pressure = ThermalSnapshot::Pressure::Serious;
    s.thermal.cpuCelsius = 91.2;
    s.thermal.fanRPMs = {4700};
    return s;
}

// A quiet desktop with room everywhere.
SystemSnapshot quietDesktop() {
    SystemSnapshot s;
    s.memTotalBytes = 32 * GB;
    s.memUsedBytes = 9'400'000'000;
    s.memCachedBytes = 14'000'000'000;
    s.memFreeBytes = 8'600'000'000;
    s.cpuPercent = 6.2;
    s.diskTotalBytes = qint64(2'000 * GB);
    s.diskFreeBytes = qint64(1'210 * GB);
    s.diskUsedBytes = qint64(690 * GB);
    addMemory(s, "firefox", 1'800'000'000, 4101);
    s.thermal.pressure = ThermalSnapshot::Pressure::Nominal;
    s.thermal.cpuCelsius = 44.0;
    return s;
}

// The services one home screen reads, fed by fixed figures; the health check measures the
// cleaner rows through a scripted measurer and walks a throw-away home.
struct HomeFixture {
    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    std::unique_ptr<AppState> appState;
    Permissions permissions{[] { return true; }};
    std::shared_ptr<FakeCategoryMeasure> measure = std::make_shared<FakeCategoryMeasure>();
    std::shared_ptr<FakeClock> clock =
        std::make_shared<FakeClock>(QDateTime(QDate(2026, 6, 1), QTime(9, 41), Qt::LocalTime));
    FakeAccountName account{QStringLiteral("Ana Lima")};
    std::unique_ptr<HealthCheck> health;
    ScreenState screen;

    HomeFixture(const SystemSnapshot& snapshot, bool sample, const QString& home) {
        samples->set(snapshot);
        appState =
            std::make_unique<AppState>(FakeSnapshotSampler::appStateOptions(samples, sample));
        if (sample)
            Shots::waitFor([&] { return appState->hasFirstSample(); });
        health = std::make_unique<HealthCheck>(
            HomeLayout::forHome(home), HealthCheck::Deps{.measure = measure, .clock = clock});
    }

    void check() {
        health->refreshJunk();
        health->refreshBigFiles();
        Shots::waitFor([&] { return !health->isChecking(); }, 10000);
    }
};

QString suffix(const QString& look, int step) {
    return QStringLiteral("-%1-step%2").arg(look.toLower()).arg(step);
}

} // namespace

// The home screen waiting for its first sample, with three recommendations, all clear after a
// check, the guided review's first step and its end; and the health report of the strained
// laptop. The main ones in light and dark at the smallest and largest text size.
void renderHomeShots(ShotContext& ctx) {
    const QString root = QDir::homePath() + QStringLiteral("/home-shots");
    const QString busyHome = root + QStringLiteral("/busy");
    // Big files that take their room on disk, as the health check counts them.
    Shots::reserve(busyHome + QStringLiteral("/Videos/holiday-4k.mov"), 1'900 * Shots::MiB);
    Shots::reserve(busyHome + QStringLiteral("/Downloads/debian-12-dvd.iso"), 1'300 * Shots::MiB);
    const QString tidyHome = root + QStringLiteral("/tidy");
    QDir().mkpath(tidyHome);

    {
        HomeFixture f(quietDesktop(), false, tidyHome);
        QWidget window;
        Shots::column(&window, QStringLiteral("dashboard"))
            ->addWidget(new DashboardView(*f.appState, f.permissions, *f.health, f.screen, *f.clock,
                                          f.account, &window));
        window.resize(900, 700);
        ctx.saveSettled(&window, QStringLiteral("home-waiting"));
    }

    {
        HomeFixture f(strainedLaptop(), true, busyHome);
        f.measure->setResult(QStringLiteral("caches"), {3'100'000'000, 18'240, {}});
        f.measure->setResult(QStringLiteral("logs"), {240'000'000, 611, {}});
        f.measure->setResult(QStringLiteral("trash"), {1'420'000'000, 37, {}});
        f.check();
        QWidget window;
        auto* view = new DashboardView(*f.appState, f.permissions, *f.health, f.screen, *f.clock,
                                       f.account, &window);
        Shots::column(&window, QStringLiteral("dashboard"))->addWidget(view);
        ctx.eachLook([&](const ShotLook& look) {
            window.resize(900, look.step == 0 ? 1180 : 1560);
            ctx.saveSettled(&window, QStringLiteral("home-three-cards") +
                                         suffix(look.appearance(), look.step));
        });
        window.resize(900, 1180);
        ctx.saveSettled(&window, QStringLiteral("home-three-cards"));

        GuidedReviewSheet* sheet = view->reviewSheet();
        for (const char* look : {"Light", "Dark"}) {
            ctx.setLook(QString::fromLatin1(look), 2);
            view->attention()->reviewEntry()->button()->click();
            ctx.saveSettled(sheet, QStringLiteral("home-review-step") + suffix(look, 2));
            for (int i = 0; i < 3; ++i)
                sheet->skipButton()->click();
            ctx.saveSettled(sheet, QStringLiteral("home-review-end") + suffix(look, 2));
            sheet->doneButton()->click();
        }
        ctx.setLook(QStringLiteral("Light"), 4);
        view->attention()->reviewEntry()->button()->click();
        ctx.saveSettled(sheet,
                        QStringLiteral("home-review-step") + suffix(QStringLiteral("Light"), 4));
        sheet->reject();
        ctx.resetLook();
        window.hide();

        QWidget reportWindow;
        Shots::column(&reportWindow, QStringLiteral("health-report"))
            ->addWidget(new HealthReportView(*f.appState, *f.health, &reportWindow));
        ctx.eachLook([&](const ShotLook& look) {
            reportWindow.resize(900, look.step == 0 ? 900 : 1240);
            ctx.saveSettled(&reportWindow,
                            QStringLiteral("health-report") + suffix(look.appearance(), look.step));
        });
        reportWindow.hide();
    }

    {
        HomeFixture f(quietDesktop(), true, tidyHome);
        f.check();
        QWidget window;
        Shots::column(&window, QStringLiteral("dashboard"))
            ->addWidget(new DashboardView(*f.appState, f.permissions, *f.health, f.screen, *f.clock,
                                          f.account, &window));
        for (const char* look : {"Light", "Dark"}) {
            ctx.setLook(QString::fromLatin1(look), 2);
            window.resize(900, 900);
            ctx.saveSettled(&window, QStringLiteral("home-all-clear") + suffix(look, 2));
        }
        ctx.resetLook();
        window.hide();
    }
}
