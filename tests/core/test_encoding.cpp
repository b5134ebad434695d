// Windows-1250 <-> UTF-8, letter case, file decoding and the document <-> core text path.

#include <gtest/gtest.h>

#include "vlm_Encoding.h"

namespace {

std::string W(const std::string &utf8) { return Utf8ToCp1250(utf8); }

TEST(Encoding, KnownCharactersMapToTheirBytes) {
    struct Case {
        const char *utf8;
        unsigned char byte;
    } cases[] = {
        {"€", 0x80}, {"„", 0x84}, {"Š", 0x8A}, {"Ť", 0x8D}, {"Ž", 0x8E}, {"–", 0x96},
        {"š", 0x9A}, {"ť", 0x9D}, {"ž", 0x9E}, {"Ą", 0xA5}, {"Ľ", 0xBC}, {"ľ", 0xBE},
        {"Č", 0xC8}, {"Ě", 0xCC}, {"Ď", 0xCF}, {"Ň", 0xD2}, {"Ř", 0xD8}, {"Ů", 0xD9},
        {"á", 0xE1}, {"č", 0xE8}, {"é", 0xE9}, {"ě", 0xEC}, {"í", 0xED}, {"ď", 0xEF},
        {"ň", 0xF2}, {"ó", 0xF3}, {"ř", 0xF8}, {"ů", 0xF9}, {"ú", 0xFA}, {"ý", 0xFD},
        {"˙", 0xFF}, {"\xC2\xA0", 0xA0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(W(c.utf8), std::string(1, char(c.byte))) << c.utf8;
        EXPECT_EQ(Cp1250ToUtf8(std::string(1, char(c.byte))), c.utf8) << c.utf8;
    }
}

TEST(Encoding, EveryByteButThePlaceholderSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        std::string one(1, char(b));
        std::vector<char32_t> placeholders;
        std::string back = Utf8ToCp1250(Cp1250ToUtf8(one), &placeholders);
        EXPECT_EQ(back, one) << b;
        if (b == PlaceholderByte) {
            EXPECT_EQ(Cp1250ToUtf8(one), "\xEF\xBF\xBD");  // U+FFFD
            EXPECT_EQ(placeholders, std::vector<char32_t>{0xFFFD});
        } else {
            EXPECT_TRUE(placeholders.empty()) << b;
        }
    }
}

TEST(Encoding, UnmappableCharactersBecomePlaceholdersInOrder) {
    std::vector<char32_t> placeholders;
    // U+263A, U+1F600, an invalid byte, U+0098 itself.
    std::string core = Utf8ToCp1250("a☺b😀c\xFF" "d\xC2\x98", &placeholders);
    EXPECT_EQ(core, "a\x98" "b\x98" "c\x98" "d\x98");
    EXPECT_EQ(placeholders, (std::vector<char32_t>{0x263A, 0x1F600, 0xFFFD, 0x98}));
    EXPECT_EQ(Cp1250ToUtf8(core, placeholders), "a☺b😀c\xEF\xBF\xBD" "d\xC2\x98");
    // Once the recorded code points run out, placeholders show as U+FFFD.
    EXPECT_EQ(Cp1250ToUtf8(core, {0x263A}), "a☺b\xEF\xBF\xBD" "c\xEF\xBF\xBD" "d\xEF\xBF\xBD");
}

TEST(Encoding, LetterCaseCoversTheCodePage) {
    std::string upper = W("ABCZĚŠČŘŽÝÁÍÉÚŮŤĎŇĽĹŔŁĄŚŹŻŞŢÄÖÜŐŰÓÔÂĂÇËÎĆĘĐŃ");
    std::string lower = W("abczěščřžýáíéúůťďňľĺŕłąśźżşţäöüőűóôâăçëîćęđń");
    EXPECT_EQ(LowerCase1250(upper), lower);
    EXPECT_EQ(UpperCase1250(lower), upper);
    // Not letters, or letters without a partner in the code page.
    std::string fixed = W("0 9_-ß×÷µ§€") + "\x98";
    EXPECT_EQ(LowerCase1250(fixed), fixed);
    EXPECT_EQ(UpperCase1250(fixed), fixed);

    int pairs = 0;
    for (int b = 0; b < 256; ++b) {
        char c = char(b);
        char lo = LowerChar1250(c), up = UpperChar1250(c);
        EXPECT_TRUE(lo == c || up == c) << b;  // no byte is both
        if (lo != c) {
            ++pairs;
            EXPECT_EQ(UpperChar1250(lo), c) << b;
        }
        if (up != c) {
            EXPECT_EQ(LowerChar1250(up), c) << b;
        }
    }
    EXPECT_EQ(pairs, 26 + 40);  // ASCII and the 40 Latin-2 capitals of the code page
}

TEST(Encoding, Utf8Validity) {
    struct Case {
        const char *bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain", true},
        {"žluťoučký kůň", true},
        {"\xF0\x9F\x98\x80", true},           // U+1F600
        {"\xF4\x8F\xBF\xBF", true},           // U+10FFFF
        {"\xC0\x80", false},                  // overlong
        {"\xE0\x80\xAF", false},              // overlong
        {"\xED\xA0\x80", false},              // surrogate
        {"\xF4\x90\x80\x80", false},          // beyond U+10FFFF
        {"\xE2\x82", false},                  // cut short
        {"\x80", false},                      // lone continuation
        {"\xE8\x65", false},                  // Windows-1250 "če"
    };
    for (const Case &c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

// A file read for editing, handed to the core, and written back: nothing may change.
struct RoundTripCase {
    const char *name;
    std::string bytes;
    TTextEncoding encoding;
    TLineBreak lineBreak;
};

std::string Join(const std::vector<std::string> &lines, const std::string &sep) {
    std::string r;
    for (size_t i = 0; i < lines.size(); ++i) r += (i ? sep : "") + lines[i];
    return r;
}

class EncodingRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(EncodingRoundTrip, FileCoreAndBackAreIdentical) {
    const RoundTripCase &c = GetParam();
    TDecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.Encoding, c.encoding);
    EXPECT_EQ(decoded.LineBreak, c.lineBreak);

    std::vector<char32_t> placeholders;
    std::string core = DocumentToCore(decoded.Utf8, &placeholders);
    for (size_t i = 0; i < core.size(); ++i) {  // every line break is CR LF
        if (core[i] == '\n') {
            EXPECT_TRUE(i > 0 && core[i - 1] == '\r');
        }
        if (core[i] == '\r') {
            EXPECT_TRUE(i + 1 < core.size() && core[i + 1] == '\n');
        }
    }

    const char *breaks[] = {"\r\n", "\n", "\r"};
    std::string utf8 = Join(CoreToLines(core, placeholders), breaks[c.lineBreak]);
    EXPECT_EQ(utf8, decoded.Utf8);
    bool lossy = true;
    EXPECT_EQ(EncodeText(utf8, decoded.Encoding, decoded.LineBreak, &lossy), c.bytes);
    EXPECT_FALSE(lossy);
}

const std::string Bom = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Files, EncodingRoundTrip,
    ::testing::Values(
        RoundTripCase{"Cp1250CrLf", W("začátek\r\n  napiš('Žluťoučký kůň') // úpěl\r\nkonec\r\n"),
                      teCp1250, lbCrLf},
        RoundTripCase{"Cp1250Lf", W("začátek\n  a := 'ř'\nkonec"), teCp1250, lbLf},
        RoundTripCase{"Cp1250Cr", W("začátek\r  a := 'ř'\rkonec\r"), teCp1250, lbCr},
        RoundTripCase{"Cp1250StrayPlaceholderByte", W("a := 'x") + "\x98" + W("y'\r\n"), teCp1250,
                      lbCrLf},
        RoundTripCase{"Utf8CrLf", "začátek\r\n  napiš('☺ 😀') // ☃ sníh\r\nkonec", teUtf8, lbCrLf},
        RoundTripCase{"Utf8Lf", "begin\n  write('日本') // ☃\nend\n", teUtf8, lbLf},
        RoundTripCase{"Utf8BomCr", Bom + "začátek\r  a := '€ ☺'\rkonec", teUtf8Bom, lbCr},
        RoundTripCase{"Utf8BomLf", Bom + "// jen komentář ☺\n", teUtf8Bom, lbLf},
        RoundTripCase{"Empty", "", teUtf8, lbCrLf},
        RoundTripCase{"OnlyBom", Bom, teUtf8Bom, lbCrLf}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Encoding, DocumentToCoreKeepsOneByteAPosition) {
    std::vector<char32_t> placeholders;
    std::string core = DocumentToCore("a:='☺'\nb:=1 // 😀\r\rc", &placeholders);
    EXPECT_EQ(core, "a:='\x98'\r\nb:=1 // \x98\r\n\r\nc");
    EXPECT_EQ(placeholders, (std::vector<char32_t>{0x263A, 0x1F600}));
    EXPECT_EQ(CoreToLines(core, placeholders),
              (std::vector<std::string>{"a:='☺'", "b:=1 // 😀", "", "c"}));
}

TEST(Encoding, DecodingDetectsTheFirstLineBreakAndMixedBreaksAreUnified) {
    TDecodedText d = DecodeText("a\nb\r\nc\rd");
    EXPECT_EQ(d.LineBreak, lbLf);
    EXPECT_EQ(d.Utf8, "a\nb\r\nc\rd");  // kept as it is for the editor
    EXPECT_EQ(EncodeText(d.Utf8, teUtf8, lbCrLf), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(DecodeText("x\r\ny\n").LineBreak, lbCrLf);
    EXPECT_EQ(DecodeText("x\ry\n").LineBreak, lbCr);
}

TEST(Encoding, InvalidUtf8AfterABomIsReadAsCp1250) {
    TDecodedText d = DecodeText(Bom + "\xE8");
    EXPECT_EQ(d.Encoding, teCp1250);
    EXPECT_EQ(d.Utf8, "ď»żč");
}

TEST(Encoding, EncodingToCp1250ReportsLoss) {
    bool lossy = false;
    EXPECT_EQ(EncodeText("ř☺", teCp1250, lbCrLf, &lossy), W("ř") + "\x98");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(EncodeText("ř", teCp1250, lbCrLf, &lossy), W("ř"));
    EXPECT_FALSE(lossy);
    EXPECT_EQ(EncodeText("☺", teUtf8Bom, lbLf, &lossy), Bom + "☺");
    EXPECT_FALSE(lossy);
}

}  // namespace
