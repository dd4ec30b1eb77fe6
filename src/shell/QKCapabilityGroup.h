#pragma once

#include "platform/RawValue.h"

#include <QtGlobal>

// The sidebar groups of the feature catalog, in declaration order. The raw values ("tamsoCore",
// "storage", ...) identify a group; the titles are what the sidebar shows (in upper case), and
// the ranks order the groups there ("more" ranks 99, after every other group).
enum class QKCapabilityGroup : quint8 {
    TamsoCore,
    Storage,
    Applications,
    Developer,
    Privacy,
    Performance,
    Automation,
    Reports,
    More,
};

QString rawValue(QKCapabilityGroup group);
// "Pendrel", "Storage Intelligence", ..., "More".
QString title(QKCapabilityGroup group);
int rank(QKCapabilityGroup group);

template <> std::optional<QKCapabilityGroup> fromRawValue<QKCapabilityGroup>(const QString& raw);
template <> const QList<QKCapabilityGroup>& allCases<QKCapabilityGroup>();
