#include "app/MenuBarExtra.h"
#include "app/shots/Shots.h"

#include "fakes/FakePowerInhibitor.h"
#include "fakes/FakePowerSource.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/UserDefaults.h"
#include "shell/Services.h"
#include "ui-kit/Color.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/ThemeSettings.h"
#include "vitals/AppState.h"
#include "vitals/KeepAwakeManager.h"
#include "vitals/views/MenuBarPanel.h"

#include <cmath>
#include <memory>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr quint64 GB = 1'000'000'000ULL;

// What a made-up machine reports; each sample wanders a little around it, so the histories have
// a shape.
struct Machine {
    // Bytes: the total, then how it is split.
    struct Memory {
        quint64 total = 0;
        quint64 wired = 0, active = 0, compressed = 0, cached = 0, free = 0;
    } memory;
    // Bytes of the disk and free on it.
    struct Disk {
        qint64 total = 0, free = 0;
    } disk;
    std::optional<int> battery;
    bool charging = false;
    ThermalSnapshot::Pressure pressure = ThermalSnapshot::Pressure::Nominal;
    std::optional<double> cpuCelsius;
    double cpuPercent = 0;
    QString busiest;
};

Machine laptop() {
    Machine m;
    m.memory = {17'179'869'184ULL, 2'140'000'000ULL, 6'380'000'000ULL,
                1'210'000'000ULL,  3'920'000'000ULL, 2'410'000'000ULL};
    m.disk = {494'380'000'000LL, 182'600'000'000LL};
    m.battery = 82;
    m.charging = true;
    m.cpuCelsius = 52.3;
    m.cpuPercent = 23;
    return m;
}

Machine desktop() {
    Machine m;
    m.memory = {34'359'738'368ULL, 3'050'000'000ULL, 14'900'000'000ULL,
                2'700'000'000ULL,  9'800'000'000ULL, 2'100'000'000ULL};
    m.disk = {1'000'200'000'000LL, 311'400'000'000LL};
    m.pressure = ThermalSnapshot::Pressure::Fair;
    m.cpuCelsius = 71.4;
    m.cpuPercent = 58;
    m.busiest = QStringLiteral("ffmpeg");
    return m;
}

// A busy machine that publishes no heat at all: no sensors and no thermal zones.
Machine busyWithoutSensors() {
    Machine m = laptop();
    m.battery.reset();
    m.pressure = ThermalSnapshot::Pressure::Unknown;
    m.cpuCelsius.reset();
    m.cpuPercent = 88;
    return m;
}

// A sample of the machine: each one wanders a little around its figures, so the histories have
// a shape; after a free-memory run the machine shows memory given back.
SystemSnapshot sampleOf(const Machine& m, int n, bool relieved) {
    const double wave = std::sin(n * 0.35) * 0.6 + std::sin(n * 0.11) * 0.4;
    const auto shift = qint64(wave * 2.2e9);
    SystemSnapshot s;
    s.memTotalBytes = m.memory.total;
    s.memWiredBytes = m.memory.wired;
    s.memActiveBytes = quint64(qint64(m.memory.active) + shift);
    s.memCompressedBytes = m.memory.compressed;
    s.memCachedBytes = quint64(qint64(m.memory.cached) - shift / 2);
    s.memBuffCacheBytes = s.memCachedBytes + s.memCachedBytes / 8;
    s.memFreeBytes = quint64(qint64(m.memory.free) - shift / 2);
    if (relieved) {
        s.memFreeBytes += 1'240'000'000ULL;
        s.memCompressedBytes -= 640'000'000ULL;
        s.memActiveBytes -= 600'000'000ULL;
    }
    s.memUsedBytes = s.memWiredBytes + s.memActiveBytes + s.memCompressedBytes;
    s.memoryPressurePercent = 100.0 * double(s.memUsedBytes) / double(s.memTotalBytes);
    s.cpuPercent = m.cpuPercent;
    s.diskTotalBytes = m.disk.total;
    s.diskFreeBytes = m.disk.free - qint64(n) * 1'400'000'000LL + qint64(wave * 6e9);
    s.batteryPercent = m.battery;
    s.batteryCharging = m.charging;
    s.thermal.pressure = m.pressure;
    s.thermal.cpuCelsius = m.cpuCelsius;
    if (!m.busiest.isEmpty())
        s.topCPUProcesses.append(ProcessCPUInfo{.name = m.busiest, .cpuPercent = 64});
    return s;
}

// One machine: its vitals service with a history of readings, keep-awake, and the panel.
struct Scene {
    std::shared_ptr<FakeSamplerState> sampler = std::make_shared<FakeSamplerState>();
    std::unique_ptr<AppState> appState;
    std::unique_ptr<KeepAwakeManager> keepAwake;

    explicit Scene(const Machine& machine, int readings) {
        FakeSamplerState* state = sampler.get();
        sampler->setMake(
            [machine, state](int, int n) { return sampleOf(machine, n, state->relieves > 0); });
        AppState::Options options;
        options.makeSampler = FakeSnapshotSampler::factory(sampler);
        options.startSampling = false;
        appState = std::make_unique<AppState>(std::move(options));
        KeepAwakeManager::Deps backends;
        backends.inhibitor = std::make_unique<FakePowerInhibitor>();
        backends.powerSource = std::make_unique<FakePowerSource>();
        keepAwake = std::make_unique<KeepAwakeManager>(std::move(backends));
        for (int i = 0; i < readings; ++i) {
            const qsizetype before = appState->memoryHistory().size();
            appState->sampleAndPublish();
            Shots::waitFor([&] { return appState->memoryHistory().size() != before; });
        }
    }

    void freeMemoryAndWait() {
        appState->freeMemory();
        Shots::waitFor([&] { return !appState->isFreeingMemory(); });
    }
};

// A stretch of desktop under the panel, with the panel's soft shadow, so the shot shows the
// drop-down as it sits on screen.
class Backdrop : public QWidget {
public:
    explicit Backdrop(QWidget* panel) : m_panel(panel) {
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(22, 18, 22, 28);
        box->addWidget(panel);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const bool dark = Color::isDark(palette());
        p.fillRect(rect(), dark ? QColor(0x10, 0x11, 0x15) : QColor(0xC9, 0xCE, 0xD8));
        const QRectF card = QRectF(m_panel->geometry());
        for (int i = 14; i >= 1; --i) {
            QPainterPath shadow;
            shadow.addRoundedRect(card.adjusted(-i * 0.6, -i * 0.3 + 4, i * 0.6, i * 0.8 + 4),
                                  12 + i * 0.6, 12 + i * 0.6);
            p.fillPath(shadow, QColor(0, 0, 0, dark ? 14 : 7));
        }
    }

private:
    QWidget* m_panel;
};

void savePanel(ShotContext& ctx, Backdrop& backdrop, const QString& name) {
    backdrop.adjustSize();
    backdrop.resize(backdrop.sizeHint());
    ctx.save(&backdrop, name);
}

// The tray label enlarged 8 times, as the app draws it on a light desktop (top row) and on a
// dark one (bottom row), each on a light and on a dark tray: the tray need not match the desktop.
void saveLabel(ShotContext& ctx, bool badge, const QString& name) {
    constexpr qreal zoom = 8;
    const int cell = int(MenuBarExtra::labelCanvas * zoom);
    const int pad = 24;
    QImage image(2 * cell + 3 * pad, 2 * cell + 3 * pad, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x80, 0x84, 0x8C));
    QPainter p(&image);
    const QColor bars[] = {QColor(0xEC, 0xED, 0xF0), QColor(0x23, 0x24, 0x28)};
    for (int row = 0; row < 2; ++row) {
        const QColor ink = MenuBarExtra::inkFor(row == 1);
        for (int column = 0; column < 2; ++column) {
            const QRect slot(pad + column * (cell + pad), pad + row * (cell + pad), cell, cell);
            p.fillRect(slot, bars[column]);
            // The 18 × 16 frame, faintly, so the badge's reach past it shows.
            const qreal inset = (MenuBarExtra::labelCanvas - 18) / 2.0 * zoom;
            const qreal insetY = (MenuBarExtra::labelCanvas - 16) / 2.0 * zoom;
            QColor frame = column == 0 ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 40);
            p.setPen(QPen(frame, 1, Qt::DashLine));
            p.drawRect(QRectF(slot).adjusted(inset, insetY, -inset, -insetY));
            p.drawPixmap(slot, MenuBarExtra::label(badge, zoom, ink));
        }
    }
    p.end();
    ctx.saveImage(image, name);
}

// The label at its real size on a strip of tray, light and dark, as a desktop shows it.
void saveLabelActualSize(ShotContext& ctx, const QString& name) {
    const int slot = MenuBarExtra::labelCanvas + 8;
    QImage image(4 * slot, 2 * slot, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1);
    QPainter p(&image);
    const QColor bars[] = {QColor(0xEC, 0xED, 0xF0), QColor(0x23, 0x24, 0x28)};
    for (int row = 0; row < 2; ++row) {
        p.fillRect(QRect(0, row * slot, 4 * slot, slot), bars[row]);
        int x = 4;
        for (bool darkDesktop : {false, true})
            for (bool badge : {false, true}) {
                p.drawPixmap(QPoint(x, row * slot + 4),
                             MenuBarExtra::label(badge, 1.0, MenuBarExtra::inkFor(darkDesktop)));
                x += slot;
            }
    }
    p.end();
    ctx.saveImage(image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                  name);
}

} // namespace

// The menu-bar panel on a laptop (battery, keep-awake off and on, after freeing memory, at the
// smallest and largest text size, dark) and on a warm desktop without a battery (also while it
// frees memory), and the tray label with and without its badge on light and dark trays.
void renderMenuBarShots(ShotContext& ctx) {
    ctx.resetLook();
    {
        Scene scene(laptop(), 42);
        scene.freeMemoryAndWait();
        MenuBarPanel* panel = new MenuBarPanel(*scene.appState, *scene.keepAwake);
        Backdrop backdrop(panel);
        savePanel(ctx, backdrop, QStringLiteral("panel"));

        scene.keepAwake->start();
        savePanel(ctx, backdrop, QStringLiteral("panel-keep-awake"));
        ctx.setLook(QStringLiteral("Light"), TextSize::Smallest);
        savePanel(ctx, backdrop, QStringLiteral("panel-smallest"));
        ctx.setLook(QStringLiteral("Light"), TextSize::Largest);
        savePanel(ctx, backdrop, QStringLiteral("panel-largest"));
        ctx.setLook(QStringLiteral("Dark"), TextSize::Normal);
        savePanel(ctx, backdrop, QStringLiteral("panel-dark"));
        ctx.setLook(QStringLiteral("Dark"), TextSize::Largest);
        savePanel(ctx, backdrop, QStringLiteral("panel-dark-largest"));
        ctx.resetLook();
        backdrop.hide();
    }
    {
        Scene scene(desktop(), 30);
        MenuBarPanel* panel = new MenuBarPanel(*scene.appState, *scene.keepAwake);
        Backdrop backdrop(panel);
        savePanel(ctx, backdrop, QStringLiteral("panel-desktop"));

        scene.sampler->holdRelieve = true;
        scene.appState->freeMemory();
        savePanel(ctx, backdrop, QStringLiteral("panel-freeing"));
        scene.sampler->gate.release();
        Shots::waitFor([&] { return !scene.appState->isFreeingMemory(); });
        savePanel(ctx, backdrop, QStringLiteral("panel-desktop-freed"));
        backdrop.hide();
    }
    {
        Scene scene(busyWithoutSensors(), 20);
        MenuBarPanel* panel = new MenuBarPanel(*scene.appState, *scene.keepAwake);
        Backdrop backdrop(panel);
        savePanel(ctx, backdrop, QStringLiteral("panel-unknown-heat"));
        ctx.setLook(QStringLiteral("Dark"), TextSize::Largest);
        savePanel(ctx, backdrop, QStringLiteral("panel-unknown-heat-dark-largest"));
        ctx.resetLook();
        backdrop.hide();
    }
    {
        // Before the first reading: the empty snapshot and the charts still gathering.
        Scene scene(laptop(), 0);
        MenuBarPanel* panel = new MenuBarPanel(*scene.appState, *scene.keepAwake);
        Backdrop backdrop(panel);
        savePanel(ctx, backdrop, QStringLiteral("panel-first-launch"));
        backdrop.hide();
    }
    saveLabel(ctx, false, QStringLiteral("tray-label"));
    saveLabel(ctx, true, QStringLiteral("tray-label-badge"));
    saveLabelActualSize(ctx, QStringLiteral("tray-label-actual-size"));
}
