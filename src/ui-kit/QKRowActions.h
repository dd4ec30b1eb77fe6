#pragma once

#include <QList>
#include <QModelIndex>
#include <QString>
#include <utility>

// What a list's delegate offers on a row besides selecting it: the buttons it draws there, for a
// user who cannot click them. A list that reads its rows through QKAccessible (QKRowList, or a
// plain list view marked with QKAccessible::setRowList) offers these as each row's accessible
// actions, so a drawn button is a real action of the row and not a picture of one.
class QKRowActions {
public:
    virtual ~QKRowActions() = default;

    // The buttons the row at index offers, each as its name and what assistive technology calls
    // it (the word on the button); empty when it offers none.
    virtual QList<std::pair<QString, QString>> rowActions(const QModelIndex& index) const = 0;
    // Does what a click on the row's button of this name does; nothing when the row does not
    // offer it.
    virtual void triggerAction(const QModelIndex& index, const QString& action) = 0;
};
