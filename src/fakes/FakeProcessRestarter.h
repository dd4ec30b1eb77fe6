#pragma once

#include "platform/ProcessRestarter.h"

#include <QStringList>

// Records the names it was asked to restart and signals nothing.
class FakeProcessRestarter final : public ProcessRestarter {
public:
    int restart(const QString& processName) override {
        restarted << processName;
        return 1;
    }
    QStringList restarted;
};
