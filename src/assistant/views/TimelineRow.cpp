#include "assistant/views/TimelineRow.h"

#include "assistant/TimelineText.h"
#include "platform/SymbolName.h"
#include "ui-kit/Capsule.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKSymbolButton.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

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
    static QString text() { return TimelineText::pinnedBadge(); }
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
    using namespace QKLayout;
    QWidget* cell = nullptr;
    flushColumn(
        {row({0, 8, 0, 8}, 10,
             {// The symbol sits in a 22-point column, 2 points below the row's top.
              part(cell = new QWidget(this))
                  .with([](QWidget* w) { w->setFixedWidth(22); })
                  .holding(
                      Box(Qt::Vertical, QMargins(0, 2, 0, 0), std::nullopt,
                          {part(m_symbol = new QKSymbol(TimelineText::symbol(entry.kind),
                                                        QKFont{.style = TextStyle::Body}, cell))
                               .name(QStringLiteral("entryKind"))
                               .align(Qt::AlignHCenter | Qt::AlignTop),
                           stretch(1)}))
                  .align(Qt::AlignTop),
              column(4, {row(6, {part(m_title = new QKClampedText(2, this))
                                     .name(QStringLiteral("entryTitle"))
                                     .font(TextStyle::Callout, QFont::DemiBold)
                                     .with([&](QKClampedText* t) { t->setText(entry.title); }),
                                 part(m_badge = new PinnedBadge(this))
                                     .name(QStringLiteral("entryPinned"))
                                     .align(Qt::AlignTop),
                                 stretch(1)}),
                         part(m_detail = new QKClampedText(4, this))
                             .name(QStringLiteral("entryDetail"))
                             .font(TextStyle::Caption)
                             .ink(QKForeground::Secondary)
                             .with([&](QKClampedText* t) {
                                 t->setText(entry.detail);
                                 t->setVisible(!entry.detail.isEmpty());
                             }),
                         part(m_meta =
                                  QKBuild::label(QString(), TextStyle::Caption2,
                                                 QKForeground::Tertiary, this, std::nullopt, false))
                             .name(QStringLiteral("entryMeta"))})
                  .stretch(1),
              space(4),
              part(m_pin = new QKSymbolButton("pin"_sym, QKForeground::Secondary,
                                              QKFont{.style = TextStyle::Body}, this))
                  .name(QStringLiteral("pinButton"))
                  .align(Qt::AlignTop)}),
         part(m_divider = new QKHairline(this)).name(QStringLiteral("entryDivider"))})
        .on(this);

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
