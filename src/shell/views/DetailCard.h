#pragma once

#include "shell/views/PinchZoom.h"

#include <array>
#include <QPointer>
#include <QWidget>

class UserDefaults;

// The main window's card that holds the selected section's screen: the window background in a
// rounded rectangle (radius 18) outlined inside its edge with white at 24 %, casting a shadow
// (black at 20 %, blur 24, 10 down) that shows only in the four corners outside the rounded edge,
// since card and shadow are cut to the card's own rectangle.
//
// The screen fills the card and is not asked for a minimum size (the card may be narrower than a
// screen would like). Corners and outline are drawn above the screen by small frame pieces that
// take no input, so every screen is clipped to the rounded shape with smooth edges; the corners
// show the backdrop of backdropHost (MainBackdrop), on which the card must lie.
//
// A pinch (the platform's native zoom gesture) anywhere over the card changes the text size
// through PinchZoom.
class DetailCard : public QWidget {
    Q_OBJECT
public:
    DetailCard(QWidget* backdropHost, UserDefaults& defaults, QWidget* parent = nullptr);
    ~DetailCard() override;

    // Shows a new screen; the card takes ownership. The previous screen is hidden at once and
    // deleted once control returns to the event loop, so a screen may replace itself from inside
    // one of its own handlers. Null leaves the card empty.
    void setScreen(QWidget* screen);
    QWidget* screen() const { return m_screen; }

    PinchZoom& pinch() { return m_pinch; }

    static constexpr qreal kCornerRadius = 18;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class CardFramePiece;
    // Paints the part of the frame (corner backdrop and shadow, outline) that falls in target,
    // with the painter in card coordinates.
    void paintFrame(QPainter& painter, const QRect& target) const;
    void layoutPieces();

    QPointer<QWidget> m_backdropHost;
    QPointer<QWidget> m_screen;
    std::array<QWidget*, 8> m_pieces{};
    PinchZoom m_pinch;
};
