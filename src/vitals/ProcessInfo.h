#pragma once

#include <QString>
#include <QUuid>

// One row of the largest-memory list. `id` is fresh for every row of every sample, so rows of
// two samples never compare as the same row.
struct ProcessMemoryInfo {
    QUuid id = QUuid::createUuid();
    QString name;            // the process's command name
    quint64 memoryBytes = 0; // resident size
};

// One row of the busiest-CPU list; `cpuPercent` is the share of one core since the previous
// sample (it may exceed 100 for a process busy on several cores).
struct ProcessCPUInfo {
    QUuid id = QUuid::createUuid();
    QString name;
    double cpuPercent = 0;
};
