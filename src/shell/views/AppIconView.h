#pragma once

#include <QPixmap>
#include <QWidget>

// The app's own icon (AppIcon) at a fixed edge, drawn smoothly, optionally clipped to a rounded
// square, with a soft shadow (black at shadowOpacity, blur 4, 2 points down) that falls outside
// the widget onto its parent.
class AppIconView : public QWidget {
    Q_OBJECT
public:
    AppIconView(int edge, qreal cornerRadius, qreal shadowOpacity, QWidget* parent = nullptr);

    int edge() const { return m_edge; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_edge;
    qreal m_radius;
    QPixmap m_cache;
    qreal m_cacheDpr = 0;
};
