#include "developer/views/CompareExplainButton.h"

#include "developer/FileCompareText.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbol.h"

#include <QHBoxLayout>
#include <QLabel>

CompareExplainButton::CompareExplainButton(QWidget* parent) : QPushButton(parent) {
    setObjectName(QStringLiteral("explainChanges"));
    setToolTip(FileCompareText::explainHelp());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* row = QKBuild::insetRow(this, {12, 0, 12, 0}, 6);
    m_symbol = new QKSymbol("sparkles"_sym, QKFont{.style = TextStyle::Body}, this);
    m_spinner = new QKSpinner(this);
    m_label = new QLabel(this);
    m_label->setTextFormat(Qt::PlainText);
    for (QWidget* w : {static_cast<QWidget*>(m_symbol), static_cast<QWidget*>(m_spinner),
                       static_cast<QWidget*>(m_label)}) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        row->addWidget(w, 0, Qt::AlignVCenter);
    }
    setWorking(false);
}

void CompareExplainButton::setWorking(bool working) {
    m_symbol->setVisible(!working);
    m_spinner->setVisible(working);
    m_label->setText(working ? FileCompareText::explainWorkingLabel()
                             : FileCompareText::explainLabel());
    setAccessibleName(m_label->text());
    setEnabled(!working);
    updateGeometry();
}

QString CompareExplainButton::label() const {
    return m_label->text();
}

QSize CompareExplainButton::sizeHint() const {
    // The height of a plain push button; the width of what it holds.
    const QSize plain = QPushButton::sizeHint();
    return QSize(layout()->sizeHint().width(),
                 std::max(plain.height(), layout()->sizeHint().height()));
}
