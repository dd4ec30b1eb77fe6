#pragma once

#include "apps/StartupItem.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class FileRevealer;
class QKEmptyState;
class QKScanStatePages;

class QBoxLayout;
class StartupItemRow;
class StartupItems;

// The Startup section: everything that starts on its own, one flat list sorted by label, each
// row naming its scope. The user's own entries have a switch that takes effect at the next
// login; the rest say "locked". Every row can be revealed in the file manager.
//
// The list is read the first time the screen is shown in a run (the service keeps it for later
// visits). A failed switch shows the alert "Couldn't change that item" with the service's
// sentence, and the row keeps its state.
//
// startup null: the screen shows the empty state. revealer null: "Reveal" does nothing.
class StartupItemsView : public QWidget {
    Q_OBJECT
public:
    StartupItemsView(StartupItems* startup, FileRevealer* revealer, QWidget* parent = nullptr);

    QList<StartupItemRow*> rows() const { return m_rows; }
    // The alert on show, or null.
    QMessageBox* alert() const { return m_alert; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();
    void showContent();
    void turn(const StartupItem& item, bool on);
    void showError(const QString& message);

    QPointer<StartupItems> m_startup;
    FileRevealer* m_revealer;
    QKScanStatePages* m_stack;
    QWidget* m_progress;
    QKEmptyState* m_empty;
    QWidget* m_listPage;
    QWidget* m_card;
    QBoxLayout* m_cardColumn;
    QList<StartupItemRow*> m_rows;
    QPointer<QMessageBox> m_alert;
};
