#include "developer/views/DiffTableAccessible.h"

#include "developer/DiffRowModel.h"
#include "developer/FileCompareText.h"
#include "developer/views/DiffListView.h"

#include <QAbstractItemModel>
#include <QListView>

namespace {

// One cell of the table: a row and a column, read from the model each time it is asked.
class DiffCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    DiffCellAccessible(DiffTableAccessible* table, int row, int column)
        : m_table(table), m_row(row), m_column(column) {}

    bool isValid() const override { return m_table->rowAt(m_row).has_value(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return m_table; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return {};
        const std::optional<DiffRow> row = m_table->rowAt(m_row);
        return row ? FileCompareText::diffCellText(*row, m_column) : QString();
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        const QRect r = localRect();
        const QListView* view = m_table->listView();
        // The change cell stands for its row, so it is the one the keys' current row focuses.
        if (view && m_column == 0) {
            s.focusable = true;
            s.focused = view->hasFocus() && view->currentIndex().row() == m_row;
        }
        if (!view || r.isEmpty() || !view->viewport()->rect().intersects(r)) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }

    QRect rect() const override {
        const QListView* view = m_table->listView();
        const QRect r = localRect();
        if (!view || r.isEmpty())
            return {};
        return QRect(view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return m_table; }

private:
    // Where the cell is drawn in the viewport: the change column is the whole row (its colour),
    // the first file the left half, the second the right half.
    QRect localRect() const {
        const QListView* view = m_table->listView();
        if (!view || !view->model())
            return {};
        const QRect r = view->visualRect(view->model()->index(m_row, 0));
        if (r.isEmpty() || m_column == 0)
            return r;
        const int half = (r.width() - 1) / 2;
        return m_column == 1
                   ? QRect(r.left(), r.top(), half, r.height())
                   : QRect(r.left() + half + 1, r.top(), r.width() - half - 1, r.height());
    }

    DiffTableAccessible* m_table;
    int m_row;
    int m_column;
};

QAccessibleInterface* diffListFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<DiffListView*>(object))
        return new DiffTableAccessible(view);
    return nullptr;
}

} // namespace

DiffTableAccessible::DiffTableAccessible(DiffListView* view)
    : QAccessibleWidget(view, QAccessible::Table), m_watch(std::make_unique<QObject>()) {
    // Positions are what a cell stands for, so any change of the rows invalidates them all.
    if (QAbstractItemModel* model = view->model()) {
        const auto drop = [this] { dropCells(); };
        QObject::connect(model, &QAbstractItemModel::modelReset, m_watch.get(), drop);
        QObject::connect(model, &QAbstractItemModel::layoutChanged, m_watch.get(), drop);
        QObject::connect(model, &QAbstractItemModel::rowsInserted, m_watch.get(), drop);
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, m_watch.get(), drop);
        QObject::connect(model, &QAbstractItemModel::rowsMoved, m_watch.get(), drop);
    }
}

DiffTableAccessible::~DiffTableAccessible() {
    m_watch.reset();
    dropCells();
}

void DiffTableAccessible::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(diffListFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void DiffTableAccessible::dropCells() {
    const QHash<int, QAccessible::Id> cells = std::exchange(m_cells, {});
    for (QAccessible::Id id : cells)
        QAccessible::deleteAccessibleInterface(id);
}

QListView* DiffTableAccessible::listView() const {
    return qobject_cast<QListView*>(object());
}

std::optional<DiffRow> DiffTableAccessible::rowAt(int row) const {
    const QListView* view = listView();
    const auto* model = view ? qobject_cast<const DiffRowModel*>(view->model()) : nullptr;
    if (!model || row < 0 || row >= model->rowCount())
        return std::nullopt;
    return model->rowAt(row);
}

void* DiffTableAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString DiffTableAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) {
        const QString name = QAccessibleWidget::text(t);
        return name.isEmpty() ? FileCompareText::diffTableName() : name;
    }
    return QAccessibleWidget::text(t);
}

int DiffTableAccessible::rowCount() const {
    const QListView* view = listView();
    return view && view->model() ? view->model()->rowCount() : 0;
}

int DiffTableAccessible::columnCount() const {
    return FileCompareText::diffTableColumns;
}

int DiffTableAccessible::childCount() const {
    return rowCount() * columnCount();
}

QAccessibleInterface* DiffTableAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto it = m_cells.constFind(index); it != m_cells.cend())
        return QAccessible::accessibleInterface(*it);
    auto* cell = new DiffCellAccessible(const_cast<DiffTableAccessible*>(this),
                                        index / columnCount(), index % columnCount());
    m_cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface* DiffTableAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    return child(row * columnCount() + column);
}

int DiffTableAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || child->parent() != this)
        return -1;
    // const_cast: QAccessibleInterface's casts are not const, though they change nothing.
    auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    return cell ? cell->rowIndex() * columnCount() + cell->columnIndex() : -1;
}

QAccessibleInterface* DiffTableAccessible::childAt(int x, int y) const {
    const QListView* view = listView();
    if (!view)
        return nullptr;
    const QPoint at = view->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view->indexAt(at);
    if (!index.isValid())
        return nullptr;
    const QRect r = view->visualRect(index);
    return cellAt(index.row(), at.x() < r.left() + r.width() / 2 ? 1 : 2);
}

QString DiffTableAccessible::columnDescription(int column) const {
    return FileCompareText::diffColumnTitle(column);
}

QString DiffTableAccessible::rowDescription(int row) const {
    const std::optional<DiffRow> r = rowAt(row);
    return r ? FileCompareText::diffKindName(r->kind) : QString();
}

void DiffTableAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    dropCells();
}
