#pragma once

#include "apps/InstalledApp.h"
#include "platform/BatchedListModel.h"

// The application list of the uninstall pane: the service's applications narrowed by the search
// text, one row each, in the service's order. Replaced whole when either changes (a few hundred
// rows at most, so a reset is cheaper than a diff).
class InstalledAppListModel : public BatchedListModel<InstalledApp> {
    Q_OBJECT
public:
    enum Role {
        IdRole = Qt::UserRole + 1, // the bundle path, the row's identity
        PathRole,
        SizeTextRole, // the size in the file style
    };

    explicit InstalledAppListModel(QObject* parent = nullptr);

    // Sets the rows; the search text filters as UninstallerText::filteredApps does.
    void setApps(const QList<InstalledApp>& apps, const QString& search);

    // Display and accessible text: the app's name; accessible description: its size, the one
    // figure its row shows; tooltip and PathRole: where it lies.
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The row of the application with this id, or -1.
    int rowOf(const QString& id) const;
};
