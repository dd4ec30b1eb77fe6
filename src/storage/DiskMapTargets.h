#pragma once

#include "storage/DiskMapRecords.h"

#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

// Folder path -> where its entries go; written when a listed folder or a folder measured whole is
// met, read when a folder is listed. The folders below one measured whole are not registered:
// their entries go where their nearest registered ancestor's go. Thread-safe.
class DiskMapTargets {
public:
    using Target = DiskMapRecords::Target;

    // The path is kept by reference: it must outlive the map (the folder's or sink's own path).
    void insert(std::string_view path, Target target);
    // Where the entries of folder go: its own target, else that of the nearest folder measured
    // whole above it; none when it lies nowhere known.
    Target find(std::string_view folder);

private:
    std::optional<Target> exact(std::string_view path);
    struct Hash {
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    static constexpr size_t kShards = 16;
    struct Shard {
        std::mutex lock;
        std::unordered_map<std::string_view, Target, Hash> map;
    };
    Shard& shardOf(std::string_view path) { return m_shards[Hash{}(path) % kShards]; }
    Shard m_shards[kShards];
};
