#pragma once

#include "shell/ScreenModes.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class CleanupScanner;
class DeleteConfirm;
class DevAwakePane;
class DevCategoryList;
class KeepAwakeManager;
class QKGridLayout;
class QKIconLabel;
class QKGroupBox;
class QLabel;
class QPushButton;
class QKModeHost;
class ScreenState;
class SegmentedControl;

// The Developer Centre: a picker over four panes (overview hub, cleanup, AI models, keep
// awake). The pane on show is ScreenState's devPane alone, written by the picker, the hub's
// cards and the "open developer pane" message (heard only while this screen exists), so the
// last pane chosen is shown again on return.
//
// Showing the screen measures only while the shared developer scanner is idle (it has never
// measured, or its run was cancelled); otherwise it shows what the scanner last found. The
// screen owns the clean run of its two cleaning panes: the typed-code confirmation (titled with
// the size of every ticked row, listed or not), the clean to the Trash, the result line and the
// re-measure. Rescan keeps the ticks that still name a row, or ticks the defaults when nothing
// was ticked.
class DevCleanView : public QWidget {
    Q_OBJECT
public:
    DevCleanView(ScreenState& screen, CleanupScanner& scanner, KeepAwakeManager& keepAwake,
                 QWidget* parent = nullptr);

    void openPane(DevPane pane);
    // Asks the main window for the file compare section.
    void openCompare();
    void rescan();
    // Measures when the scanner is idle; a scanner that measured or is measuring is left alone.
    void onAppearScan();
    // The confirmation's action: cleans the ticked rows, then writes the result and re-measures.
    void startClean();
    bool isCleaning() const { return m_cleaning; }

    DeleteConfirm* confirmation() const { return m_confirm; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildPane(DevPane pane, QWidget* parent);
    QWidget* buildHub(QWidget* parent);
    QWidget* buildCards();
    void refreshHub();
    void refreshKeepAwake();
    void setCleaning(bool cleaning);
    void updateConfirmTitle();

    QPointer<ScreenState> m_screen;
    CleanupScanner& m_scanner;
    KeepAwakeManager& m_keepAwake;
    bool m_cleaning = false;

    SegmentedControl* m_picker;
    QKModeHost* m_panes;
    QWidget* m_hub = nullptr;
    DevCategoryList* m_cleanup = nullptr;
    DevCategoryList* m_models = nullptr;
    DevAwakePane* m_awake = nullptr;
    DeleteConfirm* m_confirm;

    QKIconLabel* m_awakeLine = nullptr;
    QLabel* m_safeLine = nullptr;
    QKGroupBox* m_largestBox = nullptr;
    QKGridLayout* m_cardGrid = nullptr;
    QLabel* m_awakeCardText = nullptr;
    QPushButton* m_awakeCardButton = nullptr;
};
