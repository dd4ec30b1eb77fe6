// Where the folder and file pickers open: home at first, then wherever the user last picked,
// whichever screen asked (never the folder the app was started from).
#include "support/AccessTime.h"
#include "support/KeyboardWindow.h"
#include "support/TestSupport.h"
#include "ui-kit/QKPicker.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Opened {
    QKPicker::Kind kind;
    QString start;
};

} // namespace

TEST(Picker, OpensAtHomeThenAtTheLastPickWhileThatIsStillAFolder) {
    const QString home = testsupport::freshDir("picker-home");
    const QString photos = testsupport::freshDir("picker-photos");
    const QString work = testsupport::freshDir("picker-work");
    QList<Opened> opened;
    QString answer;
    QKPicker picker(home, [&](QWidget*, QKPicker::Kind kind, const QString&, const QString& start) {
        opened << Opened{kind, start};
        return answer;
    });
    ASSERT_NE(QDir::currentPath(), home);

    // First a file picker, cancelled: home, and nothing remembered.
    EXPECT_EQ(picker.chooseFile(nullptr, "Choose a file"), std::nullopt);
    answer = photos;
    EXPECT_EQ(picker.chooseFolder(nullptr, "Choose a folder"), photos);
    // The folder picked is where the file picker opens next; a file picked leaves its folder.
    answer = work + "/notes.txt";
    EXPECT_EQ(picker.chooseFile(nullptr, "Choose a file"), work + "/notes.txt");
    answer.clear();
    EXPECT_EQ(picker.chooseFolder(nullptr, "Choose a folder"), std::nullopt);
    // A screen's own last folder wins while it exists; a folder gone falls back.
    picker.chooseFolder(nullptr, "Choose a folder", photos);
    picker.chooseFolder(nullptr, "Choose a folder", home + "/gone");
    QDir(work).removeRecursively();
    picker.chooseFile(nullptr, "Choose a file");

    ASSERT_EQ(opened.size(), 7);
    const QStringList starts = [&] {
        QStringList out;
        for (const Opened& o : opened)
            out << o.start;
        return out;
    }();
    EXPECT_EQ(starts, QStringList({home, home, photos, work, photos, work, home}));
    EXPECT_EQ(opened[0].kind, QKPicker::Kind::File);
    EXPECT_EQ(opened[1].kind, QKPicker::Kind::Folder);
}

TEST(Picker, TheRunsPickerStartsAtHome) {
    EXPECT_EQ(QKPicker::shared().startFolder(), QDir::homePath());
}

// Choosing a folder is not opening the files in it: listing them must leave their access times,
// or the age rules would see a 200-day-old download as just opened.
TEST(Picker, ListingAFolderReadsNoFileInIt) {
    const QString folder = testsupport::freshDir("picker-listing");
    if (!testsupport::plainReadsMoveAccessTime(folder))
        GTEST_SKIP() << "reads on this mount never move the access time";
    // Names that say nothing of their kind, which is what makes a listing look inside.
    const QStringList files = {testsupport::write(folder + "/download", QByteArray(4096, 'x')),
                               testsupport::write(folder + "/notes", "%PDF-1.4\n"),
                               testsupport::write(folder + "/setup.part", "PK\x03\x04")};
    QDir().mkpath(folder + "/inner");
    for (const QKPicker::Kind kind : {QKPicker::Kind::Folder, QKPicker::Kind::File}) {
        QList<qint64> before;
        for (const QString& file : files) {
            testsupport::ageFile(file);
            before.append(testsupport::accessTimeNs(file));
        }
        const std::unique_ptr<QFileDialog> dialog =
            QKPicker::makeDialog(nullptr, kind, QStringLiteral("Choose"), folder);
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        dialog->open();
        ASSERT_TRUE(testsupport::waitFor([&] {
            for (const QList<QVariant>& signal : loaded)
                if (signal.value(0).toString() == folder)
                    return true;
            return false;
        }));
        // Every row's icon and kind, as the view shows them.
        const QModelIndex root = model->index(folder);
        for (int row = 0; row < model->rowCount(root); ++row) {
            model->data(model->index(row, 0, root), Qt::DecorationRole);
            model->data(model->index(row, 2, root), Qt::DisplayRole);
        }
        QCoreApplication::processEvents();
        dialog->reject();
        for (qsizetype i = 0; i < files.size(); ++i)
            EXPECT_EQ(testsupport::accessTimeNs(files[i]), before[i]) << files[i].toStdString();
    }
}

// A dialog that leaves the window without the keyboard (as Qt's accessibility bridge can, after a
// path typed and accepted with Return) does not strand its user: the window is active again and
// the control that opened the dialog has the focus back.
TEST(Picker, TheKeyboardComesBackToTheControlThatHadItBeforeTheDialog) {
    testsupport::KeyboardWindow window;
    auto* other = new QPushButton(QStringLiteral("Other"), &window.widget);
    auto* choose = new QPushButton(QStringLiteral("Choose"), &window.widget);
    window.column->addWidget(other);
    window.column->addWidget(choose);
    window.show();
    window.tabTo(choose);
    QWidget elsewhere;
    const QString folder = testsupport::freshDir("picker-focus");
    QKPicker picker(folder, [&](QWidget*, QKPicker::Kind, const QString&, const QString&) {
        // What the stranded window looks like: another window active, no focus in this one.
        elsewhere.show();
        elsewhere.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        other->setFocus();
        QApplication::processEvents();
        return folder;
    });
    EXPECT_EQ(picker.chooseFolder(choose, "Choose a folder"), folder);
    QApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window.widget));
    EXPECT_EQ(QApplication::focusWidget(), choose);
}
