// Order: the shape tests for numbers, text -> number, number -> text (the 15-digit form),
// values, then the small text helpers and the one-value INI read.

#include "vlm_Utils.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "vlm_Exceptions.h"
#include "vlm_Ini.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Decimal exponent of the first significant digit of a number text already known to be
// well formed (digits, one optional ".", an optional exponent), used only to tell an
// overflow from an underflow when the conversion is out of range.
long long MagnitudeOf(const std::string &mantissa, long long exponent) {
    long long intDigits = 0, leadingZeros = 0;
    bool seenPoint = false, seenSignificant = false;
    for (char c : mantissa) {
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenSignificant && c != '0') seenSignificant = true;
        if (!seenPoint) {
            if (seenSignificant) ++intDigits;
        } else if (!seenSignificant) {
            ++leadingZeros;
        }
    }
    return (intDigits > 0 ? intDigits - 1 : -(leadingZeros + 1)) + exponent;
}

// Rounds the magnitude `a` (positive, finite) to 15 significant digits, ties away from zero.
// `digits` receives the 15 digits, `exponent` the power of ten of the first one.
void RoundTo15Digits(double a, std::string &digits, int &exponent) {
    // 17 correctly rounded digits decide the rounding unless the two beyond the 15th read
    // "50": then the exact value may lie on either side of the halfway point (or on it), and
    // the exact decimal expansion (at most 767 significant digits) decides.
    char buf[840];
    auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 16);
    std::string text(buf, r.ptr);
    auto ePos = text.find('e');
    std::string all = text.substr(0, 1) + text.substr(2, ePos - 2);
    exponent = std::stoi(text.substr(ePos + 1));
    bool roundUp;
    if (all[15] == '5' && all[16] == '0') {
        r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 800);
        text.assign(buf, r.ptr);
        ePos = text.find('e');
        all = text.substr(0, 1) + text.substr(2, ePos - 2);
        exponent = std::stoi(text.substr(ePos + 1));
        roundUp = all[15] >= '5';
    } else {
        roundUp = all[15] > '5' || (all[15] == '5' && all[16] >= '1');
    }
    digits = all.substr(0, 15);
    if (roundUp) {
        int i = 14;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits = "1" + std::string(14, '0');
            ++exponent;
        }
    }
}

}  // namespace

bool IsIntegerText(const std::string &text) {
    if (text.empty() || text == "-") return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (!IsDigit(text[i]) && !(i == 0 && text[i] == '-')) return false;
    return true;
}

bool IsRealText(const std::string &text) {
    if (text.empty() || text == "-" || text == "E" || text == ".") return false;
    if (text[0] == 'E' || text[0] == 'e') return false;
    bool point = false, exponent = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.') {
            if (point) return false;
            point = true;
        } else if (c == 'E' || c == 'e') {
            if (exponent) return false;
            exponent = true;
        } else if (c == '+' || c == '-') {
            if (i != 0 && text[i - 1] != 'E' && text[i - 1] != 'e') return false;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

bool TextToInt64(const std::string &text, int64_t &result) {
    if (!IsIntegerText(text)) return false;
    int64_t v;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    result = v;
    return true;
}

bool TextToReal(const std::string &text, double &result) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    // Shape: [sign] digits with at most one "." (one digit at least) [E|e [sign] digits].
    size_t i = begin;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t mantissaBegin = i;
    int digits = 0;
    bool point = false;
    for (; i < end; ++i) {
        if (IsDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    std::string mantissa = text.substr(mantissaBegin, i - mantissaBegin);
    long long exponent = 0;
    if (i < end && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < end && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        if (i == end || !IsDigit(text[i])) return false;
        for (; i < end && IsDigit(text[i]); ++i)
            if (exponent < 1000000000) exponent = exponent * 10 + (text[i] - '0');
        if (expNegative) exponent = -exponent;
    }
    if (i != end) return false;

    // from_chars takes no "+" and no blanks: hand it the unsigned number only.
    const char *first = text.data() + mantissaBegin, *last = text.data() + end;
    double v = 0;
    auto r = std::from_chars(first, last, v, std::chars_format::general);
    if (r.ptr != last) return false;
    if (r.ec == std::errc::result_out_of_range) {
        if (MagnitudeOf(mantissa, exponent) > 0) return false;  // beyond the double range
        v = 0;                                                  // too small: zero
    } else if (r.ec != std::errc()) {
        return false;
    }
    result = negative ? -v : v;
    return true;
}

std::string RealToText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";  // negative zero too

    std::string digits;
    int exponent;  // of the first digit: value = d1.d2d3... * 10^exponent
    RoundTo15Digits(std::fabs(value), digits, exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = value < 0 ? "-" : "";
    int e = exponent + 1;  // the exponent of the 0.d1d2... form
    int n = int(digits.size());
    if (e > 15 || e < -3) {
        text += digits[0];
        if (n > 1) text += "." + digits.substr(1);
        text += "E" + std::to_string(e - 1);
    } else if (e <= 0) {
        text += "0." + std::string(-e, '0') + digits;
    } else if (n <= e) {
        text += digits + std::string(e - n, '0');
    } else {
        text += digits.substr(0, e) + "." + digits.substr(e);
    }
    return text;
}

std::string ValueToText(const Value &value) {
    switch (value.Kind()) {
    case vkInteger: return std::to_string(value.AsInteger());
    case vkReal: return RealToText(value.AsReal());
    case vkText: return value.AsText();
    case vkBoolean: return value.AsBoolean() ? "True" : "False";
    default: return "";
    }
}

Value NormalizeValue(const Value &value) {
    if (!value.IsText()) return value;
    const std::string &text = value.AsText();
    if (IsIntegerText(text)) {
        int64_t i;
        if (!TextToInt64(text, i)) throw EConvertError("\"" + text + "\" is not a valid integer value");
        return Value(i);
    }
    if (IsRealText(text)) {
        double d;
        if (!TextToReal(text, d))
            throw EConvertError("\"" + text + "\" is not a valid floating point value");
        return Value(d);
    }
    return value;
}

bool SameCoords(const TArrayOfInteger &a, const TArrayOfInteger &b) { return a == b; }

TArrayOfString SplitByChars(const std::string &text, const std::string &chars) {
    TArrayOfString result;
    if (text.empty()) return result;
    std::string piece;
    for (char c : text) {
        if (CharInText(c, chars)) {
            result.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    result.push_back(piece);
    return result;
}

std::string SplitFirst(std::string &text, char c, bool remove) {
    size_t pos = text.find(c);
    std::string first = text.substr(0, pos);
    if (remove) text = pos == std::string::npos ? std::string() : text.substr(pos + 1);
    return first;
}

std::string RepeatText(const std::string &text, int count) {
    std::string result;
    if (count <= 0) return result;
    result.reserve(text.size() * size_t(count));
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

bool CharInText(char c, const std::string &text) { return text.find(c) != std::string::npos; }

std::string WithTrailingBackslash(const std::string &path) {
    if (path.empty() || path.back() == '\\') return path;
    return path + "\\";
}

bool ReadLngString(const TIniFile &ini, const std::string &section, const std::string &key,
                   std::string &value) {
    value = ini.ReadString(section, key, "");
    return !value.empty();
}
