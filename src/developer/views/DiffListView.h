#pragma once

#include <QListView>

// The list of a line diff's rows (a DiffRowModel drawn by DiffRowDelegate). To assistive
// technology it is a table of DiffTableAccessible rather than Qt's list of items, so that a
// diff of tens of thousands of rows costs nothing until a row is read, and a row reads as its
// change and both lines with their numbers.
//
// It selects nothing, but the keys walk it: the arrows, Page Up, Page Down, Home and End move
// the current row, which the delegate marks while the focus came by keyboard. The list then
// also wears the focus ring around what it shows and its scroll bar, in a band of its own that
// the rows never reach; a click never rings it.
class DiffListView : public QListView {
    Q_OBJECT
public:
    explicit DiffListView(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
