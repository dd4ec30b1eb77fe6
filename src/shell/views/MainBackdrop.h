#pragma once

#include <QPixmap>
#include <QSize>

class QPainter;

// What lies behind the main window's sidebar and detail card: the brand gradient (brandBlue,
// brandBlueLight, brandIndigo from the top-left to the bottom-right corner) and a soft white
// circle (10 %, 420 across, its edge blurred by 2) whose centre sits 410 left and 350 below the
// centre of the area. Pure drawing; the last picture made is kept, so the window and the card's
// corners, which both show it, draw the same pixels without redoing the gradient.
namespace MainBackdrop {

// The backdrop of an area of this size, at the device pixel ratio.
QPixmap pixmap(const QSize& area, qreal devicePixelRatio);

// Draws the backdrop of an area of this size with its top-left corner at the painter's origin.
void paint(QPainter& painter, const QSize& area, qreal devicePixelRatio);

inline constexpr qreal kCircleDiameter = 420;
inline constexpr qreal kCircleOffsetX = -410;
inline constexpr qreal kCircleOffsetY = 350;

} // namespace MainBackdrop
