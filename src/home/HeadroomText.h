#pragma once

#include <QString>
#include <QStringList>

struct SystemSnapshot;

// The headroom of one sample, as the home screen's header and the assistant word it: a score
// from 5 to 100, its title, a one-line summary and the finding lines. Pure functions; the cuts
// are the tables in the source.
namespace HeadroomText {

struct Headroom {
    int score = 100;
    QString title;
    QString detail; // "85 headroom points · 150 GB free · memory 85%"
    // In check order: storage, memory, CPU (only when busy), thermal, junk (only when large).
    QStringList findings;
};

// The headroom of a sample with junkBytes of clearable files. Storage sets the starting score
// from free ÷ size of the home volume as the user can write to it
// (SystemSnapshot::diskFreeFraction); memory (used ÷ total), CPU, thermal pressure and junk
// take points off. Every cut is strict, and a figure that is not known (no volume size, no
// memory total) counts as comfortable.
Headroom headroom(const SystemSnapshot& snapshot, qint64 junkBytes);

} // namespace HeadroomText
