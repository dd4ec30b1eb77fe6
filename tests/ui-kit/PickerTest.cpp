// Where the folder and file pickers open: home at first, then wherever the user last picked,
// whichever screen asked (never the folder the app was started from).
#include "support/TestSupport.h"
#include "ui-kit/QKPicker.h"

#include <gtest/gtest.h>
#include <QDir>

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
