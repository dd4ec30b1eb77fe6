// The compare screen: picking and dropping files, the line diff and its keys.
#include "developer/views/FileCompareTestSupport.h"

using namespace comparetest;

TEST(FileCompareView, StartsByInvitingTwoFilesAndFillsAZoneWhenOneIsPicked) {
    Screen s;
    for (Side side : {Side::Left, Side::Right}) {
        CompareDropZone* zone = s.zone(side);
        EXPECT_EQ(Find::part<QKSymbol>(zone, "zoneSymbol")->symbol(),
                  QStringLiteral("doc.badge.plus"));
        EXPECT_EQ(Find::part<QKLineLabel>(zone, "zoneDetail")->text(),
                  QStringLiteral("Click to choose, or drop a file here"));
    }
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Left), "zoneName")->text(),
              QStringLiteral("First file"));
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Right), "zoneName")->text(),
              QStringLiteral("Second file"));
    // An empty zone is read as its side, not its side twice; the invitation is its description.
    EXPECT_EQ(s.zone(Side::Left)->accessibleName(), QStringLiteral("First file"));
    EXPECT_EQ(s.zone(Side::Right)->accessibleDescription(),
              QStringLiteral("Click to choose, or drop a file here"));
    EXPECT_EQ(s.view->resultPage(), Page::Pick);
    EXPECT_EQ(s.part<QKEmptyState>("comparePick")->title(), QStringLiteral("Pick two files"));
    EXPECT_FALSE(s.visible(s.part<CompareExplainButton>("explainChanges")));
    EXPECT_FALSE(s.visible(s.verdict()));
    EXPECT_FALSE(s.visible(s.part<QKCardSurface>("explanationBox")));
    EXPECT_FALSE(s.visible(s.part<QKIconLabel>("unavailableNote")));

    const QString dir = testsupport::freshDir("pick");
    s.picks = {QUrl::fromLocalFile(write(dir + "/Offer.txt", "a\n"))};
    QTest::mouseClick(s.zone(Side::Left), Qt::LeftButton);
    CompareDropZone* left = s.zone(Side::Left);
    EXPECT_EQ(Find::part<QKSymbol>(left, "zoneSymbol")->symbol(), QStringLiteral("doc.fill"));
    EXPECT_EQ(Find::part<QKLineLabel>(left, "zoneName")->text(), QStringLiteral("Offer.txt"));
    EXPECT_EQ(Find::part<QKLineLabel>(left, "zoneDetail")->text(), dir);
    EXPECT_EQ(left->accessibleName(), QStringLiteral("First file: Offer.txt"));
    EXPECT_EQ(s.view->resultPage(), Page::Pick);
    EXPECT_FALSE(s.state.compareBusy());

    // A cancelled picker changes nothing.
    QTest::mouseClick(s.zone(Side::Right), Qt::LeftButton);
    EXPECT_EQ(s.state.compareRight(), std::nullopt);

    // From the keyboard, Return and Enter ask as Space does.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        const QString name = QStringLiteral("Key%1.txt").arg(int(key));
        s.picks = {QUrl::fromLocalFile(write(dir + "/" + name, "b\n"))};
        QTest::keyClick(s.zone(Side::Right), key);
        EXPECT_TRUE(s.picks.isEmpty()) << name.toStdString();
        EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Right), "zoneName")->text(), name);
        s.settle();
    }
}

TEST(FileCompareView, ADropUsesItsFirstFileOnlyAndReplacesThatSide) {
    Screen s;
    const QString dir = testsupport::freshDir("drop");
    const QString a = write(dir + "/a.txt", "a\n"), b = write(dir + "/b.txt", "b\n"),
                  c = write(dir + "/c.txt", "c\n");
    s.compare.setSide(QUrl::fromLocalFile(a), Side::Left);
    drop(s.zone(Side::Right),
         {QUrl::fromLocalFile(b), QUrl::fromLocalFile(c), QUrl::fromLocalFile(a)});
    EXPECT_EQ(s.state.compareRight(), QUrl::fromLocalFile(b));
    EXPECT_EQ(s.state.compareLeft(), QUrl::fromLocalFile(a));
    s.settle();
    drop(s.zone(Side::Right), {});
    drop(s.zone(Side::Right), {QUrl("https://example.org/x.txt")});
    EXPECT_EQ(s.state.compareRight(), QUrl::fromLocalFile(b));

    // The same file on both sides.
    drop(s.zone(Side::Right), {QUrl::fromLocalFile(a)});
    s.settle();
    EXPECT_EQ(s.verdict()->verdict(), FileCompareText::Verdict::Identical);
    EXPECT_TRUE(s.visible(Find::part<QKIconLabel>(s.verdict(), "verdictIdentical")));
    EXPECT_FALSE(s.visible(s.part<CompareExplainButton>("explainChanges")));
}

TEST(FileCompareView, ALineDiffShowsItsCountsRowsAndTheExplanation) {
    Screen s;
    const QString dir = testsupport::freshDir("text");
    s.pair(write(dir + "/a.txt", "keep\nold one\nkeep too\n"),
           write(dir + "/b.txt", "keep\nnew one\nkeep too\nadded\nadded again\n"));
    ASSERT_EQ(s.state.compareSummary(), (DiffSummary{2, 0, 1}));
    EXPECT_EQ(s.view->resultPage(), Page::Text);
    EXPECT_FALSE(s.visible(s.part<QWidget>("extractionBanner")));
    CompareVerdict* verdict = s.verdict();
    EXPECT_EQ(Find::part<QKIconLabel>(verdict, "addedCount")->text(), QStringLiteral("2"));
    EXPECT_EQ(Find::part<QKIconLabel>(verdict, "removedCount")->text(), QStringLiteral("0"));
    EXPECT_EQ(Find::part<QKIconLabel>(verdict, "changedCount")->text(), QStringLiteral("1"));
    EXPECT_TRUE(s.visible(Find::part<QKIconLabel>(verdict, "removedCount"))); // zeros are shown too
    // A figure beside a symbol is heard as what it counts.
    const auto heard = [verdict](const char* name) {
        return QAccessible::queryAccessibleInterface(
                   Find::part<QKIconLabel>(verdict, name)->textLabel())
            ->text(QAccessible::Name);
    };
    EXPECT_EQ(heard("addedCount"), "2 lines added");
    EXPECT_EQ(heard("removedCount"), "0 lines removed");
    EXPECT_EQ(heard("changedCount"), "1 line changed");
    EXPECT_EQ(s.part<QListView>("diffList")->model()->rowCount(), s.state.compareRows().size());
    EXPECT_TRUE(s.part<QListView>("diffList")->uniformItemSizes());

    CompareExplainButton* explain = s.part<CompareExplainButton>("explainChanges");
    ASSERT_TRUE(s.visible(explain));
    EXPECT_EQ(explain->label(), QStringLiteral("Explain changes"));
    s.model.setHeld(true);
    s.model.scriptAnswer(QStringLiteral("Clause one was reworded and two lines were added."));
    // Pressed from the keyboard: while the button is off the focus waits on the screen, not on
    // the next control, and comes back to the button once the explanation is in.
    s.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.view.get()));
    explain->setFocus(Qt::TabFocusReason);
    QTest::keyClick(explain, Qt::Key_Space);
    EXPECT_EQ(explain->label(), QStringLiteral("Reading…"));
    EXPECT_FALSE(explain->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), s.view.get());
    EXPECT_TRUE(s.visible(Find::part<QKIconLabel>(verdict, "changedCount")));
    s.model.release();
    ASSERT_TRUE(
        testsupport::waitFor([&] { return s.visible(s.part<QKCardSurface>("explanationBox")); }));
    EXPECT_EQ(s.part<QLabel>("explanationText")->text(),
              QStringLiteral("Clause one was reworded and two lines were added."));
    EXPECT_TRUE(explain->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), explain);

    // Without a model the note appears and the comparison stays.
    s.model.available = false;
    QTest::mouseClick(explain, Qt::LeftButton);
    EXPECT_TRUE(s.visible(s.part<QKIconLabel>("unavailableNote")));
    EXPECT_EQ(s.view->resultPage(), Page::Text);

    // Coming back to the section shows the same comparison.
    s.view = std::make_unique<FileCompareView>(s.state, s.compare);
    s.view->show();
    EXPECT_EQ(s.view->resultPage(), Page::Text);
    EXPECT_EQ(s.part<QListView>("diffList")->model()->rowCount(), s.state.compareRows().size());
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Left), "zoneName")->text(),
              QStringLiteral("a.txt"));
}

TEST(FileCompareView, AFirstRunShowsTheRowsKnownAheadAndKeepsThePlaceInThem) {
    Screen s;
    const QString dir = testsupport::freshDir("ahead");
    // The files differ from their first line on.
    QByteArray left = "x\n" + numbered(1000) + "\n", right = numbered(1000) + "\n";
    for (int k = 0; k < 3000; ++k) {
        left += "old " + QByteArray::number(k) + "\n";
        right += "new " + QByteArray::number(k * 7) + "\n";
    }
    QListView* list = s.part<QListView>("diffList");
    int shownAhead = -1;
    Page pageAhead = Page::Pick;
    // Connected after the view, so it sees what the view made of the rows.
    QObject::connect(&s.compare, &FileCompare::rowsAhead, [&] {
        shownAhead = list->model()->rowCount();
        pageAhead = s.view->resultPage();
        list->setCurrentIndex(list->model()->index(120, 0));
        list->scrollTo(list->model()->index(100, 0), QAbstractItemView::PositionAtTop);
    });
    s.pair(write(dir + "/a.txt", left), write(dir + "/b.txt", right));
    EXPECT_EQ(shownAhead, FileCompare::aheadRows);
    EXPECT_EQ(pageAhead, Page::Text);
    EXPECT_EQ(list->model()->rowCount(), s.state.compareRows().size());
    EXPECT_EQ(list->currentIndex().row(), 120);
    // The result's panels resize the list, which lays its rows out again, in batches.
    EXPECT_TRUE(testsupport::waitFor([&] { return list->indexAt(QPoint(0, 0)).isValid(); }, 5000));
    EXPECT_EQ(list->indexAt(QPoint(0, 0)).row(), 100);

    // The next pair shows none of the last pair's rows before its own.
    s.compare.setSide(QUrl::fromLocalFile(write(dir + "/c.txt", "y\n" + left)), Side::Left);
    EXPECT_EQ(list->model()->rowCount(), 0);
    s.settle();
    EXPECT_EQ(s.view->resultPage(), Page::Text);
    EXPECT_EQ(list->model()->rowCount(), s.state.compareRows().size());
}

TEST(FileCompareView, DocumentsCarryTheExtractionBannerAndErrorsTheirPanel) {
    Screen s;
    const QString fx = testsupport::fixture("developer/");
    s.pair(fx + "terms-plain.docx", fx + "terms-styled.docx");
    EXPECT_TRUE(s.visible(s.part<QWidget>("extractionBanner")));
    EXPECT_EQ(s.verdict()->verdict(), FileCompareText::Verdict::Identical);

    const QString dir = testsupport::freshDir("err");
    s.pair(write(dir + "/a.txt", "a\n"), write(dir + "/bad.txt", QByteArray(9000, 'b') + "\xff"));
    EXPECT_EQ(s.view->resultPage(), Page::Error);
    EXPECT_EQ(s.part<QKEmptyState>("compareError")->title(), QStringLiteral("Couldn't compare"));
    EXPECT_EQ(s.part<QKEmptyState>("compareError")->message(),
              QStringLiteral("One of the files couldn't be read as text."));
    EXPECT_EQ(Find::part<QKLineLabel>(s.zone(Side::Right), "zoneName")->text(),
              QStringLiteral("bad.txt"));
}

TEST(FileCompareView, TabReachesTheDiffAndTheKeysWalkItsRows) {
    Screen s;
    const QString dir = testsupport::freshDir("keys");
    QByteArray left, right;
    for (int i = 0; i < 300; ++i) {
        left += "line " + QByteArray::number(i) + "\n";
        right += (i % 7 ? "line " : "other ") + QByteArray::number(i) + "\n";
    }
    s.pair(write(dir + "/a.txt", left), write(dir + "/b.txt", right));
    ASSERT_EQ(s.view->resultPage(), Page::Text);
    QListView* list = s.part<QListView>("diffList");
    const QImage untouched = list->grab().toImage();
    s.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.view.get()));

    s.zone(Side::Right)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 10 && QApplication::focusWidget() != list; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), list) << "Tab never reached the diff";
    ASSERT_TRUE(s.view->window()->testAttribute(Qt::WA_KeyboardFocusChange));
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_NE(list->grab().toImage(), untouched) << "keyboard focus does not show";

    const auto press = [&](Qt::Key key) {
        QTest::keyClick(list, key);
        return list->currentIndex().row();
    };
    const int rows = list->model()->rowCount();
    EXPECT_EQ(press(Qt::Key_Down), 1);
    EXPECT_GT(press(Qt::Key_PageDown), 5);
    EXPECT_EQ(press(Qt::Key_End), rows - 1);
    EXPECT_TRUE(list->viewport()->rect().intersects(list->visualRect(list->currentIndex())));
    const int beforeUp = list->currentIndex().row();
    const int afterPageUp = press(Qt::Key_PageUp);
    EXPECT_LT(afterPageUp, beforeUp - 5);
    EXPECT_EQ(press(Qt::Key_Up), afterPageUp - 1);
    EXPECT_EQ(press(Qt::Key_Home), 0);
    EXPECT_TRUE(list->selectionModel()->selectedIndexes().isEmpty()) << "the diff selects nothing";

    // The current row is the focused cell of the table a screen reader reads.
    QTest::keyClick(list, Qt::Key_Down);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_TRUE(table->tableInterface()->cellAt(1, 0)->state().focused);
    EXPECT_FALSE(table->tableInterface()->cellAt(0, 0)->state().focused);

    // Without the focus nothing is marked: the list looks as it did before the keys.
    list->clearFocus();
    QApplication::processEvents();
    EXPECT_FALSE(table->tableInterface()->cellAt(1, 0)->state().focused);
    list->scrollToTop();
    EXPECT_EQ(list->grab().toImage(), untouched);
}
