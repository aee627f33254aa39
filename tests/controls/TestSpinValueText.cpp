#include "SpinTestSupport.h"

#include "controls/spin/SpinValueText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

constexpr QChar kComma = u',';

TEST(SpinValueText, WholeNumbersWithBlanksSignsAndHexPrefixes)
{
    EXPECT_EQ(ParseInteger64(u"1457664"), 1457664);
    EXPECT_EQ(ParseInteger64(u"   -12"), -12);
    EXPECT_EQ(ParseInteger64(u"+7"), 7);
    EXPECT_EQ(ParseInteger64(u"$ff"), 255);
    EXPECT_EQ(ParseInteger64(u"x10"), 16);
    EXPECT_EQ(ParseInteger64(u"0X1A"), 26);
    EXPECT_EQ(ParseInteger64(u"-$10"), -16);
    EXPECT_EQ(ParseInteger64(u"0"), 0);
    for (const char16_t* bad : {u"", u"   ", u"-", u"+", u"$", u"0x", u"12-3", u"12 ", u"1.5", u"- 1", u"abc", u"$-1"})
        EXPECT_FALSE(ParseInteger64(bad).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(SpinValueText, WholeNumbersSpanSixtyFourBits)
{
    EXPECT_EQ(ParseInteger64(u"2147483648"), 2147483648LL);
    EXPECT_EQ(ParseInteger64(u"3000000000"), 3000000000LL);
    EXPECT_EQ(ParseInteger64(u"9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ParseInteger64(u"-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(ParseInteger64(u"9223372036854775808").has_value());
    EXPECT_FALSE(ParseInteger64(u"100000000000000000000").has_value());
    EXPECT_EQ(ParseInteger64(u"$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_FALSE(ParseInteger64(u"$10000000000000000").has_value());
}

TEST(SpinValueText, FloatsUseTheLocaleSeparator)
{
    EXPECT_EQ(ParseFloatText(u" 1,5 ", kComma), 1.5L);
    EXPECT_EQ(ParseFloatText(u"-2,5e2", kComma), -250.0L);
    EXPECT_EQ(ParseFloatText(u",5", kComma), 0.5L);
    EXPECT_EQ(ParseFloatText(u"1E22", kComma), 1E22L);
    EXPECT_EQ(ParseFloatText(u"+3", kComma), 3.0L);
    for (const char16_t* bad : {u"", u"1.5", u"1,5,", u"e5", u"1e", u"1e+", u",", u"1,5x", u"inf", u"1e99999"})
        EXPECT_FALSE(ParseFloatText(bad, kComma).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(SpinValueText, WholeNumbersRoundHalfToEvenAndStayInSixtyFourBits)
{
    EXPECT_EQ(FormatInteger64(2.5L, false), "2");
    EXPECT_EQ(FormatInteger64(3.5L, false), "4");
    EXPECT_EQ(FormatInteger64(-2.5L, false), "-2");
    EXPECT_EQ(FormatInteger64(2147483648.0L, false), "2147483648");
    EXPECT_EQ(FormatInteger64(1E22L, false), "9223372036854775807");
    EXPECT_EQ(FormatInteger64(-1E22L, false), "-9223372036854775808");
    EXPECT_EQ(FormatInteger64(255, true), "FF");
    EXPECT_EQ(FormatInteger64(0, true), "0");
    EXPECT_EQ(FormatInteger64(-1, true), "FFFFFFFFFFFFFFFF");
}

TEST(SpinValueText, FixedPointKeepsFifteenSignificantDigits)
{
    EXPECT_EQ(FormatFixed(1.5L, 2, kComma), "1,50");
    EXPECT_EQ(FormatFixed(0, 2, kComma), "0,00");
    EXPECT_EQ(FormatFixed(7, 0, kComma), "7");
    EXPECT_EQ(FormatFixed(-0.001L, 2, kComma), "0,00");
    EXPECT_EQ(FormatFixed(0.006L, 2, kComma), "0,01");
    EXPECT_EQ(FormatFixed(-1.125L, 2, kComma), "-1,13");
    EXPECT_EQ(FormatFixed(9.999L, 2, kComma), "10,00");
    EXPECT_EQ(FormatFixed(0.1234567890123456789L, 18, kComma), "0,123456789012346000");
    EXPECT_EQ(FormatFixed(123456789012345.0L, 2, kComma), "123456789012345,00");
    EXPECT_EQ(FormatFixed(12345678901234.5L, 1, kComma), "12345678901234,5");
    EXPECT_EQ(FormatFixed(999999999999999.9L, 1, kComma), "1E15");
    EXPECT_EQ(FormatFixed(1E22L, 2, kComma), "1E22");
    EXPECT_EQ(FormatFixed(-1.5E20L, 2, kComma), "-1,5E20");
    EXPECT_EQ(FormatFixed(1, 40, kComma), "1,000000000000000000");
}

TEST(SpinValueText, UnreadableTextReadsAsTheLowerBound)
{
    EXPECT_EQ(ReadSpinValue(u"12-3", vtInteger, 1.75L, kComma), 1.0L);
    EXPECT_EQ(ReadSpinValue(u"", vtFloat, 1.75L, kComma), 1.75L);
    EXPECT_EQ(ReadSpinValue(u"FF", vtHex, 0, kComma), 255.0L);
    EXPECT_EQ(ReadSpinValue(u"$FF", vtHex, -3.5L, kComma), -3.0L);
    EXPECT_EQ(ReadSpinValue(u"3000000000", vtInteger, 1, kComma), 3000000000.0L);
}

TEST(SpinValueText, WrittenValuesReadBack)
{
    for (const long double value : {0.0L, 1.0L, -1.0L, 9223372036854775807.0L, -9223372036854775808.0L, 4096.0L}) {
        for (const TValueType type : {vtInteger, vtHex})
            EXPECT_EQ(ReadSpinValue(WriteSpinValue(value, type, 2, kComma), type, 0, kComma), value);
    }
    EXPECT_EQ(ReadSpinValue(WriteSpinValue(-12.25L, vtFloat, 2, kComma), vtFloat, 0, kComma), -12.25L);
}

}  // namespace
