#include "ui-kit/QKRowListAccessible.h"

#include "ui-kit/QKAccessibleParts.h"
#include "ui-kit/QKRowActions.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QListView>

namespace QKAccessibleParts {

namespace {

// --- QKRowList and marked list views: rows drawn by a delegate

// One row, by its number: its name and description from the model, its tick or pin as a check
// state, and the buttons its delegate draws as actions named as the buttons are.
class RowAccessible : public PartAccessible<QListView> {
public:
    RowAccessible(QListView* list, int row) : PartAccessible(list), m_row(row) {}

    bool isValid() const override {
        return m_owner && m_owner->model() &&
               m_row < m_owner->model()->rowCount(m_owner->rootIndex());
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return QString();
        switch (t) {
        case QAccessible::Name: {
            const QString name = index().data(Qt::AccessibleTextRole).toString();
            return name.isEmpty() ? index().data(Qt::DisplayRole).toString() : name;
        }
        case QAccessible::Description:
            return index().data(Qt::AccessibleDescriptionRole).toString();
        default:
            return QString();
        }
    }

    QRect rect() const override {
        if (!isValid())
            return QRect();
        const QRect local = m_owner->visualRect(index());
        return QRect(m_owner->viewport()->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const QModelIndex i = index();
        s.invisible = !m_owner->isVisible();
        s.disabled = !m_owner->isEnabled();
        s.focusable = m_owner->focusPolicy() != Qt::NoFocus;
        s.focused = m_owner->hasFocus() && m_owner->currentIndex() == i;
        s.selectable = m_owner->selectionMode() != QAbstractItemView::NoSelection;
        s.selected = m_owner->selectionModel() && m_owner->selectionModel()->isSelected(i);
        const QVariant check = i.data(Qt::CheckStateRole);
        if (check.isValid()) {
            s.checkable = true;
            s.checked = check.toInt() == Qt::Checked;
        }
        return s;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (QKRowActions* d = delegate(); d && m_owner->isEnabled()) {
            for (const auto& [button, spoken] : d->rowActions(index()))
                names << spoken;
        }
        return names;
    }
    void doAction(const QString& name) override {
        QKRowActions* d = delegate();
        if (!d || !m_owner->isEnabled())
            return;
        const QModelIndex i = index();
        for (const auto& [button, spoken] : d->rowActions(i)) {
            if (spoken == name) {
                d->triggerAction(i, button);
                return;
            }
        }
    }

private:
    QModelIndex index() const { return m_owner->model()->index(m_row, 0, m_owner->rootIndex()); }
    QKRowActions* delegate() const {
        return isValid() ? dynamic_cast<QKRowActions*>(m_owner->itemDelegate()) : nullptr;
    }

    int m_row;
};

// The list: one child per row of its model, made when first asked for and kept by row number.
class RowListAccessible : public QAccessibleWidget {
public:
    explicit RowListAccessible(QListView* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~RowListAccessible() override {
        for (QAccessible::Id id : std::as_const(m_rows))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        const QListView* l = list();
        return l->model() ? l->model()->rowCount(l->rootIndex()) : 0;
    }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto it = m_rows.constFind(index);
        if (it == m_rows.cend())
            it = m_rows.insert(
                index, QAccessible::registerAccessibleInterface(new RowAccessible(list(), index)));
        return QAccessible::accessibleInterface(it.value());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QListView* l = list();
        const QModelIndex i = l->indexAt(l->viewport()->mapFromGlobal(QPoint(x, y)));
        return i.isValid() ? child(i.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QListView* l = list();
        return l->hasFocus() && l->currentIndex().isValid() ? child(l->currentIndex().row())
                                                            : nullptr;
    }

private:
    QListView* list() const { return static_cast<QListView*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_rows;
};

} // namespace

QAccessibleInterface* rowListAccessible(QListView* list) {
    return new RowListAccessible(list);
}

bool isRowListAccessible(const QAccessibleInterface* made) {
    return dynamic_cast<const RowListAccessible*>(made) != nullptr;
}

} // namespace QKAccessibleParts
