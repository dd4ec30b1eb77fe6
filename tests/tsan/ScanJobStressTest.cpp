#include "shell/ScanJob.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QList>
#include <vector>

namespace {

// A service in miniature: restarts its scan often and keeps only the current result.
class Service : public QObject {
public:
    explicit Service(int ownThreads) : m_job(ownThreads) {}

    void start(int seed) {
        const ScanJob::Ticket ticket = m_job.restart();
        // Plain (non-atomic) data written on the worker and read on the main thread: the
        // hand-over alone must order them.
        m_job.run([ticket, seed, self = QPointer<Service>(this)] {
            auto rows = std::make_shared<std::vector<int>>();
            for (int k = 0; k < 200 && !ticket.cancel.isCancelled(); ++k)
                rows->push_back(seed + k);
            if (ticket.cancel.isCancelled())
                return;
            ScanJob::deliver(self, [ticket, rows](Service* s) {
                if (s->m_job.isCurrent(ticket.generation))
                    s->m_rows = *rows;
                ++s->m_delivered;
            });
        });
        ScanJob::runInPool([seed, self = QPointer<Service>(this)] {
            QList<int> side{seed, seed + 1};
            ScanJob::deliver(self, [side](Service* s) { s->m_side += side.size(); });
        });
    }

    ScanJob m_job;
    std::vector<int> m_rows;
    int m_delivered = 0;
    qsizetype m_side = 0;
};

} // namespace

TEST(ScanJobStress, RestartsDeliverAndDestructionStayOrdered) {
    for (int round = 0; round < 20; ++round) {
        auto service = std::make_unique<Service>(1 + round % 3);
        for (int i = 0; i < 50; ++i) {
            service->start(i * 1000);
            if (i % 7 == 0)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        if (round % 2 == 0) {
            // Gone with work still queued: the job waits for it, and late results find no one.
            service.reset();
            QCoreApplication::processEvents();
            continue;
        }
        service->m_job.waitForDone();
        // The newest scan is never cancelled, so its rows always arrive.
        ASSERT_TRUE(testsupport::waitFor(
            [&] {
                return service->m_side == 100 && !service->m_rows.empty() &&
                       service->m_rows.front() == 49'000;
            },
            10'000));
        EXPECT_EQ(service->m_rows.size(), 200u);
    }
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}
