#include "app/shots/Shots.h"

#include "cleaning/CleanupScanner.h"
#include "cleaning/LargeFilesScanner.h"
#include "cleaning/views/BiggestFilesPane.h"
#include "cleaning/views/CleanerPane.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeFileRevealer.h"
#include "fakes/FakeTrash.h"
#include "platform/HomeLayout.h"
#include "shell/ScreenState.h"

#include <atomic>
#include <QDir>
#include <QItemSelectionModel>
#include <QListView>
#include <QProcessEnvironment>
#include <QSize>
#include <QThreadPool>
#include <semaphore>

namespace {

constexpr qint64 MB = 1'000'000;

using Shots::sparse;

// The same window in light and dark, at the smallest and the largest text size.
void saveLooks(ShotContext& ctx, QWidget* window, const QString& name, int height) {
    ctx.saveLooks(window, name, QSize(1000, height), QSize(1000, height * 13 / 10));
}

struct Cleaner {
    std::shared_ptr<FakeCategoryMeasure> measure = std::make_shared<FakeCategoryMeasure>();
    CleanupScanner::Deps tools;
    explicit Cleaner(const QString& trashDir) {
        tools = {measure, std::make_shared<FakeTrash>(trashDir), {}};
    }
};

void cleanerShots(ShotContext& ctx, const QString& base) {
    const HomeLayout layout = HomeLayout::forHome(base + "/home");
    FakeFileRevealer revealer;
    ScreenState screen;

    // System junk: ready, measuring, listed, nothing found.
    Cleaner junk(base + "/trash");
    std::binary_semaphore release(0);
    std::atomic_bool hold{true};
    junk.measure->setHook([&](const CleanCategory& c, const CancelToken&) {
        if (hold && c.id == QLatin1String("logs"))
            release.acquire();
    });
    junk.measure->setResult("caches", {2'310'000'000, 18'422, {}});
    junk.measure->setResult("logs", {412'000'000, 1'204, {}});
    junk.measure->setResult("trash", {1'870'000'000, 96, {}});
    junk.measure->setResult("downloads", {3'900'000'000, 41, {}});
    DiskCleanupScanner disk(layout, junk.tools);
    std::unique_ptr<QWidget> window(
        Shots::frame(new CleanerPane(disk, screen, CleanerStateFields::system(),
                                     CleanerPaneText::systemJunk(), &revealer),
                     QStringLiteral("disk")));
    window->resize(1000, 760);
    window->show(); // appearing starts the scan, which holds at "Logs"
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("cleaner-measuring"));
    hold = false;
    release.release();
    Shots::waitFor([&] { return disk.state().phase == ScanPhase::Done; });
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("cleaner-listed"));
    screen.setDiskResult(QStringLiteral("Freed 2.31 GB · 3 items skipped"));
    saveLooks(ctx, window.get(), QStringLiteral("cleaner-listed"), 760);
    screen.setDiskResult(std::nullopt);
    disk.scan();
    disk.cancelScan(); // back to idle, as before the first scan
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("cleaner-ready"));
    window.reset();

    // A state folder set to the home: the logs row looks in the default place and says so.
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), layout.home());
    env.insert(QStringLiteral("XDG_STATE_HOME"), layout.home());
    Cleaner stateAtHome(base + "/trash");
    stateAtHome.measure->setResult("caches", {2'310'000'000, 18'422, {}});
    stateAtHome.measure->setResult("logs", {38'000'000, 212, {}});
    DiskCleanupScanner ignoring(HomeLayout::fromEnvironment(env), stateAtHome.tools);
    window.reset(Shots::frame(new CleanerPane(ignoring, screen, CleanerStateFields::system(),
                                              CleanerPaneText::systemJunk(), &revealer),
                              QStringLiteral("disk")));
    window->resize(1000, 620);
    window->show();
    Shots::waitFor([&] { return ignoring.state().phase == ScanPhase::Done; });
    Shots::settle();
    saveLooks(ctx, window.get(), QStringLiteral("cleaner-ignored-variable"), 620);
    window.reset();

    // Mail data with a row Pendrel only measures.
    const QString profile = layout.home() + "/.thunderbird/k3x9.default-release";
    QDir().mkpath(profile + "/ImapMail");
    QDir().mkpath(profile + "/Mail");
    sparse(profile + "/global-messages-db.sqlite", 10);
    QDir().mkpath(layout.cacheHome() + "/thunderbird");
    Cleaner mail(base + "/trash");
    mail.measure->setResult("mail-tb-imap", {3'400'000'000, 5'210, {}});
    mail.measure->setResult("mail-tb-index", {820'000'000, 1, {}});
    mail.measure->setResult("mail-tb-caches", {96'000'000, 312, {}});
    mail.measure->setResult("mail-tb-local", {1'250'000'000, 88, {}});
    MailCleanupScanner mailScanner(layout, mail.tools);
    ScreenState mailScreen;
    window.reset(Shots::frame(new CleanerPane(mailScanner, mailScreen, CleanerStateFields::mail(),
                                              CleanerPaneText::mail(), &revealer),
                              QStringLiteral("disk")));
    window->resize(1000, 900);
    window->show();
    Shots::waitFor([&] { return mailScanner.state().phase == ScanPhase::Done; });
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("cleaner-mail-listed"));
    window.reset();

    // Screenshots on a machine that has none.
    Cleaner none(base + "/trash");
    ScreenshotCleanupScanner shots(layout, none.tools);
    ScreenState shotScreen;
    window.reset(Shots::frame(new CleanerPane(shots, shotScreen, CleanerStateFields::screenshots(),
                                              CleanerPaneText::screenshots(), &revealer),
                              QStringLiteral("disk")));
    window->resize(1000, 620);
    window->show();
    Shots::waitFor([&] { return shots.state().phase == ScanPhase::Done; });
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("cleaner-nothing-found"));
    saveLooks(ctx, window.get(), QStringLiteral("cleaner-nothing-found"), 620);
    window.reset();
    // The measuring hook above reads this function's locals.
    QThreadPool::globalInstance()->waitForDone();
}

void biggestShots(ShotContext& ctx, const QString& base) {
    const QString folder = base + "/Movies";
    sparse(folder + "/Holiday 2023 (4K master).mov", 8'420 * MB, 420);
    sparse(folder + "/Projects/interview-raw-cam-a.mxf", 5'130 * MB);
    sparse(folder + "/ubuntu-24.04-desktop-amd64.iso", 6'100 * MB, 300);
    sparse(folder + "/Projects/render-final-v7.mp4", 2'260 * MB);
    sparse(folder + "/Old/backup-2022-03.tar.gz", 1'900 * MB, 700);
    sparse(folder + "/Projects/b-roll/drone-01.mov", 980 * MB);
    sparse(folder + "/Projects/b-roll/drone-02.mov", 870 * MB);
    sparse(folder + "/screen-recording-standup.webm", 412 * MB, 200);
    sparse(folder + "/podcast-ep41.wav", 318 * MB);
    sparse(folder + "/Old/photos-export.zip", 260 * MB, 250);
    sparse(folder + "/notes.txt", 1);

    FakeFileRevealer revealer;
    ScreenState screen;
    LargeFilesScanner scanner(std::make_shared<FakeTrash>(base + "/trash"));
    auto* pane = new BiggestFilesPane(scanner, screen, &revealer);
    std::unique_ptr<QWidget> window(Shots::frame(pane, QStringLiteral("folders")));
    window->resize(1000, 640);
    ctx.save(window.get(), QStringLiteral("biggest-files-empty"));

    pane->pickFolder(folder);
    Shots::waitFor([&] { return scanner.state().phase == ScanPhase::Done; });
    screen.setBigResult(QStringLiteral("Freed 1.9 GB"));
    // Two rows selected, as a user would have them.
    auto* list = pane->findChild<QListView*>(QStringLiteral("biggestFiles"));
    list->selectionModel()->select(list->model()->index(1, 0), QItemSelectionModel::Select);
    list->selectionModel()->select(list->model()->index(4, 0), QItemSelectionModel::Select);
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("biggest-files-listed"));
    saveLooks(ctx, window.get(), QStringLiteral("biggest-files-listed"), 640);

    screen.setBigOnlyOld(true);
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("biggest-files-only-old"));
    screen.setBigOnlyOld(false);

    // A folder with nothing of 50 MB or more.
    sparse(base + "/Documents/notes.txt", 12'000);
    pane->pickFolder(base + "/Documents");
    Shots::waitFor([&] { return scanner.state().phase == ScanPhase::Done; });
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("biggest-files-nothing"));
}

} // namespace

void renderCleaningShots(ShotContext& ctx) {
    const QString base = Shots::freshFolder(QStringLiteral("cleaning-shots"));
    cleanerShots(ctx, base);
    biggestShots(ctx, base);
}
