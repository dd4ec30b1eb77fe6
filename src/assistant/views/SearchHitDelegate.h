#pragma once

#include "ui-kit/QKStampDelegate.h"

#include <QHash>
#include <QPixmap>

class QKLineLabel;
class QLabel;

// Draws the find-a-file hits (SearchHitListModel) with one stamp: the file's icon, its name over
// its folder (each on one line) and "Show". "Show" is the row's action, by click or by Space and
// Return ("showHit").
class SearchHitDelegate : public QKStampDelegate {
    Q_OBJECT
public:
    explicit SearchHitDelegate(QAbstractItemView* view);

    QString keyAction(const QModelIndex& index) const override;

protected:
    QWidget* stampFor(const QModelIndex& index) const override;
    QString sizeKey(const QModelIndex& index) const override;

private:
    QPixmap iconFor(const QString& path) const;

    QWidget* m_stamp;
    QLabel* m_icon;
    QKLineLabel* m_name;
    QKLineLabel* m_folder;
    // The icons of the hits drawn lately: finding one asks the system about the file.
    mutable QHash<QString, QPixmap> m_icons;
};
