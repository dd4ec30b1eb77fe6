#pragma once

#include <QStyledItemDelegate>

// Paints one move of the organizer's preview (OrganizerPlanModel), top-aligned, left to right:
// the tick as a switch, then the row's name (the file's, with its folder where another row has
// the same name), the reason naming its kind folder and the name it will have there, one line
// each (cut at the end), then its size. What assistive technology reads of a row (its name, its
// tick as a check state) comes from the model, OrganizerPlanModel. Every row is the same height,
// so the view can use uniform item sizes.
//
// A click on the switch asks for that move's tick to flip (toggleRequested) and is not passed to
// the view; Space on the current row does the same.
class OrganizerMoveDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit OrganizerMoveDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The height of every row at the current text size.
    static int rowHeight();
    // Where the switch of a row drawn in rowRect lies.
    static QRect toggleRect(const QRect& rowRect);

signals:
    void toggleRequested(const QString& id);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};
