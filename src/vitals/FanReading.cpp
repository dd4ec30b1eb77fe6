#include "vitals/FanReading.h"

#include <cstdlib>

QString FanReading::stateLabel() const {
    if (rpm < 1)
        return QStringLiteral("Idle / off");
    if (maxRPM && *maxRPM >= 1) {
        const double ratio = double(rpm) / double(*maxRPM);
        if (ratio > 0.85)
            return QStringLiteral("Near maximum");
        if (ratio > 0.45)
            return QStringLiteral("Active");
        return QStringLiteral("Gentle");
    }
    if (rpm > 4000)
        return QStringLiteral("Active");
    if (rpm > 1500)
        return QStringLiteral("Gentle");
    return QStringLiteral("Low");
}

QString FanReading::explanation() const {
    if (rpm < 1)
        return QStringLiteral("This fan is not spinning right now.");
    // Widened so that extreme reported targets cannot overflow the difference.
    if (targetRPM && *targetRPM >= 1 && std::abs(qint64(*targetRPM) - qint64(rpm)) > 200)
        return QStringLiteral("Spinning at %1 RPM (target about %2).").arg(rpm).arg(*targetRPM);
    if (!maxRPM || *maxRPM < 1)
        return QStringLiteral("Spinning at %1 RPM.").arg(rpm);
    return QStringLiteral("Spinning at %1 of %2 RPM maximum.").arg(rpm).arg(*maxRPM);
}
