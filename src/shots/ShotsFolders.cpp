#include "shots/Shots.h"

#include "cleaning/LargeFilesScanner.h"
#include "cleaning/views/BiggestFilesPane.h"
#include "fakes/FakeFileRevealer.h"
#include "shell/ScreenState.h"
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

// The usual home with loose chapters in Documents, an application bundle, a few loose files and
// an empty folder.
QString makeHome() {
    const QString home = QDir::homePath() + QStringLiteral("/folders-shots/ada");
    Shots::fillHome(home);
    Shots::many(home, "Documents", "chapter %1.md", 11, 150 * 1024);
    Shots::many(home, "Studio Player.app/Contents/lib", "lib-%1.so", 12, 3 * MiB);
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
        QVBoxLayout* layout = Shots::column(&window);
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
        shot.settle();
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
        Shots::waitFor([&] { return shot.tree.measuringCount() == 8; });
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
