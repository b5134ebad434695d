// The private-profile reader. The file is parsed once into sections of raw entries; the
// private-profile rules (quotes, the 2047-character cut, the key-list buffer) are applied
// when a value or a key list is read, as the original functions apply them.
//
// Line rules: blanks around a line are ignored; "[name]" opens a section (the name is what
// stands between "[" and the first "]"; a line with no "]" is an ordinary line); a line whose
// first character is ";" is a comment; any other line is a key, with the value after its
// first "=" (a line without "=" is a key without a value, which reads as missing). Lines
// before the first section belong to no section. When a section name occurs twice, only its
// first occurrence is searched.

#include "vlm_Ini.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "vlm_Encoding.h"

namespace {

constexpr size_t MaxValueChars = 2047;
constexpr size_t KeyListBufferChars = 16384;

bool IsProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string Trim(const std::string &s) {
    size_t b = 0, e = s.size();
    while (b < e && IsProfileBlank(s[b])) ++b;
    while (e > b && IsProfileBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Number of characters (code points) of UTF-8 text.
size_t CharCount(const std::string &utf8) {
    size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The first `count` characters of UTF-8 text.
std::string CharPrefix(const std::string &utf8, size_t count) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (n == count) return utf8.substr(0, i);
            ++n;
        }
    }
    return utf8;
}

// Simple case folding for the comparison of names: ASCII, Latin-1, Latin Extended-A, Greek
// and Cyrillic capitals.
char32_t FoldChar(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x178) return 0xFF;
        bool evenCapitals = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
        bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (evenCapitals && c % 2 == 0) return c + 1;
        if (oddCapitals && c % 2 == 1) return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::u32string FoldName(const std::string &utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        int len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t c = len == 1 ? b : b & (0x3F >> (len - 1));
        for (int k = 1; k < len && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += FoldChar(c);
        i += len;
    }
    return out;
}

bool SameName(const std::string &a, const std::string &b) { return FoldName(a) == FoldName(b); }

}  // namespace

TIniFile::TIniFile(const std::string &fileName) : FFileName(fileName) {
    // A folder is no file (a folder named "x.lng" must change nothing), and a file that
    // cannot be read reads as one without values; neither may throw.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) return;
    FExists = true;
    std::string bytes;
    try {
        std::ifstream in(fileName, std::ios::binary);
        if (!in) return;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception &) {
        return;
    }
    std::string text = DecodeText(bytes).Utf8;

    TSection *current = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;

        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            if (close != std::string::npos) {
                FSections.push_back({line.substr(1, close - 1), {}});
                current = &FSections.back();
                continue;
            }
        }
        if (!current) continue;
        TEntry entry;
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            entry.Key = line;
        } else {
            entry.Key = Trim(line.substr(0, eq));
            entry.Value = Trim(line.substr(eq + 1));
            entry.HasValue = true;
        }
        current->Entries.push_back(std::move(entry));
    }
}

const TIniFile::TSection *TIniFile::FindSection(const std::string &section) const {
    for (const TSection &s : FSections)
        if (SameName(s.Name, section)) return &s;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string &section, const std::string &key,
                                 const std::string &def) const {
    const TSection *s = FindSection(section);
    if (!s || key.empty()) return def;
    for (const TEntry &e : s->Entries) {
        if (!SameName(e.Key, key)) continue;
        if (!e.HasValue) return def;
        std::string value = e.Value;
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        if (CharCount(value) > MaxValueChars) value = CharPrefix(value, MaxValueChars);
        return value;
    }
    return def;
}

std::vector<std::string> TIniFile::ReadSection(const std::string &section) const {
    std::vector<std::string> keys;
    const TSection *s = FindSection(section);
    if (!s) return keys;
    // The names are copied one after another into one buffer, each followed by a zero, and
    // the buffer ends with one more zero; a name that no longer fits whole is cut, and the
    // list ends there.
    size_t left = KeyListBufferChars;
    for (const TEntry &e : s->Entries) {
        if (left <= 2) break;
        // A nameless key would end the zero-separated list early; it cannot be read anyway.
        if (!e.HasValue || e.Key.empty()) continue;
        size_t chars = CharCount(e.Key);
        size_t copied = std::min(chars, left - 2);
        keys.push_back(copied < chars ? CharPrefix(e.Key, copied) : e.Key);
        left -= copied + 1;
        if (left < 2) break;
    }
    return keys;
}
