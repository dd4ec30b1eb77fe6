#include "assistant/views/ChatMessageRow.h"

#include "assistant/TamsoAIText.h"
#include "platform/SymbolIcons.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/Themed.h"

#include <algorithm>
#include <QBoxLayout>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

namespace {

// The rounded surface behind a message's text: the accent for the user's, a faint fill of the
// text colour for Pendrel's, so both follow the appearance.
class Bubble : public QWidget {
public:
    Bubble(bool mine, QWidget* parent) : QWidget(parent), m_mine(mine) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill;
        if (m_mine) {
            fill = Themed::shared().accentColor();
        } else {
            fill = QKForeground::color(QKForeground::Primary, palette());
            fill.setAlphaF(0.07);
        }
        QKPaint::fillRounded(p, QRectF(rect()), 12, fill);
    }

private:
    bool m_mine;
};

// The message text. Its size is set from outside (ChatMessageRow::fit), so it tells layouts no
// height of its own for a width, which they would cache across re-fits. A row whose text lies
// under a selectable copy paints none of its own, so the text is never drawn twice.
class BubbleText : public QLabel {
public:
    using QLabel::QLabel;
    bool hasHeightForWidth() const override { return false; }
    bool painted = true;

protected:
    void paintEvent(QPaintEvent* event) override {
        if (painted)
            QLabel::paintEvent(event);
    }
};

// The text as a bubble shows it: white on the user's accent, the primary ink on Pendrel's fill.
BubbleText* bubbleText(const TamsoMessage& message, QWidget* parent) {
    auto* text = new BubbleText(message.text, parent);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    QKFont::apply(text, TextStyle::Body);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    if (message.role == TamsoMessage::Role::User) {
        QPalette white = text->palette();
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
            white.setColor(role, Qt::white);
        text->setPalette(white);
    } else {
        QKForeground::apply(text, QKForeground::Primary);
    }
    return text;
}

} // namespace

ChatMessageRow::ChatMessageRow(const TamsoMessage& message, QWidget* parent)
    : QWidget(parent), m_message(message) {
    const bool mine = message.role == TamsoMessage::Role::User;
    const Qt::Alignment side = mine ? Qt::AlignRight : Qt::AlignLeft;

    using namespace QKLayout;
    Box lines =
        column({0, 0, 0, 0}, 6,
               {part(m_bubble = new Bubble(mine, this))
                    .name(QStringLiteral("bubble"))
                    .holding(column({10, 10, 10, 10}, {part(m_text = bubbleText(message, m_bubble))
                                                           .name(QStringLiteral("messageText"))}))
                    .align(side)});
    m_text->installEventFilter(this);
    fit();

    if (!mine) {
        lines.add(part(m_copy = new QPushButton(TamsoAIText::copyButton(), this))
                      .name(QStringLiteral("copyAnswer"))
                      .with([this](QPushButton* copy) {
                          copy->setFlat(true);
                          syncCopyIcon();
                          copy->setToolTip(TamsoAIText::copyTip());
                          copy->setCursor(Qt::PointingHandCursor);
                      })
                      .font(TextStyle::Caption)
                      .ink(QKForeground::Secondary)
                      .align(side));
        lines.add(part(m_chipRow = new QWidget(this))
                      .name(QStringLiteral("chips"))
                      .holding(row({0, 0, 0, 0}, 8, {}))
                      .align(side));
    }
    lines.on(this);
    syncChips();
}

void ChatMessageRow::setMessage(const TamsoMessage& message) {
    if (message == m_message)
        return;
    m_message = message;
    m_text->setText(message.text);
    syncChips();
    fit();
}

QString ChatMessageRow::chipName(int action) {
    return QStringLiteral("chip%1").arg(action);
}

void ChatMessageRow::syncChips() {
    if (!m_chipRow)
        return;
    const QList<TamsoAction>& actions = m_message.actions;
    while (m_chips.size() > actions.size())
        delete m_chips.takeLast();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (i == m_chips.size()) {
            auto* chip = new QKBorderedButton(actions.at(i).label, m_chipRow);
            chip->setSmall(true);
            chip->setObjectName(chipName(int(i)));
            // The chips' row is the box made with m_chipRow.
            QKLayout::items({QKLayout::part(chip)})
                .fill(static_cast<QBoxLayout*>(m_chipRow->layout()));
            // A part added to a stamp already readied is shown as a row of widgets would be.
            chip->show();
            m_chips.append(chip);
        } else if (m_chips.at(i)->text() != actions.at(i).label) {
            m_chips.at(i)->setText(actions.at(i).label);
        }
    }
    m_chipRow->setVisible(!actions.isEmpty());
}

void ChatMessageRow::setGapBelow(int gap) {
    QMargins margins = layout()->contentsMargins();
    if (margins.bottom() == gap)
        return;
    margins.setBottom(gap);
    layout()->setContentsMargins(margins);
}

QLabel* ChatMessageRow::selectableText(const TamsoMessage& message, QWidget* parent) {
    QLabel* text = bubbleText(message, parent);
    text->setObjectName(QStringLiteral("selectableText"));
    text->setCursor(Qt::IBeamCursor);
    return text;
}

void ChatMessageRow::setTextPainted(bool painted) {
    static_cast<BubbleText*>(m_text)->painted = painted;
}

QRect ChatMessageRow::textRect() const {
    return {m_text->mapTo(this, QPoint(0, 0)), m_text->size()};
}

void ChatMessageRow::setBubbleMaximumWidth(int width) {
    if (width == m_maxWidth)
        return;
    m_maxWidth = width;
    fit();
}

void ChatMessageRow::fit() {
    // A wrapped label asks for a width of its own choosing; the bubble instead hugs short texts
    // and wraps long ones at the width the list allows.
    const QFontMetrics metrics(m_text->font());
    int natural = 0;
    for (const QString& line : m_message.text.split(QLatin1Char('\n')))
        natural = std::max(natural, metrics.horizontalAdvance(line) + 2);
    const int width = std::clamp(natural, 1, std::max(1, m_maxWidth - 20));
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, width, 1 << 20),
                                               Qt::TextWordWrap | Qt::AlignLeft, m_message.text);
    m_text->setFixedSize(width, wrapped.height() + 2);
}

void ChatMessageRow::syncCopyIcon() {
    if (m_copy)
        m_copy->setIcon(SymbolIcons::icon("doc.on.doc"_sym,
                                          QKForeground::color(QKForeground::Secondary, palette())));
}

void ChatMessageRow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        syncCopyIcon();
}

bool ChatMessageRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::FontChange)
        fit();
    return QWidget::eventFilter(watched, event);
}
