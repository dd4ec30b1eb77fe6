#pragma once

#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicatesTestSupport.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "duplicates/views/ComparisonSheet.h"
#include "duplicates/views/DuplicateGroupRow.h"
#include "duplicates/views/DuplicatesView.h"
#include "duplicates/views/PhotoThumb.h"
#include "duplicates/views/SimilarSetRow.h"
#include "fakes/FakeTrash.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirmItem.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKLazyColumn.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>

namespace duptest {

// The screen over two real finders and a fake Trash, shown, with a folder picker that hands out
// `picks` one by one.
struct Screen {
    ScreenState state;
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(testsupport::freshDir("view-trash"));
    DuplicateFinder finder{trash};
    SimilarPhotoFinder similar{trash};
    std::unique_ptr<DuplicatesView> view = std::make_unique<DuplicatesView>(state, finder, similar);
    QList<std::optional<QString>> picks;

    Screen() {
        view->setFolderPicker([this](QWidget*) -> std::optional<QString> {
            return picks.isEmpty() ? std::nullopt : picks.takeFirst();
        });
        view->resize(900, 700);
        view->show();
    }
    bool scanned() {
        return testsupport::waitFor([this] {
            return finder.state().phase != ScanPhase::Running &&
                   similar.state().phase != ScanPhase::Running;
        });
    }
    // Types the shown code and confirms.
    void confirm() {
        DeleteCodeSheet* sheet = view->confirmation()->sheet();
        ASSERT_NE(sheet, nullptr);
        QTest::keyClicks(sheet->entryField(), sheet->code());
        ASSERT_TRUE(sheet->confirmButton()->isEnabled());
        sheet->confirmButton()->click();
        QCoreApplication::processEvents();
    }
    template <typename T> T* part(const char* name) const { return Find::part<T>(*view, name); }
    // The row a list of the screen shows for a group, once the list has built it.
    template <typename Row> Row* row(const char* list, const QUuid& id) const {
        return qobject_cast<Row*>(part<QKLazyColumn>(list)->row(id.toString(QUuid::WithoutBraces)));
    }
    // Scans the folder in look-alike mode and hands back the row of the one set found in it.
    SimilarSetRow* scanForOneSet(const QString& dir) {
        state.setDuplicateMode(DuplicatesMode::Similar);
        view->scanFolder(dir);
        EXPECT_TRUE(scanned());
        QCoreApplication::processEvents();
        EXPECT_EQ(similar.groups().size(), 1);
        return similar.groups().size() == 1
                   ? row<SimilarSetRow>("similarList", similar.groups()[0].id)
                   : nullptr;
    }
    // The side-by-side sheet while it is open: a window of its own over the screen's.
    ComparisonSheet* sheet() const {
        return Find::maybe<ComparisonSheet>(view->window(), "comparisonSheet");
    }
    QMessageBox* failureAlert() const { return Find::maybe<QMessageBox>(*view, "trashFailures"); }
};

inline QList<DuplicateTile*> tilesOf(const DuplicateGroupRow* row) {
    return Find::parts<DuplicateTile>(row, "duplicateTile");
}

inline QList<PhotoThumb*> photosOf(const SimilarSetRow* row) {
    return Find::parts<PhotoThumb>(row, "setPhoto");
}

// Exact groups of two and three files, and one look-alike set of two photos.
inline QString sampleFolder() {
    const QString dir = testsupport::freshDir("sample");
    writeCopies(dir, {"/pair-a.bin", "/pair-b.bin"}, bytes(3000, 1));
    writeCopies(dir, {"/trio-a.bin", "/trio-b.bin", "/trio-c.bin"}, bytes(5000, 2));
    const QImage picture = scene(2, QSize(640, 480));
    savePhoto(picture, dir + "/photo.jpg");
    savePhoto(picture.scaled(320, 240), dir + "/photo-small.jpg", 60);
    return dir;
}

} // namespace duptest
