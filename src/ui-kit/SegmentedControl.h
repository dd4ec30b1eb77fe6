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
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int segmentAt(const QPoint& pos) const;
    int naturalWidth(int index) const;

    QStringList m_labels;
    int m_current = -1;
    int m_hovered = -1;
    int m_widthLimit = -1;
};
