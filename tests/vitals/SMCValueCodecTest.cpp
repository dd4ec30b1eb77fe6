#include "vitals/SMCValueCodec.h"
#include "VitalsTestUtil.h"

#include <gtest/gtest.h>
#include <limits>

using vitalstest::bytes;

TEST(SMCValueCodec, TemperatureDecoding) {
    using SMCValue::decodeTemperature;
    EXPECT_DOUBLE_EQ(*decodeTemperature(bytes({0x2D, 0x80})), 45.5);
    EXPECT_FALSE(decodeTemperature(bytes({0xFF, 0x00})));                        // -1 degree
    EXPECT_DOUBLE_EQ(*decodeTemperature(bytes({0x00, 0x00, 0x36, 0x42})), 45.5); // float
    EXPECT_FALSE(decodeTemperature(bytes({0x2D})));                              // too short
    EXPECT_FALSE(decodeTemperature(QByteArray()));
    // Bounds are exclusive, in both encodings.
    EXPECT_FALSE(decodeTemperature(bytes({0x01, 0x00})));
    EXPECT_FALSE(decodeTemperature(bytes({0x7D, 0x00})));
    EXPECT_FALSE(decodeTemperature(SMCValue::encodeFloat(1.0f)));
    EXPECT_FALSE(decodeTemperature(SMCValue::encodeFloat(125.0f)));
    EXPECT_TRUE(decodeTemperature(bytes({0x7C, 0xFF})));
}

TEST(SMCValueCodec, FixedPointWinsOverFloatWhenPlausible) {
    // 45.3f is 33 33 35 42: its first two bytes read as 51.2 in fixed point.
    const auto t = SMCValue::decodeTemperature(SMCValue::encodeFloat(45.3f));
    ASSERT_TRUE(t);
    EXPECT_DOUBLE_EQ(*t, 0x33 + 0x33 / 256.0);
}

TEST(SMCValueCodec, FanValuesAndNames) {
    EXPECT_FLOAT_EQ(*SMCValue::decodeFanValue(SMCValue::encodeFloat(2900.0f)), 2900.0f);
    EXPECT_FLOAT_EQ(*SMCValue::decodeFanValue(bytes({0x10, 0x80})), 16.5f);
    EXPECT_FLOAT_EQ(*SMCValue::decodeFanValue(bytes({0xFE, 0x80, 0x00})), -1.5f);
    EXPECT_FALSE(SMCValue::decodeFanValue(bytes({0x10})));

    EXPECT_EQ(*SMCValue::decodeFanName(QByteArray("\x01Left side\0\0", 12)), "Left side");
    EXPECT_EQ(*SMCValue::decodeFanName(QByteArray("CPU\0", 4)), "CPU");
    EXPECT_EQ(*SMCValue::decodeFanName(QByteArray("  Exhaust \x80junk")), "Exhaust");
    EXPECT_FALSE(SMCValue::decodeFanName(QByteArray("Fan"))); // under 4 bytes
    EXPECT_FALSE(SMCValue::decodeFanName(QByteArray("\x02   \x00", 5)));
}

TEST(SMCValueCodec, RoundingAndEncoding) {
    EXPECT_EQ(*SMCValue::roundToInt(2.5), 3);
    EXPECT_EQ(*SMCValue::roundToInt(-2.5), -3);
    EXPECT_FALSE(SMCValue::roundToInt(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(SMCValue::roundToInt(std::nan("")));
    EXPECT_FALSE(SMCValue::roundToInt(1e12));

    EXPECT_EQ(SMCValue::encodeTemperature(45.5), bytes({0x2D, 0x80}));
    EXPECT_EQ(SMCValue::encodeTemperature(-1.5), bytes({0xFE, 0x80}));
    // Too hot to hold is clamped and so stays out of the plausible range.
    EXPECT_FALSE(SMCValue::decodeTemperature(SMCValue::encodeTemperature(300.0)));
    EXPECT_DOUBLE_EQ(*SMCValue::decodeTemperature(SMCValue::encodeTemperature(61.25)), 61.25);
}
