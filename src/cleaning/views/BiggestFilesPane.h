#pragma once

#include <functional>
#include <optional>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class BigFileDelegate;
class DeleteConfirm;
class FileRevealer;
class LargeFileFilter;
class LargeFilesScanner;
class QCheckBox;
class QComboBox;
class QKEmptyState;
class QKProminentButton;
class QKScanStatePages;
class QKScanningProgress;
class QLabel;
class QListView;
class ScreenState;

// The biggest files of a folder the user picks: largest first (at most 200), narrowed to files
// not opened for six months on request, selected in the list and moved to the Trash after the
// typed-code confirmation.
//
// The list and the scan live in the shared LargeFilesScanner; the old-files filter, the
// selection (file ids) and the last result line live in ScreenState, so all of them survive
// leaving the screen. Nothing is scanned until a folder is picked. Changing the minimum size
// rescans the last folder; the selection is kept as it is (its ids match nothing in the new
// list). A selected file hidden by the filter stays selected and is counted and moved.
//
// A move to the Trash writes "Freed …", empties the selection, and, when some files could not be
// moved, shows the alert "Some files could not be moved" with one line per file; those files
// stay listed.
//
// revealer null: "Show" does nothing.
class BiggestFilesPane : public QWidget {
    Q_OBJECT
public:
    // Asks the user for a folder; nothing when they cancel.
    using FolderPicker = std::function<std::optional<QString>(QWidget* parent)>;

    BiggestFilesPane(LargeFilesScanner& scanner, ScreenState& screen, FileRevealer* revealer,
                     QWidget* parent = nullptr);

    // The system's folder dialog unless replaced (tests).
    void setFolderPicker(FolderPicker picker) { m_picker = std::move(picker); }

    // Asks for a folder and, when one is given, empties the selection and scans it.
    void chooseFolder();
    // Scans this folder as if the user had picked it.
    void pickFolder(const QString& folder);
    // Moves the selected files to the Trash; the confirmation's action.
    void trashSelected();

private:
    QWidget* buildToolbar();
    // What the controls do, and how the screen follows the scanner, ScreenState and the text size.
    void connectControls();
    void followServices();
    // One page per state of the scan; the last is the list, over the filter of the scanner's
    // model.
    QKScanStatePages* buildPages();
    // The list over the filter of the scanner's model, keeping the stored selection through
    // every change of its rows.
    void wireList();
    void showContent();
    void updateToolbar();
    void updateResult();
    void syncSizePicker();
    // The view's selection from ScreenState, and back.
    void applySelectionToView();
    void takeSelectionFromView();

    LargeFilesScanner& m_scanner;
    QPointer<ScreenState> m_screen;
    FileRevealer* m_revealer;
    FolderPicker m_picker;
    // Set while the list's rows change under the view, when selection changes are not the user's.
    bool m_modelChanging = false;
    bool m_applyingSelection = false;

    QLabel* m_folder;
    QComboBox* m_sizes;
    QCheckBox* m_onlyOld;
    QKProminentButton* m_trash;
    QKProminentButton* m_choose;
    QKScanStatePages* m_content;
    QKEmptyState* m_idle;
    QKScanningProgress* m_scanning;
    QKEmptyState* m_failed;
    QKEmptyState* m_nothing;
    QWidget* m_listPage;
    QLabel* m_result;
    QListView* m_list;
    LargeFileFilter* m_filter;
    BigFileDelegate* m_delegate;
    DeleteConfirm* m_confirm;
    QPointer<QMessageBox> m_alert;
};
