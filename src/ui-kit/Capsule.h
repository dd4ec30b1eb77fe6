#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QFont;

// The tinted pill behind a short status word (safety grades, metric levels): the rectangle
// filled with `color` at `fillOpacity`, fully rounded, and the text centred in `color`.
void paintCapsule(QPainter& painter, const QRect& rect, const QColor& color, qreal fillOpacity,
                  const QString& text, const QFont& font);
