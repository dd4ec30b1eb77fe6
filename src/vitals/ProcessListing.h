#pragma once

#include "vitals/ProcessInfo.h"

#include <QList>
#include <QString>

// The two process listings in the text form a process-status tool prints, and the rules that
// turn them into the snapshot's rows. The sampler writes the listings from /proc (largest or
// busiest first, one "<number> <command name>" line per process) and reads them back through
// these parsers, so the rules below are the only place rows are chosen.
namespace ProcessListing {

// Memory listing, "<resident KiB> <name>" per line, largest first. Empty lines are dropped, then
// only the first `limit` lines are looked at: a line that fails (no space after trimming spaces
// and tabs, a count that is not an unsigned decimal, a size that overflows 64 bits in bytes) is
// dropped without being replaced, so fewer than `limit` rows may come back. Names may hold
// spaces and are trimmed.
QList<ProcessMemoryInfo> parseMemory(const QString& text, int limit);

// CPU listing, "<percent> <name>" per line, busiest first. Every line is walked; a line is kept
// when its percent parses whole as a finite C-locale decimal above 0.5 and the name is not one
// of `excludedCPUNames()`; walking stops once `limit` rows are kept.
QList<ProcessCPUInfo> parseCPU(const QString& text, int limit);

// Always busy and never the user's to quit: the kernel and the display server.
const QStringList& excludedCPUNames();

struct Entry {
    QString name;
    quint64 residentBytes = 0;
    double cpuPercent = 0;
};
// The listings for already ordered entries. Control characters in names (a process may name
// itself with a newline) are written as "?", so one process is always one line.
QString writeMemory(const QList<Entry>& largestFirst);
QString writeCPU(const QList<Entry>& busiestFirst);

} // namespace ProcessListing
