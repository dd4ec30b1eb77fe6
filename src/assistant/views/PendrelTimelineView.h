#pragma once

#include <QPointer>
#include <QWidget>

class PendrelTimelineStore;
class QKEmptyState;
class QKGroupBox;
class QKSymbolButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QKRowList;
class TimelineDelegate;
class TimelineListModel;

// The "Pendrel Timeline" section: a search over everything the activity timeline holds, newest
// first, where the user pins what the assistant should keep in mind and clears the rest.
//
// The screen keeps no state of its own: the search text lives in the store (so a search outlives
// the screen), and every change goes through the store, which saves it. The entries are a list
// model drawn by a delegate in a list as tall as its rows, so a search keystroke makes, moves or
// hides no widget. While shown, the "… ago" texts of the rows on screen are brought up to date
// every second.
class PendrelTimelineView : public QWidget {
    Q_OBJECT
public:
    explicit PendrelTimelineView(PendrelTimelineStore& timeline, QWidget* parent = nullptr);

    // Brings the "… ago" texts of the rows on screen up to `now`, repainting a row only when its
    // words change; the rows out of sight show theirs when they come into view. The screen calls
    // it every second while shown.
    void refreshAges(const QDateTime& now);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The search line: the glass, the field and its clear button on a faint rounded field.
    QWidget* buildSearchLine(QWidget* parent);
    static QLineEdit* searchField(QWidget* parent);
    QKGroupBox* buildList(PendrelTimelineStore& timeline, QWidget* parent);
    // Connects the parts and the store.
    void follow(PendrelTimelineStore& timeline);
    void syncCounts();
    void syncList();
    void syncSearchField();

    QPointer<PendrelTimelineStore> m_timeline;
    QLabel* m_heldNote;
    QLineEdit* m_search;
    QKSymbolButton* m_clearSearch;
    QKEmptyState* m_empty;
    QWidget* m_emptyBox;
    QKGroupBox* m_list;
    QWidget* m_footer;
    QPushButton* m_clearUnpinned;
    QLabel* m_count;
    TimelineListModel* m_model;
    QKRowList* m_rows;
    TimelineDelegate* m_delegate;
    // At least one entry, searched or not, is unpinned.
    bool m_footerWanted = false;
    int m_ageTimer = 0;
};
