#include "vitals/SparklineText.h"

#include "platform/TextConstant.h"

namespace SparklineText {

PENDREL_TEXT(chartName, "Recent history")
PENDREL_TEXT(noReadings, "no readings yet")
PENDREL_TEXT(gathering, "Gathering readings…")

QString percent(qint64 wholePercent) {
    return QStringLiteral("%1 percent").arg(wholePercent);
}

} // namespace SparklineText
