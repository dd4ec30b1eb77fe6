#include "ui-kit/QKLayout.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGridLayout.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace QKLayout {

Item::Item(QWidget* widget) : widget(widget) {}

Item::Item(const Box& box)
    : kind(Kind::Box), box(std::make_shared<const Box>(box)), stretch(box.placedStretch()) {}

Item::Item(const Grid& grid)
    : kind(Kind::Node), node(std::make_shared<const Grid>(grid)), stretch(grid.placedStretch()) {}

Item::Item(const Tiles& tiles) : kind(Kind::Node), node(std::make_shared<const Tiles>(tiles)) {}

Item stretch(int factor) {
    Item item;
    item.kind = Item::Kind::Stretch;
    item.stretch = factor;
    return item;
}

Item space(int points) {
    Item item;
    item.kind = Item::Kind::Space;
    item.stretch = points;
    return item;
}

Item existing(QLayout* layout, int stretch) {
    Item item;
    item.kind = Item::Kind::Layout;
    item.layout = layout;
    item.stretch = stretch;
    return item;
}

Box::Box(Qt::Orientation orientation, std::optional<QMargins> insets, std::optional<int> spacing,
         std::initializer_list<Item> items)
    : m_orientation(orientation), m_insets(insets), m_spacing(spacing), m_items(items) {}

namespace {

// Joins each label to the part its buddy names: the nearest of that name among the label's
// parent's descendants, then its grandparent's, and so on up.
void joinBuddies(const Buddies& buddies) {
    for (const auto& [widget, name] : buddies) {
        auto* label = qobject_cast<QLabel*>(widget);
        Q_ASSERT_X(label, "QKLayout", "a buddy is set on a label");
        QWidget* target = nullptr;
        for (QWidget* scope = widget->parentWidget(); scope && !target;
             scope = scope->parentWidget())
            target = scope->findChild<QWidget*>(name);
        Q_ASSERT_X(target, "QKLayout", "a buddy names a part of the same tree");
        if (label && target)
            label->setBuddy(target);
    }
}

// Runs `place`, which notes the buddies of the labels it places, then joins them: every way a
// tree is laid out ends the same, with each label naming its part. Returns what `place` made.
template <typename Place> auto placed(Place place) {
    Buddies buddies;
    auto made = place(buddies);
    joinBuddies(buddies);
    return made;
}

// Turns a row on `owner` into a column while the owner is narrower than the row needs.
class NarrowStack : public QObject {
public:
    NarrowStack(QWidget* owner, QBoxLayout* box, int flexibleMinimum)
        : QObject(owner), m_owner(owner), m_box(box), m_flexibleMinimum(flexibleMinimum) {
        setObjectName(QString::fromLatin1(kName));
        owner->installEventFilter(this);
    }

    static constexpr char kName[] = "qkNarrowStack";

    // The width the box needs to lie as a row.
    int rowWidth() const {
        const QMargins insets = m_box->contentsMargins();
        int width = insets.left() + insets.right();
        int shown = 0;
        for (int i = 0; i < m_box->count(); ++i) {
            QLayoutItem* item = m_box->itemAt(i);
            if (item->isEmpty())
                continue;
            ++shown;
            if (m_box->stretch(i) > 0)
                width += m_flexibleMinimum;
            else if (QWidget* w = item->widget();
                     const auto* nested = w ? w->findChild<NarrowStack*>(QString::fromLatin1(kName),
                                                                         Qt::FindDirectChildrenOnly)
                                            : nullptr)
                width += nested->rowWidth();
            else
                width += item->sizeHint().width();
        }
        return width + std::max(0, shown - 1) * std::max(0, m_box->spacing());
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_owner &&
            (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
            settle();
        return false;
    }

private:
    void settle() {
        // A nested row is a row while the row around it is one: that row made room for it whole.
        // Only in a column, where it has the column's width, does it look at its own.
        const NarrowStack* outer = m_owner->parentWidget()
                                       ? m_owner->parentWidget()->findChild<NarrowStack*>(
                                             QString::fromLatin1(kName), Qt::FindDirectChildrenOnly)
                                       : nullptr;
        const bool outerRow = outer && outer->m_box->direction() == QBoxLayout::LeftToRight;
        const auto direction = !outerRow && m_owner->width() < rowWidth() ? QBoxLayout::TopToBottom
                                                                          : QBoxLayout::LeftToRight;
        if (m_box->direction() == direction)
            return;
        m_box->setDirection(direction);
        for (NarrowStack* inner : m_owner->findChildren<NarrowStack*>(QString::fromLatin1(kName)))
            if (inner != this)
                inner->settle();
    }

    QWidget* m_owner;
    QBoxLayout* m_box;
    int m_flexibleMinimum;
};

} // namespace

QBoxLayout* Box::made(QWidget* owner, Buddies& buddies) const {
    auto* layout = m_orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(owner))
                                                 : new QHBoxLayout(owner);
    if (m_insets)
        layout->setContentsMargins(*m_insets);
    if (m_spacing)
        layout->setSpacing(*m_spacing);
    int end = -1;
    place(layout, end, buddies);
    if (m_stackMinimum && owner)
        new NarrowStack(owner, layout, *m_stackMinimum);
    if (m_kept)
        *m_kept = layout;
    return layout;
}

void Box::place(QBoxLayout* layout, int& at, Buddies& buddies) const {
    // at < 0 appends; otherwise each item goes in at `at` and the next after it.
    const auto next = [&at] { return at < 0 ? -1 : at++; };
    for (const Item& item : m_items) {
        switch (item.kind) {
        case Item::Kind::Part:
            layout->insertWidget(next(), item.widget, item.stretch, item.alignment);
            if (!item.buddy.isEmpty())
                buddies.emplace_back(item.widget, item.buddy);
            break;
        case Item::Kind::Box:
            if (item.box->m_run)
                item.box->place(layout, at, buddies);
            else
                layout->insertLayout(next(), item.box->made(nullptr, buddies), item.stretch);
            break;
        case Item::Kind::Node:
            layout->insertLayout(next(), item.node->build(nullptr, buddies), item.stretch);
            break;
        case Item::Kind::Layout:
            layout->insertLayout(next(), item.layout, item.stretch);
            break;
        case Item::Kind::Stretch:
            layout->insertStretch(next(), item.stretch);
            break;
        case Item::Kind::Space:
            layout->insertSpacing(next(), item.stretch);
            break;
        }
    }
}

void layOut(const Node& node, QWidget* owner) {
    placed([&](Buddies& buddies) { return node.build(owner, buddies); });
}

QLayout* Box::build(QWidget* owner, Buddies& buddies) const {
    return made(owner, buddies);
}

QBoxLayout* Box::on(QWidget* owner) const {
    return placed([&](Buddies& buddies) { return made(owner, buddies); });
}

QBoxLayout* Box::make() const {
    return placed([&](Buddies& buddies) { return made(nullptr, buddies); });
}

void Box::fill(QBoxLayout* layout) const {
    int end = -1;
    placed([&](Buddies& buddies) { return place(layout, end, buddies), 0; });
}

void Box::fillPage(QVBoxLayout* column) const {
    int beforeStretch = column->count() - 1;
    placed([&](Buddies& buddies) { return place(column, beforeStretch, buddies), 0; });
}

Box BoxOf::operator()(const QMargins& insets, int spacing,
                      std::initializer_list<Item> items) const {
    return Box(orientation, insets, spacing, items);
}
Box BoxOf::operator()(int spacing, std::initializer_list<Item> items) const {
    return Box(orientation, std::nullopt, spacing, items);
}
Box BoxOf::operator()(const QMargins& insets, std::initializer_list<Item> items) const {
    return Box(orientation, insets, std::nullopt, items);
}
Box BoxOf::operator()(std::initializer_list<Item> items) const {
    return Box(orientation, std::nullopt, std::nullopt, items);
}
Box flushColumn(std::initializer_list<Item> items) {
    return Box(Qt::Vertical, QMargins(), 0, items);
}
Box flushRow(std::initializer_list<Item> items) {
    return Box(Qt::Horizontal, QMargins(), 0, items);
}

Grid::Grid(std::optional<QMargins> insets, int horizontalSpacing, int verticalSpacing,
           std::initializer_list<std::initializer_list<Item>> rows)
    : m_insets(insets), m_hSpacing(horizontalSpacing), m_vSpacing(verticalSpacing) {
    for (const auto& cells : rows)
        add(cells);
}

Grid& Grid::add(std::initializer_list<Item> cells) {
    return add(std::vector<Item>(cells));
}

Grid& Grid::add(std::vector<Item> cells) {
    m_rows.push_back(std::move(cells));
    return *this;
}

Grid& Grid::stretchColumn(int column, int factor) {
    m_columnStretch.emplace_back(column, factor);
    return *this;
}

Grid& Grid::stretchRow(int row, int factor) {
    m_rowStretch.emplace_back(row, factor);
    return *this;
}

QGridLayout* Grid::made(QWidget* owner, Buddies& buddies) const {
    auto* layout = new QGridLayout(owner);
    if (m_insets)
        layout->setContentsMargins(*m_insets);
    layout->setHorizontalSpacing(m_hSpacing);
    layout->setVerticalSpacing(m_vSpacing);
    for (int r = 0; r < int(m_rows.size()); ++r) {
        int c = 0;
        for (const Item& cell : m_rows[size_t(r)]) {
            const int span = std::max(1, cell.span);
            switch (cell.kind) {
            case Item::Kind::Part:
                layout->addWidget(cell.widget, r, c, 1, span, cell.alignment);
                if (!cell.buddy.isEmpty())
                    buddies.emplace_back(cell.widget, cell.buddy);
                break;
            case Item::Kind::Box:
                layout->addLayout(cell.box->build(nullptr, buddies), r, c, 1, span);
                break;
            case Item::Kind::Node:
                layout->addLayout(cell.node->build(nullptr, buddies), r, c, 1, span);
                break;
            case Item::Kind::Layout:
                layout->addLayout(cell.layout, r, c, 1, span);
                break;
            case Item::Kind::Stretch:
            case Item::Kind::Space:
                break; // an empty cell
            }
            c += span;
        }
    }
    for (const auto& [column, factor] : m_columnStretch)
        layout->setColumnStretch(column, factor);
    for (const auto& [row, factor] : m_rowStretch)
        layout->setRowStretch(row, factor);
    if (m_kept)
        *m_kept = layout;
    return layout;
}

QLayout* Grid::build(QWidget* owner, Buddies& buddies) const {
    return made(owner, buddies);
}

QGridLayout* Grid::on(QWidget* owner) const {
    return placed([&](Buddies& buddies) { return made(owner, buddies); });
}

Grid grid(int horizontalSpacing, int verticalSpacing,
          std::initializer_list<std::initializer_list<Item>> rows) {
    return Grid(std::nullopt, horizontalSpacing, verticalSpacing, rows);
}

Grid grid(const QMargins& insets, int horizontalSpacing, int verticalSpacing,
          std::initializer_list<std::initializer_list<Item>> rows) {
    return Grid(insets, horizontalSpacing, verticalSpacing, rows);
}

Grid form(int horizontalSpacing, int verticalSpacing,
          std::initializer_list<std::initializer_list<Item>> rows) {
    Grid made(std::nullopt, horizontalSpacing, verticalSpacing, {});
    for (const auto& cells : rows) {
        std::vector<Item> pair(cells);
        // The name labels the value beside it, unless the row names a buddy of its own.
        if (pair.size() == 2 && pair[0].kind == Item::Kind::Part &&
            pair[1].kind == Item::Kind::Part && pair[0].buddy.isEmpty())
            if (auto* name = qobject_cast<QLabel*>(pair[0].widget))
                name->setBuddy(pair[1].widget);
        made.add(std::move(pair));
    }
    return made.stretchColumn(1, 1);
}

Tiles::Tiles(int minColumnWidth, int horizontalSpacing, int verticalSpacing,
             std::initializer_list<Item> cards)
    : m_minColumn(minColumnWidth), m_hSpacing(horizontalSpacing), m_vSpacing(verticalSpacing),
      m_cards(cards) {}

QKGridLayout* Tiles::on(QWidget* owner) const {
    return placed(
        [&](Buddies& buddies) { return static_cast<QKGridLayout*>(build(owner, buddies)); });
}

QLayout* Tiles::build(QWidget* owner, Buddies& buddies) const {
    auto* layout = new QKGridLayout(m_minColumn, m_hSpacing, m_vSpacing, owner);
    for (const Item& card : m_cards) {
        Q_ASSERT_X(card.kind == Item::Kind::Part, "QKLayout", "tiles hold parts");
        if (card.kind != Item::Kind::Part)
            continue;
        layout->addWidget(card.widget);
        if (!card.buddy.isEmpty())
            buddies.emplace_back(card.widget, card.buddy);
    }
    if (m_kept)
        *m_kept = layout;
    return layout;
}

Tiles tiles(int minColumnWidth, int spacing, std::initializer_list<Item> cards) {
    return Tiles(minColumnWidth, spacing, spacing, cards);
}

Box items(std::initializer_list<Item> items) {
    Box run(Qt::Vertical, std::nullopt, std::nullopt, items);
    run.m_run = true;
    return run;
}

Box titles(const QString& title, const QString& subtitle, QWidget* header, const QString& titleName,
           const QString& subtitleName) {
    return column(
               2,
               {part(QKBuild::label(title, TextStyle::Headline, QKForeground::Primary, header))
                    .name(titleName),
                part(QKBuild::label(subtitle, TextStyle::Caption, QKForeground::Secondary, header))
                    .name(subtitleName)})
        .stretch(1);
}

} // namespace QKLayout
