#include "vitals/SMCValueCodec.h"
#include "VitalsTestUtil.h"

#include <gtest/gtest.h>
#include <limits>

using vitalstest::bytes;

TEST(SMCValueCodec, TemperatureDecoding) {
    using smcvalue::decodeTemperature;
    EXPECT_DOUBLE_EQ(*decodeTemperature(bytes({0x2D, 0x80})), 45.5);
    EXPECT_FALSE(decodeTemperature(bytes({0xFF, 0x00})));                        // -1 degree
    EXPECT_DOUBLE_EQ(*decodeTemperature(bytes({0x00, 0x00, 0x36, 0x42})), 45.5); // float
    EXPECT_FALSE(decodeTemperature(bytes({0x2D})));                              // too short
    EXPECT_FALSE(decodeTemperature(QByteArray()));
    // Bounds are exclusive, in both encodings.
    EXPECT_FALSE(decodeTemperature(bytes({0x01, 0x00})));
    EXPECT_FALSE(decodeTemperature(bytes({0x7D, 0x00})));
    EXPECT_FALSE(decodeTemperature(smcvalue::encodeFloat(1.0f)));
    EXPECT_FALSE(decodeTemperature(smcvalue::encodeFloat(125.0f)));
    EXPECT_TRUE(decodeTemperature(bytes({0x7C, 0xFF})));
}

TEST(SMCValueCodec, FixedPointWinsOverFloatWhenPlausible) {
    // 45.3f is 33 33 35 42: its first two bytes read as 51.2 in fixed point.
    const auto t = smcvalue::decodeTemperature(smcvalue::encodeFloat(45.3f));
    ASSERT_TRUE(t);
    EXPECT_DOUBLE_EQ(*t, 0x33 + 0x33 / 256.0);
}

TEST(SMCValueCodec, FanValuesAndNames) {
    EXPECT_FLOAT_EQ(*smcvalue::decodeFanValue(smcvalue::encodeFloat(2900.0f)), 2900.0f);
    EXPECT_FLOAT_EQ(*smcvalue::decodeFanValue(bytes({0x10, 0x80})), 16.5f);
    EXPECT_FLOAT_EQ(*smcvalue::decodeFanValue(bytes({0xFE, 0x80, 0x00})), -1.5f);
    EXPECT_FALSE(smcvalue::decodeFanValue(bytes({0x10})));

    EXPECT_EQ(*smcvalue::decodeFanName(QByteArray("\x01Left side\0\0", 12)), "Left side");
    EXPECT_EQ(*smcvalue::decodeFanName(QByteArray("CPU\0", 4)), "CPU");
    EXPECT_EQ(*smcvalue::decodeFanName(QByteArray("  Exhaust \x80junk")), "Exhaust");
    EXPECT_FALSE(smcvalue::decodeFanName(QByteArray("Fan"))); // under 4 bytes
    EXPECT_FALSE(smcvalue::decodeFanName(QByteArray("\x02   \x00", 5)));
}

TEST(SMCValueCodec, RoundingAndEncoding) {
    EXPECT_EQ(*smcvalue::roundToInt(2.5), 3);
    EXPECT_EQ(*smcvalue::roundToInt(-2.5), -3);
    EXPECT_FALSE(smcvalue::roundToInt(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(smcvalue::roundToInt(std::nan("")));
    EXPECT_FALSE(smcvalue::roundToInt(1e12));

    EXPECT_EQ(smcvalue::encodeTemperature(45.5), bytes({0x2D, 0x80}));
    EXPECT_EQ(smcvalue::encodeTemperature(-1.5), bytes({0xFE, 0x80}));
    // Too hot to hold is clamped and so stays out of the plausible range.
    EXPECT_FALSE(smcvalue::decodeTemperature(smcvalue::encodeTemperature(300.0)));
    EXPECT_DOUBLE_EQ(*smcvalue::decodeTemperature(smcvalue::encodeTemperature(61.25)), 61.25);
}
