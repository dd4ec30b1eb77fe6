#pragma once

#include "ui-kit/QKFocusHold.h"

#include <QPointer>
#include <QWidget>

class AskTamsoStrip;
class FolderOrganizer;
class QKBusyPage;
class QKGroupBox;
class QKProminentButton;
class QKSpinner;
class OrganizerPlanModel;
class QLabel;
class QListView;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class ToggleSwitch;

// The folder organizer's pane: its rules, a preview of the tidy plan with a tick per move, the
// apply button with the run's progress, and the earlier runs that can still be undone.
//
// The pane holds no state of its own: it shows what the organizer publishes and writes the
// rules straight into it. Showing the pane reloads the organizer's history. While a run or an
// undo is in progress the rules and the ticks stay editable, but nothing can be started. While a
// plan is being built the preview box says so in place of its rows, and Apply waits for it.
class OrganizerPane : public QWidget {
    Q_OBJECT
public:
    explicit OrganizerPane(FolderOrganizer& organizer, QWidget* parent = nullptr);

    // How many rows the preview list shows at most at the current text size before it scrolls
    // the rest: as many as fit in about 300 pixels, at least three.
    static int visibleRows();

    // Where the tick of the row for this move id lies in the list's viewport; empty without one.
    QRect rowToggleRect(const QString& id) const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildRules(QWidget* parent);
    QWidget* buildStatus(QWidget* parent);
    QWidget* buildPreview(QWidget* parent);
    void refreshSettings();
    void refreshState();
    void refreshPlan();
    void refreshHistory();
    void fitList();

    QPointer<FolderOrganizer> m_organizer;
    AskTamsoStrip* m_ask = nullptr;
    QKProminentButton* m_preview = nullptr;
    ToggleSwitch* m_downloads = nullptr;
    ToggleSwitch* m_desktop = nullptr;
    QSpinBox* m_days = nullptr;
    QLabel* m_daysLabel = nullptr;
    QWidget* m_status = nullptr;
    QKSpinner* m_statusSpinner = nullptr;
    QLabel* m_statusText = nullptr;
    QKGroupBox* m_previewGroup = nullptr;
    QLabel* m_selected = nullptr;
    QKProminentButton* m_apply = nullptr;
    QKBusyPage* m_planning = nullptr;
    OrganizerPlanModel* m_model = nullptr;
    QListView* m_list = nullptr;
    QLabel* m_leftAlone = nullptr;
    QKGroupBox* m_undoGroup = nullptr;
    QList<QPushButton*> m_undoButtons;
    // where the focus waits while the work a focused button started runs
    QKFocusHold m_hold;
};
