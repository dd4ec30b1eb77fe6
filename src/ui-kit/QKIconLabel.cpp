#include "ui-kit/QKIconLabel.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKSymbol.h"

#include <QHBoxLayout>
#include <QLabel>

QKIconLabel::QKIconLabel(const QString& symbol, const QString& text, const QKFont& font,
                         QKForeground::Style tone, QWidget* parent)
    : QWidget(parent) {
    auto* row = QKBuild::insetRow(this, {0, 0, 0, 0}, 6);
    auto* mark = new QKSymbol(symbol, font, this);
    mark->setObjectName(QStringLiteral("iconLabelSymbol"));
    m_label = new QLabel(text, this);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    QKFont::apply(m_label, font);
    QKForeground::apply(this, tone);
    row->addWidget(mark, 0, Qt::AlignTop);
    row->addWidget(m_label, 1);
}

QString QKIconLabel::text() const {
    return m_label->text();
}
void QKIconLabel::setText(const QString& text) {
    m_label->setText(text);
}
