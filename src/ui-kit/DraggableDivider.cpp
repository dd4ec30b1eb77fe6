#include "ui-kit/DraggableDivider.h"

#include "ui-kit/QKForeground.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// "Resize", adjustable by one step either way, valued in whole points.
class DividerAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit DividerAccessible(DraggableDivider* divider)
        : QAccessibleWidget(divider, QAccessible::Slider, QStringLiteral("Resize")) {}

    DraggableDivider* divider() const { return static_cast<DraggableDivider*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return divider()->accessibleValue();
        if (t == QAccessible::Name)
            return QStringLiteral("Resize");
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Adjusting by value goes through the same steps.
    QVariant currentValue() const override { return divider()->paneWidth(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return divider()->maximum(); }
    QVariant minimumValue() const override { return divider()->minimum(); }
    QVariant minimumStepSize() const override { return DraggableDivider::kStep; }

    QStringList actionNames() const override {
        return {QAccessibleActionInterface::increaseAction(),
                QAccessibleActionInterface::decreaseAction()};
    }
    void doAction(const QString& name) override {
        if (name == QAccessibleActionInterface::increaseAction())
            divider()->increment();
        else if (name == QAccessibleActionInterface::decreaseAction())
            divider()->decrement();
    }
};

QAccessibleInterface* dividerFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("DraggableDivider") && object && object->isWidgetType())
        return new DividerAccessible(static_cast<DraggableDivider*>(object));
    return nullptr;
}

} // namespace

DraggableDivider::DraggableDivider(qreal paneWidth, qreal minimum, qreal maximum,
                                   bool paneIsTrailing, QWidget* parent)
    : QWidget(parent), m_width(paneWidth), m_min(std::min(minimum, maximum)),
      m_max(std::max(minimum, maximum)), m_trailing(paneIsTrailing) {
    static const bool installed = [] {
        QAccessible::installFactory(dividerFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setFixedWidth(kThickness);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setCursor(Qt::SplitHCursor);
    setFocusPolicy(Qt::TabFocus);
}

void DraggableDivider::setPaneWidth(qreal width) {
    if (qFuzzyCompare(width, m_width))
        return;
    m_width = width;
    emit paneWidthChanged(width);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent ev(this, width);
        QAccessible::updateAccessibility(&ev);
    }
}

qreal DraggableDivider::draggedWidth(qreal base, qreal travel, qreal minimum, qreal maximum,
                                     bool paneIsTrailing) {
    const qreal delta = paneIsTrailing ? -travel : travel;
    return std::min(maximum, std::max(minimum, base + delta));
}

void DraggableDivider::increment() {
    setPaneWidth(incremented(m_width, m_max));
}
void DraggableDivider::decrement() {
    setPaneWidth(decremented(m_width, m_min));
}

QString DraggableDivider::accessibleValue() const {
    return QString::number(qint64(m_width)) + QStringLiteral(" points");
}

void DraggableDivider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QColor line =
        QKForeground::color(hasFocus() ? QKForeground::Tint : QKForeground::Quaternary, palette());
    const int x = width() / 2;
    p.fillRect(QRect(x, 0, hasFocus() ? 2 : 1, height()), line);
}

void DraggableDivider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressX = event->globalPosition().x();
    event->accept();
}

void DraggableDivider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed)
        return;
    const qreal travel = event->globalPosition().x() - m_pressX;
    // The drag starts once the pointer has moved a point; from then on every move counts.
    if (!m_startWidth && std::abs(travel) < 1)
        return;
    if (!m_startWidth)
        m_startWidth = m_width;
    setPaneWidth(draggedWidth(*m_startWidth, travel, m_min, m_max, m_trailing));
    event->accept();
}

void DraggableDivider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        m_startWidth.reset();
    }
    event->accept();
}

void DraggableDivider::keyPressEvent(QKeyEvent* event) {
    // The arrows move the divider that way: towards a trailing pane makes it narrower.
    const bool left = event->key() == Qt::Key_Left;
    const bool right = event->key() == Qt::Key_Right;
    if (!left && !right) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool grow = m_trailing ? left : right;
    if (grow)
        increment();
    else
        decrement();
    event->accept();
}
