#pragma once

#include "cleaning/CleanerPaneText.h"
#include "cleaning/CleanerStateFields.h"
#include "ui-kit/QKFocusHold.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AskTamsoStrip;
class CleanupScanner;
class DeleteConfirm;
class FileRevealer;
class QKEmptyState;
class QKProminentButton;
class QKScanStatePages;
class QLabel;
class QPushButton;
class QVBoxLayout;
class ScreenState;
class TamsoExplainRow;

// The screen of one cleaner: its categories with sizes, explanations and safety grades, the
// ticked ones cleaned to the Trash after the typed-code confirmation, and the one-line result.
// Hosts (the storage hub's system, mail and screenshot modes; the Developer Centre) give it the
// scanner, the ScreenState fields that keep its ticks and result line, and its texts.
//
// The body follows the scanner's state: ready (before the first scan), measuring, failed, or
// the measured list ("Nothing found" when it is empty). The ticks and the result live in
// ScreenState, so they survive leaving the screen; what the pane itself holds (the open
// confirmation, a running clean) starts afresh with every new pane.
//
// Showing the pane scans only when the scanner has never scanned; "Rescan" clears the result,
// scans and ticks the table's preselection. "Clean selected" needs ticks and works only while
// no clean runs and the scanner is not measuring: a table being measured shows zero bytes for
// rows whose clean would still empty whole folders, so approving it then would approve the
// wrong figure. For the same reason an open confirmation is withdrawn when a measurement starts.
// After a clean the result line is written (even if the pane is gone by then), only the ticks of
// rows graded safe stay (see CleanerPaneText::selectionAfterClean) and the scanner measures
// again. A row the guard refused is listed locked with its reason and never stays ticked.
//
// revealer null: "Show in File Manager" does nothing.
class CleanerPane : public QWidget {
    Q_OBJECT
public:
    CleanerPane(CleanupScanner& scanner, ScreenState& screen, CleanerStateFields fields,
                CleanerPaneText::Texts texts, FileRevealer* revealer, QWidget* parent = nullptr);

    // Clears the result, scans, and ticks the preselection of the fresh table.
    void rescan();
    // Scans only when the scanner has never scanned (its state is idle).
    void appear();
    // Starts the clean of the ticked rows; the confirmation's action.
    void cleanNow();

    bool isCleaning() const { return m_cleaning; }
    QSet<QString> selected() const;
    qint64 selectedBytes() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // One page per state of the scanner; the last is the list of sections.
    QKScanStatePages* buildPages();
    void setSelected(const QSet<QString>& ids);
    void toggle(const QString& id, bool on);
    void setCleaning(bool cleaning);
    void onStateChanged();
    void showBody();
    void rebuildList();
    void syncChecks();
    void updateHeader();
    void updateResult();

    CleanupScanner& m_scanner;
    QPointer<ScreenState> m_screen;
    CleanerStateFields m_fields;
    CleanerPaneText::Texts m_texts;
    FileRevealer* m_revealer;
    bool m_cleaning = false;

    QLabel* m_result;
    QPushButton* m_rescan;
    QKProminentButton* m_clean;
    AskTamsoStrip* m_ask;
    QKScanStatePages* m_body;
    QKEmptyState* m_ready;
    QWidget* m_measuring;
    QKEmptyState* m_failed;
    QKEmptyState* m_nothing;
    QWidget* m_listPage;
    QVBoxLayout* m_listColumn;
    QList<TamsoExplainRow*> m_cleanableRows;
    QStringList m_cleanableIds;
    DeleteConfirm* m_confirm;
    // "Clean selected" and "Rescan" go off while a clean (and the measurement after it) runs;
    // the focus of the one pressed waits on the pane meanwhile.
    QKFocusHold m_hold{this};
};
