#include "ui-kit/DeleteConfirmItem.h"

#include "ui-kit/DeleteCodeSheet.h"

#include <QWidget>

DeleteConfirmItem::DeleteConfirmItem(QWidget* host) : QObject(host), m_host(host) {}

void DeleteConfirmItem::setPending(std::optional<PendingDelete> request) {
    const bool sameRequest = request && m_pending && request->id == m_pending->id;
    m_pending = std::move(request);
    if (!m_pending)
        closeSheet();
    else if (sameRequest && m_sheet)
        m_sheet->setTexts(m_pending->title, m_pending->message, m_pending->confirmVerb);
    else {
        closeSheet();
        showSheet();
    }
    emit pendingChanged();
}

void DeleteConfirmItem::showSheet() {
    QPointer<DeleteConfirmItem> self(this);
    const QUuid id = m_pending->id;
    auto stillShowing = [self, id] { return self && self->m_pending && self->m_pending->id == id; };
    auto* sheet = new DeleteCodeSheet(
        m_pending->title, m_pending->message, m_pending->confirmVerb,
        [self, stillShowing] {
            if (!stillShowing())
                return;
            const std::function<void()> work = self->m_pending->action;
            if (work)
                work();
            if (stillShowing())
                self->setPending(std::nullopt);
        },
        [self, stillShowing] {
            if (stillShowing())
                self->setPending(std::nullopt);
        },
        m_host->window(), m_random);
    m_sheet = sheet;
    connect(sheet, &QDialog::finished, this, [this, sheet] {
        if (m_sheet == sheet)
            setPending(std::nullopt);
    });
    sheet->show();
}

DeleteConfirmItem::~DeleteConfirmItem() {
    closeSheet();
}

void DeleteConfirmItem::closeSheet() {
    QPointer<DeleteCodeSheet> sheet = m_sheet;
    m_sheet = nullptr;
    if (sheet) {
        sheet->hide();
        sheet->deleteLater();
    }
}
