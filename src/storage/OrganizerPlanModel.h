#pragma once

#include <QAbstractListModel>
#include <QPointer>
#include <QSet>
#include <QStringList>

class FolderOrganizer;

// The moves of the organizer's current plan as a list, one row per move in plan order, for the
// pane's preview. A new plan with other moves resets the rows; a changed tick only reports the
// rows' data as changed, so a list of thousands of files is never rebuilt for one click.
//
// A row's name is the file's, followed by the folder it comes from when another row has the same
// name (OrganizerText::nameFrom). Every row is checkable: its tick is Qt::CheckStateRole too, and
// setting that role flips the move's tick, so assistive technology reads and changes it.
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
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    void refresh();

    QPointer<FolderOrganizer> m_organizer;
    QStringList m_ids;
    QSet<QString> m_sharedNames; // names more than one row carries
};
