#include "app/Shots.h"
#include "app/ShotsFiles.h"

#include "cleaning/LargeFilesScanner.h"
#include "cleaning/views/BiggestFilesPane.h"
#include "fakes/FakeFileRevealer.h"
#include "shell/ScreenState.h"
#include "storage/FolderTree.h"
#include "storage/views/FolderBrowserView.h"
#include "storage/views/FoldersView.h"
#include "ui-kit/Themed.h"

#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QVBoxLayout>
#include <unistd.h>

namespace {

using ShotsFiles::MiB;
using ShotsFiles::reserve;

// A home with the usual folders, client work, taxes, photos, a film, a project with its
// dependencies, an application bundle and a few loose files.
QString makeHome() {
    const QString home = QDir::homePath() + QStringLiteral("/folders-shots/ada");
    const auto many = [&](const QString& folder, const QString& pattern, int count, qint64 bytes) {
        ShotsFiles::many(home, folder, pattern, count, bytes);
    };
    many("Documents/Clients/Northwind Studio", "brief-%1.pdf", 24, 3 * MiB);
    many("Documents/Tax 2024", "receipt-%1.pdf", 40, 400 * 1024);
    many("Documents/Invoices", "invoice-%1.pdf", 30, 300 * 1024);
    many("Documents/Family", "letter-%1.odt", 12, 200 * 1024);
    many("Documents", "chapter %1.md", 11, 150 * 1024);
    many("Pictures/Holiday 2024", "IMG_%1.JPG", 60, 4 * MiB);
    reserve(home + "/Videos/Lisbon trip.mp4", 180 * MiB);
    reserve(home + "/Downloads/setup-studio-4.2.run", 130 * MiB);
    many("Downloads", "download-%1.zip", 25, 2 * MiB);
    many("Projects/website/src", "page-%1.tsx", 60, 24 * 1024);
    many("Projects/website/node_modules/react", "index-%1.js", 200, 180 * 1024);
    many("Music/Albums/Night Drive", "track-%1.flac", 14, 28 * MiB);
    many("Studio Player.app/Contents/lib", "lib-%1.so", 12, 3 * MiB);
    many("Apps/Sketch Pad.app/Contents/lib", "lib-%1.so", 8, 5 * MiB);
    many("Desktop", "notes-%1.txt", 6, 16 * 1024);
    reserve(home + "/a-rather-long-file-name-for-the-quarterly-budget-review-final-v2.xlsx",
            700 * 1024);
    reserve(home + "/todo.txt", 4096);
    QDir().mkpath(home + "/Empty folder");
    return home;
}

// Measurements that wait until released, so a shot can catch the list while sizes are due.
struct Hold {
    std::mutex mutex;
    std::condition_variable changed;
    bool held = true;
    void release() {
        std::lock_guard lock(mutex);
        held = false;
        changed.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return !held; });
    }
};

// The screen over its own tree and state, in a window the size of the main window's detail card.
struct FoldersShot {
    FolderTree tree;
    ScreenState screen;
    LargeFilesScanner largeFiles{nullptr};
    FakeFileRevealer revealer;
    QWidget window;
    FoldersView* view;

    explicit FoldersShot(const QString& home, FolderTree::Tools tools = {})
        : tree(home, std::move(tools)) {
        Themed::apply(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        view = new FoldersView(
            tree, screen, &revealer,
            [this](QWidget* host) -> QWidget* {
                return new BiggestFilesPane(largeFiles, screen, &revealer, host);
            },
            &window);
        layout->addWidget(view);
        window.resize(1000, 680);
    }

    void settle() {
        const QDeadlineTimer deadline(20000);
        while ((tree.isListing() || tree.measuringCount() > 0) && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        QApplication::processEvents();
    }

    void select(const QString& name) {
        for (const FolderEntry& e : tree.entries()) {
            if (e.name == name)
                screen.setFolderSelection(e.id);
        }
        QApplication::processEvents();
    }
};

} // namespace

// The folders screen on a generated home: home with a folder selected (light and dark, smallest
// and largest text size), sizes still being measured, a folder entered by name order with a file
// selected, an unreadable folder, an empty one, and the biggest-files mode.
void renderFoldersShots(ShotContext& ctx) {
    const QString home = makeHome();
    {
        FoldersShot shot(home);
        shot.window.show(); // shown with an empty tree: it lists home
        shot.settle();
        shot.select(QStringLiteral("Projects"));
        ctx.save(&shot.window, QStringLiteral("folders-home"));
        for (const char* look : {"Light", "Dark"}) {
            for (int step : {0, 4}) {
                ctx.setLook(QString::fromUtf8(look), step);
                shot.window.resize(1000, step == 0 ? 680 : 860);
                QApplication::processEvents();
                ctx.save(&shot.window, QStringLiteral("folders-home-step%1%2")
                                           .arg(step)
                                           .arg(QString::fromUtf8(look) == "Dark" ? "-dark" : ""));
            }
        }
        ctx.resetLook();
        shot.window.resize(1000, 680);

        shot.select(QStringLiteral("Documents"));
        shot.view->lookInside();
        shot.settle();
        shot.tree.setSortOrder(FolderTree::SortOrder::Name);
        shot.select(QStringLiteral("chapter 0010.md"));
        ctx.save(&shot.window, QStringLiteral("folders-documents"));

        shot.screen.setFolderMode(FoldersMode::Biggest);
        QApplication::processEvents();
        ctx.save(&shot.window, QStringLiteral("folders-biggest"));
        shot.window.hide();
    }
    {
        auto hold = std::make_shared<Hold>();
        FolderTree::Tools tools;
        tools.measure = [hold](const QString& folder, const CancelToken& cancel) {
            if (!folder.endsWith(QLatin1String("/Desktop")))
                hold->wait();
            return FolderTree::measureFolder(folder, cancel);
        };
        FoldersShot shot(home, tools);
        shot.window.show();
        const QDeadlineTimer deadline(5000);
        while (shot.tree.measuringCount() != 8 && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        shot.select(QStringLiteral("Pictures"));
        ctx.save(&shot.window, QStringLiteral("folders-measuring"));
        hold->release();
        shot.settle();
        shot.window.hide();
    }
    {
        FolderTree::Tools tools;
        tools.list = [](const QString&) { return FolderTree::Listing(); };
        FoldersShot shot(home, tools);
        shot.window.show();
        shot.settle();
        ctx.save(&shot.window, QStringLiteral("folders-unreadable"));
        shot.window.hide();
    }
    {
        FoldersShot shot(home + QStringLiteral("/Empty folder"));
        shot.window.show();
        shot.settle();
        ctx.save(&shot.window, QStringLiteral("folders-empty"));
        shot.window.hide();
    }
}
