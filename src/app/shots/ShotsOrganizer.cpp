#include "app/shots/Shots.h"

#include "fakes/FakeClock.h"
#include "platform/HomeLayout.h"
#include "storage/FolderOrganizer.h"
#include "storage/views/OrganizerPane.h"

#include <atomic>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QVBoxLayout>
#include <utime.h>

namespace {

void makeFile(const QString& path, qint64 bytes, int daysOld) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(QByteArray(bytes, 'x'));
    f.close();
    const time_t when = time_t(Shots::now().addDays(-daysOld).toSecsSinceEpoch());
    struct utimbuf times {
        when, when
    };
    ::utime(QFile::encodeName(path).constData(), &times);
}

// Loose files of every kind on a generated Downloads and Desktop, a few of them recent.
HomeLayout makeHome() {
    const QString home = QDir::homePath() + QStringLiteral("/organizer-shots/ada");
    const HomeLayout layout = HomeLayout::forHome(home);
    const QString dl = layout.downloadsDir(), desk = layout.desktopDir();
    makeFile(dl + "/setup-studio-4.2.tar.gz", 3'400'000, 40);
    makeFile(dl + "/Holiday flyer.pdf", 820'000, 12);
    makeFile(dl + "/IMG_2041.JPG", 2'100'000, 30);
    makeFile(dl + "/Documents/invoice-march.pdf", 90'000, 90);
    makeFile(dl + "/invoice-march.pdf", 1'880'000, 20);
    makeFile(dl + "/podcast-episode-12.mp3", 1'500'000, 60);
    makeFile(dl + "/data-export.csv", 44'000, 15);
    makeFile(dl + "/today.txt", 1'000, 0);
    QDir().mkpath(dl + "/Old projects");
    makeFile(desk + "/Screenshot 2026-11-02.png", 640'000, 35);
    makeFile(desk + "/notes", 3'000, 25);
    makeFile(desk + "/clip.mov", 1'200'000, 10);
    // A name on both folders: each row says where it comes from.
    makeFile(desk + "/invoice-march.pdf", 1'610'000, 22);
    return layout;
}

// Until the organizer has finished planning or applying (a turn of the loop first, so a run
// just asked for has started).
void waitUntilDone(FolderOrganizer& organizer) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    Shots::waitFor(
        [&] {
            return organizer.state().kind != FolderOrganizer::State::Kind::Planning &&
                   !organizer.state().isBusy();
        },
        10000);
    QApplication::processEvents();
}

void saveSteps(ShotContext& ctx, QWidget* window, const QString& name) {
    for (int step : {0, 4}) {
        ctx.setLook(QStringLiteral("Light"), step);
        QApplication::processEvents();
        ctx.save(window, QStringLiteral("%1-step%2").arg(name).arg(step));
    }
    ctx.resetLook();
}

} // namespace

// The organizer pane: the rules alone, a preview being built, then shown with one move unticked,
// the pane right after its apply, and the earlier runs on a later visit, each at the smallest and
// the largest text size.
void renderOrganizerShots(ShotContext& ctx) {
    const HomeLayout layout = makeHome();
    FolderOrganizer::Deps options;
    options.clock = std::make_shared<FakeClock>(Shots::now());
    // The first preview is held while it lists the folders, so the pane is drawn building it.
    const auto gate = std::make_shared<QSemaphore>();
    const auto held = std::make_shared<std::atomic_bool>(true);
    FolderOrganizer::Deps gated = options;
    gated.beforePlan = [gate, held] {
        if (held->load())
            gate->acquire();
    };
    FolderOrganizer organizer(layout, gated);
    QWidget window;
    Shots::column(&window, QStringLiteral("disk"))
        ->addWidget(new OrganizerPane(organizer, &window));
    window.resize(760, 900);
    window.show();
    QApplication::processEvents();
    saveSteps(ctx, &window, QStringLiteral("organizer-rules"));

    organizer.makePlan();
    QApplication::processEvents();
    saveSteps(ctx, &window, QStringLiteral("organizer-planning"));
    held->store(false);
    gate->release();
    waitUntilDone(organizer);
    if (organizer.plan() && organizer.plan()->moves.size() > 2)
        organizer.toggleMove(organizer.plan()->moves.at(2).id);
    saveSteps(ctx, &window, QStringLiteral("organizer-preview"));

    organizer.applySelected();
    waitUntilDone(organizer);
    // The plan just applied is spent: Apply waits for the next preview.
    saveSteps(ctx, &window, QStringLiteral("organizer-applied"));
    window.hide();

    // A later visit: no plan yet, the run just made listed for undo.
    FolderOrganizer later(layout, options);
    QWidget again;
    Shots::column(&again, QStringLiteral("disk"))->addWidget(new OrganizerPane(later, &again));
    again.resize(760, 640);
    again.show();
    // The pane asked for the history on show; it is read on the organizer's worker.
    Shots::waitFor([&] { return !later.history().isEmpty(); });
    QApplication::processEvents();
    saveSteps(ctx, &again, QStringLiteral("organizer-runs"));
    again.hide();
}
