#include "apps/views/StartupItemRow.h"

#include "apps/StartupItemsText.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/ToggleSwitch.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kTrailingWidth = 52;

QKLineLabel* line(const QString& text, TextStyle style, QKForeground::Style tone, QWidget* parent) {
    auto* l = new QKLineLabel(text, parent);
    QKFont::apply(l, style);
    QKForeground::apply(l, tone);
    return l;
}

} // namespace

StartupItemRow::StartupItemRow(const StartupItem& item, QWidget* parent)
    : QWidget(parent), m_item(item) {
    setObjectName(QStringLiteral("startupRow"));
    using namespace QKLayout;
    QWidget* slot = nullptr;
    row({14, 7, 14, 7}, 12,
        {column(2, {part(m_title = line(item.label, TextStyle::Body, QKForeground::Primary, this)),
                    part(m_detail = line(StartupItemsText::detailLine(item), TextStyle::Caption2,
                                         QKForeground::Secondary, this))
                        .name(QStringLiteral("startupDetail")),
                    part(m_scope = line(StartupItemsText::scopeLine(item), TextStyle::Caption2,
                                        QKForeground::Tertiary, this))
                        .name(QStringLiteral("startupScope"))})
             .stretch(1),
         part(m_reveal = QKBuild::button(StartupItemsText::reveal(), true, this))
             .name(QStringLiteral("revealButton"))
             .align(Qt::AlignTop),
         // The switch or "locked" sits in a slot of one width, level with the button, so the
         // buttons of all rows line up.
         part(slot = new QWidget(this))
             .with([this](QWidget* w) {
                 w->setFixedWidth(kTrailingWidth);
                 w->setMinimumHeight(m_reveal->sizeHint().height());
             })
             .align(Qt::AlignTop)})
        .on(this);
    connect(m_reveal, &QPushButton::clicked, this, [this] { emit revealRequested(m_item); });

    if (item.userWritable) {
        QKLayout::row(QMargins(), {part(m_switch = new ToggleSwitch(QString(), slot))
                                       .accessibleName(item.label)
                                       .with([&item](ToggleSwitch* s) {
                                           s->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
                                           s->setChecked(!item.disabled && !item.inactive);
                                           if (!item.disabled && item.inactive) {
                                               s->setEnabled(false);
                                               s->setToolTip(StartupItemsText::offInItsOwnFile());
                                           }
                                       })
                                       .align(Qt::AlignRight | Qt::AlignVCenter)})
            .on(slot);
        // Only the user's own turns count; resetting the switch in code says nothing.
        connect(m_switch, &ToggleSwitch::clicked, this,
                [this](bool on) { emit switchTurned(m_item, on); });
    } else {
        QKLayout::row(
            QMargins(),
            {part(m_locked = QKBuild::label(StartupItemsText::locked(), TextStyle::Caption2,
                                            QKForeground::Tertiary, slot, std::nullopt, false))
                 .name(QStringLiteral("lockedLabel"))
                 .align(Qt::AlignRight | Qt::AlignVCenter)})
            .on(slot);
    }
}

void StartupItemRow::resetSwitch() {
    if (m_switch)
        m_switch->setChecked(!m_item.disabled && !m_item.inactive);
}
