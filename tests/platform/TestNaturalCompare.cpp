#include "platform/core/text/NaturalCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// Checks a < b and that the comparison is antisymmetric.
void ExpectBefore(std::string_view a, std::string_view b)
{
    EXPECT_LT(NaturalCompare(a, b), 0) << a << " < " << b;
    EXPECT_GT(NaturalCompare(b, a), 0) << b << " > " << a;
}

}  // namespace

TEST(NaturalCompare, DigitRunsCompareAsNumbers)
{
    ExpectBefore("a2", "a10");
    ExpectBefore("film.avi.9999", "film.avi.10000");
    ExpectBefore("x1y2", "x1y10");
    ExpectBefore("9", "10");
    ExpectBefore("a", "a0");
    // A shared beginning that ends inside a number.
    ExpectBefore("x12a", "x123");
    ExpectBefore("x19", "x123");
    ExpectBefore("x1_9", "x10");
    EXPECT_EQ(NaturalCompare("film.avi.0001", "film.avi.0001"), 0);
}

TEST(NaturalCompare, CaseIsIgnoredExceptToBreakTies)
{
    ExpectBefore("apfel", "Birne");
    ExpectBefore("Apfel", "birne");
    // Equal but for case: the exact bytes decide, so the two never compare equal.
    ExpectBefore("ABC", "abc");
    ExpectBefore("Abc", "abc");
}

TEST(NaturalCompare, LeadingZerosAndHugeNumbers)
{
    ExpectBefore("a01", "a1");  // equal values: bytes decide
    ExpectBefore("a001", "a2");
    ExpectBefore("a0002", "a10");
    const std::string huge1 = "n" + std::string(400, '9');
    const std::string huge2 = "n1" + std::string(400, '0');
    ExpectBefore(huge1, huge2);
    ExpectBefore("n" + std::string(50, '0') + "5", "n6");
    ExpectBefore("n18446744073709551615", "n18446744073709551616");
}

TEST(NaturalCompare, NumbersAgainstOtherCharacters)
{
    // A number orders where a digit does among characters.
    ExpectBefore("a 1", "a1");
    ExpectBefore("a-", "a1");
    ExpectBefore("a1", "a_");
    ExpectBefore("a9", "aa");
    ExpectBefore("a10", "aa");
}

TEST(NaturalCompare, UnicodeCaseFolding)
{
    // "Äpfel" and "äpfel" differ only in case; "Öl" sorts with "öl".
    const std::string upperA = "\xC3\x84pfel";
    const std::string lowerA = "\xC3\xA4pfel";
    EXPECT_NE(NaturalCompare(upperA, lowerA), 0);
    ExpectBefore(upperA, "\xC3\xA4pfelz");
    ExpectBefore(lowerA, "\xC3\x84pfelz");
    ExpectBefore("\xC3\x96l1", "\xC3\xB6l2");
    ExpectBefore("\xC3\xB6l2", "\xC3\x96l10");
}

TEST(NaturalCompare, BytesThatAreNotUtf8)
{
    const std::string latin1 = "caf\xE9";             // Latin-1 e acute
    const std::string utf8 = "caf\xC3\xA9";           // UTF-8 e acute
    const std::string truncated = "caf\xC3";          // a cut sequence
    const std::string overlong = "caf\xC0\xAF";       // an overlong "/"
    const std::string surrogate = "caf\xED\xA0\x80";  // a UTF-16 surrogate
    for (const std::string& a : {latin1, utf8, truncated, overlong, surrogate}) {
        for (const std::string& b : {latin1, utf8, truncated, overlong, surrogate}) {
            EXPECT_EQ(NaturalCompare(a, b) == 0, a == b);
            EXPECT_EQ(Sign(NaturalCompare(a, b)), -Sign(NaturalCompare(b, a)));
        }
    }
    // Stray bytes sort after every character.
    ExpectBefore(utf8, latin1);
    ExpectBefore("caf\xF4\x8F\xBF\xBF", latin1);
    ExpectBefore("x\xFF"
                 "2",
                 "x\xFF"
                 "10");
    ExpectBefore("X\xFF", "x\xFF");
}

TEST(NaturalCompare, SortingIsATotalOrder)
{
    std::vector<std::string> names = {
        "film.avi.0010",
        "film.avi.0002",
        "Film.avi.0001",
        "film.avi.0001",
        "film.avi",
        "film.avi.10000",
        "film.avi.9999",
        "a",
        "A",
        "a0",
        "a00",
        "a1",
        "a01",
        "a 1",
        "a_1",
        "\xC3\x84",
        "\xC3\xA4",
        "b",
        "caf\xE9",
        "caf\xC3\xA9",
        "",
        "0",
        "00",
        "10",
        "9",
        std::string("nul\0byte", 8),
        "a\xFF"
        "1",
        "a\xFE"
        "1",
    };
    // Every pair ordered consistently, and the order is transitive.
    for (const auto& a : names)
        for (const auto& b : names) {
            EXPECT_EQ(Sign(NaturalCompare(a, b)), -Sign(NaturalCompare(b, a)));
            EXPECT_EQ(NaturalCompare(a, b) == 0, a == b);
            for (const auto& c : names) {
                if (NaturalCompare(a, b) < 0 && NaturalCompare(b, c) < 0) {
                    EXPECT_LT(NaturalCompare(a, c), 0) << a << " " << b << " " << c;
                }
            }
        }
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return NaturalCompare(a, b) < 0; });
    const auto position = [&](std::string_view name) {
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    EXPECT_LT(position("film.avi"), position("film.avi.0001"));
    EXPECT_LT(position("film.avi.0002"), position("film.avi.0010"));
    EXPECT_LT(position("film.avi.9999"), position("film.avi.10000"));
    EXPECT_EQ(position(""), 0);
}

TEST(NaturalCompare, KeysOrderAsTheComparison)
{
    // Every name of up to two pieces, and some of three, from pieces that meet
    // each rule: digits and leading zeros, case, folding beyond ASCII, stray bytes.
    const std::vector<std::string> pieces = {
        "a",        "B",    "b",    "0", "00", "1", "9", "10", "\xC3\x84", "\xC3\xA4", "\xE1\xBA\x9E",
        "\xC3\x9F", "\xFF", "\xC3", ".", " ",  "_"};
    std::vector<std::string> names = {""};
    for (const std::string& first : pieces) {
        names.push_back(first);
        for (const std::string& second : pieces) {
            names.push_back(first + second);
            names.push_back(first + second + "1");
        }
    }
    names.push_back("n" + std::string(300, '9'));
    names.push_back("n1" + std::string(300, '0'));
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<std::string> keys;
    for (const std::string& name : names) {
        std::string key = "prefix";
        AppendNaturalKey(name, key);
        keys.push_back(std::move(key));
    }
    // Equal keys where only the tie-break tells the names apart; a key then
    // followed by more bytes still orders as the key alone.
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = 0; j < names.size(); ++j) {
            const int byKey = Sign(keys[i].compare(keys[j]));
            const int order = byKey != 0 ? byKey : Sign(names[i].compare(names[j]));
            ASSERT_EQ(order, Sign(NaturalCompare(names[i], names[j]))) << names[i] << " / " << names[j];
            ASSERT_EQ(Sign((keys[i] + "\xFF").compare(keys[j] + "\x01")), byKey != 0 ? byKey : 1);
        }
}
