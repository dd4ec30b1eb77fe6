#pragma once

#include <QHash>
#include <QIcon>
#include <QStyledItemDelegate>

// Paints one row of the large-file list (LargeFileListModel::FileRole), left to right: the
// file's icon (22 points), its name over the folder that holds it (one line each, cut at the
// end), an orange "old" badge for a file not opened for six months, its size, and a small "Show"
// button. A selected row is tinted with the accent. Every row is the same height, so the view
// can use uniform item sizes.
//
// A click on "Show" asks for the file to be revealed (revealRequested, with the button's
// rectangle in the view's viewport) and leaves the selection alone; any other click is the view's.
class BigFileDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit BigFileDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the "Show" button of a row drawn in rowRect lies.
    QRect revealRect(const QRect& rowRect) const;

signals:
    void revealRequested(const QString& path, const QRect& button);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    // The icon the desktop's theme gives the file's type, or the app's own document symbol.
    QIcon iconFor(const QString& path, const QPalette& palette) const;

    mutable QHash<QString, QIcon> m_icons;
};
