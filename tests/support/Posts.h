#pragma once

#include "platform/NotificationCenter.h"

#include <QObject>
#include <QStringList>

namespace testsupport {

// The payloads of every post of one notification name while the recorder lives.
struct Posts {
    QObject context;
    QStringList payloads;
    explicit Posts(const QString& name) {
        NotificationCenter::defaultCenter().observe(
            name, &context, [this](const QString& payload) { payloads << payload; });
    }
};

} // namespace testsupport
