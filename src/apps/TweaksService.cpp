#include "apps/TweaksService.h"

#include "apps/TweaksText.h"
#include "platform/DefaultsTool.h"
#include "platform/ToolRunner.h"
#include "shell/ScanJob.h"

#include <atomic>
#include <mutex>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QPointer>
#include <QStringDecoder>

namespace {

// The tool's output when it ran and succeeded and the output is valid UTF-8; otherwise none.
std::optional<QString> readState(ToolRunner& runner, const QString& program, const Tweak& t) {
    const ToolResult r = runner.run(program, {QStringLiteral("read"), t.domain, t.key},
                                    TweaksService::ToolTimeoutMs);
    if (!r.succeeded())
        return std::nullopt;
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(r.standardOutput);
    if (decode.hasError())
        return std::nullopt;
    return text;
}

// One reading of the whole table, shared by its per-row jobs; the last job to finish hands
// the results to the main thread.
struct Reading {
    QList<Tweak> rows;
    std::mutex lock;
    QHash<QString, bool> results; // under the lock
    int remaining = 0;            // under the lock
};

} // namespace

TweaksService::TweaksService(std::shared_ptr<ToolRunner> runner, QString defaultsProgram,
                             QObject* parent)
    : QObject(parent), m_runner(std::move(runner)), m_defaults(std::move(defaultsProgram)) {}

QStringList TweaksService::groups() const {
    QStringList out;
    for (const Tweak& t : tweaks()) {
        if (!out.contains(t.group))
            out << t.group;
    }
    return out;
}

void TweaksService::setLastError(std::optional<QString> error) {
    m_lastError = std::move(error);
    emit lastErrorChanged();
}

void TweaksService::load() {
    startReading();
}

void TweaksService::startReading() {
    auto reading = std::make_shared<Reading>();
    reading->rows = tweaks();
    reading->remaining = int(reading->rows.size());
    const std::shared_ptr<ToolRunner> runner = m_runner;
    const QString program = m_defaults;
    const QPointer<TweaksService> weak(this);
    if (reading->rows.isEmpty() || !runner) {
        publishReading({});
        return;
    }
    for (qsizetype i = 0; i < reading->rows.size(); ++i) {
        ScanJob::runInPool([reading, runner, program, weak, i] {
            const Tweak& row = reading->rows.at(i);
            const std::optional<QString> text = readState(*runner, program, row);
            const bool on = text && text->trimmed() == row.onReadValue;
            QHash<QString, bool> results;
            {
                std::lock_guard lock(reading->lock);
                reading->results.insert(row.id, on);
                if (--reading->remaining != 0)
                    return;
                results = reading->results;
            }
            ScanJob::deliver(weak, [results = std::move(results)](TweaksService* service) {
                service->publishReading(results);
            });
        });
    }
}

void TweaksService::publishReading(const QHash<QString, bool>& results) {
    m_states = results;
    emit statesChanged();
    m_loaded = true;
    emit isLoadedChanged();
}

void TweaksService::runSwitch(const QStringList& arguments, bool isDelete) {
    if (!m_runner)
        return;
    const ToolResult r = m_runner->run(m_defaults, arguments, ToolTimeoutMs);
    if (!r.started) {
        setLastError(TweaksText::toolMissing(QFileInfo(m_defaults).fileName()));
        return;
    }
    if (r.succeeded())
        return;
    // The key being gone already is what a delete wants.
    if (isDelete && r.exitedNormally && r.exitCode == DefaultsTool::NotFound)
        return;
    const QString said = QString::fromUtf8(r.standardError).trimmed();
    setLastError(said.isEmpty() || r.timedOut ? TweaksText::changeNotSaved() : said);
}

void TweaksService::apply(const Tweak& tweak, bool on) {
    if (on) {
        runSwitch({QStringLiteral("write"), tweak.domain, tweak.key, tweak.onFlag, tweak.onValue},
                  false);
    } else if (tweak.offValue) {
        runSwitch({QStringLiteral("write"), tweak.domain, tweak.key, tweak.onFlag, *tweak.offValue},
                  false);
    } else {
        runSwitch({QStringLiteral("delete"), tweak.domain, tweak.key}, true);
    }
    m_states.insert(tweak.id, on);
    emit statesChanged();
}

void TweaksService::restoreAll() {
    for (const Tweak& t : tweaks()) {
        if (m_states.value(t.id, false))
            apply(t, false);
    }
    startReading();
}
