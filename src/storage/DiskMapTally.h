#pragma once

#include "platform/CancelToken.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <QString>

// The running counts of one disk-map scan, shared by every thread that measures for it, and the
// progress texts made from them.
//
// Every field is read and written under the tally's own lock, which is never held while another
// lock is taken or while the report runs. The report receives each progress text on the thread
// that caused it, after the lock is released, so it must be callable from any thread.
// add() reports at most once per throttle interval; folderDone() always reports.
class DiskMapTally {
public:
    using Report = std::function<void(const QString& text)>;

    // total: the number of top-level items the scan measures.
    DiskMapTally(qint64 total, CancelToken token, Report report,
                 std::chrono::milliseconds throttle = std::chrono::milliseconds(250));

    // Counts files and bytes; a non-empty folderName becomes the folder the text says it is in.
    void add(qint64 files, qint64 bytes, const QString& folderName = QString());
    // One top-level item has ended.
    void folderDone();
    void countUnreadable();

    qint64 cloudSkipped() const;
    qint64 unreadable() const;
    qint64 finished() const;
    qint64 filesSeen() const;
    qint64 bytesSeen() const;
    const CancelToken& token() const { return m_token; }

    // "Measured 1.2 GB across 3400 files · 2 of 9 folders done · now in Documents": sizes as the
    // byte formatter writes them, counts without grouping, and the last part only with a folder.
    static QString progressText(qint64 bytes, qint64 files, qint64 finished, qint64 total,
                                const QString& currentFolder);

private:
    QString textLocked() const;

    mutable std::mutex m_lock;
    qint64 m_cloudSkipped = 0;
    qint64 m_unreadable = 0;
    qint64 m_finished = 0;
    qint64 m_filesSeen = 0;
    qint64 m_bytesSeen = 0;
    bool m_reported = false; // false: the last report lies in the distant past
    std::chrono::steady_clock::time_point m_lastReport;
    QString m_currentFolder;
    const qint64 m_total;
    const CancelToken m_token;
    const Report m_report;
    const std::chrono::milliseconds m_throttle;
};
