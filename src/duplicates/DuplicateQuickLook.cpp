#include "duplicates/DuplicateQuickLook.h"

#include <algorithm>
#include <cstring>

namespace DuplicateQuickLook {

void look(DuplicateOpenFiles& files, DuplicateCandidates::Reading& r, char* buffer) {
    if (r.fd < 0) {
        files.release(r);
        return;
    }
    const qint64 end = std::min(DuplicateScan::quickBytes, r.size());
    if (files.readAt(r.fd, buffer, qsizetype(end), 0) != end) {
        files.release(r);
        return;
    }
    const quint64 print = fingerprint(buffer, qsizetype(end));
    DuplicateCandidates::Digest digest{};
    std::memcpy(digest.data(), &print, sizeof print);
    r.digest = digest;
    files.keepOpen(r);
}

} // namespace DuplicateQuickLook
