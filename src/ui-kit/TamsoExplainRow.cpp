#include "ui-kit/TamsoExplainRow.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"
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

namespace {

// The description and the third line: plain text, wrapped in full.
void wrapPlain(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
}

// The size: right-aligned tabular digits, as wide as the text needs and no wider.
void sizeFigure(QKLineLabel* label) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTabularDigits(true);
    label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    QKFont::apply(
        label,
        QKFont{.style = TextStyle::Body, .weight = QFont::DemiBold, .monospacedDigit = true});
}

// The lock that stands in for the checkbox of a locked row, in a column as wide as the box.
QKSymbol* lockMark(QWidget* parent) {
    auto* lock = new QKSymbol("lock.fill"_sym, QKFont{.style = TextStyle::Body}, parent);
    lock->setMinimumWidth(16);
    return lock;
}

} // namespace

TamsoExplainRow::TamsoExplainRow(const QString& title, const QString& sizeText,
                                 const QString& detail, QWidget* parent)
    : QWidget(parent) {
    using namespace QKLayout;
    row({0, 6, 0, 6}, 12,
        {
            // Leading mark.
            column({0, 2, 0, 0}, 0,
                   {part(m_lock = lockMark(this))
                        .name(QStringLiteral("explainRowLock"))
                        .ink(QKForeground::Secondary)
                        .align(Qt::AlignTop | Qt::AlignHCenter),
                    part(m_checkBox = new QCheckBox(this))
                        .name(QStringLiteral("explainRowCheck"))
                        .accessibleName(title)
                        .with([this](QCheckBox*) { scaleCheckBox(); })
                        .align(Qt::AlignTop),
                    stretch(1)}),
            // Text column. The title names one item (a folder, an app) on one line; a long one
            // ends in "…".
            column(4, {row(8, {part(m_title = new QKLineLabel(title, this))
                                   .name(QStringLiteral("explainRowTitle"))
                                   .font(TextStyle::Body, QFont::DemiBold)
                                   .align(Qt::AlignVCenter),
                               part(m_badge = new TamsoSafetyBadge(TamsoSafety::Safe, this))
                                   .name(QStringLiteral("explainRowBadge"))
                                   .with([](QWidget* w) { w->hide(); })
                                   .align(Qt::AlignVCenter),
                               stretch(1)}),
                       part(m_detail = new QLabel(detail, this))
                           .name(QStringLiteral("explainRowDetail"))
                           .with(wrapPlain)
                           .font(TextStyle::Caption)
                           .ink(QKForeground::Secondary),
                       part(m_metaLabel = new QLabel(this))
                           .name(QStringLiteral("explainRowMeta"))
                           .with(wrapPlain)
                           .with([](QLabel* l) { l->hide(); })
                           .font(TextStyle::Caption2)
                           .ink(QKForeground::Tertiary)})
                .stretch(1),
            space(8), // the least room between the text and the size
                      // Size column: the size, and any trailing control under it.
            column(4, {part(m_size = new QKLineLabel(sizeText, this))
                           .name(QStringLiteral("explainRowSize"))
                           .with(sizeFigure)
                           .align(Qt::AlignRight),
                       stretch(1)})
                .keep(m_sizeColumn),
        })
        .on(this);

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
    // The room around the indicator is where a keyboard user's focus ring runs.
    const QString room =
        QStringLiteral("QCheckBox { padding: %1px; }").arg(QKFocusRing::kCheckRoom);
    // The body text's size at the normal step.
    constexpr qreal kNormalPixels = 13;
    const qreal scale = QFontInfo(m_checkBox->font()).pixelSize() / kNormalPixels;
    if (scale <= 1.0) {
        m_checkBox->setStyleSheet(room);
        return;
    }
    const int base = m_checkBox->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, nullptr);
    const int edge = int(std::lround(base * scale));
    m_checkBox->setStyleSheet(
        room + QStringLiteral(" QCheckBox::indicator { width: %1px; height: %1px; }").arg(edge));
}
