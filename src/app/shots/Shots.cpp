#include "app/shots/Shots.h"

#include "app/PendrelApp.h"
#include "fakes/FakeAccountName.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/UserDefaults.h"
#include "shell/QKFeature.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"
#include "vitals/SystemSnapshot.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QSize>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QWidget>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every file the tool writes is listed on stdout; a failed write fails the run at the end.
void report(ShotContext& ctx, const QString& path, bool ok) {
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    if (!ok)
        ++ctx.failures;
}

// The title the app gives the section's screen.
QString sectionTitle(const QString& section) {
    const QKFeature* feature = QKFeature::lookup(section);
    if (!feature)
        qFatal("pendrel-shots: no section \"%s\" to host a screen in", qPrintable(section));
    return feature->title;
}

} // namespace

QString ShotLook::appearance() const {
    return dark ? QStringLiteral("Dark") : QStringLiteral("Light");
}

QString ShotLook::suffix() const {
    return QStringLiteral("-step%1%2").arg(step).arg(dark ? QStringLiteral("-dark") : QString());
}

void ShotContext::save(QWidget* widget, const QString& name) {
    widget->show();
    // Two turns: the first lays out, the second lets anything queued on show settle.
    QApplication::processEvents();
    QApplication::processEvents();
    if (visit) {
        visit(widget, name);
        return;
    }
    const QString path = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    report(*this, path, widget->grab().save(path));
}

void ShotContext::saveImage(const QImage& image, const QString& name) {
    if (visit)
        return;
    const QString path = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    report(*this, path, image.save(path));
}

void ShotContext::saveWhenReady(QWidget* window, const QString& name,
                                const std::function<void()>& ready) {
    window->show();
    ready();
    save(window, name);
    window->hide();
}

void ShotContext::saveSettled(QWidget* window, const QString& name) {
    window->show();
    Shots::settle();
    save(window, name);
}

void ShotContext::setLook(const QString& appearance, int step) {
    UserDefaults::standard().setValue(ThemeKeys::Appearance, appearance);
    setTextSize(step);
}

void ShotContext::setTextSize(int step) {
    UserDefaults::standard().setValue(ThemeKeys::FontSize, step);
    QApplication::processEvents();
}

void ShotContext::resetLook() {
    UserDefaults& d = UserDefaults::standard();
    d.remove(ThemeKeys::Appearance);
    d.remove(ThemeKeys::FontSize);
    QApplication::processEvents();
}

void ShotContext::eachLook(const std::function<void(const ShotLook&)>& shoot) {
    for (bool dark : {false, true}) {
        for (int step : {0, 4}) {
            const ShotLook look{dark, step};
            setLook(look.appearance(), step);
            shoot(look);
        }
    }
    resetLook();
}

void ShotContext::saveLooks(QWidget* window, const QString& name, const QSize& small,
                            const QSize& large) {
    eachLook([&](const ShotLook& look) {
        window->resize(look.step == 0 ? small : large);
        Shots::settle();
        save(window, name + look.suffix());
    });
}

namespace Shots {

QDateTime now() {
    return QDateTime(QDate(2026, 6, 1), QTime(9, 41));
}

QVBoxLayout* column(QWidget* window, const QString& section) {
    Themed::apply(window);
    window->setWindowTitle(sectionTitle(section));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

QWidget* frame(QWidget* view, const QString& section) {
    auto* window = new QWidget;
    column(window, section)->addWidget(view);
    view->setParent(window);
    return window;
}

void settle(int turns) {
    for (int i = 0; i < turns; ++i)
        QApplication::processEvents();
}

void drain(int turns) {
    for (int i = 0; i < turns; ++i) {
        QThreadPool::globalInstance()->waitForDone();
        QApplication::processEvents();
    }
}

bool waitFor(const std::function<bool()>& done, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

DropDeliveries::DropDeliveries() {
    QCoreApplication::instance()->installEventFilter(this);
}

bool DropDeliveries::eventFilter(QObject* watched, QEvent* event) {
    return watched == QCoreApplication::instance() && event->type() == QEvent::MetaCall;
}

DeleteCode::RandomSource fixedCode() {
    return [] { return quint32(4271); };
}

void fixCodes(QWidget* root) {
    for (DeleteConfirm* confirm : root->findChildren<DeleteConfirm*>())
        confirm->setRandomSource(fixedCode());
}

QString freshFolder(const QString& relative) {
    const QString dir = QDir::homePath() + QLatin1Char('/') + relative;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

void setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(when, QFileDevice::FileModificationTime);
}

void sparse(const QString& path, qint64 bytes, double accessDaysAgo) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || !f.resize(bytes))
        return;
    f.close();
    if (accessDaysAgo > 0) {
        const qint64 when = QDateTime::currentSecsSinceEpoch() - qint64(accessDaysAgo * 86400);
        struct timespec times[2] = {{when, 0}, {when, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
}

// Blocks that come in many pieces (the disk is busy with other writers) make the file system
// add one to index them, and the screens that count blocks would show the file a block larger
// than on another run. Such a file is made again beside the first, which is kept until the end so
// the new blocks come from elsewhere.
void reserve(const QString& path, qint64 bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray target = QFile::encodeName(path);
    QList<QByteArray> pieces; // made and not kept
    bool exact = false;
    for (int attempt = 0; attempt < 8 && !exact; ++attempt) {
        const QByteArray name =
            attempt == 0 ? target : target + ".again" + QByteArray::number(attempt);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            break;
        if (::posix_fallocate(fd, 0, bytes) != 0) {
            const QByteArray chunk(4096, 'x');
            for (qint64 left = std::min<qint64>(bytes, 4 * MiB); left > 0; left -= chunk.size())
                (void)!::write(fd, chunk.constData(), size_t(chunk.size()));
            exact = true; // no reserved blocks to count
        } else {
            struct stat st {};
            const qint64 block = ::fstat(fd, &st) == 0 ? qint64(st.st_blksize) : 0;
            exact = block > 0 && qint64(st.st_blocks) * 512 <= (bytes + block - 1) / block * block;
        }
        ::close(fd);
        if (exact && name != target)
            ::rename(name.constData(), target.constData());
        else if (!exact && name != target)
            pieces.append(name);
    }
    for (const QByteArray& name : pieces)
        ::unlink(name.constData());
    if (!exact)
        std::fprintf(stderr, "pendrel-shots: %s takes a block more than its length\n",
                     target.constData());
}

void many(const QString& home, const QString& folder, const QString& pattern, int count,
          qint64 bytes) {
    for (int i = 0; i < count; ++i)
        reserve(home + "/" + folder + "/" + pattern.arg(i, 4, 10, QLatin1Char('0')),
                bytes + (i % 7) * 64 * 1024);
}

SystemSnapshot everydayLaptop() {
    constexpr quint64 GB = 1'000'000'000ULL;
    SystemSnapshot s;
    s.memTotalBytes = 16 * GB;
    s.memUsedBytes = 7'870'000'000;
    s.memCachedBytes = 5'200'000'000;
    s.memFreeBytes = 2'930'000'000;
    s.cpuPercent = 4.0;
    s.diskTotalBytes = qint64(494 * GB);
    s.diskFreeBytes = qint64(182 * GB);
    s.diskUsedBytes = qint64(312 * GB);
    s.batteryPercent = 82;
    s.batteryCharging = true;
    addMemory(s, "firefox", 1'900'000'000, 4101);
    addMemory(s, "code", 1'200'000'000, 5120);
    addCpu(s, "firefox", 3.1, 4101);
    s.thermal.pressure = ThermalSnapshot::Pressure::Nominal;
    s.thermal.cpuCelsius = 48.0;
    return s;
}

void addMemory(SystemSnapshot& s, const char* name, quint64 bytes, qint64 pid) {
    ProcessMemoryInfo p;
    p.name = QString::fromUtf8(name);
    p.memoryBytes = bytes;
    p.pid = pid;
    s.topProcesses.append(p);
}

void addCpu(SystemSnapshot& s, const char* name, double percent, qint64 pid) {
    ProcessCPUInfo p;
    p.name = QString::fromUtf8(name);
    p.cpuPercent = percent;
    p.pid = pid;
    s.topCPUProcesses.append(p);
}

std::unique_ptr<PendrelApp> makeApp() {
    QKSpinner::setAnimated(false);
    auto vitals = std::make_shared<FakeSamplerState>();
    vitals->set(everydayLaptop());
    return std::make_unique<PendrelApp>(PendrelApp::Options{
        .useSystemTray = false,
        .vitals = {.makeSampler = FakeSnapshotSampler::factory(vitals), .intervalMs = 3'600'000},
        .clock = std::make_shared<FakeClock>(now()),
        .account = std::make_shared<FakeAccountName>(QStringLiteral("Robin Example"))});
}

void renderAll(ShotContext& ctx) {
    renderShellShots(ctx);
    renderUiKitShots(ctx);
    renderVitalsShots(ctx);
    renderMenuBarShots(ctx);
    renderCompareShots(ctx);
    renderDeveloperShots(ctx);
    renderAppsShots(ctx);
    renderUninstallerShots(ctx);
    renderAssistantShots(ctx);
    renderCleaningShots(ctx);
    renderAutomationShots(ctx);
    renderDuplicatesShots(ctx);
    renderHomeShots(ctx);
    renderStorageShots(ctx);
    renderFoldersShots(ctx);
    renderVaultShots(ctx);
    renderOrganizerShots(ctx);
    renderChatShots(ctx);
}

} // namespace Shots
