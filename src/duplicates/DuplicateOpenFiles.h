#pragma once

#include "duplicates/DuplicateCandidates.h"
#include "duplicates/DuplicateScan.h"

#include <atomic>
#include <vector>

// How the duplicate search opens, keeps and closes the files it reads after the walk: each by its
// name in its folder (the folder opened again by path and checked to be the one the walk read),
// never through a symlink, kept open from one read to the next while a budget of descriptors
// allows. Also the descriptor tables of the threads that read (see prepareOwnTables()).
class DuplicateOpenFiles {
public:
    // When a file opened again is checked to be the one the walk saw. A quick look needs no
    // check: what it reads only decides which files are compared, and a file that reaches a
    // comparison through the same descriptor is checked after its last piece, which proves every
    // piece read through it (a stat there costs about as much as the open). A descriptor opened in
    // the middle of a comparison is checked at once, as the pieces before came through another.
    enum class Check { AtOnce, AtTheEnd };

    // `keptBudget` files and folders may stay open between reads (Options::keptDescriptors).
    DuplicateOpenFiles(const std::vector<DuplicateCandidates::Folder>& folders,
                       const DuplicateScan::Reader& read, int keptBudget);
    ~DuplicateOpenFiles();
    DuplicateOpenFiles(const DuplicateOpenFiles&) = delete;
    DuplicateOpenFiles& operator=(const DuplicateOpenFiles&) = delete;

    const std::vector<DuplicateCandidates::Folder>& folders() const { return m_folders; }

    // Opens the folders of `files` again, in parallel on `threads`, and keeps them open for the
    // files' opens while half the budget allows, those with most files first; the others are
    // opened for each of their files.
    void openFolders(const std::vector<DuplicateCandidates::Reading*>& files, int threads);

    // Every size is settled by one thread, which opens and closes each of its files, and every
    // open and close takes the lock of the descriptor table: eight threads sharing one table
    // spend a fifth of their time waiting for it. So each helper thread of the loop (threads that
    // end with it) works in a table of its own. It starts as a copy of the process's, in which
    // every descriptor but the standard three and the kept folders is then pointed at /dev/null:
    // the copy holds none of the app's files open (one the app closes meanwhile closes for real,
    // bar one opened by another thread in the instant between the listing and the copy), and a
    // stray use of one reads nothing. A descriptor opened in a thread's own table means nothing
    // elsewhere, so every file a size opens is closed by the thread that settles that size, and
    // nothing on these threads may use another descriptor of the app: no progress is posted to an
    // event loop from here (its wake-up descriptor would be /dev/null). Where a thread cannot
    // have a table of its own, it shares the process's as before.
    //
    // prepareOwnTables() lists the app's descriptors before the loop, useOwnTable() is called
    // once by each helper thread, and endOwnTables() after the loop.
    void prepareOwnTables();
    void useOwnTable() const;
    void endOwnTables();

    // The file by its name in its folder: through the folder kept open, else one opened for it
    // alone; -1 when either does not open.
    int openAgain(const DuplicateCandidates::Candidate& file, Check check) const;

    // Fills `buffer` as DuplicateScan::Options::read does (all of the count but at the end).
    qsizetype readAt(int fd, char* buffer, qsizetype size, qint64 offset) const;

    // Keeps the file open for the next pass while the budget allows, else closes it.
    void keepOpen(DuplicateCandidates::Reading& r);
    void closeFile(DuplicateCandidates::Reading& r);
    // Closes the file and forgets what was read of it.
    void release(DuplicateCandidates::Reading& r);

private:
    // A folder not kept open, opened again for each of its files; one that did not open.
    static constexpr int notKept = -1;
    static constexpr int unopened = -2;

    static int openFolder(const DuplicateCandidates::Folder& folder);
    static int openFile(int folderFd, const DuplicateCandidates::Candidate& file, Check check);

    const std::vector<DuplicateCandidates::Folder>& m_folders;
    const DuplicateScan::Reader& m_read;
    const int m_keptBudget;
    std::atomic<int> m_kept{0};
    // By folder: its descriptor while kept open, else notKept or unopened.
    std::vector<int> m_folderFds;
    // While sizes are settled: /dev/null, and the process's other descriptors then, which the
    // helper threads' own tables point at it.
    int m_null = -1;
    std::vector<int> m_foreign;
};
