#pragma once

#include <QBasicTimer>
#include <QListView>
#include <QPointer>
#include <utility>

class QKStampDelegate;
class QScrollArea;
class QScrollBar;

// The list view of a long list whose rows are drawn by a delegate (QKStampDelegate): no frame,
// the background of what it lies on, one column of rows as tall as the delegate says, nothing
// painted for selection (the delegate shows what it needs), and the keyboard: Up and Down move the
// current row, Left and Right choose among its buttons when it has several, Space and Return ask
// the delegate for the row's key action. It holds no widget per
// row, so a list of thousands costs what the rows on screen cost.
//
// Fitted, the list has no scroll bar of its own and is always as tall as all its rows laid out
// at its width, for a list that lies in a scrolling page (which it scrolls to keep the current row
// in view); Scrolls, it scrolls inside the height it is given. Either way the rows are laid out
// again when the width changes (their heights follow it) and when the model changes; a hidden
// list waits until it is shown.
//
// A fitted list lays its rows out a batch per turn of the event loop: the first batch (kFirstRows,
// more than a screen shows of rows a few lines tall) before the list first paints, the rest after,
// the list growing as they come, so a list of hundreds of tall rows opens and answers a search
// keystroke in the time its first rows take. Each batch holds as many rows as the last ones took
// to measure fit in kBatchMs (from kMinRows to kBatchRows), so however costly its rows, no batch
// holds the event loop much longer than that. A row not yet laid out has no rectangle.
//
// A fitted list told to estimate out of sight (setEstimatesOutOfSight) measures, as it lays out,
// only the rows the user can see (those under the part of its page on screen, or of its window);
// every other row of a QKStampDelegate with a size key takes an estimated height (see
// QKStampDelegate), so all rows have a rectangle at once and opening costs the rows in sight. The
// rest are then measured exactly a slice of kSliceMs at a time, those in sight first, the list
// laid out again once they all are (or after a slice that measured rows in or above the sight),
// and rows that scroll into sight are measured before they
// show. The heights of rows above the sight may change as they are measured, so the rows in
// sight can move once while the first slices come in. A list whose page is about to give it
// another width (the page has not laid out what it holds at the width of its viewport yet, or
// shows no scroll bar though the list's rows, all as high as the first, reach below it) lays its
// rows out on estimates alone and measures the rows in sight once, at the width it then takes
// (before the page paints; in a turn of the event loop if the width never changes).
//
// A change of rows that the model names by its roles (an age, a count) and that leaves every
// changed row as high as it lies repaints only those rows: QListView would lay every row out again
// and repaint all it shows. A change without roles, or of a row whose height moves, still does.
class QKRowList : public QListView {
    Q_OBJECT
public:
    enum class Height { Scrolls, Fitted };
    static constexpr int kBatchRows = 48;
    static constexpr int kFirstRows = 24;
    static constexpr int kMinRows = 2;
    static constexpr int kBatchMs = 20;
    // How long one slice of measuring out of sight holds the event loop, at most (and one row).
    static constexpr int kSliceMs = 10;
    static constexpr int kFrameMs = 16;

    explicit QKRowList(Height height, QWidget* parent = nullptr);

    // The height of all rows as last laid out.
    int contentHeight() const;
    // Whether the key acts on a list's current row: Space, Select, Return or Enter, with no
    // modifier but the keypad's. Every list of the app that acts on its current row takes these.
    static bool isActivationKey(const QKeyEvent* event);
    void doItemsLayout() override;
    void setEstimatesOutOfSight(bool on);
    // Whether every row has its own height (not an estimate).
    bool allRowsMeasured() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void updateGeometries() override;
    void timerEvent(QTimerEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void moveEvent(QMoveEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    void fit();
    // How many rows the delegate has measured so far.
    int rowsMeasured() const;
    // Sizes the next batch from how long the rows measured since `rowsBefore` took.
    void learnBatch(qint64 nsecs, int rowsBefore);
    QKStampDelegate* stamps() const;
    // The part of the list the user can see, in its own coordinates: top and bottom.
    std::pair<int, int> sight() const;
    // Measures the rows in sight not measured yet; true when there were any.
    bool measureInSight();
    // One slice of measuring: the rows in sight, then the rest top to bottom, for kBatchMs.
    void measureSlice();
    // Follows the scrolling of the page the list lies in, so rows coming into sight are measured.
    void followPage();
    // The scrolling page the list lies in (a QScrollArea whose widget holds it), or null.
    QScrollArea* page() const;
    // Whether the page is about to give the list another width (see the class comment).
    bool pageWidthComing() const;

    Height m_height;
    bool m_fitting = false;
    bool m_estimates = false;
    // The rows were laid out on estimates alone, until the page gives the list its width.
    bool m_awaitingWidth = false;
    QBasicTimer m_slices;
    // The first slice is due a frame after the viewport has painted the rows laid out.
    bool m_slicesAfterPaint = false;
    int m_cursor = 0; // the next row a slice looks at
    QPointer<QScrollBar> m_pageBar;
};
