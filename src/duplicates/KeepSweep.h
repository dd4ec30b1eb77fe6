#pragma once

#include "platform/CancelToken.h"

#include <QElapsedTimer>
#include <QtGlobal>

// The loop of a keep-one-of-each over the groups of a finished search, off the main thread:
// handles each group in order until the token is cancelled, and tells how many it has handled at
// most ten times a second, so a long clean-up moves its bar without flooding the main thread.
namespace KeepSweep {

template <typename Handle, typename Tell>
void run(qsizetype count, const CancelToken& cancel, Handle handle, Tell tell) {
    QElapsedTimer sinceTold;
    sinceTold.start();
    for (qsizetype i = 0; i < count; ++i) {
        if (cancel.isCancelled())
            return;
        handle(i);
        if (sinceTold.elapsed() >= 100) {
            sinceTold.restart();
            tell(int(i + 1));
        }
    }
}

} // namespace KeepSweep
