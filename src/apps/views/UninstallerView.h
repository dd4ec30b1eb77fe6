#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class AppUninstaller;
class DeleteConfirm;
class InstalledAppListModel;
class QBoxLayout;
class QKCardSurface;
class QKEmptyState;
class QKLineLabel;
class QKProminentButton;
class QKScanStatePages;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStackedWidget;
class ScreenState;
class TamsoExplainRow;

// The uninstall pane of the Apps section: the installed applications with icons and sizes,
// filtered by a search kept in ScreenState, the leftovers the service found for the picked
// application with a checkbox each, and the uninstall button, which asks for the typed code and
// then runs the service's uninstall. The outcome becomes one line in the header
// (ScreenState::uninstallResult), which stays until the next uninstall.
//
// Each time the pane is shown it asks the service for the list (unless a load with nothing to
// show is already running). Everything it shows is read from the service's published fields; it
// changes them only through the service's operations.
class UninstallerView : public QWidget {
    Q_OBJECT
public:
    UninstallerView(ScreenState& screen, AppUninstaller& uninstaller, QWidget* parent = nullptr);

    DeleteConfirm* confirm() const { return m_confirm; }
    // The title the confirmation shows now.
    QString confirmTitle() const { return m_confirmTitle; }
    bool showsFinding() const;
    bool showsPickPrompt() const;
    bool showsLeftoverProgress() const;
    bool showsNoLeftovers() const;

    // Picks the application with this id as a click on its row would.
    void pick(const QString& id);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildReadyPage();
    // The installed apps' list: one row an app, drawn by its delegate, one selected at a time.
    void setUpAppList(QListView* list);
    QWidget* buildDetail();
    QKScanStatePages* buildLeftovers(QWidget* page);
    void showState();
    void refreshList();
    void syncListSelection();
    void showSelection();
    void showLeftovers();
    void updateUninstallButton();
    void updateConfirmTitle();
    void runUninstall();
    void fitResultLine();

    ScreenState& m_screen;
    QPointer<AppUninstaller> m_uninstaller;

    QLabel* m_result = nullptr;
    QPushButton* m_rescan = nullptr;
    QKScanStatePages* m_content = nullptr;
    QWidget* m_findingPage = nullptr;
    QKEmptyState* m_failedPage = nullptr;
    QWidget* m_readyPage = nullptr;
    QLineEdit* m_search = nullptr;
    QListView* m_list = nullptr;
    InstalledAppListModel* m_model = nullptr;
    bool m_syncingSelection = false;

    QStackedWidget* m_detailStack = nullptr;
    QKEmptyState* m_pickPage = nullptr;
    QWidget* m_detailPage = nullptr;
    QLabel* m_icon = nullptr;
    QKLineLabel* m_name = nullptr;
    QKLineLabel* m_identity = nullptr;
    QKProminentButton* m_uninstall = nullptr;
    QKScanStatePages* m_leftoverStack = nullptr;
    QWidget* m_checkingPage = nullptr;
    QWidget* m_nonePage = nullptr;
    QWidget* m_leftoverPage = nullptr;
    // The card of the leftover rows and its column; the rows are replaced whole when the list
    // changes and kept while only ticks do.
    QKCardSurface* m_leftoverCard = nullptr;
    QBoxLayout* m_leftoverColumn = nullptr;
    QList<TamsoExplainRow*> m_rows;

    DeleteConfirm* m_confirm = nullptr;
    QString m_confirmTitle;
};
