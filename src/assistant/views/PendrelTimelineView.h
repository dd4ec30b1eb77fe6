#pragma once

#include <QHash>
#include <QPointer>
#include <QUuid>
#include <QWidget>

class PendrelTimelineStore;
class QKEmptyState;
class QKGroupBox;
class QKSymbolButton;
class QLabel;
class QLineEdit;
class QPushButton;
class TimelineRow;

// The "Pendrel Timeline" section: a search over everything the activity timeline holds, newest
// first, where the user pins what the assistant should keep in mind and clears the rest.
//
// The screen keeps no state of its own: the search text lives in the store (so a search outlives
// the screen), and every change goes through the store, which saves it. It follows the store in
// place: rows are made once per entry and only re-ordered, shown or hidden as the search changes.
// While shown, the rows' "… ago" texts are brought up to date every second.
class PendrelTimelineView : public QWidget {
    Q_OBJECT
public:
    explicit PendrelTimelineView(PendrelTimelineStore& timeline, QWidget* parent = nullptr);

    QLineEdit* searchField() const { return m_search; }
    QKSymbolButton* clearSearchButton() const { return m_clearSearch; }
    QKEmptyState* emptyState() const { return m_empty; }
    QKGroupBox* listBox() const { return m_list; }
    QWidget* footer() const { return m_footer; }
    QPushButton* clearUnpinnedButton() const { return m_clearUnpinned; }
    QLabel* countLabel() const { return m_count; }
    // The rows on show, top to bottom.
    QList<TimelineRow*> visibleRows() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void syncEntries();
    void syncList();
    void syncSearchField();
    void refreshAges();

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
    QHash<QUuid, TimelineRow*> m_rows;
    QList<TimelineRow*> m_order;
    // At least one entry, searched or not, is unpinned.
    bool m_footerWanted = false;
    int m_ageTimer = 0;
};
