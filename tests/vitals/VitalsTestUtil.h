#pragma once

#include "fakes/FakeMemoryBlockAllocator.h"
#include "fakes/FakeSMCClient.h"
#include "support/TestSupport.h"
#include "vitals/SystemStatsSampler.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>

namespace vitalstest {

// The sampler's view of a fixture machine at machineRoot (its proc and sys trees), with the
// sandbox home, fixed page size and tick rate, no volume figures and a fake memory allocator.
inline SamplerEnvironment environment(const QString& machineRoot) {
    SamplerEnvironment env;
    env.procRoot = machineRoot + "/proc";
    env.sysRoot = machineRoot + "/sys";
    env.homePath = testsupport::home();
    env.pageSize = 4096;
    env.ticksPerSecond = 100;
    env.volumeSpace = [](const QString&) { return std::optional<VolumeSpace>(); };
    env.allocator = std::make_shared<FakeMemoryBlockAllocator>();
    env.firstWindow = [] {}; // the fixture's counters stand still anyway
    return env;
}

// A copy of a fixture machine under the sandbox, for tests that change files.
inline QString copyFixture(const QString& machine) {
    const QString source = testsupport::fixture(QStringLiteral("vitals/") + machine);
    const QString target = testsupport::freshDir(machine);
    QDirIterator it(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString copy = target + file.mid(source.size());
        QDir().mkpath(QFileInfo(copy).path());
        QFile::copy(file, copy);
    }
    return target;
}

inline void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
}

inline QByteArray bytes(std::initializer_list<int> list) {
    QByteArray out;
    for (int b : list)
        out.append(char(quint8(b)));
    return out;
}

} // namespace vitalstest
