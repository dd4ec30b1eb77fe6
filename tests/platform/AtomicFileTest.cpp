// Whole-file writes either reach the disk completely or leave the old file exactly as it was;
// whole-file reads never wait on what is not a plain file.
#include "platform/AtomicFile.h"
#include "platform/LoginItem.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// While it lives, the kernel refuses to let this process write any file beyond `bytes` (EFBIG):
// a write failure that even root meets, without mounting anything. Nothing may be checked or
// printed to a file while it is in force.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
    bool m_ok = false;
};

// A 64 KiB tmpfs over a sandbox folder for as long as it lives, where the system lets the test
// mount one (root outside a locked-down container).
class SmallDisk {
public:
    explicit SmallDisk(const QString& dir) : m_dir(QFile::encodeName(dir)) {
        m_mounted = ::mount("tmpfs", m_dir.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                            "size=64k,mode=0700") == 0;
        m_error = m_mounted ? 0 : errno;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(m_dir.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    const char* why() const { return std::strerror(m_error); }

private:
    QByteArray m_dir;
    bool m_mounted = false;
    int m_error = 0;
};

const QByteArray oldSettings = R"({
    "run.mode": "Start at login",
    "theme.appearance": "Dark",
    "updates.auto": false
})";

} // namespace

TEST(AtomicFile, AFullDiskLeavesTheOldFileByteForByteAndFails) {
    const QString dir = testsupport::freshDir("full-disk");
    SmallDisk disk(dir);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs may be mounted here (" << disk.why()
                     << "); the file-size limit test covers the same path";
    const QString path = dir + "/defaults.json";
    put(path, oldSettings);
    {
        QFile filler(dir + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }

    QString bigError, smallError;
    EXPECT_FALSE(AtomicFile::write(path, QByteArray(20000, 'y'), &bigError));
    // Small enough to sit in a write buffer until the commit: the case that used to put an
    // empty file in place and report success.
    EXPECT_FALSE(AtomicFile::write(path, "{}", &smallError));
    // The system's own reason, which tells the user what to do about it.
    EXPECT_EQ(bigError, "No space left on device");
    EXPECT_EQ(smallError, "No space left on device");
    EXPECT_EQ(contents(path), oldSettings);
    EXPECT_EQ(entries(dir), QStringList({"defaults.json", "filler"})) << "no temporary file left";

    QFile::remove(dir + "/filler");
    EXPECT_TRUE(AtomicFile::write(path, "{}"));
    EXPECT_EQ(contents(path), "{}");
}

TEST(AtomicFile, AWriteTheKernelCutsShortLeavesTheOldFileAndFails) {
    const QString dir = testsupport::freshDir("cut-short");
    const QString path = dir + "/defaults.json";
    put(path, oldSettings);

    bool limited = false, big = true, small = true;
    QString bigError, smallError;
    {
        FileSizeLimit limit(16);
        limited = limit.ok();
        big = AtomicFile::write(path, QByteArray(100000, 'y'), &bigError);
        small = AtomicFile::write(path, R"({"theme.fontSize": 3})", &smallError);
    }
    ASSERT_TRUE(limited);
    EXPECT_FALSE(big);
    EXPECT_FALSE(small) << "a short write hidden in a buffer was reported as success";
    EXPECT_EQ(bigError, "File too large");
    EXPECT_EQ(smallError, "File too large");
    EXPECT_EQ(contents(path), oldSettings);
    EXPECT_EQ(entries(dir), QStringList({"defaults.json"})) << "no temporary file left";
}

// The folders a write creates and the file it writes are the owner's alone from their first
// byte, whatever the umask: a writer killed half-way leaves nothing another user can read.
TEST(AtomicFile, FoldersAndFilesAreTheOwnersAloneEvenHalfWritten) {
    const QString dir = testsupport::freshDir("private");
    const QString path = dir + "/made/here/data.json";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::umask(0);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, SIG_DFL); // the kernel kills the writer at its 4097th byte
        const rlimit small{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
        (void)AtomicFile::write(path, QByteArray(100000, 's'));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was meant to die half-way";

    const auto mode = [](const QString& p) {
        struct stat st {};
        ::lstat(QFile::encodeName(p).constData(), &st);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode(dir + "/made"), 0700u);
    EXPECT_EQ(mode(dir + "/made/here"), 0700u);
    for (const QString& left : entries(dir + "/made/here"))
        EXPECT_EQ(mode(dir + "/made/here/" + left), 0600u) << left.toStdString();
    EXPECT_FALSE(QFile::exists(path));

    const mode_t saved = ::umask(0);
    const bool written = AtomicFile::write(path, "{}");
    ::umask(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(mode(path), 0600u);
}

TEST(AtomicFile, ReadsOnlyRegularFilesAndNeverWaits) {
    const QString dir = testsupport::freshDir("read");
    put(dir + "/plain", "abc");
    put(dir + "/big", QByteArray(2000, 'b'));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "/fifo").constData(), 0600), 0);
    QDir().mkpath(dir + "/folder");
    put(dir + "/file", "");

    using Status = AtomicFile::ReadResult::Status;
    const auto plain = AtomicFile::read(dir + "/plain");
    EXPECT_EQ(plain.status, Status::Read);
    EXPECT_EQ(plain.bytes, "abc");
    EXPECT_EQ(AtomicFile::read(dir + "/missing").status, Status::Missing);
    EXPECT_EQ(AtomicFile::read(dir + "/file/below").status, Status::Missing);

    QElapsedTimer clock;
    clock.start();
    const auto fifo = AtomicFile::read(dir + "/fifo");
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(fifo.status, Status::Failed);
    EXPECT_FALSE(fifo.error.isEmpty());
    EXPECT_EQ(AtomicFile::read(dir + "/folder").status, Status::Failed);
    EXPECT_EQ(AtomicFile::read(dir + "/big", 1000).status, Status::Failed);
}

TEST(AutostartLoginItem, AnEntryThatDidNotReachTheDiskIsNotReportedAsRegistered) {
    const QString dir = testsupport::freshDir("autostart-cut");
    AutostartLoginItem item(dir, "/usr/bin/pendrel");
    const QByteArray switchedOff = "[Desktop Entry]\nExec=pendrel\nHidden=true\n";
    put(item.filePath(), switchedOff);

    bool registered = true;
    QString error;
    {
        FileSizeLimit limit(16);
        registered = item.registerItem(&error);
    }
    EXPECT_FALSE(registered);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(contents(item.filePath()), switchedOff);
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
}
