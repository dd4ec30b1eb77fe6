#include "apps/views/StartupItemRow.h"

#include "apps/StartupItemsText.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    auto* row = QKBuild::insetRow(this, {14, 7, 14, 7}, 12);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_title = line(item.label, TextStyle::Body, QKForeground::Primary, this);
    m_detail = line(StartupItemsText::detailLine(item), TextStyle::Caption2,
                    QKForeground::Secondary, this);
    m_detail->setObjectName(QStringLiteral("startupDetail"));
    m_scope =
        line(StartupItemsText::scopeLine(item), TextStyle::Caption2, QKForeground::Tertiary, this);
    m_scope->setObjectName(QStringLiteral("startupScope"));
    texts->addWidget(m_title);
    texts->addWidget(m_detail);
    texts->addWidget(m_scope);
    row->addLayout(texts, 1);

    m_reveal = QKBuild::button(StartupItemsText::reveal(), true, this);
    m_reveal->setObjectName(QStringLiteral("revealButton"));
    row->addWidget(m_reveal, 0, Qt::AlignTop);
    connect(m_reveal, &QPushButton::clicked, this, [this] { emit revealRequested(m_item); });

    // The switch or "locked" sits in a slot of one width, level with the button, so the
    // buttons of all rows line up.
    auto* slot = new QWidget(this);
    auto* slotLayout = new QHBoxLayout(slot);
    slotLayout->setContentsMargins(0, 0, 0, 0);
    slot->setFixedWidth(kTrailingWidth);
    slot->setMinimumHeight(m_reveal->sizeHint().height());
    if (item.userWritable) {
        m_switch = new ToggleSwitch(QString(), slot);
        m_switch->setAccessibleName(item.label);
        m_switch->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        m_switch->setChecked(!item.disabled && !item.inactive);
        if (!item.disabled && item.inactive) {
            m_switch->setEnabled(false);
            m_switch->setToolTip(StartupItemsText::offInItsOwnFile());
        }
        slotLayout->addWidget(m_switch, 0, Qt::AlignRight | Qt::AlignVCenter);
        // Only the user's own turns count; resetting the switch in code says nothing.
        connect(m_switch, &ToggleSwitch::clicked, this,
                [this](bool on) { emit switchTurned(m_item, on); });
    } else {
        m_locked = QKBuild::label(StartupItemsText::locked(), TextStyle::Caption2,
                                  QKForeground::Tertiary, slot, std::nullopt, false);
        m_locked->setObjectName(QStringLiteral("lockedLabel"));
        slotLayout->addWidget(m_locked, 0, Qt::AlignRight | Qt::AlignVCenter);
    }
    row->addWidget(slot, 0, Qt::AlignTop);
}

void StartupItemRow::resetSwitch() {
    if (m_switch)
        m_switch->setChecked(!m_item.disabled && !m_item.inactive);
}
