#pragma once

#include "ui-kit/QKCardSurface.h"

#include <QPointer>
#include <QRect>
#include <QTimer>

class QKSymbol;
class QLabel;

// A short line that belongs to the place the user just clicked rather than to the whole window:
// a small card with the text, lying over the window's content just under the clicked area (above
// it when there is no room below) and kept inside the window. It goes by itself after ShownMs, on
// a click, or when the control it points at is hidden or destroyed. Assistive technology meets it
// as a notification named by its text, shown and alerted when it appears.
//
// One per window: a new note replaces the one shown. The note is a child of the anchor's window,
// which owns it. Main thread only.
class QKTransientNote : public QKCardSurface {
    Q_OBJECT
public:
    static constexpr int ShownMs = 6000;

    // Shows `text` at `area` of `anchor` (in the anchor's coordinates; its whole rectangle when
    // empty). Null anchor: nothing shown, null returned.
    static QKTransientNote* open(QWidget* anchor, const QString& text, const QRect& area = {});
    // The note shown in the window of `widget`, or null.
    static QKTransientNote* shownIn(const QWidget* widget);

    QString text() const;
    QWidget* anchor() const { return m_anchor; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QKTransientNote(QWidget* anchor, const QString& text, const QRect& area);
    void place();
    void dismiss();

    QPointer<QWidget> m_anchor;
    QRect m_area;
    QKSymbol* m_symbol;
    QLabel* m_label;
    QTimer m_timer;
};
