// libFuzzer target: the desktop-entry reader and everything the startup list asks of an entry.
#include "platform/DesktopEntry.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DesktopEntry entry = DesktopEntry::parse(bytes);
    const QString main = QLatin1String(DesktopEntry::MainGroup);
    (void)entry.isValid();
    (void)entry.autostarts();
    (void)entry.program();
    for (const char* locale : {"C", "de_DE.UTF-8", "sr_RS@latin", "pt_BR", ""})
        (void)entry.localeString(main, QStringLiteral("Name"), QString::fromLatin1(locale));
    for (const QString& group : entry.groups()) {
        (void)entry.stringList(group, QStringLiteral("Categories"));
        (void)entry.boolean(group, QStringLiteral("Hidden"));
        if (const auto exec = entry.rawValue(group, QStringLiteral("Exec"))) {
            (void)DesktopEntry::splitExec(*exec);
            (void)DesktopEntry::splitExec(DesktopEntry::unescape(*exec, true));
        }
    }
    return 0;
}
