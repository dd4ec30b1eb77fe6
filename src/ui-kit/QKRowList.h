#pragma once

#include <QListView>

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
class QKRowList : public QListView {
    Q_OBJECT
public:
    enum class Height { Scrolls, Fitted };
    static constexpr int kBatchRows = 48;
    static constexpr int kFirstRows = 24;
    static constexpr int kMinRows = 2;
    static constexpr int kBatchMs = 20;

    explicit QKRowList(Height height, QWidget* parent = nullptr);

    // The height of all rows as last laid out.
    int contentHeight() const;
    // Whether the key acts on a list's current row: Space, Select, Return or Enter, with no
    // modifier but the keypad's. Every list of the app that acts on its current row takes these.
    static bool isActivationKey(const QKeyEvent* event);
    void doItemsLayout() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void updateGeometries() override;
    void timerEvent(QTimerEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void fit();
    // How many rows the delegate has measured so far.
    int rowsMeasured() const;
    // Sizes the next batch from how long the rows measured since `rowsBefore` took.
    void learnBatch(qint64 nsecs, int rowsBefore);

    Height m_height;
    bool m_fitting = false;
};
