#pragma once

#include "ui-kit/QKRowActions.h"

#include <QHash>
#include <QIcon>
#include <QStyledItemDelegate>

class QAbstractItemView;

// Paints one row of the large-file list (LargeFileListModel::FileRole), left to right: the
// file's icon (22 points), its name over the folder that holds it (one line each, cut at the
// end), an orange "old" badge for a file not opened for six months, its size, and a small "Show"
// button. A selected row is tinted with the accent. Every row is the same height, so the view
// can use uniform item sizes.
//
// A click on "Show" asks for the file to be revealed (revealRequested, with the button's
// rectangle in the view's viewport) and leaves the selection alone; any other click is the view's.
// Return (or Enter) on the view's current row and the row's accessible "Show" action do what the
// click does, so the button is not the mouse's alone.
class BigFileDelegate : public QStyledItemDelegate, public QKRowActions {
    Q_OBJECT
public:
    // Paints the rows of `view`, its child, and takes its Return key.
    explicit BigFileDelegate(QAbstractItemView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the "Show" button of a row drawn in rowRect lies.
    QRect revealRect(const QRect& rowRect) const;

    // "Show", on every row that holds a file.
    QList<std::pair<QString, QString>> rowActions(const QModelIndex& index) const override;
    void triggerAction(const QModelIndex& index, const QString& action) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void revealRequested(const QString& path, const QRect& button);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    // The icon the desktop's theme gives the file's type, or the app's own document symbol.
    QIcon iconFor(const QString& path, const QPalette& palette) const;

    QAbstractItemView* m_view;
    mutable QHash<QString, QIcon> m_icons;
};
