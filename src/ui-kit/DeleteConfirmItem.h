#pragma once

#include "platform/PendingDelete.h"
#include "ui-kit/DeleteCode.h"

#include <optional>
#include <QObject>
#include <QPointer>

class DeleteCodeSheet;
class QWidget;

// The typed-code confirmation for a screen that prepares different destructive actions. While
// pending holds a request, a DeleteCodeSheet with that request's texts is shown over the host's
// window; a request with another id replaces the sheet (new code, empty field).
//
// Confirming runs the request's action, then clears pending, unless the action itself has
// already put another request there, which then stays. "Cancel" clears pending; any other
// dismissal clears it and runs nothing. Only the shown request's action can ever run.
class DeleteConfirmItem : public QObject {
    Q_OBJECT
public:
    explicit DeleteConfirmItem(QWidget* host);
    // Closes an open sheet without running anything.
    ~DeleteConfirmItem() override;

    const std::optional<PendingDelete>& pending() const { return m_pending; }
    void setPending(std::optional<PendingDelete> request);

    DeleteCodeSheet* sheet() const { return m_sheet; }
    void setRandomSource(DeleteCode::RandomSource source) { m_random = std::move(source); }

signals:
    void pendingChanged();

private:
    void showSheet();
    void closeSheet();

    QWidget* m_host;
    std::optional<PendingDelete> m_pending;
    DeleteCode::RandomSource m_random = DeleteCode::systemSource();
    QPointer<DeleteCodeSheet> m_sheet;
};
