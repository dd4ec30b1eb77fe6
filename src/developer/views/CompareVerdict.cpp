#include "developer/views/CompareVerdict.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSpinner.h"

#include <QLabel>

namespace {

QKIconLabel* seal(const QString& symbol, const QString& text, QKForeground::Style tone,
                  QWidget* parent) {
    auto* label = new QKIconLabel(symbol, text, QKFont{.style = TextStyle::Body}, tone, parent);
    label->textLabel()->setWordWrap(false);
    return label;
}

QKIconLabel* count(const QString& symbol, QKForeground::Style tone, const QString& name,
                   QWidget* parent) {
    auto* label = new QKIconLabel(
        symbol, QStringLiteral("0"),
        QKFont{.style = TextStyle::Callout, .weight = QFont::DemiBold, .monospacedDigit = true},
        tone, parent);
    label->textLabel()->setWordWrap(false);
    label->setObjectName(name);
    return label;
}

} // namespace

CompareVerdict::CompareVerdict(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("compareVerdict"));
    using namespace QKLayout;
    row(QMargins(),
        {part(m_spinner = new QKSpinner(this)).ink(QKForeground::Secondary).align(Qt::AlignVCenter),
         part(m_identical = seal("checkmark.seal.fill"_sym, FileCompareText::identicalLabel(),
                                 QKForeground::Green, this))
             .name(QStringLiteral("verdictIdentical"))
             .align(Qt::AlignVCenter),
         part(m_different = seal("xmark.seal.fill"_sym, FileCompareText::differentLabel(),
                                 QKForeground::Orange, this))
             .name(QStringLiteral("verdictDifferent"))
             .align(Qt::AlignVCenter),
         part(m_counts = new QWidget(this))
             .holding(row({0, 0, 0, 0}, 10,
                          {part(m_added = count("plus.circle.fill"_sym, QKForeground::Green,
                                                QStringLiteral("addedCount"), m_counts)),
                           part(m_removed = count("minus.circle.fill"_sym, QKForeground::Red,
                                                  QStringLiteral("removedCount"), m_counts)),
                           part(m_changed = count("pencil.circle.fill"_sym, QKForeground::Orange,
                                                  QStringLiteral("changedCount"), m_counts))}))
             .align(Qt::AlignVCenter)})
        .on(this);
    setVerdict(FileCompareText::Verdict::Hidden, {});
}

void CompareVerdict::setVerdict(FileCompareText::Verdict verdict, const DiffSummary& summary) {
    using V = FileCompareText::Verdict;
    m_verdict = verdict;
    m_spinner->setVisible(verdict == V::Busy);
    m_identical->setVisible(verdict == V::Identical);
    m_different->setVisible(verdict == V::Different);
    m_counts->setVisible(verdict == V::Counts);
    m_added->setText(QString::number(summary.added));
    m_removed->setText(QString::number(summary.removed));
    m_changed->setText(QString::number(summary.changed));
    m_added->textLabel()->setAccessibleName(FileCompareText::addedCount(summary.added));
    m_removed->textLabel()->setAccessibleName(FileCompareText::removedCount(summary.removed));
    m_changed->textLabel()->setAccessibleName(FileCompareText::changedCount(summary.changed));
    setVisible(verdict != V::Hidden && verdict != V::Nothing);
}
