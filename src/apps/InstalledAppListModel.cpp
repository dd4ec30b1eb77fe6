#include "apps/InstalledAppListModel.h"

#include "apps/UninstallerText.h"
#include "platform/ByteFormat.h"

InstalledAppListModel::InstalledAppListModel(QObject* parent) : QAbstractListModel(parent) {}

void InstalledAppListModel::setApps(const QList<InstalledApp>& apps, const QString& search) {
    QList<InstalledApp> rows = UninstallerText::filteredApps(apps, search);
    if (rows == m_rows)
        return;
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int InstalledAppListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant InstalledAppListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return {};
    const InstalledApp& app = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return app.name;
    case Qt::ToolTipRole:
    case PathRole:
        return app.path();
    case IdRole:
        return app.id;
    case SizeTextRole:
        return formatBytes(app.appSizeBytes);
    default:
        return {};
    }
}

QHash<int, QByteArray> InstalledAppListModel::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IdRole, "id");
    names.insert(PathRole, "path");
    names.insert(SizeTextRole, "sizeText");
    return names;
}

int InstalledAppListModel::rowOf(const QString& id) const {
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).id == id)
            return int(i);
    }
    return -1;
}
