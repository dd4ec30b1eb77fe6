#include "developer/views/CompareExplainButton.h"

#include "developer/FileCompareText.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbol.h"

#include <QLabel>
#include <QLayout>

CompareExplainButton::CompareExplainButton(QWidget* parent) : QPushButton(parent) {
    setObjectName(QStringLiteral("explainChanges"));
    setToolTip(FileCompareText::explainHelp());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // The parts show the button's face; the button takes every click.
    const auto through = [](QWidget* w) { w->setAttribute(Qt::WA_TransparentForMouseEvents); };
    using namespace QKLayout;
    row({12, 0, 12, 0}, 6,
        {part(m_symbol = new QKSymbol("sparkles"_sym, QKFont{.style = TextStyle::Body}, this))
             .with(through)
             .align(Qt::AlignVCenter),
         part(m_spinner = new QKSpinner(this)).with(through).align(Qt::AlignVCenter),
         part(m_label = new QLabel(this))
             .with([](QLabel* label) { label->setTextFormat(Qt::PlainText); })
             .with(through)
             .align(Qt::AlignVCenter)})
        .on(this);
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
