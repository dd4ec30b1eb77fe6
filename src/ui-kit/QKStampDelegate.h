#pragma once

#include "ui-kit/QKRowActions.h"

#include <QFont>
#include <QHash>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QAbstractItemView;

// Paints every row of a list with one row widget, the stamp, instead of one widget per row: the
// stamp is set up for a row, measured and rendered where the row lies, so the list looks like a
// column of those widgets while a list of thousands holds one. A subclass owns the stamp (a
// hidden child of the view, so it inherits the view's font and palette; see prepareStamp()) and
// sets it up in stampFor().
//
// The stamp's buttons act through the delegate: a click on a button of the stamp (any
// QAbstractButton with an object name, enabled as set up for that row) reports actionTriggered
// with the row and the button's name; Space and Return on the current row report keyAction()
// (QKRowList passes those keys on), or the button Left and Right chose among the row's buttons
// (stepAction) while the row stays current. The buttons look as they would in a row of widgets: the
// one under the pointer is drawn hovered and shows its cursor, the one held down is drawn down
// while the pointer stays on it, and the current row of a list with the keyboard focus wears the
// kit's ring (paintFocusedRow()), as does the button of currentAction() inside it, so the keyboard
// user sees both where they are and what Space will press. A tooltip is the tooltip of the stamp's
// child under the pointer.
//
// Heights are measured at the view's viewport width and kept by sizeKey() (empty: measured every
// time) for the last two widths (a page's scroll bar coming and going) until the font changes; a
// row whose key changes is measured again. A view that is not shown measures nothing: its rows
// are 0 high until it is shown (QKRowList lays them out again then).
//
// Estimating (QKRowList turns it on for rows out of sight), a row with a key whose height is not
// kept answers the mean of the heights kept at this width instead of being measured; measure()
// then measures it. The first row asked for at a width is always measured, so there is a mean.
class QKStampDelegate : public QStyledItemDelegate, public QKRowActions {
    Q_OBJECT
public:
    explicit QKStampDelegate(QAbstractItemView* view);

    // What Space and Return do on the current row: a button name of the stamp, or empty for
    // nothing.
    virtual QString keyAction(const QModelIndex& index) const;
    // What Space and Return press on the row: the button stepAction() chose on it, else
    // keyAction().
    QString currentAction(const QModelIndex& index) const;
    // Moves the keyboard's choice among the row's buttons (in rowActions() order) by `step`,
    // stopping at either end; false, choosing nothing, when the row offers fewer than two.
    bool stepAction(const QModelIndex& index, int step);
    // Reports currentAction() for the row, when it names an enabled button of its stamp.
    void triggerKeyAction(const QModelIndex& index);
    // Where the stamp's button of this name lies in the row at index, in viewport coordinates;
    // empty when the row has no such button on show.
    QRect actionRect(const QModelIndex& index, const QString& action) const;
    // The buttons the row at index offers (named, enabled and on show in its stamp), each as its
    // name and what assistive technology calls it (its accessible name, else its text or
    // tooltip): the row's actions for a user who cannot click them.
    QList<std::pair<QString, QString>> rowActions(const QModelIndex& index) const override;
    // Reports actionTriggered for the row's button of this name, when the row offers it.
    void triggerAction(const QModelIndex& index, const QString& action) override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // The one look of a drawn list's current row while the list has the keyboard focus, for every
    // delegate of the app: the kit's focus ring inside the row's rect, whose corners have
    // `radius`, over `under` (what the row shows along its edge: its own fill, or left out the
    // window's colour). Draws nothing for any other row, nor when the focus came by a click.
    static void paintFocusedRow(QPainter& painter, const QStyleOptionViewItem& option, qreal radius,
                                const QColor& under = QColor());
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // How many rows it has measured so far (a kept height is no measure): what a list's batch of
    // rows cost is its time over these (QKRowList).
    int rowsMeasured() const { return m_rowsMeasured; }
    void setEstimating(bool on) { m_estimating = on; }
    // Guessing (for a layout that is about to be made again at another width), every row answers
    // the mean of the heights kept at this width without its key being looked up, kept or not;
    // the first row asked at a width with none kept is still measured.
    void setGuessing(bool on) { m_guessing = on; }
    // Whether sizeHint() answers the row's own height: kept at the view's width and font, or
    // measured whenever asked (no key, or not estimating). A hidden view's rows count as measured.
    bool isMeasured(const QModelIndex& index) const;
    // The row's height measured now (and kept), even while estimating.
    int measure(const QModelIndex& index) const;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void actionTriggered(const QModelIndex& index, const QString& action);

protected:
    // The stamp, set up to show the row at index. Called before every measure and paint.
    virtual QWidget* stampFor(const QModelIndex& index) const = 0;
    // Everything the row's height depends on besides the width and the font; empty: measured
    // every time.
    virtual QString sizeKey(const QModelIndex& index) const;

    QAbstractItemView* view() const { return m_view; }
    // Whether watched is the viewport of this delegate's view while that view is still whole. A
    // view torn down in an open window is by then only a QWidget being destroyed, and its viewport
    // and the widgets on it still get events (a Leave as they go); asking the view's meta-object
    // touches nothing that is gone. An event filter checks this before it calls on view().
    bool isLiveViewport(const QObject* watched) const;
    // Readies a newly made stamp: hidden itself (it is never shown), its parts marked shown as
    // their own setting says, so that they measure, paint and take clicks like a shown row.
    static void prepareStamp(QWidget* stamp);
    // The stamp set up for the row and laid out at the row's size.
    QWidget* placedStamp(const QModelIndex& index, const QSize& size) const;

private:
    struct Heights {
        int width = -1;
        QFont font;
        QHash<QString, int> byKey;
        qint64 sum = 0; // of the heights in byKey, for the estimate
    };

    int rowWidth(const QStyleOptionViewItem& option) const;
    // The stamp set up for the row, its layouts told that the contents changed.
    QWidget* setUpStamp(const QModelIndex& index) const;
    QWidget* buttonAt(QWidget* stamp, const QPoint& at) const;
    // The kept heights at this width and font, made (in place of the older) when missing.
    Heights& heightsFor(int width, const QFont& font) const;
    // The row and the name of the button at a point of the viewport (an empty name: none).
    std::pair<QModelIndex, QString> buttonUnder(const QPoint& at) const;
    // Moves the hover to this row and button, repainting what changed and setting the cursor.
    void setHover(const QModelIndex& index, const QString& button);

    QAbstractItemView* m_view;
    QPersistentModelIndex m_hoverRow;
    QString m_hoverButton;
    QPersistentModelIndex m_pressedRow;
    QString m_pressed; // the button a press went to, until the release
    QPersistentModelIndex m_keyRow;
    QString m_keyButton; // the button stepAction() chose on m_keyRow
    mutable Heights m_heights[2];
    mutable int m_newest = 0;
    mutable int m_rowsMeasured = 0;
    mutable bool m_estimating = false;
    bool m_guessing = false;
};
