#pragma once

#include "apps/views/AppIconCache.h"

#include <QStyledItemDelegate>

// Paints one application row: the icon at 24 points, the name on one line (cut at the end), and
// the size in the caption style and secondary colour at the trailing edge. A selected row gets
// a rounded accent fill.
class InstalledAppDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit InstalledAppDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable AppIconCache m_icons;
};
