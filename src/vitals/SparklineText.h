#pragma once

#include <QString>

// The history chart's words: what assistive technology calls it and hears of it, and the line
// it draws while it has too few readings.
namespace SparklineText {

QString chartName();  // "Recent history"
QString noReadings(); // spoken while there is no reading
QString gathering();  // "Gathering readings…", drawn while there are fewer than two
// "42 percent": a reading spoken as a whole percentage.
QString percent(qint64 wholePercent);

} // namespace SparklineText
