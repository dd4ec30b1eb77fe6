#include "home/GlanceText.h"

#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "platform/TextConstant.h"
#include "vitals/SystemSnapshot.h"

namespace {

using P = ThermalSnapshot::Pressure;

// The temperature tile's tone and sentence at a pressure. A tile warmer than green shows the
// higher thermometer; a pressure nobody reports reads as calm.
struct TemperatureLook {
    HomeTone tone;
    const char* message;
};
TemperatureLook temperatureLook(P pressure) {
    switch (pressure) {
    case P::Fair:
        return {HomeTone::Orange, "Your Mac is warming up."};
    case P::Serious:
        return {HomeTone::Red, "Your Mac is running hot."};
    case P::Critical:
        return {HomeTone::Red, "Thermal pressure is critical."};
    case P::Unknown:
        return {HomeTone::Green, "Thermal status is unavailable."};
    case P::Nominal:
        break;
    }
    return {HomeTone::Green, "Temperatures look comfortable."};
}

} // namespace

namespace GlanceText {

Tile storage(const SystemSnapshot& s) {
    Tile t{.symbol = "internaldrive"_sym,
           .tone = HomeTone::Green,
           .title = QStringLiteral("Storage"),
           .message = QStringLiteral("You have plenty of storage room."),
           .figure = formatBytes(s.diskFreeBytes) + QStringLiteral(" available")};
    if (s.diskTotalBytes < 1) {
        t.tone = HomeTone::Secondary;
        t.message = QStringLiteral("Storage is still being measured.");
        return t;
    }
    const double free = s.diskFreeFraction();
    if (free < 0.1) {
        t.tone = HomeTone::Red;
        t.message = QStringLiteral("Storage is critically low.");
    } else if (free < 0.2) {
        t.tone = HomeTone::Orange;
        t.message = QStringLiteral("Storage is getting tight.");
    }
    return t;
}

Tile memory(const SystemSnapshot& s) {
    const bool elevated =
        s.memTotalBytes != 0 && double(s.memUsedBytes) / double(s.memTotalBytes) > 0.8;
    return {.symbol = "memorychip"_sym,
            .tone = elevated ? HomeTone::Orange : HomeTone::Green,
            .title = QStringLiteral("Memory"),
            .message = elevated ? QStringLiteral("Memory pressure is elevated.")
                                : QStringLiteral("Memory usage is normal."),
            .figure = formatBytesClamped(s.memUsedBytes) + QStringLiteral(" of ") +
                      formatBytesClamped(s.memTotalBytes) + QStringLiteral(" in use")};
}

Tile performance(const SystemSnapshot& s) {
    const bool hard = s.cpuPercent > 70.0;
    return {.symbol = "gauge.with.dots.needle.50percent"_sym,
            .tone = hard ? HomeTone::Orange : HomeTone::Green,
            .title = QStringLiteral("Performance"),
            .message = hard ? QStringLiteral("Your Mac is working hard.")
                            : QStringLiteral("Performance looks normal."),
            .figure = QStringLiteral("CPU load is %1%").arg(s.cpuPercent, 0, 'f', 0)};
}

Tile temperature(const SystemSnapshot& s) {
    const TemperatureLook look = temperatureLook(s.thermal.pressure);
    return {.symbol =
                look.tone == HomeTone::Green ? "thermometer.medium"_sym : "thermometer.high"_sym,
            .tone = look.tone,
            .title = QStringLiteral("Temperature"),
            .message = QString::fromUtf8(look.message),
            .figure = temperatureFigure(s)};
}

QString temperatureFigure(const SystemSnapshot& s) {
    const QString word = pressureWord(s.thermal.pressure);
    if (s.thermal.cpuCelsius)
        return QStringLiteral("CPU around %1°C · %2")
            .arg(*s.thermal.cpuCelsius, 0, 'f', 0)
            .arg(word);
    return QStringLiteral("System thermal pressure: ") + word.toLower();
}

QList<Tile> tiles(const SystemSnapshot& s) {
    return {storage(s), memory(s), performance(s), temperature(s)};
}

PENDREL_TEXT(title, "Your Mac at a glance")

} // namespace GlanceText
