#include "ui-kit/QKLayout.h"

#include "ui-kit/QKBuild.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace QKLayout {

Item::Item(QWidget* widget) : widget(widget) {}

Item::Item(const Box& box)
    : kind(Kind::Box), box(std::make_shared<const Box>(box)), stretch(box.placedStretch()) {}

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

using Buddies = std::vector<std::pair<QWidget*, QString>>;

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

QBoxLayout* Box::on(QWidget* owner) const {
    Buddies buddies;
    QBoxLayout* layout = made(owner, buddies);
    joinBuddies(buddies);
    return layout;
}

QBoxLayout* Box::make() const {
    Buddies buddies;
    QBoxLayout* layout = made(nullptr, buddies);
    joinBuddies(buddies);
    return layout;
}

void Box::fill(QBoxLayout* layout) const {
    Buddies buddies;
    int end = -1;
    place(layout, end, buddies);
    joinBuddies(buddies);
}

void Box::fillPage(QVBoxLayout* column) const {
    Buddies buddies;
    int beforeStretch = column->count() - 1;
    place(column, beforeStretch, buddies);
    joinBuddies(buddies);
}

Box BoxOf::operator()(const QMargins& insets, int spacing,
                      std::initializer_list<Item> items) const {
    return Box(orientation, insets, spacing, items);
}
Box BoxOf::operator()(int spacing, std::initializer_list<Item> items) const {
    return Box(orientation, std::nullopt, spacing, items);
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
