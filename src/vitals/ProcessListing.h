#pragma once

#include "vitals/ProcessInfo.h"

#include <QList>
#include <QString>

// The two process listings in the text form a process-status tool prints, and the rules that
// turn them into the snapshot's rows. The sampler writes the listings from /proc (largest or
// busiest first, one "<number> <pid> <command name>" line per process) and reads them back
// through these parsers, so the rules below are the only place rows are chosen.
//
// Names are made fit to show (DisplayText::singleLine: no line breaks, no direction controls);
// a process whose name is blank after that is shown as "Process <pid>", never dropped.
namespace ProcessListing {

// Memory listing, "<resident KiB> <pid> <name>" per line, largest first. Empty lines are
// dropped, then only the first `limit` lines are looked at: a line that fails (no space after
// trimming spaces and tabs, a count or pid that is not an unsigned decimal, a pid of 0, a size
// that overflows 64 bits in bytes) is dropped without being replaced, so fewer than `limit` rows
// may come back. Names may hold spaces and are trimmed.
QList<ProcessMemoryInfo> parseMemory(const QString& text, int limit);

// CPU listing, "<percent> <pid> <name>" per line, busiest first. Every line is walked; a line is
// kept when its percent parses whole as a finite C-locale decimal above 0.5, its pid as above,
// and the name is not one of `excludedCPUNames()`; walking stops once `limit` rows are kept.
QList<ProcessCPUInfo> parseCPU(const QString& text, int limit);

// Always busy and never the user's to quit: the kernel and the display server.
const QStringList& excludedCPUNames();

// The name shown for a process: its command name made fit to show, or "Process <pid>" when
// nothing visible is left of it.
QString displayName(const QString& commandName, qint64 pid);

struct Entry {
    QString name;
    quint64 residentBytes = 0;
    double cpuPercent = 0;
    qint64 pid = 0;
};
// The listings for already ordered entries, one process per line whatever its name holds.
QString writeMemory(const QList<Entry>& largestFirst);
QString writeCPU(const QList<Entry>& busiestFirst);

} // namespace ProcessListing
