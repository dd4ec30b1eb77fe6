#include "assistant/SearchHitListModel.h"

#include "assistant/TamsoAIText.h"

SearchHitListModel::SearchHitListModel(SpotlightSearch& search, QObject* parent)
    : BatchedListModel(parent), m_search(&search) {
    connect(&search, &SpotlightSearch::resultsChanged, this, &SearchHitListModel::sync);
    sync();
}

void SearchHitListModel::sync() {
    if (m_search && m_search->results() != rows())
        reset(m_search->results());
}

QVariant SearchHitListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const SearchHit& hit = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return TamsoAIText::hitName(hit.url);
    case Qt::AccessibleDescriptionRole:
    case FolderRole:
        return TamsoAIText::hitFolder(hit.url);
    case PathRole:
        return hit.path();
    default:
        return {};
    }
}
