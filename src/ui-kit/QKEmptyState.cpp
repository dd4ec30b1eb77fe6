#include "ui-kit/QKEmptyState.h"

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <QBoxLayout>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QTextDocument>

QKEmptyState::QKEmptyState(const QString& title, const QString& systemImage,
                           std::optional<QString> message, QWidget* parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(title);

    using namespace QKLayout;
    const auto centredWrapped = [](QLabel* label) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignHCenter);
    };
    column({28, 28, 28, 28}, 10,
           {
               stretch(1),
               part(m_symbol =
                        new QKSymbol(systemImage, QKFont{.fixedSize = 38, .weight = QFont::Normal},
                                     QKForeground::Tertiary, this))
                   .name(QStringLiteral("emptySymbol"))
                   .align(Qt::AlignHCenter),
               part(m_title = new QLabel(title, this))
                   .name(QStringLiteral("emptyTitle"))
                   .with([](QLabel* label) { label->setTextFormat(Qt::PlainText); })
                   .with(centredWrapped)
                   .font(TextStyle::Headline)
                   .align(Qt::AlignHCenter),
               part(m_messageLabel = new QLabel(this))
                   .name(QStringLiteral("emptyMessage"))
                   .with(centredWrapped)
                   .font(TextStyle::Callout)
                   .ink(QKForeground::Secondary)
                   .align(Qt::AlignHCenter),
               part(m_actions = new QWidget(this))
                   .name(QStringLiteral("emptyActions"))
                   .holding(row({0, 2, 0, 0}, 10, {}).keep(m_actionsLayout))
                   .with([](QWidget* actions) { actions->hide(); })
                   .align(Qt::AlignHCenter),
               stretch(1),
           })
        .on(this);
    setMessage(std::move(message));
}

namespace {

// The height a wrapped label's text needs at a width. QLabel::heightForWidth never reports less
// than the label's minimum height, so it cannot be used to lower a minimum set earlier (at a
// narrower width or a larger text size).
int textHeight(const QLabel* label, int width) {
    if (label->text().isEmpty())
        return 0;
    const QMargins m = label->contentsMargins();
    const int inner = std::max(1, width - m.left() - m.right());
    int height = 0;
    if (label->textFormat() == Qt::PlainText) {
        height = QFontMetrics(label->font())
                     .boundingRect(QRect(0, 0, inner, INT_MAX / 2),
                                   int(label->alignment()) | Qt::TextWordWrap, label->text())
                     .height();
    } else {
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(label->text());
        doc.setTextWidth(inner);
        height = int(std::ceil(doc.size().height()));
    }
    return height + m.top() + m.bottom();
}

} // namespace

void QKEmptyState::fitTexts() {
    const int available = std::max(0, width() - 56);
    const auto fit = [available](QLabel* label, int cap) {
        const int natural = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 2;
        const int w = std::min({natural, cap, available});
        if (label->minimumWidth() != w || label->maximumWidth() != w)
            label->setFixedWidth(w);
        const int h = textHeight(label, w);
        if (label->minimumHeight() != h)
            label->setMinimumHeight(h);
    };
    fit(m_title, QWIDGETSIZE_MAX);
    if (m_messageLabel->textFormat() == Qt::PlainText)
        fit(m_messageLabel, 420);
    else {
        const int w = std::min(420, available);
        m_messageLabel->setFixedWidth(w);
        const int h = textHeight(m_messageLabel, w);
        if (m_messageLabel->minimumHeight() != h)
            m_messageLabel->setMinimumHeight(h);
    }
}

void QKEmptyState::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitTexts();
}

bool QKEmptyState::event(QEvent* event) {
    // A child's font or text changed: its lines may have too. A panel kept hidden (a page of a
    // stack) misses those while the text size changes, so it fits again as it comes back.
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show)
        fitTexts();
    return QWidget::event(event);
}

QString QKEmptyState::title() const {
    return m_title->text();
}

void QKEmptyState::setTitle(const QString& title) {
    m_title->setText(title);
    setAccessibleName(title);
}

void QKEmptyState::setSystemImage(const QString& systemImage) {
    m_symbol->setSymbol(systemImage);
}

void QKEmptyState::setMessage(std::optional<QString> message, Qt::TextFormat format) {
    m_message = std::move(message);
    m_messageLabel->setTextFormat(format);
    m_messageLabel->setText(m_message.value_or(QString()));
    m_messageLabel->setVisible(m_message.has_value());
}

void QKEmptyState::addActionWidget(QWidget* control) {
    m_actionsLayout->addWidget(control, 0, Qt::AlignVCenter);
    m_actions->show();
}
