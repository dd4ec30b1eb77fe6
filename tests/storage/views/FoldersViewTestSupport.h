#pragma once

// The Browse Storage screen as its tests build it: a home of a few folders, a package and a
// file, and the screen over a real folder tree with a fake file revealer.
#include "fakes/FakeFileRevealer.h"
#include "platform/ByteFormat.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderBrowserText.h"
#include "storage/FolderTree.h"
#include "storage/views/FolderBrowserView.h"
#include "storage/views/FolderIcons.h"
#include "storage/views/FolderRowDelegate.h"
#include "storage/views/FoldersView.h"
#include "storage/views/ScrollStops.h"
#include "ui-kit/DraggableDivider.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbolButton.h"
#include "ui-kit/QKTransientNote.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "support/FindPage.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QThread>
#include <QThreadPool>

namespace foldersviewtest {

using namespace diskmaptest;

// A home of two folders (one holding a folder of its own), a package and a file.
inline QString makeHome() {
    const QString home = testsupport::freshDir("folders-view");
    makeFile(home + "/Work/Clients/brief.pdf", 2 * 4096);
    makeFile(home + "/Work/notes.txt", 4096);
    makeFile(home + "/Player.app/Contents/bin", 3 * 4096);
    makeFile(home + "/todo.txt", 4096);
    makeDir(home + "/Empty");
    return home;
}

struct Screen {
    FolderTree tree;
    ScreenState state;
    FakeFileRevealer revealer;
    int biggestMade = 0;
    FoldersView view;

    explicit Screen(const QString& home, FolderTree::Deps tools = {})
        : tree(home, std::move(tools)), view(tree, state, &revealer, [this](QWidget* host) {
              ++biggestMade;
              auto* pane = new QWidget(host);
              pane->setObjectName(QStringLiteral("biggestStandIn"));
              return pane;
          }) {
        view.resize(1000, 640);
    }
    ~Screen() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    FolderBrowserView& browser() { return *Find::part<FolderBrowserView>(view, "folderBrowser"); }
    QKSymbolButton* back() { return Find::part<QKSymbolButton>(browser(), "folderBrowserBack"); }
    QPushButton* home() { return Find::part<QPushButton>(browser(), "folderBrowserHome"); }
    // The trail's folder buttons, outermost first.
    QList<QPushButton*> trail() {
        QList<QPushButton*> buttons;
        while (auto* b = Find::maybe<QPushButton>(
                   browser(), QStringLiteral("folderBrowserTrail%1").arg(buttons.size())))
            buttons << b;
        return buttons;
    }
    QString status() { return Find::part<QLabel>(browser(), "folderBrowserStatus")->text(); }
    QString total() { return Find::part<QLabel>(browser(), "folderBrowserTotal")->text(); }
    bool settled() {
        return testsupport::waitFor([&] { return !tree.isListing() && tree.measuringCount() == 0; },
                                    20'000);
    }
    // Shown in the active window, as keys and focus need, with the listing done.
    bool shownActive() {
        view.show();
        QApplication::setActiveWindow(&view);
        return QTest::qWaitForWindowActive(&view) && settled();
    }
    FolderEntry entry(const QString& name) const {
        for (const FolderEntry& e : tree.entries()) {
            if (e.name == name)
                return e;
        }
        return {};
    }
    void select(const QString& name) { state.setFolderSelection(entry(name).id); }
};

} // namespace foldersviewtest
