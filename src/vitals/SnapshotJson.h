#pragma once

#include "vitals/SystemSnapshot.h"

#include <QJsonObject>

// A snapshot as a JSON object with the snapshot's field names (absent optionals as null, the
// thermal part nested, process ids left out). For diagnostics and the vitals-dump tool; nothing
// reads it back.
QJsonObject snapshotToJson(const SystemSnapshot& snapshot);
