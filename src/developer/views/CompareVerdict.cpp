#include "developer/views/CompareVerdict.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKSpinner.h"

#include <QHBoxLayout>
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
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_spinner = new QKSpinner(this);
    QKForeground::apply(m_spinner, QKForeground::Secondary);
    m_identical = seal("checkmark.seal.fill"_sym, FileCompareText::identicalLabel(),
                       QKForeground::Green, this);
    m_identical->setObjectName(QStringLiteral("verdictIdentical"));
    m_different =
        seal("xmark.seal.fill"_sym, FileCompareText::differentLabel(), QKForeground::Orange, this);
    m_different->setObjectName(QStringLiteral("verdictDifferent"));
    m_counts = new QWidget(this);
    auto* chips = QKBuild::insetRow(m_counts, {0, 0, 0, 0}, 10);
    m_added =
        count("plus.circle.fill"_sym, QKForeground::Green, QStringLiteral("addedCount"), m_counts);
    m_removed =
        count("minus.circle.fill"_sym, QKForeground::Red, QStringLiteral("removedCount"), m_counts);
    m_changed = count("pencil.circle.fill"_sym, QKForeground::Orange,
                      QStringLiteral("changedCount"), m_counts);
    chips->addWidget(m_added);
    chips->addWidget(m_removed);
    chips->addWidget(m_changed);
    for (QWidget* w : {static_cast<QWidget*>(m_spinner), static_cast<QWidget*>(m_identical),
                       static_cast<QWidget*>(m_different), m_counts})
        row->addWidget(w, 0, Qt::AlignVCenter);
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
