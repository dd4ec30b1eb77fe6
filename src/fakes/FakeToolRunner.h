#pragma once

#include "platform/DefaultsTool.h"
#include "platform/ToolRunner.h"

#include <functional>
#include <QMutex>
#include <QSet>
#include <QStringList>

// A ToolRunner that starts nothing. Every call is recorded; the answer comes from a handler
// (by default: started, exit 0, no output). Programs marked missing fail to start with
// "No such file or directory". Safe from several threads at once.
class FakeToolRunner final : public ToolRunner {
public:
    struct Call {
        QString program;
        QStringList arguments;
    };
    using Handler = std::function<ToolResult(const QString& program, const QStringList& args)>;

    void setHandler(Handler handler) {
        QMutexLocker lock(&m_mutex);
        m_handler = std::move(handler);
    }
    void setMissing(const QString& program, bool missing = true) {
        QMutexLocker lock(&m_mutex);
        if (missing)
            m_missing.insert(program);
        else
            m_missing.remove(program);
    }
    QList<Call> calls() const {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    // The argument lists of the calls whose first argument is `command`, in call order.
    QList<QStringList> commands(const QString& command) const {
        QList<QStringList> out;
        for (const Call& c : calls()) {
            if (c.arguments.value(0) == command)
                out << c.arguments;
        }
        return out;
    }
    void clearCalls() {
        QMutexLocker lock(&m_mutex);
        m_calls.clear();
    }

    ToolResult run(const QString& program, const QStringList& arguments, int) override {
        Handler handler;
        {
            QMutexLocker lock(&m_mutex);
            m_calls.append({program, arguments});
            if (m_missing.contains(program)) {
                ToolResult r;
                r.startError = QStringLiteral("No such file or directory");
                return r;
            }
            handler = m_handler;
        }
        if (handler)
            return handler(program, arguments);
        return succeeded({});
    }

    static ToolResult succeeded(const QByteArray& output) {
        ToolResult r;
        r.started = true;
        r.exitedNormally = true;
        r.exitCode = 0;
        r.standardOutput = output;
        return r;
    }
    static ToolResult exited(int code, const QByteArray& output, const QByteArray& error) {
        ToolResult r = succeeded(output);
        r.exitCode = code;
        r.standardError = error;
        return r;
    }

    // A handler that behaves as the defaults tool over the store in `folder`, in-process.
    static Handler defaultsTool(const QString& folder) {
        return [folder](const QString&, const QStringList& args) {
            const DefaultsTool::Outcome o = DefaultsTool::run(args, folder);
            return exited(o.exitCode, o.standardOutput, o.standardError);
        };
    }

private:
    mutable QMutex m_mutex;
    Handler m_handler;
    QSet<QString> m_missing;
    QList<Call> m_calls;
};
