#pragma once

#include <QPixmap>

// Soft drop shadows for rounded cards, drawn as nine-slice tiles: a rounded square blurred by
// three box passes (close to a Gaussian), black at the given opacity. Tiles are cached per
// (radius, blur, opacity, device pixel ratio), so painting a shadow costs a few blits.
namespace SoftShadow {

// The tile for a card of corner radius `radius` whose blurred edge reaches `blur` points beyond
// it. It is (2 * margin + 1) points square, with margin = blur + ceil(radius): the corners are
// margin × margin and the middle row and column stretch.
const QPixmap& tile(qreal radius, int blur, qreal opacity, qreal dpr, int* margin);

} // namespace SoftShadow
