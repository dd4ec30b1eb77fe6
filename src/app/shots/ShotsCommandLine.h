#pragma once

#include <optional>
#include <QString>
#include <QStringList>

// The command line of pendrel-shots: `[--] OUTDIR`. A word that starts with a dash is an option,
// never a folder, so a mistyped option cannot become a folder full of PNGs: --help (or -h) asks
// for the usage, any other option is refused before anything is written. After "--", a folder
// whose name starts with a dash can still be given.
namespace ShotsCommandLine {

inline constexpr char kUsage[] = "usage: pendrel-shots [--] OUTDIR\n"
                                 "Renders every screen offscreen to OUTDIR/<scene>.png.\n";

struct Parsed {
    QString outDir;    // empty unless the line was sound and asked for a render
    bool help = false; // --help: print kUsage on standard output, end with 0
    QString error;     // why the line was refused: print it and kUsage, end with 2
};

// args without the program's own name.
Parsed parse(const QStringList& args);

} // namespace ShotsCommandLine
