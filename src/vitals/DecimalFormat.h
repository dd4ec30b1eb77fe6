#pragma once

#include <QString>

// A number with a fixed count of decimals, as C's "%.Nf" prints it in the C locale: correctly
// rounded from the exact binary value (ties to even, so 88.5 gives "88"), always with a point,
// whatever the user's locale.
QString fixedDecimal(double value, int decimals);
