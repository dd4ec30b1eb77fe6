#include "assistant/views/TimelineRow.h"

#include "assistant/TimelineText.h"
#include "platform/SymbolName.h"
#include "ui-kit/Capsule.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKSymbolButton.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The "Pinned" capsule: accent text on the accent at 15 %, 6 points of room left and right and
// 2 above and below.
class PinnedBadge : public QWidget {
public:
    explicit PinnedBadge(QWidget* parent) : QWidget(parent) {
        QKFont::apply(this, TextStyle::Caption2, QFont::DemiBold);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        setAccessibleName(text());
    }
    static QString text() { return QStringLiteral("Pinned"); }
    QSize sizeHint() const override {
        const QFontMetrics fm(font());
        return {fm.horizontalAdvance(text()) + 12, fm.height() + 4};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paintCapsule(p, rect(), QKForeground::color(QKForeground::Tint, palette()), 0.15, text(),
                     font());
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange)
            updateGeometry();
        QWidget::changeEvent(event);
    }
};

} // namespace

TimelineRow::TimelineRow(const TimelineEntry& entry, QWidget* parent)
    : QWidget(parent), m_entry(entry) {
    auto* outer = QKBuild::flushColumn(this);

    auto* row = QKBuild::insetRow(nullptr, {0, 8, 0, 8}, 10);

    // The symbol sits in a 22-point column, 2 points below the row's top.
    auto* cell = new QWidget(this);
    cell->setFixedWidth(22);
    auto* cellLayout = new QVBoxLayout(cell);
    cellLayout->setContentsMargins(0, 2, 0, 0);
    m_symbol =
        new QKSymbol(TimelineText::symbol(entry.kind), QKFont{.style = TextStyle::Body}, cell);
    cellLayout->addWidget(m_symbol, 0, Qt::AlignHCenter | Qt::AlignTop);
    cellLayout->addStretch(1);
    row->addWidget(cell, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    auto* titleLine = new QHBoxLayout;
    titleLine->setSpacing(6);
    m_title = new QKClampedText(2, this);
    m_title->setObjectName(QStringLiteral("entryTitle"));
    QKFont::apply(m_title, TextStyle::Callout, QFont::DemiBold);
    m_title->setText(entry.title);
    titleLine->addWidget(m_title);
    m_badge = new PinnedBadge(this);
    titleLine->addWidget(m_badge, 0, Qt::AlignTop);
    titleLine->addStretch(1);
    texts->addLayout(titleLine);

    m_detail = new QKClampedText(4, this);
    m_detail->setObjectName(QStringLiteral("entryDetail"));
    QKFont::apply(m_detail, TextStyle::Caption);
    QKForeground::apply(m_detail, QKForeground::Secondary);
    m_detail->setText(entry.detail);
    m_detail->setVisible(!entry.detail.isEmpty());
    texts->addWidget(m_detail);

    m_meta = QKBuild::label(QString(), TextStyle::Caption2, QKForeground::Tertiary, this,
                            std::nullopt, false);
    m_meta->setObjectName(QStringLiteral("entryMeta"));
    texts->addWidget(m_meta);
    row->addLayout(texts, 1);

    row->addSpacing(4);
    m_pin = new QKSymbolButton("pin"_sym, QKForeground::Secondary, QKFont{.style = TextStyle::Body},
                               this);
    m_pin->setObjectName(QStringLiteral("pinButton"));
    row->addWidget(m_pin, 0, Qt::AlignTop);

    outer->addLayout(row);
    m_divider = new QKHairline(this);
    outer->addWidget(m_divider);

    showPinState();
    refreshAge(QDateTime::currentDateTimeUtc());
}

void TimelineRow::setEntry(const TimelineEntry& entry) {
    const bool pinChanged = entry.pinned != m_entry.pinned;
    if (entry.kind != m_entry.kind)
        m_symbol->setSymbol(TimelineText::symbol(entry.kind));
    m_entry = entry;
    m_title->setText(entry.title);
    m_detail->setText(entry.detail);
    m_detail->setVisible(!entry.detail.isEmpty());
    if (pinChanged)
        showPinState();
    if (m_lastNow.isValid())
        refreshAge(m_lastNow);
}

void TimelineRow::showPinState() {
    const bool pinned = m_entry.pinned;
    QKForeground::apply(m_symbol, pinned ? QKForeground::Tint : QKForeground::Secondary);
    m_badge->setVisible(pinned);
    m_pin->setSymbol(pinned ? QString("pin.fill"_sym) : QString("pin"_sym),
                     pinned ? QKForeground::Tint : QKForeground::Secondary);
    const QString tip = TimelineText::pinTooltip(pinned);
    m_pin->setToolTip(tip);
    m_pin->setAccessibleName(tip);
}

void TimelineRow::refreshAge(const QDateTime& now) {
    m_lastNow = now;
    const QString text = label(m_entry.kind) + QStringLiteral(" · ") +
                         TimelineText::relativeDate(m_entry.dateTime(), now);
    if (m_meta->text() != text)
        m_meta->setText(text);
}

void TimelineRow::setDividerVisible(bool visible) {
    m_divider->setVisible(visible);
}

bool TimelineRow::dividerVisible() const {
    return !m_divider->isHidden();
}
