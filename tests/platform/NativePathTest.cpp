#include "platform/NativePath.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

// Names on disk are bytes; every byte string must come back from a decode and encode unchanged,
// or a cleaner would act on a different file than the one it measured.
TEST(NativePath, EveryByteStringRoundTrips) {
    const QList<QByteArray> samples = {
        QByteArray(),
        QByteArray("/home/ada/plain.txt"),
        QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"), // valid 2, 3 and 4 byte forms
        QByteArray("bad\xff\xfename"),                           // bytes that are never UTF-8
        QByteArray("latin1 caf\xe9.txt"),                        // a Latin-1 name
        QByteArray("\xc3"),                                      // a sequence cut short
        QByteArray("\xed\xa0\x80"),                              // an encoded surrogate
        QByteArray("\xc0\xaf"),                                  // an overlong "/"
        QByteArray("\xf4\x90\x80\x80"),                          // past U+10FFFF
        QByteArray("\xf0\x90\x82\x80\xff"), // a pair whose low half looks like an escape, then one
    };
    for (const QByteArray& bytes : samples)
        EXPECT_EQ(NativePath::encode(NativePath::decode(bytes)), bytes)
            << bytes.toHex().constData();

    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, char(b));
        EXPECT_EQ(NativePath::encode(NativePath::decode(one)), one) << b;
    }
}

TEST(NativePath, ValidNamesDecodeAsQtDoesAndOnlyInvalidOnesCarryEscapes) {
    const QByteArray valid("Fotos/caf\xc3\xa9.jpg");
    EXPECT_EQ(NativePath::decode(valid), QString::fromUtf8(valid));
    EXPECT_FALSE(NativePath::hasEscapes(NativePath::decode(valid)));
    EXPECT_EQ(NativePath::encode(QStringLiteral("Fotos/café.jpg")), valid);
    EXPECT_TRUE(NativePath::hasEscapes(NativePath::decode(QByteArray("a\xff"))));
}

TEST(NativePath, AnInvalidNameOnDiskIsReachedThroughItsDecodedPath) {
    const QByteArray name =
        QFile::encodeName(testsupport::freshDir("native-path")) + QByteArray("/report\xff.txt");
    const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString path = NativePath::decode(name);
    struct stat st {};
    EXPECT_EQ(::lstat(NativePath::encode(path).constData(), &st), 0);
    // What Qt's own decoding would give names no file at all.
    EXPECT_NE(::lstat(QFile::encodeName(QFile::decodeName(name)).constData(), &st), 0);
    // The sandbox is removed through Qt, which cannot name this file.
    EXPECT_EQ(::unlink(name.constData()), 0);
}
