#include "ui-kit/TextSizeControl.h"

#include "platform/SymbolIcons.h"
#include "platform/SymbolName.h"
#include "platform/UserDefaults.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/ThemeSettings.h"

#include <algorithm>
#include <cmath>
#include <QEvent>
#include <QFontInfo>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>

namespace {

// A symbol button of the control: the style draws it, the kit's ring shows its keyboard focus.
class SizeButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override {
        QToolButton::paintEvent(event);
        if (QKFocusRing::shows(this)) {
            // It stands on the sidebar's gradient, not on the palette's window, and the ring is
            // set apart from both of the gradient's ends, on either side.
            QPainter p(this);
            const QList<QColor> sidebar{Color::brandBlue(), Color::brandBlueLight()};
            QKFocusRing::paint(p, QRectF(rect()), 4, palette(), Color::brandBlue(), sidebar);
        }
    }
};

} // namespace

TextSizeControl::TextSizeControl(QWidget* parent)
    : TextSizeControl(UserDefaults::standard(), parent) {}

TextSizeControl::TextSizeControl(UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), m_defaults(defaults) {
    setAccessibleName(QStringLiteral("Text size"));
    using namespace QKLayout;
    Box buttons = row({0, 0, 0, 0}, 4, {});
    auto make = [this, &buttons](const QString& help, const QString& label, const QString& name) {
        QToolButton* b = new SizeButton(this);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setToolTip(help);
        b->setAccessibleName(label);
        b->setCursor(Qt::PointingHandCursor);
        b->setFocusPolicy(Qt::TabFocus);
        QKFocusRing::pressOnReturn(b);
        buttons.add(part(b).align(Qt::AlignVCenter));
        return b;
    };
    m_smaller = make(QStringLiteral("Smaller text"), QStringLiteral("Smaller text"),
                     QStringLiteral("textSizeSmaller"));
    m_bigger = make(QStringLiteral("Bigger text"), QStringLiteral("Bigger text"),
                    QStringLiteral("textSizeBigger"));
    m_reset = make(QStringLiteral("Back to normal text size"), QStringLiteral("Reset text size"),
                   QStringLiteral("textSizeReset"));
    m_warning = make(QString(), QString(), QStringLiteral("textSizeSaveWarning"));
    m_warning->setCursor(Qt::ArrowCursor);
    m_warning->hide();
    buttons.on(this);
    connect(m_warning, &QToolButton::clicked, this, [this] {
        QToolTip::showText(m_warning->mapToGlobal(QPoint(0, 0)), m_warning->toolTip(), m_warning);
    });
    // The font only sizes the symbols: the control is as small as a small control's text.
    QKFont::apply(this, TextStyle::Callout);

    connect(m_smaller, &QToolButton::clicked, this,
            [this] { store(std::max<qint64>(TextSize::rawStep(m_defaults) - 1, 0)); });
    connect(m_bigger, &QToolButton::clicked, this,
            [this] { store(std::min<qint64>(TextSize::rawStep(m_defaults) + 1, 4)); });
    connect(m_reset, &QToolButton::clicked, this, [this] { store(TextSize::Normal); });
    connect(&m_defaults, &UserDefaults::changed, this, [this](const QString& key) {
        if (key != ThemeKeys::FontSize)
            return;
        m_warning->hide();
        sync();
    });
    connect(&m_defaults, &UserDefaults::saveFailed, this,
            [this](const QString& key, const QString& message) {
                if (key == ThemeKeys::FontSize)
                    showSaveFailure(message);
            });
    updateIcons();
    sync();
}

QString TextSizeControl::stepName() const {
    return TextSize::name(TextSize::rawStep(m_defaults));
}

void TextSizeControl::store(qint64 step) {
    m_defaults.setValue(ThemeKeys::FontSize, step);
}

void TextSizeControl::showSaveFailure(const QString& message) {
    m_warning->setToolTip(message);
    m_warning->setAccessibleName(message);
    m_warning->show();
    // The change did not happen; say so at once, where it was asked for.
    if (isVisible())
        QToolTip::showText(m_warning->mapToGlobal(QPoint(0, 0)), message, m_warning);
}

void TextSizeControl::sync() {
    const qint64 step = TextSize::rawStep(m_defaults);
    m_smaller->setEnabled(step >= 1);
    m_bigger->setEnabled(step <= 3);
    m_reset->setEnabled(step != TextSize::Normal && TextSize::isValidStep(step));
    setAccessibleDescription(stepName());
}

void TextSizeControl::updateIcons() {
    const int edge = std::max(8, int(std::lround(QFontInfo(font()).pixelSize() * 1.2)));
    const QPalette inherited = palette();
    const QColor normal = QKForeground::color(QKForeground::Secondary, inherited);
    QColor disabled = QKForeground::color(QKForeground::Quaternary, inherited);
    const QColor warning = QKForeground::color(QKForeground::Orange, inherited);
    const qreal dpr = devicePixelRatioF();
    const struct {
        QToolButton* button;
        SymbolName symbol;
    } buttons[] = {{m_smaller, "textformat.size.smaller"_sym},
                   {m_bigger, "textformat.size.larger"_sym},
                   {m_reset, "arrow.uturn.backward"_sym}};
    for (const auto& b : buttons) {
        QIcon icon;
        icon.addPixmap(SymbolIcons::pixmap(b.symbol, QSize(edge, edge), normal, dpr),
                       QIcon::Normal);
        icon.addPixmap(SymbolIcons::pixmap(b.symbol, QSize(edge, edge), disabled, dpr),
                       QIcon::Disabled);
        b.button->setIcon(icon);
        b.button->setIconSize(QSize(edge, edge));
    }
    m_warning->setIcon(QIcon(
        SymbolIcons::pixmap("exclamationmark.triangle"_sym, QSize(edge, edge), warning, dpr)));
    m_warning->setIconSize(QSize(edge, edge));
}

void TextSizeControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        updateIcons();
    QWidget::changeEvent(event);
}
