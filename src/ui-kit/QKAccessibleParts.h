#pragma once

// The shapes the kit's accessibility descriptions share: a widget named by the text it draws, and
// a part of a widget that has no object of its own (a segment, a drawn row, a tile of the disk
// map). For the descriptions of the kit and of screens that draw their own parts.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace QKAccessibleParts {

// --- A widget that draws its own text: named by it unless an accessible name is set

template <typename Widget> class NamedByTextAccessible : public QAccessibleWidget {
public:
    NamedByTextAccessible(Widget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty())
            value = self()->text();
        return value;
    }

protected:
    Widget* self() const { return static_cast<Widget*>(widget()); }
};

// --- A part of a widget that has no object of its own (a segment, a drawn row)

// The part belongs to its owner's window and description, has no children and takes no text;
// it is pressed through its actions, and goes invalid once the owner is gone.
template <typename Owner>
class PartAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit PartAccessible(Owner* owner) : m_owner(owner) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_owner ? m_owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return m_owner ? QAccessible::queryAccessibleInterface(m_owner.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    QPointer<Owner> m_owner;
};

} // namespace QKAccessibleParts
