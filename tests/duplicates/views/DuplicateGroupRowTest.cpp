// The exact groups on the screen: each row's tiles at every text size, its group, and the copy to
// keep chosen by mouse, key or reader, then confirmed.
#include "duplicates/views/DuplicatesViewTestSupport.h"

using namespace duptest;

// A row made at one text size and shown at another still shows every tile whole, the keeper's
// label included.
TEST(DuplicatesView, GroupRowFitsItsTilesAtEveryTextSize) {
    Themed::shared();
    const QString dir = sampleFolder();
    DuplicateGroup group{QUuid::createUuid(), 3000, {dir + "/pair-a.bin", dir + "/pair-b.bin"}};
    for (int made : {int(TextSize::Smallest), int(TextSize::Largest)}) {
        UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(made));
        DuplicateGroupRow row(group, {});
        row.resize(700, row.sizeHint().height());
        row.show();
        row.choose(group.files[1]);
        QCoreApplication::processEvents();
        for (int shown : {int(TextSize::Largest), int(TextSize::Smallest)}) {
            UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(shown));
            QCoreApplication::processEvents();
            row.resize(700, row.sizeHint().height());
            QCoreApplication::processEvents();
            for (DuplicateTile* tile : tilesOf(&row))
                EXPECT_EQ(tile->visibleRegion().boundingRect(), tile->rect())
                    << "made at " << made << ", shown at " << shown;
        }
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}

TEST(DuplicatesView, KeepingTheChosenCopy) {
    Screen s;
    const QString dir = sampleFolder();
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    QCoreApplication::processEvents();
    auto* row = s.row<DuplicateGroupRow>("exactList", s.finder.groups()[1].id);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->group().files.size(), 2);
    const QList<DuplicateTile*> tiles = tilesOf(row);
    EXPECT_TRUE(Find::part<QLabel>(row, "rowHeader")->text().startsWith("2 identical copies · "));
    // What the copy that would go takes on the disk: 3,000 bytes hold one 4 KB block.
    EXPECT_EQ(Find::part<QLabel>(row, "freesLine")->text(), "Frees 4 KB");
    EXPECT_FALSE(Find::part<QPushButton>(row, "keepSelected")->isEnabled());
    EXPECT_FALSE(tiles[0]->hasThumbnail()); // not a picture: the document symbol

    QTest::mouseClick(tiles[1], Qt::LeftButton);
    EXPECT_TRUE(tiles[1]->isKeeper());
    EXPECT_FALSE(Find::part<QWidget>(tiles[1], "keepingThisOne")->isHidden());
    QTest::mouseClick(tiles[0], Qt::LeftButton);
    EXPECT_TRUE(tiles[0]->isKeeper());
    EXPECT_FALSE(tiles[1]->isKeeper());
    ASSERT_TRUE(Find::part<QPushButton>(row, "keepSelected")->isEnabled());
    Find::part<QPushButton>(row, "keepSelected")->click();
    ASSERT_TRUE(s.view->confirmation()->pending().has_value());
    EXPECT_EQ(s.view->confirmation()->pending()->title, "Trash 1 duplicate?");
    EXPECT_EQ(s.view->confirmation()->pending()->message,
              "The copy you chose stays. The other 1 move to the Trash so you can undo.");

    // Cancelling trashes nothing.
    Find::part<QPushButton>(s.view->confirmation()->sheet(), "deleteCodeCancel")->click();
    EXPECT_FALSE(s.view->confirmation()->pending().has_value());
    EXPECT_TRUE(s.trash->moved().isEmpty());

    Find::part<QPushButton>(row, "keepSelected")->click();
    s.confirm();
    EXPECT_EQ(s.trash->moved(), QStringList({dir + "/pair-b.bin"}));
    EXPECT_EQ(s.finder.groups().size(), 1);
    EXPECT_EQ(s.part<QKProminentButton>("cleanAllButton")->text(), "Clean all · trash 2");
    EXPECT_TRUE(s.view->errors().isEmpty());
}

// The rows are made in the list's order from its keys: each shows its own group, also after a
// group went and the rows that stayed were kept.
TEST(DuplicatesView, EveryRowShowsTheGroupOfItsKey) {
    Screen s;
    const QString dir = testsupport::freshDir("keyed-rows");
    for (int g = 0; g < 5; ++g)
        for (const char* copy : {"a", "b"})
            write(QStringLiteral("%1/g%2-%3.bin").arg(dir).arg(g).arg(copy),
                  bytes(2000 + 100 * g, g + 1));
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    const auto rowsMatch = [&s] {
        const QList<DuplicateGroup> groups = s.finder.groups();
        EXPECT_TRUE(testsupport::waitFor(
            [&] { return s.view->exactList()->builtCount() == groups.size(); }));
        for (const DuplicateGroup& group : groups) {
            const auto* row = s.row<DuplicateGroupRow>("exactList", group.id);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->group().files, group.files);
        }
    };
    ASSERT_EQ(s.finder.groups().size(), 5);
    rowsMatch();
    const DuplicateGroup gone = s.finder.groups()[2];
    s.finder.trash(gone, gone.files[0]);
    ASSERT_EQ(s.finder.groups().size(), 4);
    rowsMatch();
}

// Without a mouse: each copy is a focusable choice named by its path; Space, Return or a
// reader's "Press" makes it the keeper, it reads as the one checked, and the button follows.
// A reader has no "Toggle" that would check a copy the row never heard of.
TEST(DuplicatesView, TheKeeperIsChosenByKeyOrByAReader) {
    Screen s;
    const QString dir = sampleFolder();
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    QCoreApplication::processEvents();
    auto* row = s.row<DuplicateGroupRow>("exactList", s.finder.groups()[0].id);
    ASSERT_NE(row, nullptr);
    const QList<DuplicateTile*> tiles = tilesOf(row);
    ASSERT_EQ(tiles.size(), 3);
    auto* keep = Find::part<QPushButton>(row, "keepSelected");
    const auto read = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w); };

    for (DuplicateTile* tile : tiles) {
        EXPECT_TRUE(tile->focusPolicy() & Qt::TabFocus);
        EXPECT_EQ(read(tile)->text(QAccessible::Name), tile->path());
        EXPECT_EQ(read(tile)->role(), QAccessible::RadioButton);
        EXPECT_TRUE(read(tile)->state().checkable);
        EXPECT_FALSE(read(tile)->state().checked);
        EXPECT_EQ(read(tile)->actionInterface()->actionNames(),
                  QStringList({QAccessibleActionInterface::setFocusAction(),
                               QAccessibleActionInterface::pressAction()}));
    }
    QTest::keyClick(tiles[1], Qt::Key_Space);
    EXPECT_TRUE(tiles[1]->isKeeper());
    EXPECT_TRUE(read(tiles[1])->state().checked);
    EXPECT_TRUE(keep->isEnabled());
    QTest::keyClick(tiles[2], Qt::Key_Return);
    EXPECT_EQ(row->keeper(), tiles[2]->path());
    EXPECT_FALSE(read(tiles[1])->state().checked);
    read(tiles[0])->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(row->keeper(), tiles[0]->path());
    EXPECT_TRUE(read(tiles[0])->state().checked);
    EXPECT_FALSE(read(tiles[2])->state().checked);

    keep->click();
    s.confirm();
    EXPECT_EQ(s.trash->moved().size(), 2);
    EXPECT_FALSE(s.trash->moved().contains(row->group().files.value(0)));
}
