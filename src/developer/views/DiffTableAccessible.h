#pragma once

#include <memory>
#include <optional>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class DiffListView;
class QListView;
struct DiffRow;

// A DiffListView as assistive technology sees it: a table with one row per diff row and the
// columns of FileCompareText::diffColumnTitle. Nothing is made per row up front: a cell's
// interface is created the first time it is asked for (child, cellAt), kept so that its id
// stays the same while the rows do, and dropped when the rows change (a model reset, rows
// inserted or removed). A cell reads its row from the model whenever it is asked, so a cell is
// never stale, only invalid once its row is gone.
//
// The diff list is read-only and selects nothing, so every selection query answers "none"; the
// change cell of the current row is the focused cell while the list has the focus.
class DiffTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit DiffTableAccessible(DiffListView* view);
    ~DiffTableAccessible() override;

    // Makes QAccessible::queryAccessibleInterface answer this for every DiffListView. Idempotent.
    static void installFactory();

    // Deletes the cell interfaces made so far; the next ask makes new ones.
    void dropCells();
    // How many cell interfaces exist right now (what a read has created; tests).
    int cellsMade() const { return int(m_cells.size()); }

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // The row at this index, or nullopt past the end or without a diff model. For the cells.
    std::optional<DiffRow> rowAt(int row) const;
    QListView* listView() const;

private:
    // Cell interfaces by child index (row × columns + column), as registered ids.
    mutable QHash<int, QAccessible::Id> m_cells;
    // The context of the connections to the model; it goes with this interface.
    std::unique_ptr<QObject> m_watch;
};
