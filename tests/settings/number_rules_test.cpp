#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "settings/number_rules.h"

namespace tamaruka {
namespace {

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere)
{
    EXPECT_EQ(parseLeadingNumber("1234"), 1234);
    EXPECT_EQ(parseLeadingNumber(" 1 2 3"), 123);
    EXPECT_EQ(parseLeadingNumber("\t12\n3x9"), 123);
    EXPECT_EQ(parseLeadingNumber("- 4 2"), -42);
}

TEST(LeadingNumber, AcceptsDecimalPointAndExponent)
{
    EXPECT_EQ(parseLeadingNumber("12.5"), 12.5);
    EXPECT_EQ(parseLeadingNumber("12.5e1"), 125);
    EXPECT_EQ(parseLeadingNumber("1E+3"), 1000);
    EXPECT_EQ(parseLeadingNumber("25e-1"), 2.5);
    EXPECT_EQ(parseLeadingNumber(".5"), 0.5);
}

TEST(LeadingNumber, StopsAtTheFirstCharacterThatCannotContinue)
{
    EXPECT_EQ(parseLeadingNumber("1.5.3"), 1.5);
    EXPECT_EQ(parseLeadingNumber("7e"), 7);     // an exponent needs digits
    EXPECT_EQ(parseLeadingNumber("7e+x"), 7);
    EXPECT_EQ(parseLeadingNumber("99abc"), 99);
    EXPECT_EQ(parseLeadingNumber("&O19"), 1);   // 9 is no octal digit
}

TEST(LeadingNumber, ReadsHexadecimalAndOctal)
{
    EXPECT_EQ(parseLeadingNumber("&H1F"), 31);
    EXPECT_EQ(parseLeadingNumber("&h1f"), 31);
    EXPECT_EQ(parseLeadingNumber("& H 1 0"), 16);
    EXPECT_EQ(parseLeadingNumber("&O17"), 15);
    EXPECT_EQ(parseLeadingNumber("&o777"), 511);
}

TEST(LeadingNumber, TextWithoutANumberGivesZero)
{
    EXPECT_EQ(parseLeadingNumber(""), 0);
    EXPECT_EQ(parseLeadingNumber("abc"), 0);
    EXPECT_EQ(parseLeadingNumber("&Hxyz"), 0);
    EXPECT_EQ(parseLeadingNumber("&X12"), 0);
    EXPECT_EQ(parseLeadingNumber("."), 0);
}

TEST(HostHandle, ReadsFromTheFourthCharacter)
{
    EXPECT_EQ(readHostHandle("/p 1234"), 1234);
    EXPECT_EQ(readHostHandle("/p:1234"), 1234);
    EXPECT_EQ(readHostHandle("/p1234"), 234);
    EXPECT_EQ(readHostHandle("/P"), 0);
    EXPECT_EQ(readHostHandle("/P "), 0);
    EXPECT_EQ(readHostHandle("/P x12"), 0);
    EXPECT_EQ(readHostHandle("/P &H2A00001"), 0x2A00001);
    EXPECT_EQ(readHostHandle("/P 12 34"), 1234);
    // Characters, not bytes: a two-byte first character still skips three.
    EXPECT_EQ(readHostHandle("\xC3\xA9p 55"), 55);
}

TEST(HostHandle, RoundsHalfToEven)
{
    EXPECT_EQ(readHostHandle("/P 0.5"), 0);
    EXPECT_EQ(readHostHandle("/P 1.5"), 2);
    EXPECT_EQ(readHostHandle("/P 2.5"), 2);
    EXPECT_EQ(readHostHandle("/P 2.51"), 3);
    EXPECT_EQ(readHostHandle("/P -2.5"), -2);
    EXPECT_EQ(readHostHandle("/P 25e-1"), 2);
}

TEST(HostHandle, IsZeroWhenItDoesNotFit32Bits)
{
    EXPECT_EQ(readHostHandle("/P 2147483647"), 2147483647);
    EXPECT_EQ(readHostHandle("/P -2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readHostHandle("/P 2147483648"), 0);
    EXPECT_EQ(readHostHandle("/P 2147483647.5"), 0);  // rounds up to 2^31
    EXPECT_EQ(readHostHandle("/P -2147483649"), 0);
    EXPECT_EQ(readHostHandle("/P 1e10"), 0);
    EXPECT_EQ(readHostHandle("/P 1e999"), 0);
    EXPECT_EQ(readHostHandle("/P &HFFFFFFFF"), 0);
}

TEST(Numeric, AcceptsWholeNumbersInTheRuntimesSense)
{
    EXPECT_EQ(numericValue(" 7 "), 7);
    EXPECT_EQ(numericValue("-3"), -3);
    EXPECT_EQ(numericValue("+3"), 3);
    EXPECT_EQ(numericValue("1.5"), 1.5);
    EXPECT_EQ(numericValue("1,000"), 1000);
    EXPECT_EQ(numericValue("1e3"), 1000);
    EXPECT_EQ(numericValue("&H10"), 16);
    EXPECT_EQ(numericValue("\xEF\xBC\x91\xEF\xBC\x92"), 12);  // full-width "12"
}

TEST(Numeric, RefusesAnythingElse)
{
    for (const char* text : {"", " ", "abc", "12a", "1e", ".", "-", "&H", "1 2", "&HG"})
        EXPECT_FALSE(isNumeric(text)) << '"' << text << '"';
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEvenToInt16(0.5), 0);
    EXPECT_EQ(roundHalfEvenToInt16(1.5), 2);
    EXPECT_EQ(roundHalfEvenToInt16(2.5), 2);
    EXPECT_EQ(roundHalfEvenToInt16(-0.5), 0);
    EXPECT_EQ(roundHalfEvenToInt16(-1.5), -2);
    EXPECT_EQ(roundHalfEvenToInt16(2.4999), 2);
}

TEST(Rounding, RefusesWhatDoesNotFit)
{
    EXPECT_EQ(roundHalfEvenToInt16(32767.4), 32767);
    EXPECT_EQ(roundHalfEvenToInt16(32767.5), std::nullopt);
    EXPECT_EQ(roundHalfEvenToInt16(-32768.5), -32768);
    EXPECT_EQ(roundHalfEvenToInt16(-32769), std::nullopt);
    EXPECT_EQ(roundHalfEvenToInt16(99999), std::nullopt);
    EXPECT_EQ(roundHalfEvenToInt16(std::nan("")), std::nullopt);
    EXPECT_EQ(roundHalfEvenToInt32(2147483647.4), 2147483647);
}

TEST(SettingNumber, FloorsAndMustFit16Bits)
{
    EXPECT_EQ(settingNumber(""), 0);
    EXPECT_EQ(settingNumber("1.7"), 1);
    EXPECT_EQ(settingNumber("1.9"), 1);
    EXPECT_EQ(settingNumber("-0.5"), -1);
    EXPECT_EQ(settingNumber(" 1"), 1);  // the sign blank the dialog writes
    EXPECT_EQ(settingNumber("32767.9"), 32767);
    EXPECT_EQ(settingNumber("-32768"), -32768);
    EXPECT_EQ(settingNumber("-32768.1"), std::nullopt);
    EXPECT_EQ(settingNumber("40000"), std::nullopt);
    EXPECT_EQ(settingNumber("abc"), std::nullopt);
    EXPECT_EQ(settingNumber("1x"), std::nullopt);
}

TEST(Formats, HashHashAndSignBlank)
{
    EXPECT_EQ(formatHashHash(0), "");
    EXPECT_EQ(formatHashHash(7), "7");
    EXPECT_EQ(formatHashHash(123), "123");
    EXPECT_EQ(formatHashHash(-5), "-5");
    EXPECT_EQ(formatSignBlank(1), " 1");
    EXPECT_EQ(formatSignBlank(0), " 0");
    EXPECT_EQ(formatSignBlank(-3), "-3");
    EXPECT_EQ(formatSignBlank(32767), " 32767");
}

}  // namespace
}  // namespace tamaruka
