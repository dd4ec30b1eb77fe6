#pragma once

#include "platform/RawValue.h"

#include <QtGlobal>

// The Performance screen's page: "overview", "sensors", "fans". The first case is the page the
// screen starts on; the raw values are fixed because ScreenState keeps the choice.
enum class PerformanceMode : quint8 { Overview, Sensors, Fans };

QString rawValue(PerformanceMode mode);
// The segment's title: "Overview", "Sensors", "Fans".
QString title(PerformanceMode mode);
template <> std::optional<PerformanceMode> fromRawValue<PerformanceMode>(const QString& raw);
template <> const QList<PerformanceMode>& allCases<PerformanceMode>();
