#include "storage/OrganizerPlanModel.h"

#include "storage/FolderOrganizer.h"

OrganizerPlanModel::OrganizerPlanModel(FolderOrganizer& organizer, QObject* parent)
    : QAbstractListModel(parent), m_organizer(&organizer) {
    connect(&organizer, &FolderOrganizer::planChanged, this, &OrganizerPlanModel::refresh);
    refresh();
}

void OrganizerPlanModel::refresh() {
    QStringList ids;
    if (m_organizer && m_organizer->plan())
        for (const OrganizerMove& m : m_organizer->plan()->moves)
            ids.append(m.id);
    if (ids != m_ids) {
        beginResetModel();
        m_ids = ids;
        endResetModel();
    } else if (!m_ids.isEmpty()) {
        emit dataChanged(index(0), index(int(m_ids.size()) - 1), {EnabledRole});
    }
}

int OrganizerPlanModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_ids.size());
}

QVariant OrganizerPlanModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_ids.size() || !m_organizer || !m_organizer->plan() ||
        index.row() >= m_organizer->plan()->moves.size())
        return {};
    const OrganizerMove& move = m_organizer->plan()->moves.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return move.displayName;
    case IdRole:
        return move.id;
    case ReasonRole:
        return move.reason;
    case NewNameRole:
        return move.destinationPath.mid(move.destinationPath.lastIndexOf(QLatin1Char('/')) + 1);
    case SizeRole:
        return move.sizeBytes;
    case EnabledRole:
        return move.isEnabled;
    default:
        return {};
    }
}

QHash<int, QByteArray> OrganizerPlanModel::roleNames() const {
    return {{Qt::DisplayRole, "displayName"}, {IdRole, "id"},          {ReasonRole, "reason"},
            {NewNameRole, "newName"},         {SizeRole, "sizeBytes"}, {EnabledRole, "isEnabled"}};
}
