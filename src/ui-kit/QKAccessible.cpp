#include "ui-kit/QKAccessible.h"

#include "ui-kit/QKAccessibleParts.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKRowListAccessible.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/ToggleSwitch.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QListView>

namespace {

using QKAccessibleParts::NamedByTextAccessible;
using QKAccessibleParts::PartAccessible;

// --- ToggleSwitch

class SwitchAccessible : public NamedByTextAccessible<ToggleSwitch> {
public:
    explicit SwitchAccessible(ToggleSwitch* toggle)
        : NamedByTextAccessible(toggle, QAccessible::CheckBox) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = self()->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (self()->isEnabled())
            names << pressAction() << toggleAction();
        return names;
    }

    void doAction(const QString& name) override {
        if (name != pressAction() && name != toggleAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // click() turns the switch and emits clicked(), the signal the rows act on.
        if (self()->isEnabled())
            self()->click();
    }

    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() || name == toggleAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
};

// --- A button that is one choice among several

class ChoiceAccessible : public NamedByTextAccessible<QAbstractButton> {
public:
    ChoiceAccessible(QAbstractButton* button, QAccessible::Role role)
        : NamedByTextAccessible(button, role) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (role() == QAccessible::RadioButton) {
            s.checkable = true;
            s.checked = self()->isChecked();
        } else {
            s.selectable = true;
            s.selected = self()->isChecked();
        }
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (self()->isEnabled())
            names << pressAction();
        return names;
    }

    void doAction(const QString& name) override {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        if (self()->isEnabled())
            self()->click();
    }

    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
};

// --- SegmentedControl

class SegmentAccessible : public PartAccessible<SegmentedControl> {
public:
    SegmentAccessible(SegmentedControl* control, int index)
        : PartAccessible(control), m_index(index) {}

    bool isValid() const override { return m_owner && m_index < m_owner->count(); }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name)
            return QString();
        return m_owner->labels().at(m_index);
    }

    QRect rect() const override {
        if (!isValid())
            return QRect();
        const QRect local = m_owner->segmentRect(m_index);
        return QRect(m_owner->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return QAccessible::RadioButton; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = m_owner->currentIndex() == m_index;
        s.checkable = true;
        s.checked = current;
        s.disabled = !m_owner->isEnabled();
        s.invisible = !m_owner->isVisible();
        s.focusable = m_owner->focusPolicy() != Qt::NoFocus;
        s.focused = current && m_owner->hasFocus();
        return s;
    }

    QStringList actionNames() const override {
        if (!isValid() || !m_owner->isEnabled())
            return {};
        return {pressAction()};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid())
            m_owner->activateSegment(m_index);
    }

private:
    int m_index;
};

class SegmentedAccessible : public QAccessibleWidget {
public:
    explicit SegmentedAccessible(SegmentedControl* control)
        : QAccessibleWidget(control, QAccessible::Grouping) {
        for (int i = 0; i < control->count(); ++i)
            m_segments.append(
                QAccessible::registerAccessibleInterface(new SegmentAccessible(control, i)));
    }
    ~SegmentedAccessible() override {
        for (QAccessible::Id id : std::as_const(m_segments))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(m_segments.size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= m_segments.size())
            return nullptr;
        return QAccessible::accessibleInterface(m_segments.at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < m_segments.size(); ++i)
            if (QAccessible::accessibleInterface(m_segments.at(i)) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const SegmentedControl* c = control();
        const QPoint local = c->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < c->count(); ++i)
            if (c->segmentRect(i).contains(local))
                return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const SegmentedControl* c = control();
        return c->hasFocus() ? child(c->currentIndex()) : nullptr;
    }

private:
    SegmentedControl* control() const { return static_cast<SegmentedControl*>(widget()); }

    QList<QAccessible::Id> m_segments;
};

// --- QKLineLabel and QKClampedText: text drawn by the widget itself

template <typename Label>
class TextAccessible : public NamedByTextAccessible<Label>, public QAccessibleTextInterface {
    using Base = NamedByTextAccessible<Label>;

public:
    explicit TextAccessible(Label* label) : Base(label, QAccessible::StaticText) {}

    using Base::text;

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The text, without selection or cursor.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString all = label()->text();
        start = std::clamp(start, 0, int(all.size()));
        end = end < 0 ? int(all.size()) : std::clamp(end, start, int(all.size()));
        return all.mid(start, end - start);
    }
    int characterCount() const override { return int(label()->text().size()); }
    QRect characterRect(int offset) const override {
        const QString all = label()->text();
        if (offset < 0 || offset >= all.size())
            return QRect();
        // As if on one line: a wrapped text's rectangles are only approximate.
        const QFontMetrics fm(label()->font());
        const int left = fm.horizontalAdvance(all.left(offset));
        const QRect local(left, (label()->height() - fm.height()) / 2,
                          fm.horizontalAdvance(all.at(offset)), fm.height());
        return QRect(label()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QString all = label()->text();
        const int x = label()->mapFromGlobal(point).x();
        const QFontMetrics fm(label()->font());
        for (int i = 0; i < all.size(); ++i)
            if (fm.horizontalAdvance(all.left(i + 1)) > x)
                return i;
        return -1;
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    Label* label() const { return this->self(); }
};

constexpr char kRoleProperty[] = "qkAccessibleRole";
constexpr char kChoiceProperty[] = "qkAccessibleChoice";
constexpr char kRowListProperty[] = "qkAccessibleRowList";

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (const QVariant choice = object->property(kChoiceProperty); choice.isValid()) {
        if (auto* button = qobject_cast<QAbstractButton*>(object))
            return new ChoiceAccessible(button, QAccessible::Role(choice.toInt()));
    }
    const QVariant role = object->property(kRoleProperty);
    if (role.isValid())
        return new QAccessibleWidget(static_cast<QWidget*>(object),
                                     QAccessible::Role(role.toInt()));
    if (className == QLatin1String("ToggleSwitch"))
        return new SwitchAccessible(static_cast<ToggleSwitch*>(object));
    if (className == QLatin1String("SegmentedControl"))
        return new SegmentedAccessible(static_cast<SegmentedControl*>(object));
    if (className == QLatin1String("QKRowList") || object->property(kRowListProperty).toBool())
        return QKAccessibleParts::rowListAccessible(static_cast<QListView*>(object));
    if (className == QLatin1String("QKLineLabel"))
        return new TextAccessible<QKLineLabel>(static_cast<QKLineLabel*>(object));
    if (className == QLatin1String("QKClampedText"))
        return new TextAccessible<QKClampedText>(static_cast<QKClampedText*>(object));
    return nullptr;
}

} // namespace

namespace QKAccessible {

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void setRole(QWidget* widget, QAccessible::Role role) {
    install();
    widget->setProperty(kRoleProperty, int(role));
    // A description Qt made before the role was set is dropped, so the next one has it.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made && made->role() != role)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void setChoice(QAbstractButton* button, QAccessible::Role role) {
    install();
    const bool described = button->property(kChoiceProperty).isValid();
    button->setProperty(kChoiceProperty, int(role));
    // Qt tells a change of the checked state as "checked"; a tab or list item exposes it as
    // "selected", and a reader that keeps states would hold the old choice as still selected.
    // The AT-SPI bridge drops "selected" from a state change: it tells a selection event as the
    // object's "selected" state as it now stands, so that is the event sent, for the row that
    // left the choice and the one that took it.
    if (!described && role != QAccessible::RadioButton) {
        QObject::connect(button, &QAbstractButton::toggled, button, [button] {
            if (button->property(kChoiceProperty).toInt() == int(QAccessible::RadioButton))
                return;
            QAccessibleEvent event(button, QAccessible::Selection);
            QAccessible::updateAccessibility(&event);
        });
    }
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(button);
    if (made && !dynamic_cast<ChoiceAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void setRowList(QListView* view) {
    install();
    view->setProperty(kRowListProperty, true);
    // Qt's own description of the list, if one was made, knows nothing of the row actions.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(view);
        made && !QKAccessibleParts::isRowListAccessible(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace QKAccessible
