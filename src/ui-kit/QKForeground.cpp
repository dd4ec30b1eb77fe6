#include "ui-kit/QKForeground.h"

#include "ui-kit/Color.h"

#include <QApplication>
#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char kProperty[] = "_qk_foreground";

// Lives as a child of the styled widget and re-resolves its style on palette and parent changes.
class ForegroundKeeper : public QObject {
public:
    explicit ForegroundKeeper(QWidget* widget) : QObject(widget), m_widget(widget) {
        setObjectName(QStringLiteral("_qk_foreground_keeper"));
        widget->installEventFilter(this);
    }

    void refresh() {
        const QVariant v = m_widget->property(kProperty);
        if (!v.isValid())
            return;
        const QPalette inherited = m_widget->parentWidget() ? m_widget->parentWidget()->palette()
                                                            : QApplication::palette(m_widget);
        const QColor c = QKForeground::color(QKForeground::Style(v.toInt()), inherited);
        const QPalette current = m_widget->palette();
        if (current.color(QPalette::Active, QPalette::WindowText) == c &&
            current.resolveMask() != 0)
            return;
        // Only the text roles become the widget's own; every other role keeps following the
        // parent, so later palette changes still reach this widget.
        QPalette pal = current;
        pal.setResolveMask(0);
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            pal.setColor(QPalette::Active, role, c);
            pal.setColor(QPalette::Inactive, role, c);
            QColor disabled = c;
            disabled.setAlphaF(c.alphaF() * 0.5f);
            pal.setColor(QPalette::Disabled, role, disabled);
        }
        m_widget->setPalette(pal);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_widget &&
            (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange))
            refresh();
        return false;
    }

private:
    QWidget* m_widget;
};

QColor withAlpha(QColor c, float alpha) {
    c.setAlphaF(alpha);
    return c;
}

} // namespace

QColor QKForeground::color(Style style, const QPalette& inherited) {
    const bool dark = Color::isDark(inherited);
    const QColor primary = dark ? QColor(0xF2, 0xF2, 0xF5) : QColor(0x1D, 0x1D, 0x1F);
    switch (style) {
    case Primary:
        return primary;
    case Secondary:
        return withAlpha(primary, dark ? 0.62f : 0.58f);
    case Tertiary:
        return withAlpha(primary, dark ? 0.40f : 0.38f);
    case Quaternary:
        return withAlpha(primary, 0.18f);
    case Tint:
        return inherited.color(QPalette::Highlight);
    case Green:
        return Color::system(Color::SystemColor::Green, dark);
    case Orange:
        return Color::system(Color::SystemColor::Orange, dark);
    case Red:
        return Color::system(Color::SystemColor::Red, dark);
    }
    return primary;
}

void QKForeground::apply(QWidget* widget, Style style) {
    if (!widget)
        return;
    widget->setProperty(kProperty, int(style));
    auto* keeper = static_cast<ForegroundKeeper*>(widget->findChild<QObject*>(
        QStringLiteral("_qk_foreground_keeper"), Qt::FindDirectChildrenOnly));
    if (!keeper)
        keeper = new ForegroundKeeper(widget);
    keeper->refresh();
}
