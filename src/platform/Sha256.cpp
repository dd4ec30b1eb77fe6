#include "platform/Sha256.h"

#include "platform/RegularFile.h"

#include <openssl/evp.h>

namespace {

// The algorithm fetched from its provider once: passing EVP_sha256() to every init makes
// OpenSSL 3 look it up again under a shared lock, which parallel hashing of many small files
// then queues on.
const EVP_MD* sha256Algorithm() {
    static const EVP_MD* const fetched = [] {
        const EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
        return md ? md : EVP_sha256();
    }();
    return fetched;
}

} // namespace

struct Sha256::Context {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(ctx); }
    void reset() { EVP_DigestInit_ex(ctx, sha256Algorithm(), nullptr); }
};

Sha256::Sha256() : m_context(std::make_unique<Context>()) {
    m_context->reset();
}

Sha256::~Sha256() = default;

void Sha256::update(const char* data, qsizetype size) {
    if (size > 0)
        EVP_DigestUpdate(m_context->ctx, data, size_t(size));
}

QByteArray Sha256::finish() {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context->ctx, out, &length);
    m_context->reset();
    return QByteArray(reinterpret_cast<const char*>(out), int(length));
}

QByteArray Sha256::current() const {
    // One scratch context per thread: a copy reuses its buffers, so asking costs no allocation.
    thread_local const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> scratch(
        EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!scratch || !EVP_MD_CTX_copy_ex(scratch.get(), m_context->ctx) ||
        !EVP_DigestFinal_ex(scratch.get(), out, &length))
        return {};
    return QByteArray(reinterpret_cast<const char*>(out), int(length));
}

void Sha256::assign(const Sha256& other) {
    if (this != &other)
        EVP_MD_CTX_copy_ex(m_context->ctx, other.m_context->ctx);
}

std::optional<QByteArray> Sha256::ofFile(const QString& path, const CancelToken& cancel) {
    RegularFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    Sha256 hash;
    QByteArray buffer(pieceSize, Qt::Uninitialized);
    for (;;) {
        if (cancel.isCancelled())
            return std::nullopt;
        const qsizetype got = file.read(buffer.data(), buffer.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        hash.update(buffer.constData(), got);
    }
    return hash.finish();
}

QString Sha256::hex(const QByteArray& digest) {
    return QString::fromLatin1(digest.toHex());
}
