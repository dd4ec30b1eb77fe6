#pragma once

#include <QString>
#include <QUuid>

// One row of the largest-memory list. `id` is fresh for every row of every sample, so rows of
// two samples never compare as the same row; `pid` is the process the row measures, which is
// what ties a row to a running application or to the same process's CPU row (names are not
// unique: two apps may run under one interpreter).
struct ProcessMemoryInfo {
    QUuid id = QUuid::createUuid();
    QString name;            // the process's command name, ready to show
    quint64 memoryBytes = 0; // resident size
    qint64 pid = 0;          // 0 when unknown
};

// One row of the busiest-CPU list; `cpuPercent` is the share of one core since the previous
// sample (it may exceed 100 for a process busy on several cores).
struct ProcessCPUInfo {
    QUuid id = QUuid::createUuid();
    QString name;
    double cpuPercent = 0;
    qint64 pid = 0; // 0 when unknown
};
