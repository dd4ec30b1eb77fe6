#include "storage/DiskMapTargets.h"

void DiskMapTargets::insert(std::string_view path, Target target) {
    Shard& shard = shardOf(path);
    std::lock_guard<std::mutex> guard(shard.lock);
    shard.map.emplace(path, target);
}

DiskMapTargets::Target DiskMapTargets::find(std::string_view folder) {
    if (const std::optional<Target> target = exact(folder))
        return *target;
    // A folder not registered itself lies below one measured whole (every subfolder of a
    // listed folder is registered), or nowhere known.
    std::string_view path = folder;
    for (;;) {
        const size_t slash = path.rfind('/');
        if (slash == std::string_view::npos || slash == 0)
            return Target();
        path = path.substr(0, slash);
        if (const std::optional<Target> target = exact(path))
            return target->sink ? *target : Target();
    }
}

std::optional<DiskMapTargets::Target> DiskMapTargets::exact(std::string_view path) {
    Shard& shard = shardOf(path);
    std::lock_guard<std::mutex> guard(shard.lock);
    const auto it = shard.map.find(path);
    if (it == shard.map.end())
        return std::nullopt;
    return it->second;
}
