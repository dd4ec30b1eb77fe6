#include "apps/views/TweaksView.h"

#include "apps/TweaksService.h"
#include "apps/TweaksText.h"
#include "apps/views/TweakRow.h"
#include "ui-kit/QKAlert.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKScanStatePages.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QKCardSurface* card(QWidget* parent, QVBoxLayout*& column) {
    auto* surface = new QKCardSurface(10, false, parent);
    column = QKBuild::insetColumn(surface, {0, 4, 0, 4}, 0);
    return surface;
}

} // namespace

TweaksView::TweaksView(TweaksService* service, QWidget* parent)
    : QWidget(parent), m_service(service) {
    setObjectName(QStringLiteral("tweaksView"));
    setWindowTitle(TweaksText::title());
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    m_stack = new QKScanStatePages(this);
    root->addWidget(m_stack);
    m_progress =
        m_stack->setPage(QKScanPhase::Busy, QKBusyPage::reading(TweaksText::reading(), m_stack));

    m_list = new QWidget(m_stack);
    QVBoxLayout* column = nullptr;
    QKBuild::page(column, m_list);
    column->setSpacing(6);
    QLabel* intro = QKBuild::label(TweaksText::introduction(), TextStyle::Caption,
                                   QKForeground::Secondary, m_list);
    intro->setObjectName(QStringLiteral("tweaksIntro"));
    QKBuild::addPart(column, intro);
    QLabel* store = QKBuild::label(TweaksText::storeLine(), TextStyle::Caption,
                                   QKForeground::Secondary, m_list);
    store->setObjectName(QStringLiteral("tweaksStore"));
    QKBuild::addPart(column, store);

    if (service) {
        for (const QString& group : service->groups()) {
            QLabel* heading = QKBuild::label(group, TextStyle::Subheadline, QKForeground::Secondary,
                                             m_list, QFont::DemiBold, false);
            heading->setObjectName(QStringLiteral("tweaksHeading"));
            heading->setContentsMargins(4, 14, 0, 0);
            QKBuild::addPart(column, heading);
            m_headings << group;
            QVBoxLayout* rows = nullptr;
            QKCardSurface* surface = card(m_list, rows);
            for (const Tweak& t : service->tweaks()) {
                if (t.group != group)
                    continue;
                if (rows->count() > 0)
                    rows->addWidget(new QKHairline(surface, 0.07));
                auto* row = new TweakRow(t, surface);
                connect(row, &TweakRow::switchTurned, this, [this](const Tweak& tweak, bool on) {
                    if (m_service)
                        m_service->apply(tweak, on);
                });
                rows->addWidget(row);
                m_rows << row;
            }
            QKBuild::addPart(column, surface);
        }
    }

    QVBoxLayout* restoreColumn = nullptr;
    QKCardSurface* restoreCard = card(m_list, restoreColumn);
    restoreColumn->setContentsMargins(14, 10, 14, 10);
    restoreColumn->setSpacing(4);
    m_restore = QKBuild::button(TweaksText::restoreButton(), false, restoreCard);
    m_restore->setObjectName(QStringLiteral("restoreAllButton"));
    m_restore->setFlat(true);
    QKForeground::apply(m_restore, QKForeground::Red);
    restoreColumn->addWidget(m_restore, 0, Qt::AlignLeft);
    restoreColumn->addWidget(QKBuild::label(TweaksText::restoreNote(), TextStyle::Caption,
                                            QKForeground::Secondary, restoreCard));
    auto* spacer = new QWidget(m_list);
    spacer->setFixedHeight(10);
    QKBuild::addPart(column, spacer);
    QKBuild::addPart(column, restoreCard);
    connect(m_restore, &QPushButton::clicked, this, [this] {
        if (m_service)
            m_service->restoreAll();
    });
    m_stack->setPage(QKScanPhase::Done, m_list);

    if (service) {
        connect(service, &TweaksService::isLoadedChanged, this, &TweaksView::showContent);
        connect(service, &TweaksService::statesChanged, this, &TweaksView::showStates);
        connect(service, &TweaksService::lastErrorChanged, this, &TweaksView::showError);
    }
    showStates();
    showContent();
    showError();
}

TweakRow* TweaksView::row(const QString& tweakId) const {
    for (TweakRow* r : m_rows) {
        if (r->tweak().id == tweakId)
            return r;
    }
    return nullptr;
}

QStringList TweaksView::headings() const {
    return m_headings;
}

bool TweaksView::showsProgress() const {
    return m_stack->currentWidget() == m_progress;
}

void TweaksView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_service && !m_service->isLoaded())
        m_service->load();
}

void TweaksView::showContent() {
    m_stack->showPhase(m_service && m_service->isLoaded() ? QKScanPhase::Done : QKScanPhase::Busy);
}

void TweaksView::showStates() {
    for (TweakRow* r : std::as_const(m_rows))
        r->setOn(m_service && m_service->isOn(r->tweak().id));
}

void TweaksView::showError() {
    const std::optional<QString> error = m_service ? m_service->lastError() : std::nullopt;
    QKAlert::follow(m_alert, TweaksText::alertTitle(), error, QStringLiteral("tweaksAlert"), this,
                    [this] {
                        if (m_service && m_service->lastError())
                            m_service->setLastError(std::nullopt);
                    });
}
