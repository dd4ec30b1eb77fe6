#include "platform/DescriptorLimit.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

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

std::vector<int> openNow() {
    std::vector<int> open;
    DIR* listing = ::opendir("/proc/self/fd");
    if (!listing)
        return open;
    const int own = ::dirfd(listing);
    while (const struct dirent* entry = ::readdir(listing))
        if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != own)
            open.push_back(std::atoi(entry->d_name));
    ::closedir(listing);
    std::sort(open.begin(), open.end());
    return open;
}

int spareHalf(rlim_t soft, long long open, int threads) {
    const long long limit = soft == RLIM_INFINITY ? 1LL << 20 : (long long)(soft);
    const long long free = limit - open - 2 * (long long)(threads);
    return int(std::clamp<long long>(free / 2, 0, 1LL << 16));
}

int spareHalf(int threads) {
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    return spareHalf(limit.rlim_cur, (long long)(openNow().size()), threads);
}

void reserveTable(int count) {
    struct rlimit limit;
    if (count <= 0 || ::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return;
    if (limit.rlim_cur != RLIM_INFINITY)
        count = int(std::min<rlim_t>(rlim_t(count), limit.rlim_cur - 1));
    const int probe = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (probe < 0)
        return;
    const int high = ::fcntl(probe, F_DUPFD_CLOEXEC, count);
    if (high >= 0)
        ::close(high);
    ::close(probe);
}

} // namespace DescriptorLimit
