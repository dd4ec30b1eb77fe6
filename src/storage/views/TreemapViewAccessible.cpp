#include "storage/views/TreemapViewAccessible.h"

#include "storage/DiskMapText.h"
#include "storage/views/TreemapView.h"
#include "ui-kit/QKAccessibleParts.h"

namespace {

// One tile, by its node's id: found again in the view's tiles whenever it is asked, so it is
// never stale, only invalid once the tile is gone.
class TileAccessible : public QKAccessibleParts::PartAccessible<TreemapView> {
public:
    TileAccessible(TreemapView* view, const QString& id) : PartAccessible(view), m_id(id) {}

    QString id() const { return m_id; }
    int index() const {
        if (!m_owner)
            return -1;
        const QList<TreemapTile>& tiles = m_owner->tiles();
        for (int i = 0; i < tiles.size(); ++i)
            if (tiles.at(i).id == m_id)
                return i;
        return -1;
    }

    bool isValid() const override { return index() >= 0; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        const int i = index();
        if (i < 0 || t != QAccessible::Name)
            return QString();
        return DiskMapText::tileHelp(m_owner->tiles().at(i).node);
    }

    QRect rect() const override {
        const int i = index();
        if (i < 0)
            return QRect();
        const QRect local = TreemapView::frameOf(m_owner->tiles().at(i)).toAlignedRect();
        return QRect(m_owner->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QAccessible::State state() const override {
        QAccessible::State s;
        const int i = index();
        if (i < 0) {
            s.invalid = true;
            return s;
        }
        s.invisible = !m_owner->isVisible();
        s.disabled = !m_owner->isEnabled();
        s.focusable = true;
        s.focused = m_owner->hasFocus() && m_owner->currentTile() == i;
        s.selectable = true;
        s.selected = m_owner->selection() && m_owner->selection()->id == m_id;
        return s;
    }

    QStringList actionNames() const override {
        const int i = index();
        if (i < 0 || !m_owner->isEnabled())
            return {};
        QStringList names{pressAction()};
        if (m_owner->tiles().at(i).node.hasChildren())
            names << DiskMapText::openTileAction();
        return names;
    }
    void doAction(const QString& name) override {
        const int i = index();
        if (i < 0 || !m_owner->isEnabled())
            return;
        if (name == pressAction())
            m_owner->clickTile(i);
        else if (name == DiskMapText::openTileAction())
            m_owner->openTile(i);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == DiskMapText::openTileAction())
            return {DiskMapText::openTileKey()};
        return {};
    }

private:
    QString m_id;
};

QAccessibleInterface* treemapFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TreemapView") && object && object->isWidgetType())
        return new TreemapViewAccessible(static_cast<TreemapView*>(object));
    return nullptr;
}

} // namespace

TreemapViewAccessible::TreemapViewAccessible(TreemapView* view)
    : QAccessibleWidget(view, QAccessible::List) {}

TreemapViewAccessible::~TreemapViewAccessible() {
    for (QAccessible::Id id : std::as_const(m_items))
        QAccessible::deleteAccessibleInterface(id);
}

void TreemapViewAccessible::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(treemapFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

TreemapView* TreemapViewAccessible::view() const {
    return static_cast<TreemapView*>(widget());
}

void TreemapViewAccessible::dropGone() const {
    // Only once more items are kept than tiles are shown can one be gone.
    if (m_items.size() <= view()->tiles().size())
        return;
    for (auto it = m_items.begin(); it != m_items.end();) {
        QAccessibleInterface* item = QAccessible::accessibleInterface(it.value());
        if (item && item->isValid()) {
            ++it;
            continue;
        }
        QAccessible::deleteAccessibleInterface(it.value());
        it = m_items.erase(it);
    }
}

// With no tile, the map shows its empty state: its widgets are the children then.

int TreemapViewAccessible::childCount() const {
    if (view()->tiles().isEmpty())
        return QAccessibleWidget::childCount();
    return int(view()->tiles().size());
}

QAccessibleInterface* TreemapViewAccessible::child(int index) const {
    if (view()->tiles().isEmpty())
        return QAccessibleWidget::child(index);
    if (index < 0 || index >= childCount())
        return nullptr;
    dropGone();
    const QString id = view()->tiles().at(index).id;
    auto it = m_items.constFind(id);
    if (it == m_items.cend())
        it = m_items.insert(
            id, QAccessible::registerAccessibleInterface(new TileAccessible(view(), id)));
    return QAccessible::accessibleInterface(it.value());
}

int TreemapViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (view()->tiles().isEmpty())
        return QAccessibleWidget::indexOfChild(child);
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return static_cast<const TileAccessible*>(child)->index();
    }
    return -1;
}

QAccessibleInterface* TreemapViewAccessible::childAt(int x, int y) const {
    if (view()->tiles().isEmpty())
        return QAccessibleWidget::childAt(x, y);
    const TreemapTile* tile = view()->tileAt(view()->mapFromGlobal(QPoint(x, y)));
    return tile ? child(int(tile - view()->tiles().constData())) : nullptr;
}

QAccessibleInterface* TreemapViewAccessible::focusChild() const {
    return view()->hasFocus() && view()->currentTile() >= 0 ? child(view()->currentTile())
                                                            : nullptr;
}
