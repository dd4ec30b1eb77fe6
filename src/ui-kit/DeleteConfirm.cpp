#include "ui-kit/DeleteConfirm.h"

#include "ui-kit/DeleteCodeSheet.h"

#include <QWidget>

DeleteConfirm::DeleteConfirm(QWidget* host, const QString& title, const QString& message,
                             const QString& confirmVerb, std::function<void()> onConfirm)
    : QObject(host), m_host(host), m_title(title), m_message(message), m_confirmVerb(confirmVerb),
      m_onConfirm(std::move(onConfirm)) {}

void DeleteConfirm::setPresented(bool presented) {
    if (presented == m_presented)
        return;
    m_presented = presented;
    if (presented)
        showSheet();
    else
        closeSheet();
    emit isPresentedChanged(presented);
}

void DeleteConfirm::showSheet() {
    QPointer<DeleteConfirm> self(this);
    auto* sheet = new DeleteCodeSheet(
        m_title, m_message, m_confirmVerb,
        [self] {
            if (!self)
                return;
            const std::function<void()> work = self->m_onConfirm;
            if (work)
                work();
            if (self)
                self->setPresented(false);
        },
        [self] {
            if (self)
                self->setPresented(false);
        },
        m_host->window(), m_random);
    m_sheet = sheet;
    // Escape or the window's close button: the sheet is gone and nothing runs.
    connect(sheet, &QDialog::finished, this, [this, sheet] {
        if (m_sheet == sheet)
            setPresented(false);
    });
    sheet->show();
}

DeleteConfirm::~DeleteConfirm() {
    closeSheet();
}

void DeleteConfirm::closeSheet() {
    QPointer<DeleteCodeSheet> sheet = m_sheet;
    m_sheet = nullptr;
    if (sheet) {
        sheet->hide();
        sheet->deleteLater();
    }
}

void DeleteConfirm::syncTexts() {
    if (m_sheet)
        m_sheet->setTexts(m_title, m_message, m_confirmVerb);
}

void DeleteConfirm::setTitle(const QString& title) {
    m_title = title;
    syncTexts();
}

void DeleteConfirm::setMessage(const QString& message) {
    m_message = message;
    syncTexts();
}
