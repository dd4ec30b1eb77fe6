#include "home/views/FullDiskAccessCard.h"

#include "platform/SymbolName.h"
#include "shell/Permissions.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FullDiskAccessCard::FullDiskAccessCard(Permissions& permissions, std::function<bool()> probe,
                                       QWidget* parent)
    : QKCardSurface(14, false, parent), m_permissions(permissions), m_probe(std::move(probe)) {
    setObjectName(QStringLiteral("fullDiskAccessCard"));
    auto* row = QKBuild::insetRow(this, {16, 16, 16, 16}, 12);
    auto* lock = new QKSymbol("lock.shield"_sym, QKFont{.style = TextStyle::Title2},
                              QKForeground::Orange, this);
    row->addWidget(lock, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    column->addWidget(QKBuild::label(QStringLiteral("Give Pendrel Full Disk Access"),
                                     TextStyle::Headline, QKForeground::Primary, this));
    column->addWidget(QKBuild::label(
        QStringLiteral("Some cleaning and scanning needs permission to see protected folders. It "
                       "takes ten seconds: flip the switch for Pendrel, then come back."),
        TextStyle::Callout, QKForeground::Secondary, this));
    auto* buttons = QKBuild::insetRow(nullptr, {0, 2, 0, 0}, 8);
    m_open = new QKProminentButton(QStringLiteral("Open Settings"), this);
    m_open->setObjectName(QStringLiteral("openFullDiskAccessSettings"));
    m_recheck = QKBuild::button(QStringLiteral("I've done it, recheck"), false, this);
    m_recheck->setObjectName(QStringLiteral("recheckFullDiskAccess"));
    buttons->addWidget(m_open);
    buttons->addWidget(m_recheck);
    buttons->addStretch(1);
    column->addLayout(buttons);
    row->addLayout(column, 1);

    connect(m_open, &QPushButton::clicked, this, [] { Permissions::openFullDiskAccessSettings(); });
    connect(m_recheck, &QPushButton::clicked, this, [this] {
        m_permissions.setHasFullDiskAccess(m_probe ? m_probe()
                                                   : Permissions::probeFullDiskAccess());
    });
    connect(&m_permissions, &Permissions::hasFullDiskAccessChanged, this,
            &FullDiskAccessCard::follow);
    follow();
}

void FullDiskAccessCard::follow() {
    setHidden(m_permissions.hasFullDiskAccess());
}
