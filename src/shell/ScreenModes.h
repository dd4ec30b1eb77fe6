#pragma once

#include "platform/RawValue.h"
#include "vitals/PerformanceMode.h"

#include <QtGlobal>

// The modes and panes of the screens whose choice must survive navigation (kept in ScreenState).
// Each enumeration's first case is the screen's starting mode; the raw values are the texts that
// notifications and deep links carry, so they are fixed.

// The storage hub: "hub", "system", "mail", "growth", "screenshots", "diskMap", "organizer".
enum class DiskMode : quint8 { Hub, System, Mail, Growth, Screenshots, DiskMap, Organizer };
// The folder browser: "browse", "biggest".
enum class FoldersMode : quint8 { Browse, Biggest };
// The duplicates screen: exact copies ("exact") or look-alike photos ("similar").
enum class DuplicatesMode : quint8 { Exact, Similar };
// How the file compare treats the chosen pair: "none", "text", "image", "binary", "tooBig".
enum class CompareMode : quint8 { None, Text, Image, Binary, TooBig };
// The Developer Centre's pane: "hub", "cleanup", "models", "awake".
enum class DevPane : quint8 { Hub, Cleanup, Models, Awake };
// The apps hub's pane: "hub", "uninstall".
enum class AppsPane : quint8 { Hub, Uninstall };

QString rawValue(DiskMode mode);
QString rawValue(FoldersMode mode);
QString rawValue(DuplicatesMode mode);
QString rawValue(CompareMode mode);
QString rawValue(DevPane pane);
QString rawValue(AppsPane pane);

// The titles the screens show for their modes; the assistant's context names the mode by them.
// DiskMode: "Overview", "Safe cleanup", "Mail", "Where did it go?", "Screenshots", "Disk Map",
// "Organizer". DevPane: "Overview", "Cleanup", "AI models", "Keep awake". AppsPane: "Overview",
// "Uninstall".
QString title(DiskMode mode);
QString title(DevPane pane);
QString title(AppsPane pane);

template <> std::optional<DiskMode> fromRawValue<DiskMode>(const QString& raw);
template <> std::optional<FoldersMode> fromRawValue<FoldersMode>(const QString& raw);
template <> std::optional<DuplicatesMode> fromRawValue<DuplicatesMode>(const QString& raw);
template <> std::optional<CompareMode> fromRawValue<CompareMode>(const QString& raw);
template <> std::optional<DevPane> fromRawValue<DevPane>(const QString& raw);
template <> std::optional<AppsPane> fromRawValue<AppsPane>(const QString& raw);

template <> const QList<DiskMode>& allCases<DiskMode>();
template <> const QList<FoldersMode>& allCases<FoldersMode>();
template <> const QList<DuplicatesMode>& allCases<DuplicatesMode>();
template <> const QList<CompareMode>& allCases<CompareMode>();
template <> const QList<DevPane>& allCases<DevPane>();
template <> const QList<AppsPane>& allCases<AppsPane>();
