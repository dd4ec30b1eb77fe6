#pragma once

#include "vitals/SMCClient.h"

#include <QHash>
#include <QStringList>

// A sensor controller that answers from a table of key → raw bytes and records what was asked.
// Closed, it answers nothing.
class FakeSMCClient final : public SMCClient {
public:
    QHash<QString, QByteArray> values;
    QStringList reads;
    bool open = true;

    bool isOpen() const override { return open; }
    std::optional<QByteArray> readKey(const QString& key) override {
        reads.append(key);
        if (!open || !values.contains(key))
            return std::nullopt;
        return values.value(key);
    }
};
