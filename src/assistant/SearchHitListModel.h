#pragma once

#include "assistant/SpotlightSearch.h"
#include "platform/BatchedListModel.h"

#include <QPointer>

// The hits of the find-a-file search as a list, one row per hit in the search's order. It follows
// the search by itself: every new set of hits (a search done, a clear) replaces the rows in one
// reset.
class SearchHitListModel : public BatchedListModel<SearchHit> {
    Q_OBJECT
public:
    enum Role {
        PathRole = Qt::UserRole + 1, // QString: the file's path
        FolderRole,                  // QString: where it lies, as shown under its name
    };

    explicit SearchHitListModel(SpotlightSearch& search, QObject* parent = nullptr);

    // Display and accessible text: the file's name; accessible description: its folder.
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void sync();

    QPointer<SpotlightSearch> m_search;
};
