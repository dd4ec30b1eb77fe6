#pragma once

#include "duplicates/DuplicateGroup.h"

#include "platform/CancelToken.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <string>

// The search for identical files below one folder, as a plain function the finder runs on a
// worker thread.
//
// What is looked at: regular files of at least minimumSize bytes, below the folder and its
// visible subfolders. Hidden files and folders (names starting with a dot), the insides of
// packages ("Name.app"), symlinks, devices and pipes are passed over; a file with several hard
// links counts once (by whichever name the walk meets first), so a file never pairs with
// itself. Unreadable subfolders are passed over silently.
//
// Identity is decided by content alone, in a funnel: equal size first, then the first
// quickBytes (told apart by a fast fingerprint), then the whole content. Only files that share
// their size are opened, and only those whose first bytes looked like another's of their size
// are read on. Those are read side by side, a piece at a time, and compared byte for byte: a file
// that parts from all the others is read no further, and files that stay equal to the end share
// the SHA-256 of those bytes, taken once. Every group carries the SHA-256 of its content.
//
// A file is opened once for all its passes, by its name in its folder (the folder opened again
// by path and checked to be the one the walk read), never through a symlink, and kept open from
// one piece to the next while a budget of descriptors allows (Options::keptDescriptors); past
// it, it is closed and opened again the same way. A file that cannot be opened or read, or that
// is not, after its last read, the very file the walk stamped (device, inode, size,
// modification and change time: one written to, renamed over or deleted meanwhile) drops out
// silently. The stamps in the groups are the walk's, which every file still had when its content
// was settled.
//
// Names are carried as the walk read them, so every file is opened, hashed and reported by its
// own bytes, also when they are not UTF-8.
namespace DuplicateScan {

constexpr qint64 minimumSize = 1024;
// A first, shorter prefix that most files of equal size already differ in.
constexpr qint64 quickBytes = 4096;
constexpr qint64 progressStep = 500;

// The digest of a file's first `limit` bytes (the whole file when limit is negative), or
// nothing when it cannot be read. Called from several threads at once.
using Hasher = std::function<std::optional<QByteArray>(const std::string& path, qint64 limit,
                                                       const CancelToken& cancel)>;

// Fills `buffer` with up to `size` bytes of the open file from `offset`; gives the count read
// (0 at the end) or -1 on failure, as pread() does.
using Reader = std::function<qsizetype(int fd, char* buffer, qsizetype size, qint64 offset)>;

struct Options {
    // The most walker, reading and hashing threads; 0 means ParallelLoop::diskThreads(), as the
    // reads wait on the disk: they start on the processors' count and grow only while they do.
    int threads = 0;
    // Replaces the file reading (tests): each pass then asks it for the digest of the prefix by
    // the file's whole path (of quickBytes, then of all of it; a file no longer than quickBytes
    // is settled by the first), and the file is stamped by path just before its last pass. Empty
    // means the scan opens, reads and compares the files itself.
    Hasher hasher;
    // Replaces pread() on the files the scan opens itself (tests inject failures and changes
    // through it); empty means pread(). It runs on the search's own threads, which have
    // descriptor tables of their own: it may read the descriptor it is given and open and close
    // files of its own, but no other descriptor of the process means there what it means
    // elsewhere.
    Reader read;
    // How many files and folders the scan may keep open from one read to the next (a file from
    // its first look to its comparison, a folder for the opens of its files); none means half of
    // what the process may still open (the soft RLIMIT_NOFILE less what it has open when the
    // passes begin and what the threads hold), leaving the rest to the app. Besides those, each
    // thread holds at most one folder and one file open at a time.
    std::optional<int> keptDescriptors;
    // Polled between files; a cancelled scan returns early with `cancelled` set.
    CancelToken cancel;
    // Called, from any thread, each time the count of candidate files reaches a multiple of
    // progressStep, with that count. Calls may arrive out of order from different threads.
    std::function<void(qint64 candidates)> progress;
};

struct Outcome {
    // False when the folder does not exist, is not a folder or cannot be opened; nothing else
    // was done then.
    bool readable = false;
    bool cancelled = false;
    qint64 candidates = 0;
    // In descending order of reclaimable bytes; equal ones by their first path.
    QList<DuplicateGroup> groups;
};

Outcome run(const QString& folder, const Options& options);

// The SHA-256 of what `read` yields, up to `limit` bytes (all of it when limit is negative),
// read in pieces of at most Sha256::pieceSize. `read` fills the buffer and gives the count read,
// 0 at the end, or -1 on failure; a failure anywhere gives nothing, never the digest of the
// bytes before it. Cancelling between pieces gives nothing too.
std::optional<QByteArray> digest(const std::function<qsizetype(char*, qsizetype)>& read,
                                 qint64 limit, const CancelToken& cancel = CancelToken());

// digest() of a regular file at path (never a FIFO, device or folder: those give nothing).
std::optional<QByteArray> fileDigest(const std::string& path, qint64 limit,
                                     const CancelToken& cancel = CancelToken());

} // namespace DuplicateScan
