#include "platform/DescriptorLimit.h"

#include <algorithm>

namespace DescriptorLimit {

rlim_t raised(rlim_t soft, rlim_t hard) {
    // RLIM_INFINITY is the largest rlim_t, so it orders above every finite limit.
    return std::max(soft, std::min(hard, cap));
}

bool raise() {
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return false;
    const rlim_t soft = raised(limit.rlim_cur, limit.rlim_max);
    if (soft == limit.rlim_cur)
        return true;
    limit.rlim_cur = soft;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

} // namespace DescriptorLimit
