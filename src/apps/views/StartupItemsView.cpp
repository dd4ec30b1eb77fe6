#include "apps/views/StartupItemsView.h"

#include "apps/StartupItems.h"
#include "apps/StartupItemsText.h"
#include "apps/views/StartupItemRow.h"
#include "ui-kit/QKAlert.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/ToggleSwitch.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>

StartupItemsView::StartupItemsView(StartupItems* startup, FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_startup(startup), m_revealer(revealer) {
    setObjectName(QStringLiteral("startupItemsView"));
    setWindowTitle(StartupItemsText::title());

    using namespace QKLayout;
    QWidget* header = nullptr;
    flushColumn(
        {part(header = new QWidget(this))
             .holding(column({16, 16, 16, 16}, 2,
                             {part(QKBuild::label(StartupItemsText::headline(), TextStyle::Headline,
                                                  QKForeground::Primary, header))
                                  .name(QStringLiteral("startupHeadline")),
                              QKBuild::label(StartupItemsText::explanation(), TextStyle::Caption,
                                             QKForeground::Secondary, header)})),
         new QKHairline(this), part(m_stack = new QKScanStatePages(this)).stretch(1)})
        .on(this);
    m_progress = QKBusyPage::reading(StartupItemsText::reading(), m_stack);
    m_progress->setObjectName(QStringLiteral("startupReading"));
    m_empty = new QKEmptyState(StartupItemsText::emptyTitle(), QStringLiteral("power"),
                               StartupItemsText::emptyMessage(), m_stack);
    m_empty->setObjectName(QStringLiteral("startupEmpty"));

    // The list: one card of rows with hairlines between them, scrolling as a whole.
    m_listPage = new QWidget(m_stack);
    m_listPage->setObjectName(QStringLiteral("startupList"));
    QScrollArea* scroll = nullptr;
    flushColumn({part(scroll = QKBuild::plainScroll(new QScrollArea(m_listPage)))}).on(m_listPage);
    auto* content = new QWidget;
    column({16, 12, 16, 16}, {part(m_card = new QKCardSurface(10, false, content))
                                  .holding(column({0, 4, 0, 4}, 0, {}).keep(m_cardColumn)),
                              stretch(1)})
        .on(content);
    scroll->setWidget(content);
    content->setAutoFillBackground(false);

    m_stack->setPage(QKScanPhase::Busy, m_progress);
    m_stack->setPage(QKScanPhase::Empty, m_empty);
    m_stack->setPage(QKScanPhase::Done, m_listPage);

    if (startup) {
        connect(startup, &StartupItems::itemsChanged, this, &StartupItemsView::rebuild);
        connect(startup, &StartupItems::loadedChanged, this, &StartupItemsView::showContent);
    }
    rebuild();
}

void StartupItemsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_startup && !m_startup->loaded())
        m_startup->load();
}

void StartupItemsView::rebuild() {
    // A rebuild can come from inside a row's own switch signal (a switch rereads the list), so
    // the old rows go once control has left them.
    // A switch turned from the keyboard rebuilds the row it is in: the focus goes on to the same
    // control of the item's new row, not to whatever Qt finds after the row that went. Every
    // read gives an item a new id; its file keeps its name where it moves, and its scope.
    const auto itemKey = [](const StartupItem& item) {
        return item.plistURL.fileName() + QLatin1Char('\n') + item.scope;
    };
    QString focusedItem;
    bool focusedSwitch = false;
    Qt::FocusReason focusReason = Qt::OtherFocusReason;
    if (QWidget* focused = window()->focusWidget()) {
        for (StartupItemRow* row : std::as_const(m_rows)) {
            if (focused == row->toggle() || focused == row->revealButton()) {
                focusedItem = itemKey(row->item());
                focusedSwitch = focused == row->toggle();
                focusReason =
                    QKFocusRing::shows(focused) ? Qt::TabFocusReason : Qt::OtherFocusReason;
            }
        }
    }
    m_rows.clear();
    while (QLayoutItem* item = m_cardColumn->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    const QList<StartupItem> items = m_startup ? m_startup->items() : QList<StartupItem>();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            QKLayout::items({new QKHairline(m_card, 0.07)}).fill(m_cardColumn);
        auto* row = new StartupItemRow(items.at(i), m_card);
        row->revealButton()->setEnabled(m_revealer != nullptr);
        connect(row, &StartupItemRow::revealRequested, this, [this, row](const StartupItem& item) {
            QKReveal::reveal(m_revealer, item.plistURL.toLocalFile(), row->revealButton());
        });
        connect(row, &StartupItemRow::switchTurned, this, &StartupItemsView::turn);
        QKLayout::items({row}).fill(m_cardColumn);
        m_rows.append(row);
        if (!focusedItem.isEmpty() && itemKey(row->item()) == focusedItem) {
            QWidget* again = focusedSwitch ? static_cast<QWidget*>(row->toggle())
                                           : static_cast<QWidget*>(row->revealButton());
            if (again && again->isEnabled())
                again->setFocus(focusReason);
        }
    }
    showContent();
}

void StartupItemsView::showContent() {
    // Without the service there is nothing to read and nothing to list.
    if (m_startup && !m_startup->loaded())
        m_stack->showPhase(QKScanPhase::Busy);
    else
        m_stack->showPhase(m_rows.isEmpty() ? QKScanPhase::Empty : QKScanPhase::Done);
}

void StartupItemsView::turn(const StartupItem& item, bool on) {
    if (!m_startup)
        return;
    // On success the service reads the folders again and the rows are rebuilt.
    const std::optional<QString> failure = m_startup->setEnabled(item, on);
    if (!failure)
        return;
    for (StartupItemRow* row : std::as_const(m_rows)) {
        if (row->item().id == item.id)
            row->resetSwitch();
    }
    showError(*failure);
}

void StartupItemsView::showError(const QString& message) {
    QKAlert::report(m_alert, StartupItemsText::alertTitle(), message,
                    QStringLiteral("startupAlert"), this);
}
