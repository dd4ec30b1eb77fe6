#pragma once

#include "measuring/CleanCategory.h"
#include "platform/HomeLayout.h"

namespace TableRow {

// A table row with the common defaults (removable, no age, no search fields) and its
// home-relative locations placed through the layout.
inline CleanCategory make(const HomeLayout& layout, const char* id, const char* name,
                          const char* plainDescription, const QStringList& homeRelative,
                          bool onByDefault, bool quickSize, TamsoSafety safety,
                          const char* consequence) {
    CleanCategory c;
    c.id = QString::fromUtf8(id);
    c.name = QString::fromUtf8(name);
    c.plainDescription = QString::fromUtf8(plainDescription);
    c.locations = CleanCategories::mapLocations(layout, homeRelative);
    c.onByDefault = onByDefault;
    c.quickSize = quickSize;
    c.safety = safety;
    c.consequence = QString::fromUtf8(consequence);
    return c;
}

} // namespace TableRow
