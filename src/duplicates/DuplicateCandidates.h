#pragma once

#include "platform/RegularFile.h"

#include <array>
#include <optional>
#include <string>
#include <unistd.h>

// What the stages of the duplicate search hand on to each other: the walk finds folders and
// candidates, the size groups turn those that share their size into readings, the quick look and
// the comparison read them, and the grouping makes groups of what stayed equal.
namespace DuplicateCandidates {

using Digest = std::array<unsigned char, 32>;

// A folder that holds candidates: its path's bytes and the identity the walk read it under.
struct Folder {
    std::string path;
    quint64 device = 0;
    quint64 inode = 0;
};

// A file the walk found: where it is and what it was then.
struct Candidate {
    std::string name;
    quint32 folder = 0;
    qint64 allocated = 0;
    RegularFile::Stamp stamp;
};

// A file that shares its size with another, on its way through the passes: the descriptor it is
// read through (kept open from one read to the next while the budget allows), and what its first
// pass made of it: the fingerprint of its quick look, or an injected hasher's digest (none once it
// dropped out).
struct Reading {
    const Candidate* file = nullptr;
    int fd = -1;
    bool kept = false; // fd counts against the budget of descriptors kept between passes
    std::optional<Digest> digest;

    Reading() = default;
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;
    ~Reading() {
        if (fd >= 0)
            ::close(fd);
    }
    qint64 size() const { return file->stamp.size; }
};

// The path of `name` in `folder`, as bytes.
inline std::string joined(const Folder& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.path.size() + 1 + name.size());
    path.append(folder.path);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

} // namespace DuplicateCandidates
