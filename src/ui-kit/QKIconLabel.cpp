#include "ui-kit/QKIconLabel.h"

#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"

#include <QLabel>

QKIconLabel::QKIconLabel(const QString& symbol, const QString& text, const QKFont& font,
                         QKForeground::Style tone, QWidget* parent)
    : QWidget(parent) {
    using namespace QKLayout;
    row({0, 0, 0, 0}, 6,
        {part(new QKSymbol(symbol, font, this))
             .name(QStringLiteral("iconLabelSymbol"))
             .align(Qt::AlignTop),
         part(m_label = new QLabel(text, this))
             .with([](QLabel* label) {
                 label->setTextFormat(Qt::PlainText);
                 label->setWordWrap(true);
             })
             .font(font)
             .stretch(1)})
        .on(this);
    QKForeground::apply(this, tone);
}

QString QKIconLabel::text() const {
    return m_label->text();
}
void QKIconLabel::setText(const QString& text) {
    m_label->setText(text);
}
