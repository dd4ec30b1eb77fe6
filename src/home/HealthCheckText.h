#pragma once

#include "home/IssueSeverity.h"

#include <QString>

// What the health check says about its two measurements once they finish, and when home cannot
// be read. Pure functions; the cuts are the table in the source.
namespace HealthCheckText {

struct Verdict {
    QString summary;
    IssueSeverity severity = IssueSeverity::Good;
};

// Good for 0 bytes ("Nothing to clear…"), else the bytes in caches, logs and the Trash and the
// files they are in: act above 5 GiB, watch up to it.
Verdict junk(qint64 bytes, int files);
// Good for no file, else the count of files of a gigabyte or more and their bytes: act above 10
// files, watch up to 10.
Verdict bigFiles(qint64 bytes, int count);

QString homeUnreadable();

} // namespace HealthCheckText
