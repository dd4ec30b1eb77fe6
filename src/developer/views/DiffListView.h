#pragma once

#include <QListView>

// The list of a line diff's rows (a DiffRowModel drawn by DiffRowDelegate). To assistive
// technology it is a table of DiffTableAccessible rather than Qt's list of items, so that a
// diff of tens of thousands of rows costs nothing until a row is read, and a row reads as its
// change and both lines with their numbers.
class DiffListView : public QListView {
    Q_OBJECT
public:
    explicit DiffListView(QWidget* parent = nullptr);
};
