#include "apps/views/TweaksView.h"

#include "apps/TweaksService.h"
#include "apps/TweaksText.h"
#include "apps/views/TweakRow.h"
#include "ui-kit/QKAlert.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKScanStatePages.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

TweaksView::TweaksView(TweaksService* service, QWidget* parent)
    : QWidget(parent), m_service(service) {
    using namespace QKLayout;
    setObjectName(QStringLiteral("tweaksView"));
    setWindowTitle(TweaksText::title());
    flushColumn({part(m_stack = new QKScanStatePages(this))}).on(this);
    m_stack->setPage(QKScanPhase::Busy, QKBusyPage::reading(TweaksText::reading(), m_stack))
        ->setObjectName(QStringLiteral("tweaksReading"));

    m_list = new QWidget(m_stack);
    QVBoxLayout* page = nullptr;
    QKBuild::page(page, m_list);
    page->setSpacing(6);
    const auto caption = [this](const QString& text, const QString& name) {
        return part(QKBuild::label(text, TextStyle::Caption, QKForeground::Secondary, m_list))
            .name(name);
    };
    Box parts = column({caption(TweaksText::introduction(), QStringLiteral("tweaksIntro")),
                        caption(TweaksText::storeLine(), QStringLiteral("tweaksStore"))});
    for (const QString& group : service ? service->groups() : QStringList()) {
        parts.add(part(QKBuild::label(group, TextStyle::Subheadline, QKForeground::Secondary,
                                      m_list, QFont::DemiBold, false))
                      .name(QStringLiteral("tweaksHeading"))
                      .with([](QLabel* l) { l->setContentsMargins(4, 14, 0, 0); }));
        parts.add(buildGroup(group));
    }
    auto* restoreCard = new QKCardSurface(10, false, m_list);
    column({14, 10, 14, 10}, 4,
           {part(m_restore = QKBuild::button(TweaksText::restoreButton(), false, restoreCard))
                .name(QStringLiteral("restoreAllButton"))
                .with([](QPushButton* b) { b->setFlat(true); })
                .ink(QKForeground::Red)
                .align(Qt::AlignLeft),
            part(QKBuild::label(TweaksText::restoreNote(), TextStyle::Caption,
                                QKForeground::Secondary, restoreCard))})
        .on(restoreCard);
    parts.add(part(new QWidget(m_list)).with([](QWidget* gap) { gap->setFixedHeight(10); }));
    parts.add(restoreCard);
    parts.fillPage(page);
    m_stack->setPage(QKScanPhase::Done, m_list);

    connect(m_restore, &QPushButton::clicked, this, [this] {
        if (m_service)
            m_service->restoreAll();
    });
    if (service) {
        connect(service, &TweaksService::isLoadedChanged, this, &TweaksView::showContent);
        connect(service, &TweaksService::statesChanged, this, &TweaksView::showStates);
        connect(service, &TweaksService::lastErrorChanged, this, &TweaksView::showError);
    }
    showStates();
    showContent();
    showError();
}

// One group's card: its tweaks, a hairline between each two.
QKCardSurface* TweaksView::buildGroup(const QString& group) {
    auto* surface = new QKCardSurface(10, false, m_list);
    QKLayout::Box rows = QKLayout::column({0, 4, 0, 4}, 0, {});
    bool first = true;
    for (const Tweak& t : m_service->tweaks()) {
        if (t.group != group)
            continue;
        if (!first)
            rows.add(new QKHairline(surface, 0.07));
        first = false;
        auto* row = new TweakRow(t, surface);
        connect(row, &TweakRow::switchTurned, this, [this](const Tweak& tweak, bool on) {
            if (m_service)
                m_service->apply(tweak, on);
        });
        rows.add(row);
        m_rows << row;
    }
    rows.on(surface);
    return surface;
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
