// libFuzzer target: the systemd unit reader, command-line splitting and specifier expansion.
#include "platform/UnitFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const UnitFile unit = UnitFile::parse(bytes);
    (void)unit.program();
    if (const auto description = unit.description()) {
        (void)UnitFile::expandSpecifiers(*description, QStringLiteral("getty@tty1.service"));
        (void)UnitFile::expandSpecifiers(*description, *description);
    }
    for (const QString& section : unit.sections()) {
        for (const QString& line : unit.values(section, QStringLiteral("ExecStart")))
            (void)UnitFile::splitCommandLine(line);
    }
    // The raw text as one command line too: quoting and escapes on arbitrary input.
    (void)UnitFile::splitCommandLine(QString::fromUtf8(bytes));
    return 0;
}
