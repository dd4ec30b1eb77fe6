#include "app/shots/Shots.h"

#include "cleaning/LargeFilesScanner.h"
#include "cleaning/views/BiggestFilesPane.h"
#include "fakes/FakeFileRevealer.h"
#include "platform/DirectoryWalker.h"
#include "shell/ScreenState.h"
#include "storage/ContentClassifier.h"
#include "storage/FolderTree.h"
#include "storage/views/FolderBrowserView.h"
#include "storage/views/FoldersView.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <QApplication>
#include <QDir>
#include <QVBoxLayout>

namespace {

using Shots::MiB;
using Shots::reserve;

// The built-in measure, by the files' lengths instead of the blocks they take: how many blocks a
// large reserved file gets varies a little with the disk's free space, from run to run.
FolderTree::Size byLength(const QString& folder, const CancelToken& cancel) {
    const DirectoryWalker walker(DirectoryWalker::Options(), cancel);
    FolderTree::Size size;
    walker.walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0)
            return DirectoryWalker::Action::Continue;
        if (e.isHidden() || (e.isDirectory() && ContentClassifier::hasPackageExtension(e.name)))
            return DirectoryWalker::Action::SkipChildren;
        if (e.isFile() && !e.repeatLink) {
            size.bytes += e.sizeBytes;
            ++size.files;
        }
        return DirectoryWalker::Action::Continue;
    });
    return size;
}

// A home with the usual folders, client work, taxes, photos, a film, a project with its
// dependencies, an application bundle and a few loose files.
QString makeHome() {
    const QString home = QDir::homePath() + QStringLiteral("/folders-shots/ada");
    const auto many = [&](const QString& folder, const QString& pattern, int count, qint64 bytes) {
        Shots::many(home, folder, pattern, count, bytes);
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

    static FolderTree::Deps withLengths(FolderTree::Deps tools) {
        if (!tools.measure)
            tools.measure = byLength;
        return tools;
    }

    explicit FoldersShot(const QString& home, FolderTree::Deps tools = {})
        : tree(home, withLengths(std::move(tools))) {
        QVBoxLayout* layout = Shots::column(&window, QStringLiteral("folders"));
        view = new FoldersView(
            tree, screen, &revealer,
            [this](QWidget* host) -> QWidget* {
                return new BiggestFilesPane(largeFiles, screen, &revealer, host);
            },
            &window);
        layout->addWidget(view);
        window.resize(1000, 680);
    }

    void waitUntilMeasured() {
        Shots::waitFor([this] { return !tree.isListing() && tree.measuringCount() == 0; }, 20000);
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
        shot.waitUntilMeasured();
        shot.select(QStringLiteral("Projects"));
        ctx.save(&shot.window, QStringLiteral("folders-home"));
        ctx.eachLook([&](const ShotLook& look) {
            shot.window.resize(1000, look.step == 0 ? 680 : 860);
            QApplication::processEvents();
            ctx.save(&shot.window, QStringLiteral("folders-home") + look.suffix());
        });
        shot.window.resize(1000, 680);

        shot.select(QStringLiteral("Documents"));
        shot.view->lookInside();
        shot.waitUntilMeasured();
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
        FolderTree::Deps tools;
        tools.measure = [hold](const QString& folder, const CancelToken& cancel) {
            if (!folder.endsWith(QLatin1String("/Desktop")))
                hold->wait();
            return byLength(folder, cancel);
        };
        FoldersShot shot(home, tools);
        shot.window.show();
        Shots::waitFor([&] { return shot.tree.measuringCount() == 8; });
        shot.select(QStringLiteral("Pictures"));
        ctx.save(&shot.window, QStringLiteral("folders-measuring"));
        hold->release();
        shot.waitUntilMeasured();
        shot.window.hide();
    }
    {
        FolderTree::Deps tools;
        tools.list = [](const QString&) { return FolderTree::Listing(); };
        FoldersShot shot(home, tools);
        ctx.saveWhenReady(&shot.window, QStringLiteral("folders-unreadable"),
                          [&] { shot.waitUntilMeasured(); });
    }
    {
        FoldersShot shot(home + QStringLiteral("/Empty folder"));
        ctx.saveWhenReady(&shot.window, QStringLiteral("folders-empty"),
                          [&] { shot.waitUntilMeasured(); });
    }
}
