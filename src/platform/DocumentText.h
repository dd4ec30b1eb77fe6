#pragma once

#include "platform/CancelToken.h"

#include <optional>
#include <QString>

// The plain text inside a document file (PDF, word-processor files, web pages), for comparing
// what two documents say rather than how their bytes are laid out.
//
// extract() blocks and may run on any thread; implementations keep no state between calls.
class DocumentText {
public:
    virtual ~DocumentText() = default;

    // The document's text, by the file's extension (compared without case). Nothing when the
    // kind is not one the backend reads, the path is not a readable regular file, the file is
    // damaged, locked or not what its name says, or `cancel` turned true on the way. The text is
    // returned as found, blank or not; deciding what counts as "no text" is the caller's.
    // A damaged file never crashes, hangs or exhausts memory.
    virtual std::optional<QString> extract(const QString& path,
                                           const CancelToken& cancel = CancelToken()) = 0;
};
