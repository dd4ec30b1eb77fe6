#include "home/views/FullDiskAccessCard.h"

#include "home/DashboardText.h"

#include "platform/SymbolName.h"
#include "shell/Permissions.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"

#include <QLabel>
#include <QPushButton>

FullDiskAccessCard::FullDiskAccessCard(Permissions& permissions, std::function<bool()> probe,
                                       QWidget* parent)
    : QKCardSurface(14, false, parent), m_permissions(permissions), m_probe(std::move(probe)) {
    setObjectName(QStringLiteral("fullDiskAccessCard"));
    using namespace QKLayout;
    row({16, 16, 16, 16}, 12,
        {part(new QKSymbol("lock.shield"_sym, QKFont{.style = TextStyle::Title2},
                           QKForeground::Orange, this))
             .align(Qt::AlignTop),
         column(4, {QKBuild::label(DashboardText::fullDiskAccessTitle(), TextStyle::Headline,
                                   QKForeground::Primary, this),
                    QKBuild::label(DashboardText::fullDiskAccessMessage(), TextStyle::Callout,
                                   QKForeground::Secondary, this),
                    row({0, 2, 0, 0}, 8,
                        {part(m_open =
                                  new QKProminentButton(DashboardText::fullDiskAccessOpen(), this))
                             .name(QStringLiteral("openFullDiskAccessSettings")),
                         part(m_recheck = QKBuild::button(DashboardText::fullDiskAccessRecheck(),
                                                          false, this))
                             .name(QStringLiteral("recheckFullDiskAccess")),
                         stretch(1)})})
             .stretch(1)})
        .on(this);

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
