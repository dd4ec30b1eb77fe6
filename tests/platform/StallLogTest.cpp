// The main thread's heartbeat: how late a tick came, and the log of the ticks that came too late.
#include "platform/StallLog.h"
#include "platform/ThreadUse.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace {

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QStringList lines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable>")};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The number after `key=` on a line; -1 without one.
double field(const QString& line, const QString& key) {
    const auto match = QRegularExpression(QStringLiteral("\\b%1=([0-9.]+)").arg(key)).match(line);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

// The lines that report a gap of at least `ms`.
QStringList gapsOver(const QStringList& log, double ms) {
    QStringList out;
    for (const QString& line : log)
        if (field(line, QStringLiteral("late_ms")) >= ms)
            out << line;
    return out;
}

// Keeps the main thread busy, not waiting, until it has used `ms` of CPU: no tick can come in
// that time, and the CPU the log reports for the gap is at least that.
void busyFor(double ms) {
    const int64_t until = ThreadUse::now().cpuNs + int64_t(ms * 1e6);
    while (ThreadUse::now().cpuNs < until) {
    }
}

void turnLoopFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    testsupport::waitFor([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

TEST(TickLateness, CountsWhatEachTickCameBeyondItsIntervalAndKeepsTheLongest) {
    TickLateness lateness(5);
    lateness.restart(100);
    EXPECT_DOUBLE_EQ(lateness.tick(105), 0);
    EXPECT_DOUBLE_EQ(lateness.tick(108), -2); // early
    EXPECT_DOUBLE_EQ(lateness.longest(), 0);
    EXPECT_DOUBLE_EQ(lateness.tick(233), 120);
    EXPECT_DOUBLE_EQ(lateness.tick(238), 0);
    EXPECT_DOUBLE_EQ(lateness.longest(), 120);

    // A pause is no lateness, and the longest before it stays.
    lateness.resumeAt(10'000);
    EXPECT_DOUBLE_EQ(lateness.tick(10'045), 40);
    EXPECT_DOUBLE_EQ(lateness.longest(), 120);

    lateness.restart(20'000);
    EXPECT_DOUBLE_EQ(lateness.longest(), 0);
}

TEST(StallLog, ABlockedMainThreadIsOneGapOnDiskAtOnceAndTheLongestAtTheEnd) {
    const QString dir = testsupport::freshDir(QStringLiteral("stalls"));
    const QString path = dir + QStringLiteral("/stalls.log");
    testsupport::write(path, "an earlier run's lines\n");
    std::unique_ptr<StallLog> log = StallLog::start(path);
    ASSERT_TRUE(log);
    turnLoopFor(60);
    busyFor(120);
    turnLoopFor(60);

    // Written as it happened, before the log ends.
    const QStringList during = lines(path);
    ASSERT_GE(during.size(), 2) << during.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(during.first().contains(QStringLiteral(" start tick_ms=5 logged_over_ms=50")))
        << during.first().toStdString();
    EXPECT_FALSE(during.join(QLatin1Char('\n')).contains(QStringLiteral("earlier run")));
    const QStringList gaps = gapsOver(during, 100);
    ASSERT_EQ(gaps.size(), 1) << during.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(field(gaps.first(), QStringLiteral("cpu_ms")), 100) << gaps.first().toStdString();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} "))
            .match(gaps.first())
            .hasMatch())
        << gaps.first().toStdString();
    EXPECT_GE(log->longestMs(), 100);

    log->finish();
    log->finish(); // once only
    const double longest = log->longestMs();
    log.reset();
    const QStringList after = lines(path);
    ASSERT_EQ(after.size(), during.size() + 1) << after.join(QLatin1Char('\n')).toStdString();
    const QString last = after.last();
    EXPECT_TRUE(last.contains(QStringLiteral(" quit "))) << last.toStdString();
    EXPECT_NEAR(field(last, QStringLiteral("longest_ms")), longest, 0.06) << last.toStdString();
    EXPECT_GE(field(last, QStringLiteral("cpu_ms")), 100) << last.toStdString();
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("stalls.log")});
}

TEST(StallLog, StartsNothingWithoutAFileAndSaysWhyAFileCannotBeOpened) {
    const QString dir = testsupport::freshDir(QStringLiteral("nostalls"));
    QString error;
    EXPECT_FALSE(StallLog::start(QString(), &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(StallLog::start(dir + QStringLiteral("/missing/stalls.log"), &error));
    EXPECT_FALSE(error.isEmpty());
    turnLoopFor(20);
    EXPECT_TRUE(entries(dir).isEmpty());
}

} // namespace
