// The long-list pieces of the kit: a list of rows drawn by one stamp widget.
#include "platform/BatchedListModel.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKStampDelegate.h"

#include <functional>
#include <gtest/gtest.h>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class Lines : public BatchedListModel<QString> {
public:
    using BatchedListModel<QString>::BatchedListModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        return rowAt(index.row());
    }
};

// A wrapped text and a "go" button, off for rows whose text starts with "off".
class LineDelegate : public QKStampDelegate {
public:
    explicit LineDelegate(QAbstractItemView* view) : QKStampDelegate(view) {
        m_stamp = new QWidget(view);
        auto* row = new QHBoxLayout(m_stamp);
        row->setContentsMargins(0, 4, 0, 4);
        m_text = new QLabel(m_stamp);
        m_text->setWordWrap(true);
        row->addWidget(m_text, 1);
        m_go = new QPushButton(QStringLiteral("Go"), m_stamp);
        m_go->setObjectName(QStringLiteral("goButton"));
        m_go->setCursor(Qt::PointingHandCursor);
        row->addWidget(m_go, 0, Qt::AlignTop);
        prepareStamp(m_stamp);
    }
    QString keyAction(const QModelIndex&) const override { return QStringLiteral("goButton"); }

    mutable int setUps = 0;
    // How long each set-up takes: a row as costly to measure as a long shaped text.
    int slowMs = 0;

protected:
    QWidget* stampFor(const QModelIndex& index) const override {
        ++setUps;
        if (slowMs > 0)
            QThread::msleep(ulong(slowMs));
        const QString text = index.data().toString();
        m_text->setText(text);
        m_go->setEnabled(!text.startsWith(QStringLiteral("off")));
        return m_stamp;
    }
    QString sizeKey(const QModelIndex& index) const override {
        ++keysAsked;
        return index.data().toString();
    }

public:
    // How often a row's height was looked up: a layout of the list asks once for every row.
    mutable int keysAsked = 0;

private:
    QWidget* m_stamp;
    QLabel* m_text;
    QPushButton* m_go;
};

// A fitted list in a scrolling page, with a line under it.
struct Page {
    Page() {
        scroll.setWidgetResizable(true);
        auto* content = new QWidget(&scroll);
        auto* column = new QVBoxLayout(content);
        list = new QKRowList(QKRowList::Height::Fitted, content);
        delegate = new LineDelegate(list);
        list->setItemDelegate(delegate);
        list->setModel(&model);
        column->addWidget(list);
        column->addWidget(new QLabel(QStringLiteral("below"), content));
        column->addStretch(1);
        scroll.setWidget(content);
        scroll.resize(400, 300);
    }
    QModelIndex at(int row) const { return model.index(row); }
    int heightsSum() const {
        int sum = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            sum += list->visualRect(at(row)).height();
        return sum;
    }

    Lines model;
    QScrollArea scroll;
    QKRowList* list;
    LineDelegate* delegate;
};

// Calls `seen` as a widget is about to paint.
class OnPaint : public QObject {
public:
    OnPaint(QWidget* widget, std::function<void()> seen) : m_seen(std::move(seen)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            m_seen();
        return false;
    }

private:
    std::function<void()> m_seen;
};

// Lets the list lay its rows out and the page take the list's new height.
void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Turns the event loop until the fitted list has laid out every row at its height: its batches
// are as many rows as fit in their time, so on a busy machine they take more turns.
void settleRows(const Page& p) {
    settle();
    for (int turn = 0; turn < 2000; ++turn) {
        const int last = p.model.rowCount() - 1;
        if (last < 0 || (p.list->visualRect(p.at(last)).bottom() + 1 == p.list->height() &&
                         p.list->height() == p.heightsSum()))
            return;
        QCoreApplication::processEvents();
    }
}

QString longLine(int n) {
    return QStringLiteral("row %1 ").arg(n) + QString(QStringLiteral("words ")).repeated(12);
}

} // namespace

// The fitted list is as tall as its rows, follows a narrower width with taller rows, and measures
// a row once per width and text; a hidden list measures nothing.
TEST(RowList, AFittedListIsAsTallAsItsRowsAtItsWidth) {
    Page p;
    QStringList rows;
    for (int i = 0; i < 50; ++i)
        rows << longLine(i);
    p.model.reset(rows);
    settle();
    EXPECT_EQ(p.delegate->setUps, 0) << "nothing is measured before the list is shown";

    p.scroll.show();
    settleRows(p);
    const int wide = p.list->height();
    EXPECT_GT(wide, 50 * 20);
    EXPECT_EQ(wide, p.heightsSum());
    EXPECT_EQ(p.list->visualRect(p.at(49)).bottom() + 1, wide);

    p.scroll.resize(200, 300);
    settleRows(p);
    EXPECT_GT(p.list->height(), wide) << "narrower rows wrap onto more lines";
    EXPECT_EQ(p.list->height(), p.heightsSum());

    const int before = p.delegate->setUps;
    p.model.reset(rows.mid(10)); // a new search, say: rows already measured at this width
    settleRows(p);
    EXPECT_EQ(p.list->height(), p.heightsSum());
    EXPECT_LT(p.delegate->setUps - before, 20) << "only the rows painted set the stamp up";
}

// A fitted list of hundreds of rows measures a batch of them before it first paints, more than a
// screen shows, and the rest a batch per turn of the event loop after it, growing as they come:
// opening it costs what its first rows cost, however many follow.
TEST(RowList, AFittedListMeasuresOneBatchBeforeItFirstPaints) {
    constexpr int kRows = 400;
    Page p;
    QStringList rows;
    for (int i = 0; i < kRows; ++i)
        rows << longLine(i);
    p.model.reset(rows);
    int setUpsAtFirstPaint = -1;
    int heightAtFirstPaint = -1;
    OnPaint probe(p.list->viewport(), [&] {
        if (setUpsAtFirstPaint < 0) {
            setUpsAtFirstPaint = p.delegate->setUps;
            heightAtFirstPaint = p.list->height();
        }
    });
    p.scroll.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return setUpsAtFirstPaint >= 0; }));
    EXPECT_GT(heightAtFirstPaint, p.scroll.viewport()->height()) << "a screen of rows and more";
    // Each row measured once, and those painted set up once more.
    EXPECT_LE(setUpsAtFirstPaint, 2 * QKRowList::kBatchRows);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !p.list->visualRect(p.at(kRows - 1)).isEmpty(); }));
    settle();
    EXPECT_EQ(p.list->height(), p.heightsSum()) << "the list took every batch in";
    EXPECT_EQ(p.list->visualRect(p.at(kRows - 1)).bottom() + 1, p.list->height());
}

// However costly its rows, a fitted list holds the event loop about a batch's time at a turn: the
// batches shrink to the rows that fit in it, and every row still comes.
TEST(RowList, CostlyRowsComeInBatchesOfTheirTime) {
    constexpr int kRows = 120;
    constexpr int kRowMs = 5;
    Page p;
    p.delegate->slowMs = kRowMs;
    QStringList rows;
    for (int i = 0; i < kRows; ++i)
        rows << longLine(i);
    p.model.reset(rows);
    // A timer due at every turn of the loop notes how many rows were measured in between.
    int most = 0;
    int seen = 0;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        most = std::max(most, p.delegate->rowsMeasured() - seen);
        seen = p.delegate->rowsMeasured();
    });
    turns.start(0);
    p.scroll.show();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !p.list->visualRect(p.at(kRows - 1)).isEmpty(); }, 20'000));
    turns.stop();
    EXPECT_LT(most, QKRowList::kBatchRows) << "the batches shrink to the rows' cost";
    settle();
    EXPECT_EQ(p.list->height(), p.heightsSum());
}

// Told to estimate out of sight, a fitted list measures only the rows its page shows before it
// first paints, yet every row has a place; the rest follow in slices of kSliceMs, rows that
// scroll into sight are measured before they are painted, and in the end every height is exact.
TEST(RowList, RowsOutOfSightAreEstimatedUntilTheyComeIntoSight) {
    constexpr int kRows = 400;
    constexpr int kRowMs = 2;
    Page p;
    p.list->setEstimatesOutOfSight(true);
    QStringList rows;
    for (int i = 0; i < kRows; ++i)
        rows << (i % 3 ? longLine(i) : QStringLiteral("short %1").arg(i));
    p.model.reset(rows);
    int measuredAtFirstPaint = -1;
    bool lastPlacedAtFirstPaint = false;
    OnPaint probe(p.list->viewport(), [&] {
        if (measuredAtFirstPaint < 0) {
            measuredAtFirstPaint = p.delegate->rowsMeasured();
            lastPlacedAtFirstPaint = !p.list->visualRect(p.at(kRows - 1)).isEmpty();
        }
    });
    p.delegate->slowMs = kRowMs;
    p.scroll.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return measuredAtFirstPaint >= 0; }));
    // 300 points of page show a dozen rows at most, measured once at each width the page tried.
    EXPECT_LE(measuredAtFirstPaint, 30);
    EXPECT_TRUE(lastPlacedAtFirstPaint) << "every row has an estimated place";
    EXPECT_GT(p.list->height(), 10 * p.scroll.viewport()->height());

    // Scrolled at once towards the end, the rows now in sight are measured before they paint (the
    // end itself moves as the slices measure the rows above it).
    bool allInSightMeasured = true;
    bool bottomSeen = false;
    OnPaint atEnd(p.list->viewport(), [&] {
        const QRect seen = p.list->viewport()->visibleRegion().boundingRect();
        if (seen.isEmpty() || seen.top() < p.list->height() / 2)
            return;
        bottomSeen = true;
        for (int row = 0; row < kRows; ++row)
            if (p.list->visualRect(p.at(row)).intersects(seen))
                allInSightMeasured = allInSightMeasured && p.delegate->isMeasured(p.at(row));
    });
    QScrollBar* page = p.scroll.verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->maximum() > 0; }));
    page->setValue(page->maximum());
    ASSERT_TRUE(QTest::qWaitFor([&] { return bottomSeen; }));
    EXPECT_TRUE(allInSightMeasured);

    // The slices hold the loop about kSliceMs each: a timer due at every turn counts the rows.
    int most = 0;
    int seen = p.delegate->rowsMeasured();
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        most = std::max(most, p.delegate->rowsMeasured() - seen);
        seen = p.delegate->rowsMeasured();
    });
    turns.start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.list->allRowsMeasured(); }, 30'000));
    turns.stop();
    EXPECT_LE(most, QKRowList::kSliceMs / kRowMs + 12) << "a slice, and the rows in sight";
    settleRows(p);
    EXPECT_EQ(p.list->height(), p.heightsSum()) << "the list is as tall as its measured rows";
    EXPECT_EQ(p.list->visualRect(p.at(kRows - 1)).bottom() + 1, p.list->height());
}

// A change the model names by its roles and that keeps a row's height repaints that row and lays
// none out; one without roles, or that makes a row taller, lays the list out to follow it.
TEST(RowList, AChangeThatKeepsHeightsLaysNoRowOut) {
    constexpr int kRows = 50;
    Page p;
    QStringList rows;
    for (int i = 0; i < kRows; ++i)
        rows << longLine(i);
    p.model.reset(rows);
    p.scroll.show();
    settleRows(p);
    const int height = p.list->height();

    int asked = p.delegate->keysAsked;
    emit p.model.dataChanged(p.at(3), p.at(5), {Qt::UserRole});
    settle();
    EXPECT_LT(p.delegate->keysAsked - asked, kRows / 2) << "the rows checked and painted, no more";

    asked = p.delegate->keysAsked;
    emit p.model.dataChanged(p.at(3), p.at(3));
    settle();
    EXPECT_GE(p.delegate->keysAsked - asked, kRows) << "without roles, every row is laid out";

    p.model.replace(4, longLine(4).repeated(4));
    emit p.model.dataChanged(p.at(4), p.at(4), {Qt::DisplayRole});
    settleRows(p);
    EXPECT_GT(p.list->height(), height) << "a row that grows moves the rows below it";
    EXPECT_EQ(p.list->height(), p.heightsSum());
}

// Clicks on a row's button report it; clicks beside it or on a button that is off do not. The
// keyboard moves the current row and presses its button; the page follows the current row.
TEST(RowList, TheStampsButtonsActByMouseAndKeyboard) {
    Page p;
    QStringList rows;
    for (int i = 0; i < 30; ++i)
        rows << (i == 1 ? QStringLiteral("off: cannot go") : longLine(i));
    p.model.reset(rows);
    p.scroll.show();
    settle();
    QSignalSpy actions(p.delegate, &QKStampDelegate::actionTriggered);

    const QRect go = p.delegate->actionRect(p.at(2), QStringLiteral("goButton"));
    ASSERT_FALSE(go.isEmpty());
    EXPECT_TRUE(p.list->visualRect(p.at(2)).contains(go));
    QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {}, go.center());
    ASSERT_EQ(actions.count(), 1);
    EXPECT_EQ(actions.first().at(0).toModelIndex().row(), 2);
    EXPECT_EQ(actions.first().at(1).toString(), "goButton");

    QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {},
                      p.list->visualRect(p.at(2)).topLeft() + QPoint(5, 5));
    const QRect off = p.delegate->actionRect(p.at(1), QStringLiteral("goButton"));
    QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {}, off.center());
    EXPECT_EQ(actions.count(), 1);
    // A press on one row's button released on another's is no click.
    QTest::mousePress(p.list->viewport(), Qt::LeftButton, {}, go.center());
    QTest::mouseRelease(p.list->viewport(), Qt::LeftButton, {},
                        p.delegate->actionRect(p.at(3), QStringLiteral("goButton")).center());
    EXPECT_EQ(actions.count(), 1);

    // The pointer over a button shows the button's cursor, as a row of widgets would.
    QTest::mouseMove(p.list->viewport(), go.center());
    EXPECT_EQ(p.list->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(p.list->viewport(), p.list->visualRect(p.at(2)).topLeft() + QPoint(5, 5));
    EXPECT_EQ(p.list->viewport()->cursor().shape(), Qt::ArrowCursor);

    p.list->setFocus();
    p.list->setCurrentIndex(p.at(0));
    QTest::keyClick(p.list, Qt::Key_Down);
    QTest::keyClick(p.list, Qt::Key_Space); // row 1: its button is off
    EXPECT_EQ(actions.count(), 1);
    QTest::keyClick(p.list, Qt::Key_Down);
    QTest::keyClick(p.list, Qt::Key_Return);
    ASSERT_EQ(actions.count(), 2);
    EXPECT_EQ(actions.last().at(0).toModelIndex().row(), 2);

    QTest::keyClick(p.list, Qt::Key_End);
    EXPECT_EQ(p.list->currentIndex().row(), 29);
    EXPECT_GT(p.scroll.verticalScrollBar()->value(), 0) << "the page scrolls to the last row";
}

// A list torn down while its window stays open and the pointer rests on a row's button (its
// screen left, say): its viewport still gets events while the list is half gone, and nothing may
// reach the list through its delegate then. The window and the pointer outlive the list.
TEST(RowList, AListUnderThePointerGoesAwayCleanly) {
    Lines model;
    model.reset({longLine(0), longLine(1)});
    QWidget window;
    window.resize(400, 300);
    auto* panel = new QWidget(&window);
    panel->resize(400, 300);
    auto* list = new QKRowList(QKRowList::Height::Scrolls, panel);
    list->resize(400, 300);
    auto* delegate = new LineDelegate(list);
    list->setItemDelegate(delegate);
    list->setModel(&model);
    window.show();
    settle();
    const QRect go = delegate->actionRect(model.index(0), QStringLiteral("goButton"));
    ASSERT_FALSE(go.isEmpty());
    QTest::mouseMove(list->viewport(), go.center());
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, go.center());
    ASSERT_TRUE(list->viewport()->underMouse());

    delete panel;
    settle();
    EXPECT_TRUE(window.isVisible());
}

// The current row wears the ring, at 3:1 all round, once the focus comes by keyboard; a click
// that focuses the list marks nothing.
TEST(RowList, TheCurrentRowIsRingedOnlyWhenTheKeyboardBroughtTheFocus) {
    Page page;
    page.model.reset({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    page.scroll.show();
    page.scroll.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page.scroll));
    settle();
    page.list->setCurrentIndex(page.at(1));
    const QImage plain = page.list->grab().toImage();

    page.list->setFocus(Qt::MouseFocusReason);
    settle();
    EXPECT_EQ(page.list->grab().toImage(), plain);

    page.list->clearFocus();
    page.scroll.setAttribute(Qt::WA_KeyboardFocusChange);
    page.list->setFocus(Qt::TabFocusReason);
    settle();
    const QRect row = page.list->visualRect(page.at(1));
    // Two pixels deep along all four sides, less what the corners round off.
    EXPECT_GE(testsupport::pixelsAtContrast(plain, page.list->grab().toImage(), 3.0),
              3 * (row.width() + row.height()));
}
