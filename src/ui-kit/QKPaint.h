#pragma once

#include <QtGlobal>

class QBrush;
class QPainter;
class QRectF;

// Small painting steps the app's drawn controls share.
namespace QKPaint {

// Fills `rect` with rounded corners of `radius` (both axes), antialiased when the painter is.
void fillRounded(QPainter& painter, const QRectF& rect, qreal radius, const QBrush& brush);

} // namespace QKPaint
