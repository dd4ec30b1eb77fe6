#include "apps/InstalledAppListModel.h"

#include "apps/UninstallerText.h"
#include "platform/ByteFormat.h"

InstalledAppListModel::InstalledAppListModel(QObject* parent) : BatchedListModel(parent) {}

void InstalledAppListModel::setApps(const QList<InstalledApp>& apps, const QString& search) {
    QList<InstalledApp> rows = UninstallerText::filteredApps(apps, search);
    if (rows == this->rows())
        return;
    reset(std::move(rows));
}

QVariant InstalledAppListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const InstalledApp& app = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return app.name;
    case Qt::ToolTipRole:
    case PathRole:
        return app.path();
    case IdRole:
        return app.id;
    case SizeTextRole:
    case Qt::AccessibleDescriptionRole:
        return formatBytes(app.appSizeBytes);
    default:
        return {};
    }
}

QHash<int, QByteArray> InstalledAppListModel::roleNames() const {
    QHash<int, QByteArray> names = BatchedListModel<InstalledApp>::roleNames();
    names.insert(IdRole, "id");
    names.insert(PathRole, "path");
    names.insert(SizeTextRole, "sizeText");
    return names;
}

int InstalledAppListModel::rowOf(const QString& id) const {
    return findRow([&id](const InstalledApp& app) { return app.id == id; });
}
