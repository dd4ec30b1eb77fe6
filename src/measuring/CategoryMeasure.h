#pragma once

#include "measuring/CleanCategory.h"
#include "platform/CancelToken.h"

// Measures one category of a cleaner's table: the seam between the cleaners and the disk.
// CategoryMeasurer is the real one; FakeCategoryMeasure serves the tests of the scanners.
//
// measure() runs synchronously on the calling thread and may take long (callers keep it off the
// main thread). It is const and thread-safe. A cancelled token makes it return early with a
// partial result that callers drop.
class CategoryMeasure {
public:
    virtual ~CategoryMeasure() = default;
    virtual Measurement measure(const CleanCategory& category,
                                const CancelToken& cancel = CancelToken()) const = 0;
};
