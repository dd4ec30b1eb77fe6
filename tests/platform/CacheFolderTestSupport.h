#pragma once

#include "fakes/FakeClock.h"
#include "platform/CacheFolder.h"
#include "platform/PendrelTimelineStore.h"
#include "support/TestSupport.h"

#include <csignal>
#include <memory>
#include <QFile>
#include <QStringList>
#include <sys/resource.h>

// What the tests of the app's own JSON files share: the log lines written, a disk that fills
// up, whole-file reads and writes, and a timeline in a folder of its own.
namespace cachefoldertest {

// Collects every log line written while it lives.
class LogCapture {
public:
    LogCapture() {
        lines().clear();
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&,
                                               const QString& text) { lines().append(text); });
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    static QStringList& lines() {
        static QStringList collected;
        return collected;
    }

private:
    QtMessageHandler m_previous;
};

// While it lives, no file of this process may grow beyond `bytes`: a write past it fails as on a
// full disk (SIGXFSZ is ignored so the write reports the error instead).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// A timeline in a fresh folder of the sandbox, on a clock the test moves.
struct Timeline {
    explicit Timeline(const QString& name, const QByteArray& initialFile = {})
        : dir(testsupport::freshDir(name)), folder(AppSupportFolder(dir)),
          clock(std::make_shared<FakeClock>()) {
        if (!initialFile.isNull())
            writeAll(file(), initialFile);
        store = std::make_unique<PendrelTimelineStore>(folder, clock);
    }
    QString file() const { return folder.folder().pathFor(PendrelTimelineStore::fileName()); }
    QByteArray bytes() const { return readAll(file()); }

    QString dir;
    CacheFolder folder;
    std::shared_ptr<FakeClock> clock;
    std::unique_ptr<PendrelTimelineStore> store;
};

} // namespace cachefoldertest
