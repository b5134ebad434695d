// Windows-1250 <-> Unicode. Order: the code page tables, letter case, UTF-8 reading and
// writing, the two conversions between core text and UTF-8, then file decoding/encoding and
// the document <-> core text functions built on them.

#include "vlm_Encoding.h"

#include <array>

namespace {

// Code points of the bytes 0x80..0xFF. The bytes the code page leaves undefined (0x81, 0x83,
// 0x88, 0x90, 0x98) stand for the C1 control of the same number, so a stray byte of a file
// survives reading and writing; 0x98 is also the core's placeholder.
constexpr std::array<char16_t, 128> HighCodes = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr char32_t ReplacementChar = 0xFFFD;

char32_t ByteToCode(unsigned char b) { return b < 0x80 ? b : HighCodes[b - 0x80]; }

// The byte of a code point, or -1 when Windows-1250 cannot hold it. U+0098 gives the
// placeholder byte itself.
int CodeToByte(char32_t c) {
    if (c < 0x80) return int(c);
    for (int i = 0; i < 128; ++i)
        if (HighCodes[i] == c) return 0x80 + i;
    return -1;
}

// Upper/lower pairs outside ASCII: the Latin-2 letters of the code page.
constexpr unsigned char CasePairs[][2] = {
    {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F},
    {0xA3, 0xB3}, {0xA5, 0xB9}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xBC, 0xBE},
};

struct TCaseTables {
    std::array<unsigned char, 256> Lower{}, Upper{};
    TCaseTables() {
        for (int i = 0; i < 256; ++i) Lower[i] = Upper[i] = (unsigned char)i;
        auto pair = [this](int up, int low) {
            Lower[up] = (unsigned char)low;
            Upper[low] = (unsigned char)up;
        };
        for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
        for (auto &p : CasePairs) pair(p[0], p[1]);
        // 0xC0..0xDE pair with 0xE0..0xFE, except the signs x (0xD7) and / (0xF7); sharp s
        // (0xDF) has no capital in the code page.
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7) pair(c, c + 32);
    }
};

const TCaseTables &CaseTables() {
    static const TCaseTables tables;
    return tables;
}

// Reads one UTF-8 sequence at `i`. Returns the code point and advances `i`; an invalid
// sequence (bad lead, missing continuation, overlong, surrogate, beyond U+10FFFF) gives
// `valid` = false and advances past its maximal valid prefix, at least one byte.
char32_t ReadUtf8(const std::string &s, size_t &i, bool &valid) {
    auto at = [&s](size_t k) { return (unsigned char)s[k]; };
    unsigned char b = at(i);
    valid = true;
    if (b < 0x80) {
        ++i;
        return b;
    }
    int need;
    char32_t code;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        code = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        code = b & 0x07;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        valid = false;
        ++i;
        return ReplacementChar;
    }
    size_t k = i + 1;
    for (int n = 0; n < need; ++n, ++k) {
        unsigned char c = k < s.size() ? at(k) : 0;
        unsigned char min = n == 0 ? lo : 0x80, max = n == 0 ? hi : 0xBF;
        if (k >= s.size() || c < min || c > max) {
            valid = false;
            i = k;
            return ReplacementChar;
        }
        code = (code << 6) | (c & 0x3F);
    }
    i = k;
    return code;
}

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

const std::string Utf8Bom = "\xEF\xBB\xBF";

// Every CR LF, LF and CR of `text` replaced by `lineBreak`.
std::string ReplaceLineBreaks(const std::string &text, const std::string &lineBreak) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += lineBreak;
        } else if (c == '\n') {
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

const char *LineBreakText(TLineBreak lineBreak) {
    switch (lineBreak) {
    case lbLf: return "\n";
    case lbCr: return "\r";
    default: return "\r\n";
    }
}

}  // namespace

char LowerChar1250(char c) { return char(CaseTables().Lower[(unsigned char)c]); }
char UpperChar1250(char c) { return char(CaseTables().Upper[(unsigned char)c]); }

std::string LowerCase1250(const std::string &s) {
    std::string r(s);
    for (char &c : r) c = LowerChar1250(c);
    return r;
}

std::string UpperCase1250(const std::string &s) {
    std::string r(s);
    for (char &c : r) c = UpperChar1250(c);
    return r;
}

bool IsValidUtf8(const std::string &bytes) {
    size_t i = 0;
    bool valid = true;
    while (i < bytes.size()) {
        ReadUtf8(bytes, i, valid);
        if (!valid) return false;
    }
    return true;
}

std::string Utf8ToCp1250(const std::string &utf8, std::vector<char32_t> *placeholders) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    bool valid;
    while (i < utf8.size()) {
        char32_t c = ReadUtf8(utf8, i, valid);
        int b = CodeToByte(c);
        if (b < 0 || b == PlaceholderByte) {
            out += char(PlaceholderByte);
            if (placeholders) placeholders->push_back(c);
        } else {
            out += char(b);
        }
    }
    return out;
}

std::string Cp1250ToUtf8(const std::string &cp1250, const std::vector<char32_t> &placeholders) {
    std::string out;
    out.reserve(cp1250.size() + cp1250.size() / 4);
    size_t next = 0;
    for (char ch : cp1250) {
        unsigned char b = (unsigned char)ch;
        if (b == PlaceholderByte)
            AppendUtf8(out, next < placeholders.size() ? placeholders[next++] : ReplacementChar);
        else
            AppendUtf8(out, ByteToCode(b));
    }
    return out;
}

TDecodedText DecodeText(const std::string &bytes) {
    TDecodedText result;
    bool bom = bytes.compare(0, Utf8Bom.size(), Utf8Bom) == 0;
    std::string body = bom ? bytes.substr(Utf8Bom.size()) : bytes;
    if (IsValidUtf8(body)) {
        result.Utf8 = std::move(body);
        result.Encoding = bom ? teUtf8Bom : teUtf8;
    } else {
        // Every byte is a character here; 0x98 reads as U+0098 so it is written back as it was.
        result.Encoding = teCp1250;
        result.Utf8.reserve(bytes.size() + bytes.size() / 4);
        for (char ch : bytes) AppendUtf8(result.Utf8, ByteToCode((unsigned char)ch));
    }
    size_t pos = result.Utf8.find_first_of("\r\n");
    if (pos == std::string::npos || (result.Utf8[pos] == '\r' && pos + 1 < result.Utf8.size() &&
                                     result.Utf8[pos + 1] == '\n'))
        result.LineBreak = lbCrLf;
    else
        result.LineBreak = result.Utf8[pos] == '\n' ? lbLf : lbCr;
    return result;
}

std::string EncodeText(const std::string &utf8, TTextEncoding encoding, TLineBreak lineBreak,
                       bool *lossy) {
    if (lossy) *lossy = false;
    std::string text = ReplaceLineBreaks(utf8, LineBreakText(lineBreak));
    if (encoding == teUtf8) return text;
    if (encoding == teUtf8Bom) return Utf8Bom + text;
    std::vector<char32_t> lost;
    std::string out = Utf8ToCp1250(text, &lost);
    if (lossy)
        for (char32_t c : lost)
            if (c != 0x98) *lossy = true;
    return out;
}

std::string DocumentToCore(const std::string &utf8, std::vector<char32_t> *placeholders) {
    return Utf8ToCp1250(ReplaceLineBreaks(utf8, "\r\n"), placeholders);
}

std::vector<std::string> CoreToLines(const std::string &cp1250, const std::vector<char32_t> &placeholders) {
    // Converted as a whole, so the placeholders are consumed in text order across lines.
    std::string utf8 = Cp1250ToUtf8(cp1250, placeholders);
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(std::move(line));
    return lines;
}
