#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// Reads the machine's sensor controller one four-character key at a time ("TC0D", "F0Ac"),
// giving the key's raw value bytes in the controller's encodings (temperatures as signed 8.8
// fixed point or a little-endian float, fan speeds likewise, fan names as text). The thermal
// sampler's decoding and curation work on these bytes only, so any backend that answers keys
// feeds them unchanged.
//
// A client is opened when it is made and closed when it is destroyed. A client that could not
// open stays closed for its whole life and every read gives nothing. Reads are only ever made
// by one thread at a time (the owner's sampling worker); implementations take no locks.
class SMCClient {
public:
    virtual ~SMCClient() = default;

    // True when the backend found something to read.
    virtual bool isOpen() const = 0;

    // The key's value bytes (1 to 32 of them), or none: a closed client, a key that is not
    // exactly four bytes of UTF-8, a key the machine does not publish, or a failed read.
    virtual std::optional<QByteArray> readKey(const QString& key) = 0;
};

// The client of a machine with no sensor controller: always closed.
class ClosedSMCClient final : public SMCClient {
public:
    bool isOpen() const override { return false; }
    std::optional<QByteArray> readKey(const QString&) override { return std::nullopt; }
};
