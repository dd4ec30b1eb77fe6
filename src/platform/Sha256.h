#pragma once

#include "platform/CancelToken.h"

#include <memory>
#include <optional>
#include <QByteArray>
#include <QString>

// SHA-256 through OpenSSL's EVP interface, which uses the CPU's SHA instructions where it has
// them. Fed in pieces, so a file of any size hashes in constant memory.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void update(const char* data, qsizetype size);
    void update(const QByteArray& bytes) { update(bytes.constData(), bytes.size()); }
    // The 32-byte digest of everything fed so far; the object starts over afterwards.
    QByteArray finish();
    // The 32-byte digest of everything fed so far, leaving the object to go on from there: one
    // read of a file gives the digests of its prefixes on the way.
    QByteArray current() const;
    // Takes on everything `other` was fed, to go on from there apart from it: files that held the
    // same bytes up to a point and part there each go on from one shared hash.
    void assign(const Sha256& other);

    // The 32-byte digest of a whole regular file, read in 1 MiB pieces.
    //
    // Nothing when the path cannot be opened, is not a regular file (a folder, FIFO, socket or
    // device: opening never waits for a writer), when any read fails part-way (a digest of the
    // bytes before the failure would make two unreadable files look identical), or when
    // `cancel` turns true between pieces.
    static std::optional<QByteArray> ofFile(const QString& path,
                                            const CancelToken& cancel = CancelToken());

    // 64 lowercase hexadecimal digits.
    static QString hex(const QByteArray& digest);

    static constexpr qsizetype pieceSize = 1 << 20;

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};
