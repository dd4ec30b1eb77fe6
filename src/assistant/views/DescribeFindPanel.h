#pragma once

#include <QWidget>

class FileRevealer;
class QKIconLabel;
class QKRowList;
class QKScanStatePages;
class QLabel;
class QLineEdit;
class QPushButton;
class ScreenState;
class SearchHitDelegate;
class SearchHitListModel;
class SpotlightSearch;

// The side panel of the assistant screen that finds files from a description. The field is
// ScreenState's tamsoSearch (so a half-typed description survives navigation); the search, its
// state and its hits belong to SpotlightSearch; the panel only shows them. Its width is set by
// the screen.
//
// Find (button or Return) searches the field's text exactly as typed; the button is disabled
// while the text holds only blanks, Return is not. Clear stops the search, empties the hits and
// the field. When the panel is shown with an empty field, the field takes the last description
// searched. revealer may be null: "Show" then does nothing.
class DescribeFindPanel : public QWidget {
    Q_OBJECT
public:
    DescribeFindPanel(ScreenState& screen, SpotlightSearch& finder, FileRevealer* revealer,
                      QWidget* parent = nullptr);

    void find();
    void clearSearch();
    // A search asked for from elsewhere: the text replaces the field's and is searched at once.
    void runSearch(const QString& text);

    // The page of the results area in front: "idle", "searching", "empty", "results", "failed".
    QString resultsPage() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QKScanStatePages* buildResults();
    void restoreSearch();
    void syncField();
    void syncState();

    ScreenState& m_screen;
    SpotlightSearch& m_finder;
    FileRevealer* m_revealer;
    QLineEdit* m_field = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_clear = nullptr;
    QKScanStatePages* m_results = nullptr;
    QWidget* m_idle = nullptr;
    QWidget* m_searching = nullptr;
    QLabel* m_empty = nullptr;
    // Shown while the last search was cut short by a limit.
    QLabel* m_partial = nullptr;
    SearchHitListModel* m_hits = nullptr;
    // The hits, one row each with the file's icon, name, folder and "Show" (Space and Return
    // show the current one).
    QKRowList* m_list = nullptr;
    SearchHitDelegate* m_hitDelegate = nullptr;
    QKIconLabel* m_failed = nullptr;
};
