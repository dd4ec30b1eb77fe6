#pragma once

#include "storage/ContentCategory.h"
#include "storage/DiskMapCategory.h"

#include <QColor>

// The one colour of each content category, the same on the treemap, its legend and the folder
// screens: client work blue, personal green, media purple, downloads amber, code teal, admin pink,
// unknown grey. Opaque sRGB, the same in light and dark.
namespace CategoryColors {

QColor color(DiskMapCategory category);
QColor color(ContentCategory category);

} // namespace CategoryColors
