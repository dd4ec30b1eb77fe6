#pragma once

#include "home/HomeTone.h"

#include <QColor>
#include <QPalette>

// The interface colour of a home tone on a background painted with this palette: the standard
// green, yellow, orange and red of the appearance in force, the accent, or the secondary grey.
namespace HomeTint {

QColor color(HomeTone tone, const QPalette& palette);
// The same colour at an opacity (0 to 1).
QColor color(HomeTone tone, const QPalette& palette, qreal opacity);

} // namespace HomeTint
