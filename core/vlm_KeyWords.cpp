// The keyword set. Order: the vocabularies and defaults, the properties and copying,
// classification of words, the word scanner, then loading from a language file.

#include "vlm_KeyWords.h"

#include <stdexcept>

#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_Ini.h"
#include "vlm_Utils.h"

namespace {

// The fixed code vocabulary, slots 0 to 19 (ASCII, so no conversion is needed).
const char *const CodeVocabulary[wkNot + 1] = {
    "if",  "then", "else",  "for",   ":=",  "to",  "do",  "while", "begin", "end",
    "read", "write", "sleep", "or", "and", "div", "mod", "true", "false", "not"};

// The default pseudocode words, written in UTF-8 here and converted once.
const char *const DefaultPseudoVocabulary[wkNot + 1] = {
    "jestliže", "pak",  "jinak", "pro",   "od",  "do",  "opakuj", "dokud", "začátek", "konec",
    "čti",      "napiš", "čekej", "or",   "and", "div", "mod",    "true",  "false",   "not"};

// Digits, full stop, underscore, ASCII letters, then the Czech capitals and small letters.
const char *const DefaultWordCharsUtf8 =
    "0123456789._ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽáčďéěíňóřšťúůýž";

// Blanks and delimiters come first, so listing them among the word characters changes nothing.
bool IsBlankChar(unsigned char c) { return c == 0 || c == 9 || c == 10 || c == 13 || c == 32; }

bool IsDelimiterChar(unsigned char c) {
    switch (c) {
    case '(': case ')': case '[': case ']': case '{': case '}': case '+': case '-':
    case '*': case '/': case ';': case ',': case '=': case '^': case '\'': case '"':
        return true;
    default:
        return false;
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

TKeyWords::TKeyWords() {
    for (int k = wkIf; k <= wkNot; ++k) {
        CodeWords[k] = CodeVocabulary[k];
        PseudoWords[k] = Utf8ToCp1250(DefaultPseudoVocabulary[k]);
    }
    SetcsWordChars(Utf8ToCp1250(DefaultWordCharsUtf8));
}

void TKeyWords::SetcsWordChars(const std::string &chars) {
    FWordChars = chars;
    RebuildClasses();
}

void TKeyWords::RebuildClasses() {
    for (int c = 0; c < 256; ++c) {
        auto ch = static_cast<unsigned char>(c);
        if (IsBlankChar(ch))
            FClasses[c] = ccBlank;
        else if (IsDelimiterChar(ch))
            FClasses[c] = ccDelimiter;
        else if (CharInText(static_cast<char>(ch), FWordChars))
            FClasses[c] = ccWordChar;
        else
            FClasses[c] = ccOther;
    }
}

void TKeyWords::Setskw(TWordKind kind, const std::string &word) {
    if (!IsKeyWordKind(kind))
        throw std::out_of_range("Setskw: not a keyword slot");
    PseudoWords[kind] = LowerCase1250(word);
}

void TKeyWords::Assign(const TKeyWords &source) {
    if (&source == this)
        return;
    CodeWords = source.CodeWords;
    PseudoWords = source.PseudoWords;
    // Stored again through the property, so a source that was filled directly still ends
    // up lower case here.
    for (int k = wkIf; k <= wkNot; ++k)
        Setskw(TWordKind(k), source.PseudoWords[k]);
    SetcsWordChars(source.FWordChars);
    PseudoMode = source.PseudoMode;
}

TWordKind TKeyWords::WordKind(const std::string &word) const {
    const std::string lower = LowerCase1250(word);
    const TWords &table = PseudoMode ? PseudoWords : CodeWords;
    // An empty slot never matches: the empty word marks the end of a text and must stay
    // wkOther, or every caller's scanning loop would take it for a keyword.
    if (!lower.empty())
        for (int k = wkIf; k <= wkNot; ++k)
            if (lower == table[k])
                return TWordKind(k);

    if (lower == "=" || lower == ">" || lower == "<" || lower == "<=" || lower == ">=" || lower == "<>")
        return wkRelation;
    if (!lower.empty() && (lower[0] == '\'' || lower[0] == '"'))
        return wkString;
    if (!lower.empty() && (lower[0] == '{' || lower.starts_with("//")))
        return wkComment;
    if (lower == "pi" || lower == "exp" || lower == "random")
        return wkConstFunction;
    if (lower == "length" || lower == "ord" || lower == "chr" || lower == "sin" || lower == "cos" ||
        lower == "tan" || lower == "cot" || lower == "log")
        return wkFunction;
    return wkOther;
}

std::string TKeyWords::KeyWord(TWordKind kind) const {
    if (!IsKeyWordKind(kind))
        return {};
    return PseudoMode ? PseudoWords[kind] : CodeWords[kind];
}

std::string TKeyWords::ReadWord(const std::string &text, int &pos, bool keepComments) const {
    const int len = static_cast<int>(text.size());
    auto at = [&](int i) { return text[static_cast<size_t>(i - 1)]; };  // 1-based access
    auto isWordChar = [&](char c) { return CharClass(c) == ccWordChar; };
    if (pos < 1)
        pos = 1;

    // Skipped comments loop back here instead of recursing, so a text of many comments in a
    // row cannot exhaust the stack.
    for (;;) {
        std::string w;
        while (pos <= len && CharClass(at(pos)) == ccBlank)
            ++pos;
        if (pos > len)
            return w;

        for (;;) {
            const char c = at(pos);
            w += c;

            if (c == '\'' || c == '"') {
                const size_t close = text.find(c, static_cast<size_t>(pos));  // 0-based pos = after p
                if (close == std::string::npos) {
                    if (OnError)
                        OnError(22, {}, pos);
                    // The hook is meant to throw; a hook that returns must not let the scan go on.
                    throw EPlainError("Unclosed string");
                }
                const int q = static_cast<int>(close) + 1;
                w.append(text, static_cast<size_t>(pos), static_cast<size_t>(q - pos));
                pos = q + 1;
                return w;
            }

            ++pos;

            if (w.size() == 1 && pos <= len) {
                const char n = at(pos);
                if (((c == '<' || c == '>') && n == '=') || (c == '<' && n == '>') ||
                    (c == '/' && n == '/') || (c == ':' && n == '=')) {
                    w += n;
                    ++pos;
                }
            }

            // A number such as 1.5E-7 stays one word although "-" is a delimiter.
            if (w.size() > 1 && pos < len && at(pos) == '-' && (at(pos - 1) == 'E' || at(pos - 1) == 'e') &&
                IsDigit(at(pos + 1))) {
                int i = pos + 1;
                while (i <= len && IsDigit(at(i)))
                    ++i;
                if (i > len || !isWordChar(at(i))) {
                    std::string joined = w;
                    joined += '-';
                    joined.append(text, static_cast<size_t>(pos), static_cast<size_t>(i - pos - 1));
                    if (IsRealText(joined)) {
                        w = std::move(joined);
                        pos = i;
                    }
                }
            }

            if (!(pos <= len && isWordChar(at(pos)) && isWordChar(w.back())))
                break;
        }

        if (w != "//" && w != "{")
            return w;

        const int start = pos;
        if (w == "//") {
            const size_t cr = text.find('\r', static_cast<size_t>(pos - 1));
            pos = cr == std::string::npos ? len + 1 : static_cast<int>(cr) + 1;
        } else {
            const size_t brace = text.find('}', static_cast<size_t>(pos - 1));
            pos = brace == std::string::npos ? len + 1 : static_cast<int>(brace) + 2;
        }
        if (keepComments) {
            w.append(text, static_cast<size_t>(start - 1), static_cast<size_t>(pos - start));
            return w;
        }
    }
}

bool TKeyWords::IsIdentifier(const std::string &word) const {
    if (word.empty() || IsDigit(word[0]) || WordKind(word) != wkOther)
        return false;
    // The class table is used rather than csWordChars itself: a blank or delimiter listed
    // there is no word character anywhere else either.
    for (char c : word)
        if (c == '.' || CharClass(c) != ccWordChar)
            return false;
    return true;
}

void TKeyWords::GetKeyWordList(TArrayOfString &list) const {
    list.clear();
    const TWords &table = PseudoMode ? PseudoWords : CodeWords;
    for (int k = wkIf; k <= wkNot; ++k)
        if (k != wkTrue && k != wkFalse && table[k] != ":=")
            list.push_back(table[k]);
}

bool TKeyWords::SamePseudoWords(const TKeyWords *other) const {
    return other != nullptr && PseudoWords == other->PseudoWords;
}

std::string TKeyWords::LanguageFileKey(TWordKind kind) {
    if (!IsKeyWordKind(kind))
        return {};
    return kind == wkOd ? "od" : CodeVocabulary[kind];
}

bool TKeyWords::LoadFromLanguageFile(const std::string &fileName) {
    const TIniFile ini(fileName);
    if (!ini.Exists())
        return false;

    static const std::string Section = "KeyWords";
    std::string value;
    if (ReadLngString(ini, Section, "WordChars", value))
        SetcsWordChars(Utf8ToCp1250(value));
    for (int k = wkIf; k <= wkNot; ++k)
        if (ReadLngString(ini, Section, LanguageFileKey(TWordKind(k)), value))
            Setskw(TWordKind(k), Utf8ToCp1250(value));
    return true;
}
