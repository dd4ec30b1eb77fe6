#include "vitals/SnapshotJson.h"

#include <QJsonArray>

namespace {

QJsonValue optionalValue(const std::optional<int>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}
QJsonValue optionalValue(const std::optional<double>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}
// JSON numbers are doubles: byte counts are exact up to 2^53, far beyond any real machine.
QJsonValue bytes(quint64 v) {
    return QJsonValue(double(v));
}

QJsonObject thermalToJson(const ThermalSnapshot& t) {
    QJsonArray rpms;
    for (int rpm : t.fanRPMs)
        rpms.append(rpm);
    QJsonArray sensors;
    for (const HardwareSensor& s : t.sensors)
        sensors.append(QJsonObject{{"key", s.key},
                                   {"name", s.name},
                                   {"kind", rawValue(s.kind)},
                                   {"value", s.value},
                                   {"unit", s.unit},
                                   {"plain", s.plain}});
    QJsonArray fans;
    for (const FanReading& f : t.fans)
        fans.append(QJsonObject{{"id", f.id},
                                {"name", f.name},
                                {"rpm", f.rpm},
                                {"minRPM", optionalValue(f.minRPM)},
                                {"maxRPM", optionalValue(f.maxRPM)},
                                {"targetRPM", optionalValue(f.targetRPM)}});
    return QJsonObject{{"pressure", rawValue(t.pressure)},
                       {"cpuCelsius", optionalValue(t.cpuCelsius)},
                       {"gpuCelsius", optionalValue(t.gpuCelsius)},
                       {"fanRPMs", rpms},
                       {"sensors", sensors},
                       {"fans", fans}};
}

} // namespace

QJsonObject snapshotToJson(const SystemSnapshot& s) {
    QJsonArray memory;
    for (const ProcessMemoryInfo& p : s.topProcesses)
        memory.append(QJsonObject{
            {"name", p.name}, {"memoryBytes", bytes(p.memoryBytes)}, {"pid", double(p.pid)}});
    QJsonArray cpu;
    for (const ProcessCPUInfo& p : s.topCPUProcesses)
        cpu.append(
            QJsonObject{{"name", p.name}, {"cpuPercent", p.cpuPercent}, {"pid", double(p.pid)}});
    return QJsonObject{
        {"memUsedBytes", bytes(s.memUsedBytes)},
        {"memTotalBytes", bytes(s.memTotalBytes)},
        {"memWiredBytes", bytes(s.memWiredBytes)},
        {"memActiveBytes", bytes(s.memActiveBytes)},
        {"memCompressedBytes", bytes(s.memCompressedBytes)},
        {"memCachedBytes", bytes(s.memCachedBytes)},
        {"memBuffCacheBytes", bytes(s.memBuffCacheBytes)},
        {"memFreeBytes", bytes(s.memFreeBytes)},
        {"memoryPressurePercent", s.memoryPressurePercent},
        {"cpuPercent", s.cpuPercent},
        {"diskFreeBytes", double(s.diskFreeBytes)},
        {"diskTotalBytes", double(s.diskTotalBytes)},
        {"diskUsedBytes", s.diskUsedBytes ? QJsonValue(double(*s.diskUsedBytes)) : QJsonValue()},
        {"batteryPercent", optionalValue(s.batteryPercent)},
        {"batteryCharging", s.batteryCharging},
        {"batteryHealthPercent", optionalValue(s.batteryHealthPercent)},
        {"batteryCycles", optionalValue(s.batteryCycles)},
        {"topProcesses", memory},
        {"topCPUProcesses", cpu},
        {"thermal", thermalToJson(s.thermal)},
        {"headline", s.headline()},
        {"thermalExplanation", s.thermalExplanation()},
    };
}
