#pragma once

#include "duplicates/ComparePair.h"
#include "shell/ScreenModes.h"
#include "ui-kit/QKFocusHold.h"

#include <functional>
#include <optional>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class ComparisonSheet;
class DeleteConfirmItem;
class DuplicateFinder;
class QKLazyColumn;
class QKEmptyState;
class QLabel;
class QMessageBox;
class QPushButton;
class QSlider;
class QKModeHost;
class QKProminentButton;
class QKScanStatePages;
class ScreenState;
class SegmentedControl;
class SimilarPhotoFinder;

// The "duplicates" section. The user picks one folder; both finders scan it at once and the
// mode switch (kept in ScreenState) chooses whose results are drawn: exact groups, where the
// user clicks the copy to keep, or look-alike sets, whose best photo is kept. Every move to the
// Trash passes the typed-code confirmation; files that could not be moved are listed in one
// alert afterwards. A click on a photo opens the side-by-side sheet.
//
// The screen never scans by itself; results live in the finders, so leaving the section and
// coming back shows them again. Its own state (the confirmation, the alert, the sheet) is
// forgotten with it.
class DuplicatesView : public QWidget {
    Q_OBJECT
public:
    // Asks the user for one folder; nothing when the picker was cancelled or failed.
    using FolderPicker = std::function<std::optional<QString>(QWidget* parent)>;

    DuplicatesView(ScreenState& screen, DuplicateFinder& finder, SimilarPhotoFinder& similar,
                   QWidget* parent = nullptr);
    ~DuplicatesView() override;

    // The folder button: asks with the picker and, for a folder, starts both scans.
    void pickFolder();
    // Starts both finders on the folder (what a pick does).
    void scanFolder(const QString& folder);
    void clear();
    void setFolderPicker(FolderPicker picker) { m_picker = std::move(picker); }

    // The confirmations the screen prepares.
    void requestCleanAll();
    void requestKeepChosen(const struct DuplicateGroup& group, const QString& keep);
    void requestKeepBest(const struct SimilarPhotoGroup& set);
    // Opens the side-by-side sheet for a click on `clicked` in a set of `files`.
    void openComparison(const QStringList& files, const QString& clicked);

    const QStringList& errors() const { return m_errors; }
    DeleteConfirmItem* confirmation() const { return m_confirm; }
    // The sheet opened last, until it goes: a closed sheet may linger until it is deleted, so a
    // search of the window could find two.
    ComparisonSheet* comparisonSheet() const;
    const std::optional<ComparePair>& comparing() const { return m_comparing; }

    QKLazyColumn* exactList() const { return m_exactList; }

private:
    QWidget* buildHeader();
    QWidget* buildExactPane(QWidget* parent);
    QWidget* buildSimilarPane(QWidget* parent);
    // What the header's buttons and the thumbnail slider do.
    void connectControls();
    // How the screen follows ScreenState and the two finders.
    void followServices();
    void refreshHeader();
    void refreshExact();
    void refreshExactList();
    // Brings the list's page up once the list has made the rows of its view (see
    // refreshExactList()), checking again on every later turn.
    void revealExact();
    void refreshSimilar();
    void refreshSimilarList();
    void setErrors(const QStringList& errors);
    int currentRemovable() const;

    ScreenState& m_screen;
    DuplicateFinder& m_finder;
    SimilarPhotoFinder& m_similarFinder;
    FolderPicker m_picker;
    QStringList m_errors;
    std::optional<ComparePair> m_comparing;

    DeleteConfirmItem* m_confirm = nullptr;
    QPointer<QMessageBox> m_alert;
    QPointer<ComparisonSheet> m_sheet;

    QLabel* m_folderName = nullptr;
    QPushButton* m_clear = nullptr;
    QKProminentButton* m_cleanAll = nullptr;
    QKProminentButton* m_folder = nullptr;
    // The header's buttons go off while copies are moved; their focus waits on the screen.
    QKFocusHold m_hold{this};
    SegmentedControl* m_modes = nullptr;
    QKModeHost* m_panes = nullptr;
    QKScanStatePages* m_exact = nullptr;
    QKScanStatePages* m_similar = nullptr;
    QLabel* m_exactProgress = nullptr;
    QLabel* m_similarProgress = nullptr;
    QKEmptyState* m_exactState = nullptr;
    QKEmptyState* m_similarState = nullptr;
    QWidget* m_exactProgressPage = nullptr;
    QWidget* m_similarProgressPage = nullptr;
    QWidget* m_similarContent = nullptr;
    QKLazyColumn* m_exactList = nullptr;
    QKLazyColumn* m_similarList = nullptr;
    QSlider* m_slider = nullptr;
    // The list is making the rows of its view behind the progress page.
    bool m_exactFilling = false;
};
