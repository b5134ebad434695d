// Number shapes, text <-> number, the 15-digit form of reals, values and the text helpers.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "vlm_Exceptions.h"
#include "vlm_Utils.h"

namespace {

TEST(Utils, IntegerAndRealShapes) {
    struct Case {
        const char *text;
        bool integer, real;
    } cases[] = {
        {"", false, false},     {"-", false, false},    {"0", true, true},
        {"-0", true, true},     {"007", true, true},    {"99999999999999999999", true, true},
        {"--5", false, false},  {"5-", false, false},   {"+5", false, true},
        {"1 2", false, false},  {" 5", false, false},   {"12", true, true},
        {"-1.5", false, true},  {".5", false, true},    {"5.", false, true},
        {"1e5", false, true},   {"1.5E-3", false, true}, {"-2E+7", false, true},
        {"1e+5", false, true},  {"+", false, true},     {"-.", false, true},
        {"1E", false, true},    {"1E5.3", false, true}, {".", false, false},
        {"E", false, false},    {"E5", false, false},   {"e5", false, false},
        {"1e+-5", false, false}, {"1.2.3", false, false}, {"1E5E3", false, false},
        {"1e5e3", false, false}, {"1E5e3", false, false}, {"1,5", false, false},
        {"abc", false, false},  {"1-2", false, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(IsIntegerText(c.text), c.integer) << c.text;
        EXPECT_EQ(IsRealText(c.text), c.real) << c.text;
    }
}

TEST(Utils, TextToRealFollowsTheNumberShapeAndRoundsToNearest) {
    struct Case {
        const char *text;
        bool ok;
        double value;
    } cases[] = {
        {"0.1", true, 0.1},
        {" 1.5 ", true, 1.5},
        {"+.5", true, 0.5},
        {"5.", true, 5.0},
        {"-2E+7", true, -2e7},
        {"1e-5", true, 1e-5},
        {"9007199254740993", true, 9007199254740992.0},  // halfway: to even
        {"9007199254740993.0000000000001", true, 9007199254740994.0},
        {"2.2250738585072011e-308", true, 2.2250738585072011e-308},
        {"4.9406564584124654e-324", true, 4.9406564584124654e-324},
        {"1.7976931348623157e308", true, DBL_MAX},
        {"0.30000000000000004440892098500626", true, 0.1 + 0.2},
        {"1e-400", true, 0.0},  // too small: zero
        {"00000000000000000000000000000000000001", true, 1.0},
        {"1e400", false, 0},
        {"1.8e308", false, 0},
        {"1000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000",
         false, 0},
        {"", false, 0},  {" ", false, 0},  {"+", false, 0},  {"-.", false, 0},  {".", false, 0},
        {"1E", false, 0}, {"1e+", false, 0}, {"E5", false, 0}, {"1E5.3", false, 0},
        {"1,5", false, 0}, {"0x10", false, 0}, {"inf", false, 0}, {"nan", false, 0},
        {"1 2", false, 0}, {"--1", false, 0}, {"1.2.3", false, 0},
    };
    for (const Case &c : cases) {
        double v = -12345;
        EXPECT_EQ(TextToReal(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(Utils, TextToInt64) {
    int64_t v = 0;
    EXPECT_TRUE(TextToInt64("-9223372036854775808", v));
    EXPECT_EQ(v, std::numeric_limits<int64_t>::min());
    EXPECT_TRUE(TextToInt64("9223372036854775807", v));
    EXPECT_EQ(v, std::numeric_limits<int64_t>::max());
    EXPECT_TRUE(TextToInt64("007", v));
    EXPECT_EQ(v, 7);
    v = 5;
    for (const char *bad : {"9223372036854775808", "-9223372036854775809", "", "-", "+1", " 1", "1.0"}) {
        EXPECT_FALSE(TextToInt64(bad, v)) << bad;
        EXPECT_EQ(v, 5) << bad;
    }
}

TEST(Utils, RealToTextExamples) {
    struct Case {
        double value;
        const char *text;
    } cases[] = {
        {3.5, "3.5"},
        {2.0, "2"},
        {-0.5, "-0.5"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {M_PI, "3.14159265358979"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {0.00012345, "0.00012345"},
        {-0.000012345, "-1.2345E-5"},
        {1.5E-7, "1.5E-7"},
        {1E15, "1E15"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {1E16, "1E16"},
        {1E20, "1E20"},
        {1.5E300, "1.5E300"},
        {100.0, "100"},
        {1234567.125, "1234567.125"},
        {-1234.5678, "-1234.5678"},
        {DBL_MAX, "1.79769313486232E308"},
        {-DBL_MAX, "-1.79769313486232E308"},
        {4.94065645841247E-324, "4.94065645841247E-324"},
        {DBL_MIN, "2.2250738585072E-308"},
        {0.0, "0"},
        {-0.0, "0"},
        // Rounding decides the form: these round up to a power of ten.
        {999999999999999.5, "1E15"},
        {9.99999999999999951E-5, "0.0001"},
        {0.000999999999999999951, "0.001"},
        {99999999999999.99, "100000000000000"},
        // Exactly halfway between two 15-digit numbers: away from zero.
        {1000000000000005.0, "1.00000000000001E15"},
        {999999999999998.5, "999999999999999"},
        {123456789012344.5, "123456789012345"},
        {-123456789012344.5, "-123456789012345"},
        {12345678901234.25, "12345678901234.3"},
        // 17 digits end in "50" but the exact value lies below the halfway point.
        {1.365426782339215, "1.36542678233921"},
        {0.005752637681367705, "0.0057526376813677"},
        {2910578.964989875, "2910578.96498987"},
        {1.095482723246425e+31, "1.09548272324642E31"},
        // Not numbers of the language, but they must not crash or print garbage.
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
    };
    for (const Case &c : cases) EXPECT_EQ(RealToText(c.value), c.text) << std::hexfloat << c.value;
}

// An independent reference: glibc's printf writes the exact decimal expansion of a double
// when asked for enough digits; round that to 15 digits, halves away from zero.
struct TDigits {
    std::string digits;  // 15 digits, trailing zeros removed
    int exponent;        // of the first digit
    bool operator==(const TDigits &) const = default;
};

TDigits ReferenceDigits(double a) {
    static char buf[1200];
    std::snprintf(buf, sizeof buf, "%.900e", a);
    std::string s(buf);
    size_t e = s.find('e');
    std::string all = s.substr(0, 1) + s.substr(2, e - 2);
    int exponent = std::stoi(s.substr(e + 1));
    std::string d = all.substr(0, 15);
    if (all[15] >= '5') {
        int i = 14;
        while (i >= 0 && d[i] == '9') d[i--] = '0';
        if (i < 0) {
            d = "1" + std::string(14, '0');
            ++exponent;
        } else {
            ++d[i];
        }
    }
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    return {d, exponent};
}

// Reads the digits and exponent back out of a text written by RealToText.
TDigits ParseDigits(std::string text) {
    if (!text.empty() && text[0] == '-') text.erase(0, 1);
    int exponent = 0;
    size_t e = text.find('E');
    if (e != std::string::npos) {
        exponent = std::stoi(text.substr(e + 1));
        text.resize(e);
    }
    size_t point = text.find('.');
    std::string intPart = text.substr(0, point);
    std::string frac = point == std::string::npos ? "" : text.substr(point + 1);
    EXPECT_TRUE(frac.empty() || frac.back() != '0') << text;
    std::string all = intPart + frac;
    size_t firstSignificant = all.find_first_not_of('0');
    exponent += int(intPart.size()) - 1 - int(firstSignificant);
    std::string d = all.substr(firstSignificant);
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    return {d, exponent};
}

TEST(Utils, RealToTextMatchesTheExactReferenceForManyDoubles) {
    std::mt19937_64 random(20261211);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {  // any bit pattern
        double d;
        uint64_t bits = random();
        std::memcpy(&d, &bits, sizeof d);
        if (std::isfinite(d) && d != 0) values.push_back(d);
    }
    std::uniform_int_distribution<int64_t> mantissa(100000000000000, 999999999999999);
    std::uniform_int_distribution<int> exponent(-25, 25);
    for (int i = 0; i < 20000; ++i) {  // close to 16- and 17-digit decimals, where rounding is hard
        std::string text = std::to_string(mantissa(random)) + std::to_string(i % 100) + "e" +
                           std::to_string(exponent(random));
        double d;
        ASSERT_TRUE(TextToReal(text, d));
        values.push_back(d);
        values.push_back(std::nextafter(d, 0.0));
        values.push_back(std::nextafter(d, 1e300));
    }
    for (double v : values) {
        std::string text = RealToText(v);
        TDigits ref = ReferenceDigits(std::fabs(v));
        ASSERT_EQ(ParseDigits(text), ref) << text << " " << std::hexfloat << v;
        int e = ref.exponent + 1;
        bool scientific = text.find('E') != std::string::npos;
        ASSERT_EQ(scientific, e > 15 || e < -3) << text;
        ASSERT_EQ(text[0] == '-', v < 0) << text;
    }
}

TEST(Utils, ValueToText) {
    EXPECT_EQ(ValueToText(Value()), "");
    EXPECT_EQ(ValueToText(Value(int64_t(-7))), "-7");
    EXPECT_EQ(ValueToText(Value(std::numeric_limits<int64_t>::min())), "-9223372036854775808");
    EXPECT_EQ(ValueToText(Value(2.5)), "2.5");
    EXPECT_EQ(ValueToText(Value(2.0)), "2");
    EXPECT_EQ(ValueToText(Value("1,5")), "1,5");
    EXPECT_EQ(ValueToText(Value(true)), "True");
    EXPECT_EQ(ValueToText(Value(false)), "False");
}

TEST(Utils, NormalizeValue) {
    struct Case {
        Value in, out;
    } cases[] = {
        {Value("123"), Value(int64_t(123))},
        {Value("007"), Value(int64_t(7))},
        {Value("-0"), Value(int64_t(0))},
        {Value("-9223372036854775808"), Value(std::numeric_limits<int64_t>::min())},
        {Value("1.0"), Value(1.0)},
        {Value("1e3"), Value(1000.0)},
        {Value("-2E+7"), Value(-2e7)},
        {Value(".5"), Value(0.5)},
        {Value("4.2"), Value(4.2)},
        {Value("1e-400"), Value(0.0)},
        {Value("4,2"), Value("4,2")},
        {Value("abc"), Value("abc")},
        {Value("True"), Value("True")},
        {Value(" 5"), Value(" 5")},
        {Value(""), Value("")},
        {Value(true), Value(true)},
        {Value(int64_t(3)), Value(int64_t(3))},
        {Value(2.5), Value(2.5)},
        {Value(), Value()},
    };
    for (const Case &c : cases) EXPECT_EQ(NormalizeValue(c.in), c.out) << ValueToText(c.in);

    for (const char *bad : {"99999999999999999999", "-9223372036854775809", "1E", "+", "-.", "1E5.3",
                            "1e400", "1e+"})
        EXPECT_THROW(NormalizeValue(Value(bad)), EConvertError) << bad;
}

TEST(Utils, SplitByChars) {
    struct Case {
        const char *text, *chars;
        TArrayOfString pieces;
    } cases[] = {
        {"", ".", {}},
        {".", ".", {"", ""}},
        {"1..2", ".", {"1", "", "2"}},
        {"1.4.1.1", ".", {"1", "4", "1", "1"}},
        {"abc", ".", {"abc"}},
        {"a,b;c", ",;", {"a", "b", "c"}},
        {"abc", "", {"abc"}},
    };
    for (const Case &c : cases) EXPECT_EQ(SplitByChars(c.text, c.chars), c.pieces) << c.text;
}

TEST(Utils, SplitFirst) {
    std::string text = "1.4";
    EXPECT_EQ(SplitFirst(text, '.', true), "1");
    EXPECT_EQ(text, "4");
    EXPECT_EQ(SplitFirst(text, '.', true), "4");
    EXPECT_EQ(text, "");

    text = "a.b.c";
    EXPECT_EQ(SplitFirst(text, '.', false), "a");
    EXPECT_EQ(text, "a.b.c");
    text = ".x";
    EXPECT_EQ(SplitFirst(text, '.', true), "");
    EXPECT_EQ(text, "x");
    text = "none";
    EXPECT_EQ(SplitFirst(text, '.', false), "none");
    EXPECT_EQ(text, "none");
}

TEST(Utils, SmallHelpers) {
    EXPECT_EQ(RepeatText("ab", 3), "ababab");
    EXPECT_EQ(RepeatText("ab", 0), "");
    EXPECT_EQ(RepeatText("ab", -2), "");
    EXPECT_EQ(RepeatText("", 5), "");

    EXPECT_TRUE(CharInText('b', "abc"));
    EXPECT_FALSE(CharInText('d', "abc"));
    EXPECT_FALSE(CharInText('a', ""));

    EXPECT_EQ(WithTrailingBackslash(""), "");
    EXPECT_EQ(WithTrailingBackslash("dir"), "dir\\");
    EXPECT_EQ(WithTrailingBackslash("dir\\"), "dir\\");
    EXPECT_EQ(WithTrailingBackslash("dir/"), "dir/\\");

    EXPECT_TRUE(SameCoords({}, {}));
    EXPECT_TRUE(SameCoords({1, -2}, {1, -2}));
    EXPECT_FALSE(SameCoords({1, 2}, {2, 1}));
    EXPECT_FALSE(SameCoords({1}, {1, 0}));
}

}  // namespace
