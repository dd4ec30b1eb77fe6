#pragma once

#include "home/HomeTone.h"

#include <QList>
#include <QString>

struct SystemSnapshot;

// The home screen's four at-a-glance tiles: one plain sentence each for storage, memory,
// performance and temperature, with a level colour. The cut points are these tiles' own (the
// headroom score and the recommendations judge the same measures differently).
namespace GlanceText {

struct Tile {
    QString symbol;
    HomeTone tone = HomeTone::Green;
    QString title;
    QString message;
    QString figure;

    bool operator==(const Tile&) const = default;
};

// Grey "still being measured" while the volume reports no size; else by the share the user can
// still write to: red below 0.1, orange below 0.2, green from there. The figure is the free
// space in every case.
Tile storage(const SystemSnapshot& snapshot);
// Orange above 0.8 of memory used; green up to it and when the total is 0.
Tile memory(const SystemSnapshot& snapshot);
// Orange above 70 % CPU.
Tile performance(const SystemSnapshot& snapshot);
// By thermal pressure: fair orange, serious and critical red, the rest green.
Tile temperature(const SystemSnapshot& snapshot);
// "CPU around 62°C · Warm" with a CPU temperature, else "System thermal pressure: warm".
QString temperatureFigure(const SystemSnapshot& snapshot);

// Storage, Memory, Performance, Temperature.
QList<Tile> tiles(const SystemSnapshot& snapshot);

// The section's heading, "Your Mac at a glance".
QString title();

} // namespace GlanceText
