#include "ui-kit/TamsoExplainRow.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/TamsoSafetyBadge.h"

#include <cmath>
#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

TamsoExplainRow::TamsoExplainRow(const QString& title, const QString& sizeText,
                                 const QString& detail, QWidget* parent)
    : QWidget(parent) {
    auto* row = QKBuild::insetRow(this, {0, 6, 0, 6}, 12);

    // Leading mark.
    m_leadingColumn = QKBuild::insetColumn(nullptr, {0, 2, 0, 0}, 0);
    m_lock = new QKSymbol("lock.fill"_sym, QKFont{.style = TextStyle::Body}, this);
    m_lock->setMinimumWidth(16);
    QKForeground::apply(m_lock, QKForeground::Secondary);
    m_checkBox = new QCheckBox(this);
    m_checkBox->setAccessibleName(title);
    scaleCheckBox();
    m_leadingColumn->addWidget(m_lock, 0, Qt::AlignTop | Qt::AlignHCenter);
    m_leadingColumn->addWidget(m_checkBox, 0, Qt::AlignTop);
    m_leadingColumn->addStretch(1);
    row->addLayout(m_leadingColumn);

    // Text column.
    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    // The title names one item (a folder, an app) on one line; a long one ends in "…".
    m_title = new QKLineLabel(title, this);
    m_title->setObjectName(QStringLiteral("explainRowTitle"));
    QKFont::apply(m_title, TextStyle::Body, QFont::DemiBold);
    m_badge = new TamsoSafetyBadge(TamsoSafety::Safe, this);
    m_badge->hide();
    titleRow->addWidget(m_title, 0, Qt::AlignVCenter);
    titleRow->addWidget(m_badge, 0, Qt::AlignVCenter);
    titleRow->addStretch(1);
    text->addLayout(titleRow);
    m_detail = new QLabel(detail, this);
    m_detail->setTextFormat(Qt::PlainText);
    m_detail->setWordWrap(true);
    QKFont::apply(m_detail, TextStyle::Caption);
    QKForeground::apply(m_detail, QKForeground::Secondary);
    text->addWidget(m_detail);
    m_metaLabel = new QLabel(this);
    m_metaLabel->setTextFormat(Qt::PlainText);
    m_metaLabel->setWordWrap(true);
    QKFont::apply(m_metaLabel, TextStyle::Caption2);
    QKForeground::apply(m_metaLabel, QKForeground::Tertiary);
    m_metaLabel->hide();
    text->addWidget(m_metaLabel);
    row->addLayout(text, 1);

    row->addSpacing(8); // the least room between the text and the size

    // Size column.
    m_sizeColumn = new QVBoxLayout;
    m_sizeColumn->setSpacing(4);
    m_size = new QKLineLabel(sizeText, this);
    m_size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_size->setTabularDigits(true);
    m_size->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    QKFont::apply(
        m_size,
        QKFont{.style = TextStyle::Body, .weight = QFont::DemiBold, .monospacedDigit = true});
    m_sizeColumn->addWidget(m_size, 0, Qt::AlignRight);
    m_sizeColumn->addStretch(1);
    row->addLayout(m_sizeColumn);

    connect(m_checkBox, &QCheckBox::toggled, this, [this](bool on) {
        if (m_selected && *m_selected != on) {
            m_selected = on;
            emit selectedChanged(on);
        }
    });
    updateLeading();
}

QString TamsoExplainRow::title() const {
    return m_title->text();
}
void TamsoExplainRow::setTitle(const QString& title) {
    m_title->setText(title);
    m_checkBox->setAccessibleName(title);
}
QString TamsoExplainRow::sizeText() const {
    return m_size->text();
}
void TamsoExplainRow::setSizeText(const QString& sizeText) {
    m_size->setText(sizeText);
}
QString TamsoExplainRow::detail() const {
    return m_detail->text();
}
void TamsoExplainRow::setMeta(std::optional<QString> meta) {
    m_meta = std::move(meta);
    const bool shown = m_meta && !m_meta->isEmpty();
    m_metaLabel->setText(shown ? *m_meta : QString());
    m_metaLabel->setVisible(shown);
}

void TamsoExplainRow::setSafety(std::optional<TamsoSafety> safety) {
    m_safety = safety;
    if (safety)
        m_badge->setSafety(*safety);
    m_badge->setVisible(safety.has_value());
}

void TamsoExplainRow::setSelected(std::optional<bool> selected) {
    m_selected = selected;
    if (selected) {
        const QSignalBlocker block(m_checkBox);
        m_checkBox->setChecked(*selected);
    }
    updateLeading();
}

void TamsoExplainRow::setLocked(bool locked) {
    m_locked = locked;
    updateLeading();
}

void TamsoExplainRow::setTrailing(QWidget* trailing) {
    if (m_trailing == trailing)
        return;
    if (m_trailing) {
        m_sizeColumn->removeWidget(m_trailing);
        m_trailing->deleteLater();
    }
    m_trailing = trailing;
    if (trailing) {
        trailing->setParent(this);
        m_sizeColumn->insertWidget(1, trailing, 0, Qt::AlignRight);
        trailing->show();
    }
}

void TamsoExplainRow::updateLeading() {
    m_lock->setVisible(m_locked);
    m_checkBox->setVisible(!m_locked && m_selected.has_value());
}

void TamsoExplainRow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        scaleCheckBox();
}

void TamsoExplainRow::scaleCheckBox() {
    // The body text's size at the normal step.
    constexpr qreal kNormalPixels = 13;
    const qreal scale = QFontInfo(m_checkBox->font()).pixelSize() / kNormalPixels;
    if (scale <= 1.0) {
        m_checkBox->setStyleSheet(QString());
        return;
    }
    const int base = m_checkBox->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, nullptr);
    const int edge = int(std::lround(base * scale));
    m_checkBox->setStyleSheet(
        QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(edge));
}
