#pragma once

#include <QAbstractListModel>
#include <QPointer>
#include <QStringList>

class FolderOrganizer;

// The moves of the organizer's current plan as a list, one row per move in plan order, for the
// pane's preview. A new plan with other moves resets the rows; a changed tick only reports the
// rows' data as changed, so a list of thousands of files is never rebuilt for one click.
class OrganizerPlanModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        IdRole = Qt::UserRole + 1, // QString: the move's id (its source path)
        ReasonRole,                // QString
        NewNameRole,               // QString: the name the file will have in its kind folder
        SizeRole,                  // qint64: allocated bytes
        EnabledRole,               // bool: the tick
    };

    explicit OrganizerPlanModel(FolderOrganizer& organizer, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole is the file's name.
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    void refresh();

    QPointer<FolderOrganizer> m_organizer;
    QStringList m_ids;
};
