#include "storage/OrganizerPlanModel.h"

#include "storage/FolderOrganizer.h"
#include "storage/OrganizerText.h"

#include <QHash>

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
        QHash<QString, int> names;
        if (m_organizer && m_organizer->plan())
            for (const OrganizerMove& m : m_organizer->plan()->moves)
                ++names[m.displayName];
        beginResetModel();
        m_ids = ids;
        m_sharedNames.clear();
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            if (it.value() > 1)
                m_sharedNames.insert(it.key());
        endResetModel();
    } else if (!m_ids.isEmpty()) {
        emit dataChanged(index(0), index(int(m_ids.size()) - 1), {EnabledRole, Qt::CheckStateRole});
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
    const auto newName = [&move] {
        return move.destinationPath.mid(move.destinationPath.lastIndexOf(QLatin1Char('/')) + 1);
    };
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        if (!m_sharedNames.contains(move.displayName))
            return move.displayName;
        const QString folder = move.sourcePath.section(QLatin1Char('/'), -2, -2);
        return OrganizerText::nameFrom(move.displayName, folder);
    }
    case Qt::AccessibleDescriptionRole:
        return OrganizerText::rowDescription(move.reason, newName(), move.sizeBytes);
    case IdRole:
        return move.id;
    case ReasonRole:
        return move.reason;
    case NewNameRole:
        return newName();
    case SizeRole:
        return move.sizeBytes;
    case EnabledRole:
        return move.isEnabled;
    case Qt::CheckStateRole:
        return move.isEnabled ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool OrganizerPlanModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= m_ids.size() ||
        !m_organizer)
        return false;
    const bool on = value.value<Qt::CheckState>() == Qt::Checked;
    if (data(index, EnabledRole).toBool() != on)
        m_organizer->toggleMove(m_ids.at(index.row()));
    return true;
}

Qt::ItemFlags OrganizerPlanModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

QHash<int, QByteArray> OrganizerPlanModel::roleNames() const {
    return {{Qt::DisplayRole, "displayName"}, {IdRole, "id"},          {ReasonRole, "reason"},
            {NewNameRole, "newName"},         {SizeRole, "sizeBytes"}, {EnabledRole, "isEnabled"}};
}
