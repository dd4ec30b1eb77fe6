#pragma once

#include <optional>
#include <QPointer>
#include <QWidget>

class FileRevealer;
class FolderRowDelegate;
class FolderTree;
class QComboBox;
class QKeyEvent;
class QKScanStatePages;
class QKSpinner;
class QKSymbolButton;
class QKTurn;
class QLabel;
class QListView;
class QPoint;
class QPushButton;
class QScrollArea;
class ScreenState;
struct FolderEntry;

// The pane in which the user walks the home folder one level at a time: a toolbar (back, the
// trail of folders entered, the sort order, measure again), the list of the shown folder's
// children, and a status line (item count or measuring progress, and the measured total).
//
// Everything it shows follows from the tree's published state, checked in this order: a listing
// error (with "Try again"), a listing under way, an empty folder, the list. It changes nothing but
// the tree's navigation, sort order and size cache, and the selection in
// ScreenState::folderSelection (an entry id, so it survives re-sorting and rebuilt screens).
// Going back, along the trail, measuring again and entering a folder clear the selection; "Try
// again", a reveal and the sort order leave it. revealer null: revealing does nothing.
//
// The list is worked by keys as by the mouse: the arrows move and select like clicks, Return
// on the current row is its double click, and Space selects the current row or, when it is the
// selected one, clears the selection (what a Ctrl click does).
class FolderBrowserView : public QWidget {
    Q_OBJECT
public:
    FolderBrowserView(FolderTree& tree, ScreenState& screen, FileRevealer* revealer,
                      QWidget* parent = nullptr);

    // What a double click or Return on the entry does: a folder is entered, anything else
    // revealed.
    void activate(const FolderEntry& entry);
    void reveal(const FolderEntry& entry);
    void goBack();
    void goHome();
    void jumpTo(int trailIndex);
    void remeasure();
    void tryAgain();
    // The context menu's actions for the entry, in order.
    QStringList menuActions(const FolderEntry& entry) const;

    QListView* list() const { return m_list; }
    // Whether the rows' spinners are turning (only while sizes are due and the list is shown).
    bool rowsTurning() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolbar();
    // The trail of folders entered, after "Home", in a view that keeps its width its own.
    QScrollArea* buildTrail(QWidget* bar);
    // One page per state of the listing: failed, opening, empty, and the list.
    QWidget* buildBody();
    // Return and Space on the list; false for any other key.
    bool handleListKey(const QKeyEvent& key);
    // The menu of the entry under this point of the list, if any: open a folder, show in the
    // file manager.
    void showContextMenu(const QPoint& at);
    QWidget* buildStatus();
    // The status line's two ends: the item count (or measuring progress) and the measured total.
    QString statusText() const;
    QString totalText() const;
    void rebuildTrail();
    // Cuts the trail's names to the room the toolbar gives it.
    void fitTrail();
    void refresh();
    void refreshStatus();
    void syncSelectionToView();
    void clearSelection();

    QPointer<FolderTree> m_tree;
    QPointer<ScreenState> m_screen;
    FileRevealer* m_revealer;
    bool m_syncing = false;

    QKSymbolButton* m_back = nullptr;
    QPushButton* m_home = nullptr;
    QScrollArea* m_trailView = nullptr;
    QWidget* m_crumbs = nullptr; // the folders of the trail, each a chevron and a button
    QList<QWidget*> m_trailParts;
    QComboBox* m_sort = nullptr;
    QKScanStatePages* m_body = nullptr;
    QListView* m_list = nullptr;
    FolderRowDelegate* m_delegate = nullptr;
    QKSpinner* m_statusSpinner = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_total = nullptr;
    QKTurn* m_turn = nullptr; // turns the rows' spinners while sizes are due
};
