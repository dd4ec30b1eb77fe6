// How the exact-duplicate search reads: failed reads, files that part late, files touched
// between its passes, and the descriptors it holds.
#include "duplicates/DuplicateScan.h"
#include "duplicates/DuplicateScanTestSupport.h"
#include "duplicates/DuplicatesTestSupport.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <poll.h>
#include <QCryptographicHash>
#include <set>
#include <sys/resource.h>
#include <thread>

using namespace duptest;

namespace {

ino_t inodeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_ino;
}

// The descriptors this process has open, pipes and sockets included.
qsizetype openDescriptors() {
    const QDir listing(QStringLiteral("/proc/self/fd"), {}, QDir::NoSort,
                       QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    // Less the one that reads the listing.
    return listing.count() - 1;
}

} // namespace

TEST(DuplicateScan, AReadFailureGivesNoHash) {
    // A reader that fails after its first piece: no digest at all, never the digest of the
    // piece that was read.
    int calls = 0;
    const auto failing = [&calls](char* buffer, qsizetype capacity) -> qsizetype {
        if (++calls > 1)
            return -1;
        std::memset(buffer, 'a', size_t(capacity));
        return capacity;
    };
    EXPECT_FALSE(DuplicateScan::digest(failing, -1).has_value());
    calls = 0;
    // Within the limit nothing fails, so the head has a digest.
    EXPECT_TRUE(DuplicateScan::digest(failing, 1000).has_value());

    // A file that cannot be read drops out of its group without a message.
    const QString dir = testsupport::freshDir("unreadable");
    writeCopies(dir, {"/a", "/b", "/c"}, bytes(2000, 11));
    DuplicateScan::Options options;
    options.hasher = [dir](const std::string& path, qint64 limit,
                           const CancelToken& cancel) -> std::optional<QByteArray> {
        if (QFile::decodeName(QByteArray::fromStdString(path)) == dir + "/b")
            return std::nullopt;
        return DuplicateScan::fileDigest(path, limit, cancel);
    };
    const QList<QStringList> groups = fileLists(scan(dir, options));
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups[0], QStringList({dir + "/a", dir + "/c"}));

    // The same when the scan reads the file itself and the read fails.
    const ino_t broken = inodeOf(dir + "/b");
    DuplicateScan::Options reading;
    reading.read = [broken](int fd, char* buffer, qsizetype size, qint64 offset) -> qsizetype {
        struct stat st;
        if (::fstat(fd, &st) != 0 || st.st_ino == broken)
            return -1;
        return ::pread(fd, buffer, size_t(size), offset);
    };
    EXPECT_EQ(fileLists(scan(dir, reading)), groups);
}

// Files of one size whose first bytes agree are told apart by the rest. Those that part early
// are read no further; files that part from the others at one piece, into one kind or several,
// and files that part at a later piece can each still be a group. Every group carries the
// SHA-256 of its content, which the moves check copies against.
TEST(DuplicateScan, FilesThatPartAfterTheirFirstBytes) {
    const QString dir = testsupport::freshDir("parting");
    constexpr qsizetype size = 3 << 20;
    const QByteArray base = bytes(size, 20);
    // Kinds that part at one byte past the first mebibyte, or past the second.
    const auto kind = [&base](char c, qsizetype at = (1 << 20) + 1000) {
        QByteArray b = base;
        b[at] = c;
        return b;
    };
    const QByteArray x = kind('x');
    const QByteArray y = kind('y');
    const QByteArray w = kind('w', (2 << 20) + 5);
    writeCopies(dir, {"/x1", "/x2"}, x);
    writeCopies(dir, {"/y1", "/y2"}, y);
    writeCopies(dir, {"/w1", "/w2"}, w);
    write(dir + "/z", kind('z'));
    write(dir + "/v", kind('v', (2 << 20) + 5));
    // A pair of another size that parts soon after the quick look.
    QByteArray early = bytes(size + 1, 21);
    write(dir + "/early-a", early);
    early[100000] = char(early[100000] + 1);
    write(dir + "/early-b", early);

    std::mutex lock;
    QHash<ino_t, qint64> readOf;
    DuplicateScan::Options options;
    options.read = [&](int fd, char* buffer, qsizetype want, qint64 offset) -> qsizetype {
        const ssize_t got = ::pread(fd, buffer, size_t(want), offset);
        struct stat st;
        EXPECT_EQ(::fstat(fd, &st), 0);
        std::lock_guard<std::mutex> guard(lock);
        readOf[st.st_ino] += got;
        return got;
    };
    const DuplicateScan::Outcome outcome = scan(dir, options);
    QList<QStringList> found = fileLists(outcome);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, QList<QStringList>({{dir + "/w1", dir + "/w2"},
                                         {dir + "/x1", dir + "/x2"},
                                         {dir + "/y1", dir + "/y2"}}));
    const QHash<QString, QByteArray> content = {
        {dir + "/w1", w}, {dir + "/x1", x}, {dir + "/y1", y}};
    for (const DuplicateGroup& g : outcome.groups)
        EXPECT_EQ(g.digest, QCryptographicHash::hash(content.value(g.files.first()),
                                                     QCryptographicHash::Sha256))
            << g.files.first().toStdString();
    for (const char* name : {"/early-a", "/early-b"})
        EXPECT_LE(readOf.value(inodeOf(dir + name)), DuplicateScan::quickBytes + (1 << 20)) << name;
}

// Many files of one size that agree well past their first bytes and then all part at one piece,
// each its own way: every file is read about once, not once for every other file it parts from.
TEST(DuplicateScan, ManyFilesThatPartAtOnePieceAreReadAboutOnce) {
    const QString dir = testsupport::freshDir("many-kinds");
    constexpr qsizetype size = 600000;
    constexpr int count = 40;
    const QByteArray base = bytes(size, 30);
    for (int i = 0; i < count; ++i) {
        QByteArray b = base;
        b[300000] = char(i);
        write(QStringLiteral("%1/f%2").arg(dir).arg(i), b);
    }
    writeCopies(dir, {"/twin", "/twin2"}, base);

    std::atomic<qint64> read{0};
    DuplicateScan::Options options;
    options.read = [&read](int fd, char* buffer, qsizetype want, qint64 offset) -> qsizetype {
        const ssize_t got = ::pread(fd, buffer, size_t(want), offset);
        read += got;
        return got;
    };
    EXPECT_EQ(fileLists(scan(dir, options)), QList<QStringList>({{dir + "/twin", dir + "/twin2"}}));
    EXPECT_LE(read.load(), 2 * (count + 2) * size);
}

// The search's threads open and close files in descriptor tables of their own, which must not
// keep the app's files open: a pipe whose last writer the app closes mid-search reads its end at
// once.
TEST(DuplicateScan, TheSearchHoldsNoneOfTheAppsDescriptors) {
    const QString dir = testsupport::freshDir("own-tables");
    for (int i = 0; i < 16; ++i) {
        write(QStringLiteral("%1/a%2").arg(dir).arg(i), bytes(5000 + i, 40 + i));
        write(QStringLiteral("%1/b%2").arg(dir).arg(i), bytes(5000 + i, 40 + i));
    }
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);

    std::mutex lock;
    std::condition_variable changed;
    std::set<std::thread::id> inside;
    bool released = false;
    DuplicateScan::Options options;
    options.threads = 4;
    options.read = [&](int fd, char* buffer, qsizetype want, qint64 offset) -> qsizetype {
        {
            std::unique_lock<std::mutex> guard(lock);
            inside.insert(std::this_thread::get_id());
            changed.notify_all();
            changed.wait_for(guard, std::chrono::seconds(10), [&] { return released; });
        }
        return ::pread(fd, buffer, size_t(want), offset);
    };
    DuplicateScan::Outcome outcome;
    std::thread search([&] { outcome = DuplicateScan::run(dir, options); });
    {
        // Two threads reading: one of them is a helper, which has its own table by now.
        std::unique_lock<std::mutex> guard(lock);
        EXPECT_TRUE(
            changed.wait_for(guard, std::chrono::seconds(10), [&] { return inside.size() >= 2; }));
    }
    ::close(pipeEnds[1]);
    struct pollfd end = {pipeEnds[0], POLLIN, 0};
    EXPECT_EQ(::poll(&end, 1, 0), 1);
    EXPECT_TRUE(end.revents & POLLHUP);
    {
        std::lock_guard<std::mutex> guard(lock);
        released = true;
    }
    changed.notify_all();
    search.join();
    ::close(pipeEnds[0]);
    EXPECT_EQ(outcome.groups.size(), 16);
}

// Between its first and its last read a file may be edited or replaced. Whether it was kept open
// between passes or opened again through its folder, it drops out then, and its former twins
// still pair.
TEST(DuplicateScan, AFileTouchedBetweenPassesDropsOut) {
    for (const int kept : {0, 100}) {
        SCOPED_TRACE(kept);
        const QString dir = testsupport::freshDir("touched");
        // Longer than the quick prefix, so every file is read twice.
        const QByteArray content = bytes(20000, 12);
        writeCopies(dir, {"/a", "/b", "/c", "/d"}, content);

        std::mutex lock;
        bool touched = false;
        DuplicateScan::Options options;
        options.keptDescriptors = kept;
        options.read = [&](int fd, char* buffer, qsizetype size, qint64 offset) -> qsizetype {
            // The first read longer than the quick prefix begins the comparison: b is renamed
            // over by a copy of itself, c is rewritten in place with the bytes it held.
            std::lock_guard<std::mutex> guard(lock);
            if (size > DuplicateScan::quickBytes && !touched) {
                touched = true;
                write(dir + "/b.new", content);
                EXPECT_EQ(::rename(QFile::encodeName(dir + "/b.new").constData(),
                                   QFile::encodeName(dir + "/b").constData()),
                          0);
                editInPlace(dir + "/c", content);
            }
            return ::pread(fd, buffer, size_t(size), offset);
        };
        EXPECT_EQ(fileLists(scan(dir, options)), QList<QStringList>({{dir + "/a", dir + "/d"}}));
        EXPECT_TRUE(touched);
    }
}

// Far more candidates than the process may open files, in folders of their own and shared, at
// every stage of the funnel: every group is still found, and nothing stays open.
TEST(DuplicateScan, MoreCandidatesThanDescriptorsStillFindsEveryGroup) {
    const QString dir = testsupport::freshDir("many");
    for (int i = 0; i < 120; ++i) {
        const QString folder = QStringLiteral("%1/f%2").arg(dir).arg(i % 9);
        // Pairs read in one piece, pairs read in several (opened again for each), and unpaired
        // files of one size whose first bytes already differ.
        const qsizetype size = i % 20 == 0 ? 600000 + i : 5000 + i;
        write(QStringLiteral("%1/a%2").arg(folder).arg(i), bytes(size, 100 + i));
        write(QStringLiteral("%1/sub/b%2").arg(folder).arg(i), bytes(size, 100 + i));
        write(QStringLiteral("%1/c%2").arg(folder).arg(i), bytes(size, 1000 + i));
    }
    const qsizetype openBefore = openDescriptors();
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit low = saved;
    // Room for the four threads' folder and file and a few more: a scan that counted only the
    // limit, not what is already open, would run out.
    low.rlim_cur = rlim_t(openBefore + 12);
    ASSERT_LT(low.rlim_cur, 360u);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const DuplicateScan::Outcome outcome = scan(dir);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);

    EXPECT_EQ(outcome.candidates, 360);
    ASSERT_EQ(outcome.groups.size(), 120);
    for (const DuplicateGroup& g : outcome.groups)
        EXPECT_EQ(g.files.size(), 2);
    EXPECT_EQ(openDescriptors(), openBefore);
}
