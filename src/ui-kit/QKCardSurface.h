#pragma once

#include <QWidget>

// The card behind a block of content: a rounded rectangle of cornerRadius filled with the card
// colour and outlined inside its edge with a 1-point hairline (primary text at 9 %). An elevated
// card also casts a soft shadow (black at 8 %, blur 12, 5 points down) onto its parent; a flat
// card casts none. Both fields are the caller's; colours follow the appearance at paint time.
//
// The card adds no padding: put the content in its layout, or use wrap().
class QKCardSurface : public QWidget {
    Q_OBJECT
public:
    QKCardSurface(qreal cornerRadius, bool elevated, QWidget* parent = nullptr);

    // A card holding content edge to edge.
    static QKCardSurface* wrap(QWidget* content, qreal cornerRadius, bool elevated,
                               QWidget* parent = nullptr);

    qreal cornerRadius() const { return m_radius; }
    bool elevated() const { return m_elevated; }

    // Where the shadow of a card at this geometry falls, in its parent's coordinates.
    static QRect shadowRect(const QRect& cardGeometry);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class CardShadowPainter;
    void attachToParent();
    void paintShadow(class QPainter& painter) const;

    qreal m_radius;
    bool m_elevated;
};
