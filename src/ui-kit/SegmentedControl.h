#pragma once

#include <QStringList>
#include <QWidget>

// A row of mutually exclusive segments (a segmented picker). At most one segment is selected;
// none at all is allowed (a stored value that matches no segment). Clicking a segment, the arrow
// keys (Left and Right step, Home and End jump; Space and Return choose the first segment when
// none is chosen) while it has focus, and assistive
// technology pressing a segment report activated(index); the selection itself changes only
// through setCurrentIndex, so the owner keeps the one source of truth. Assistive technology sees
// a group of radio buttons, one per segment (QKAccessible).
//
// Given less width than its labels need on one line (large text in a small window), the segments
// wrap onto further lines, in order, each line's segments sharing its width, so no label loses
// its padding; only a single label wider than the control is squeezed.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(const QStringList& labels, QWidget* parent = nullptr);

    QStringList labels() const { return m_labels; }
    int count() const { return int(m_labels.size()); }
    // −1 when no segment is selected.
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    // What a click on the segment does: reports activated(index) when the control is enabled
    // and index names a segment.
    void activateSegment(int index);
    // At most `width` wide, or as wide as the labels need when that is more (large text): the
    // segments never squeeze their labels together.
    void setWidthLimit(int width);
    // The segment's rectangle, for tests and for clicks.
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    // As tall as the lines the segments take at the width last given (one before any).
    QSize minimumSizeHint() const override;

signals:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int segmentAt(const QPoint& pos) const;
    int naturalWidth(int index) const;
    // The segments on each line at this width, in order.
    QList<QList<int>> lines(int width) const;
    int lineHeight() const;

    QStringList m_labels;
    int m_current = -1;
    int m_hovered = -1;
    int m_widthLimit = -1;
    int m_laidWidth = -1; // the width the last resize gave, -1 before any
};
