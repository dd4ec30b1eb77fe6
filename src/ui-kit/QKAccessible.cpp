#include "ui-kit/QKAccessible.h"

#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/ToggleSwitch.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QPointer>
#include <QWindow>

namespace {

// --- ToggleSwitch

class SwitchAccessible : public QAccessibleWidget {
public:
    explicit SwitchAccessible(ToggleSwitch* toggle)
        : QAccessibleWidget(toggle, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty())
            value = toggle()->text();
        return value;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = toggle()->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (toggle()->isEnabled())
            names << pressAction() << toggleAction();
        return names;
    }

    void doAction(const QString& name) override {
        if (name != pressAction() && name != toggleAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // click() turns the switch and emits clicked(), the signal the rows act on.
        if (toggle()->isEnabled())
            toggle()->click();
    }

    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() || name == toggleAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    ToggleSwitch* toggle() const { return static_cast<ToggleSwitch*>(widget()); }
};

// --- SegmentedControl

class SegmentAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SegmentAccessible(SegmentedControl* control, int index) : m_control(control), m_index(index) {}

    bool isValid() const override { return m_control && m_index < m_control->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_control ? m_control->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return m_control ? QAccessible::queryAccessibleInterface(m_control.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name)
            return QString();
        return m_control->labels().at(m_index);
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return QRect();
        const QRect local = m_control->segmentRect(m_index);
        return QRect(m_control->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return QAccessible::RadioButton; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = m_control->currentIndex() == m_index;
        s.checkable = true;
        s.checked = current;
        s.disabled = !m_control->isEnabled();
        s.invisible = !m_control->isVisible();
        s.focusable = m_control->focusPolicy() != Qt::NoFocus;
        s.focused = current && m_control->hasFocus();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        if (!isValid() || !m_control->isEnabled())
            return {};
        return {pressAction()};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid())
            m_control->activateSegment(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<SegmentedControl> m_control;
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
class TextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextAccessible(Label* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty())
            value = label()->text();
        return value;
    }

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
    Label* label() const { return static_cast<Label*>(widget()); }
};

constexpr char kRoleProperty[] = "qkAccessibleRole";

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kRoleProperty);
    if (role.isValid())
        return new QAccessibleWidget(static_cast<QWidget*>(object),
                                     QAccessible::Role(role.toInt()));
    if (className == QLatin1String("ToggleSwitch"))
        return new SwitchAccessible(static_cast<ToggleSwitch*>(object));
    if (className == QLatin1String("SegmentedControl"))
        return new SegmentedAccessible(static_cast<SegmentedControl*>(object));
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

} // namespace QKAccessible
