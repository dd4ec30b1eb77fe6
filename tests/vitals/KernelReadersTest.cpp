#include "platform/KernelFiles.h"
#include "platform/ProcFs.h"
#include "VitalsTestUtil.h"

#include <gtest/gtest.h>

TEST(KernelReaders, StatLines) {
    const QByteArray tail = " S 1 1 1 0 -1 4194560 0 0 0 0 120 30 0 0 20 0 1 0 777 0 55 0 0";
    auto row = ProcFs::parseStatLine("42 (a (weird) name)" + tail);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->pid, 42);
    EXPECT_EQ(row->name, "a (weird) name");
    EXPECT_EQ(row->cpuTicks, 150u);
    EXPECT_EQ(row->startTicks, 777u);
    EXPECT_EQ(row->residentPages, 55u);
    EXPECT_FALSE(row->kernelThread);

    EXPECT_FALSE(ProcFs::parseStatLine("42 (short) S 1 1"));
    EXPECT_FALSE(ProcFs::parseStatLine("(no pid)" + tail));
    EXPECT_FALSE(ProcFs::parseStatLine("42 no parentheses" + tail));
    EXPECT_FALSE(ProcFs::parseStatLine("42 (x) S 1 1 1 0 -1 flags 0 0 0 0 1 1 0 0 20 0 1 0 7 0 5"));
    // Numbers that would wrap once added or multiplied make the line malformed.
    EXPECT_FALSE(ProcFs::parseStatLine("42 (x) S 1 1 1 0 -1 0 0 0 0 0 18446744073709551615 1 0 0 "
                                       "20 0 1 0 7 0 5"));
    EXPECT_FALSE(ProcFs::parseStatLine("2147483648 (x)" + tail));
}

TEST(KernelReaders, IntegersAndNaturalOrder) {
    const QString dir = testsupport::freshDir("ints");
    vitalstest::writeFile(dir + "/a", " 42 \nrest");
    vitalstest::writeFile(dir + "/b", "42x\n");
    vitalstest::writeFile(dir + "/c", "");
    EXPECT_EQ(KernelFiles::readInteger(dir + "/a"), 42);
    EXPECT_FALSE(KernelFiles::readInteger(dir + "/b"));
    EXPECT_FALSE(KernelFiles::readInteger(dir + "/c"));
    EXPECT_FALSE(KernelFiles::readInteger(dir + "/missing"));
    EXPECT_EQ(KernelFiles::read(dir + "/c"), QByteArray(""));
    EXPECT_EQ(KernelFiles::readInteger(dir + "/a", 0, 42), 42);
    EXPECT_FALSE(KernelFiles::readInteger(dir + "/a", 0, 41));
    EXPECT_FALSE(KernelFiles::readInteger(dir + "/a", 43, 100));
    vitalstest::writeFile(dir + "/huge", "99999999999999999999\n");
    EXPECT_FALSE(KernelFiles::readInteger(dir + "/huge"));

    QStringList names = {"hwmon10", "hwmon2", "BAT1", "AC", "hwmon1"};
    KernelFiles::sortNatural(names);
    EXPECT_EQ(names, QStringList({"AC", "BAT1", "hwmon1", "hwmon2", "hwmon10"}));

    vitalstest::writeFile(dir + "/class/hwmon/hwmon10/name", "b\n");
    vitalstest::writeFile(dir + "/class/hwmon/hwmon2/name", "a\n");
    const QList<KernelFiles::ClassFolder> chips =
        KernelFiles::classFolders(dir, QLatin1String("hwmon"));
    ASSERT_EQ(chips.size(), 2);
    EXPECT_EQ(chips[0].name, "hwmon2");
    EXPECT_EQ(chips[0].path, dir + "/class/hwmon/hwmon2/");
    EXPECT_EQ(chips[1].name, "hwmon10");
    EXPECT_TRUE(KernelFiles::classFolders(dir, QLatin1String("thermal")).isEmpty());
}
