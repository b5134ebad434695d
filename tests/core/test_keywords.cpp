// The keyword set: character classes, the word scanner, word kinds in both vocabularies,
// identifiers, the keyword list, copying, and loading a language file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_KeyWords.h"

namespace {

std::string W(const std::string &utf8) { return Utf8ToCp1250(utf8); }

// Every word up to the empty word, and the final position. A scanner that stops advancing
// fails the test instead of hanging it.
std::vector<std::string> ScanAll(const TKeyWords &kw, const std::string &text, bool keepComments,
                                 int *finalPos = nullptr) {
    std::vector<std::string> words;
    int pos = 1;
    for (int guard = 0; guard <= static_cast<int>(text.size()) + 1; ++guard) {
        const int before = pos;
        std::string w = kw.ReadWord(text, pos, keepComments);
        if (w.empty()) {
            if (finalPos)
                *finalPos = pos;
            return words;
        }
        EXPECT_GT(pos, before) << "no progress in " << text;
        words.push_back(w);
    }
    ADD_FAILURE() << "scanner did not reach the end of: " << text;
    return words;
}

using Words = std::vector<std::string>;

// ---- Character classes ---------------------------------------------------------------------

TEST(KeyWordsCharClass, DefaultWordCharactersAreTheNinetyFourOfTheCodePage) {
    TKeyWords kw;
    const std::string expected = std::string("0123456789._ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") +
                                 "\xC1\xC8\xCF\xC9\xCC\xCD\xD2\xD3\xD8\x8A\x8D\xDA\xD9\xDD\x8E" +
                                 "\xE1\xE8\xEF\xE9\xEC\xED\xF2\xF3\xF8\x9A\x9D\xFA\xF9\xFD\x9E";
    ASSERT_EQ(expected.size(), 94u);
    EXPECT_EQ(kw.csWordChars(), expected);

    int wordChars = 0;
    for (int c = 0; c < 256; ++c)
        if (kw.CharClass(static_cast<char>(c)) == ccWordChar) {
            ++wordChars;
            EXPECT_NE(expected.find(static_cast<char>(c)), std::string::npos) << c;
        }
    EXPECT_EQ(wordChars, 94);
}

TEST(KeyWordsCharClass, BlanksDelimitersAndOthers) {
    TKeyWords kw;
    for (char c : std::string("\0\t\n\r ", 5))
        EXPECT_EQ(kw.CharClass(c), ccBlank) << int(c);
    for (char c : std::string("()[]{}+-*/;,=^'\""))
        EXPECT_EQ(kw.CharClass(c), ccDelimiter) << c;
    for (char c : std::string(":<>!#&|$%~?\\\x98") + W("äÄ"))
        EXPECT_EQ(kw.CharClass(c), ccOther) << int(static_cast<unsigned char>(c));
}

TEST(KeyWordsCharClass, TableFollowsTheWordCharacters) {
    TKeyWords kw;
    kw.SetcsWordChars("x+ $");
    EXPECT_EQ(kw.CharClass('x'), ccWordChar);
    EXPECT_EQ(kw.CharClass('$'), ccWordChar);
    EXPECT_EQ(kw.CharClass('a'), ccOther);  // no longer listed
    EXPECT_EQ(kw.CharClass('+'), ccDelimiter);  // blanks and delimiters cannot be made word characters
    EXPECT_EQ(kw.CharClass(' '), ccBlank);
}

// ---- Scanner -------------------------------------------------------------------------------

struct ScanCase {
    const char *text;  // UTF-8
    bool keepComments;
    Words words;       // UTF-8
};

class ReadWordTable : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ReadWordTable, CutsTextIntoWords) {
    const ScanCase &c = GetParam();
    TKeyWords kw;
    Words expected;
    for (const std::string &w : c.words)
        expected.push_back(W(w));
    EXPECT_EQ(ScanAll(kw, W(c.text), c.keepComments), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Scanner, ReadWordTable,
    ::testing::Values(
        ScanCase{"a:=b+1", false, {"a", ":=", "b", "+", "1"}},
        ScanCase{"x<>y", false, {"x", "<>", "y"}},
        ScanCase{"a<b", false, {"a", "<", "b"}},
        ScanCase{"a<=b>=c", false, {"a", "<=", "b", ">=", "c"}},
        ScanCase{"a><b", false, {"a", ">", "<", "b"}},  // "><" is no operator
        ScanCase{"a: =b", false, {"a", ":", "=", "b"}},
        ScanCase{"3.14 1e5 1e-5", false, {"3.14", "1e5", "1e-5"}},
        ScanCase{"1.5E-7*2", false, {"1.5E-7", "*", "2"}},
        ScanCase{"1e-5x", false, {"1e", "-", "5x"}},
        ScanCase{"abe-5", false, {"abe", "-", "5"}},
        ScanCase{"e-5", false, {"e", "-", "5"}},
        ScanCase{"1E+5", false, {"1E", "+", "5"}},
        ScanCase{"1e-", false, {"1e", "-"}},
        ScanCase{"1e-5;", false, {"1e-5", ";"}},
        ScanCase{"'it''s'", false, {"'it'", "'s'"}},
        ScanCase{"\"say 'hi'\"+'x\"y'", false, {"\"say 'hi'\"", "+", "'x\"y'"}},
        ScanCase{"'a\r\nb'c", false, {"'a\r\nb'", "c"}},  // a literal runs across line ends
        ScanCase{"'//'{x}", false, {"'//'"}},               // a literal is never a comment
        ScanCase{"konec. začátek", false, {"konec.", "začátek"}},
        ScanCase{"počet:=počet+1", false, {"počet", ":=", "počet", "+", "1"}},
        ScanCase{"a#b!c", false, {"a", "#", "b", "!", "c"}},
        ScanCase{"x { note } y // rest\r\nz", false, {"x", "y", "z"}},
        ScanCase{"x { note } y // rest\r\nz", true, {"x", "{ note }", "y", "// rest", "z"}},
        ScanCase{"{a}{b}//c\r{d}e", false, {"e"}},  // several comments in a row
        ScanCase{"{ a { b } c }", true, {"{ a { b }", "c", "}"}},  // braces do not nest
        ScanCase{"x // a\ny\r\nz", false, {"x", "z"}},  // only a carriage return ends "//"
        ScanCase{"x { open", false, {"x"}},
        ScanCase{"x { open", true, {"x", "{ open"}},
        ScanCase{"// all", true, {"// all"}},
        ScanCase{"", false, {}},
        ScanCase{" \t\r\n", true, {}}));

TEST(KeyWordsReadWord, UnclosedCommentEndsPastTheText) {
    TKeyWords kw;
    for (bool keep : {false, true}) {
        int pos = 0;
        ScanAll(kw, "{ open", keep, &pos);
        EXPECT_EQ(pos, 7) << keep;
        ScanAll(kw, "a // x", keep, &pos);
        EXPECT_EQ(pos, 7) << keep;
    }
}

TEST(KeyWordsReadWord, PositionMovesJustPastEachWord) {
    TKeyWords kw;
    const std::string text = "  ab := 'c d' {x}\r\n";
    int pos = 1;
    EXPECT_EQ(kw.ReadWord(text, pos, true), "ab");
    EXPECT_EQ(pos, 5);
    EXPECT_EQ(kw.ReadWord(text, pos, true), ":=");
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(kw.ReadWord(text, pos, true), "'c d'");
    EXPECT_EQ(pos, 14);
    EXPECT_EQ(kw.ReadWord(text, pos, true), "{x}");
    EXPECT_EQ(pos, 18);
    EXPECT_EQ(kw.ReadWord(text, pos, true), "");
    EXPECT_EQ(pos, 20);
}

struct HookCall {
    int code, position;
    TArrayOfString args;
};
struct EHookRaised {};

TEST(KeyWordsReadWord, UnclosedLiteralIsReportedAtTheQuote) {
    TKeyWords kw;
    std::vector<HookCall> calls;
    kw.OnError = [&](int code, const TArrayOfString &args, int position) {
        calls.push_back({code, position, args});
        throw EHookRaised{};
    };
    for (const std::string text : {"x := 'a", "x := \"a'b'"})
        for (bool keep : {false, true}) {
            calls.clear();
            int pos = 1;
            EXPECT_EQ(kw.ReadWord(text, pos, keep), "x");
            EXPECT_EQ(kw.ReadWord(text, pos, keep), ":=");
            EXPECT_THROW(kw.ReadWord(text, pos, keep), EHookRaised);
            ASSERT_EQ(calls.size(), 1u) << text;
            EXPECT_EQ(calls[0].code, 22);
            EXPECT_EQ(calls[0].position, 6);
            EXPECT_TRUE(calls[0].args.empty());
        }
}

TEST(KeyWordsReadWord, UnclosedLiteralWithoutHookIsAPlainError) {
    TKeyWords kw;
    int pos = 1;
    try {
        kw.ReadWord("'abc", pos, false);
        FAIL() << "no error";
    } catch (const EPlainError &e) {
        EXPECT_STREQ(e.what(), "Unclosed string");
    }
}

TEST(KeyWordsReadWord, HookThatReturnsStillStopsTheScan) {
    TKeyWords kw;
    int calls = 0;
    kw.OnError = [&](int, const TArrayOfString &, int) { ++calls; };
    int pos = 1;
    EXPECT_THROW(kw.ReadWord("'abc", pos, false), EPlainError);
    EXPECT_EQ(calls, 1);
}

// ---- Word kinds ----------------------------------------------------------------------------

struct KindCase {
    const char *word;  // UTF-8
    bool pseudo;
    TWordKind kind;
};

class WordKindTable : public ::testing::TestWithParam<KindCase> {};

TEST_P(WordKindTable, ClassifiesInTheActiveVocabulary) {
    const KindCase &c = GetParam();
    TKeyWords kw;
    kw.PseudoMode = c.pseudo;
    EXPECT_EQ(kw.WordKind(W(c.word)), c.kind) << c.word << (c.pseudo ? " pseudo" : " code");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WordKindTable,
    ::testing::Values(
        KindCase{"ZAČÁTEK", true, wkBegin}, KindCase{"Začátek", true, wkBegin},
        KindCase{"begin", true, wkOther}, KindCase{"BEGIN", false, wkBegin},
        KindCase{"začátek", false, wkOther}, KindCase{":=", false, wkOd},
        KindCase{":=", true, wkOther}, KindCase{"od", false, wkOther}, KindCase{"od", true, wkOd},
        KindCase{"do", true, wkTo}, KindCase{"do", false, wkDo}, KindCase{"to", false, wkTo},
        KindCase{"JESTLIŽE", true, wkIf}, KindCase{"ČTI", true, wkRead}, KindCase{"Napiš", true, wkWrite},
        KindCase{"čekej", true, wkSleep}, KindCase{"DIV", true, wkDiv}, KindCase{"Mod", false, wkMod},
        KindCase{"True", true, wkTrue}, KindCase{"FALSE", false, wkFalse}, KindCase{"not", true, wkNot},
        KindCase{"konec.", true, wkOther}, KindCase{"end.", false, wkOther},
        KindCase{"<=", true, wkRelation}, KindCase{"<>", false, wkRelation}, KindCase{"=", true, wkRelation},
        KindCase{":", true, wkOther}, KindCase{"=<", true, wkOther},
        KindCase{"'x'", true, wkString}, KindCase{"\"x\"", false, wkString},
        KindCase{"{ c }", true, wkComment}, KindCase{"// c", false, wkComment}, KindCase{"/", true, wkOther},
        KindCase{"PI", true, wkConstFunction}, KindCase{"Random", false, wkConstFunction},
        KindCase{"Log", true, wkFunction}, KindCase{"length", false, wkFunction}, KindCase{"CHR", true, wkFunction},
        KindCase{"lg", true, wkOther}, KindCase{"", true, wkOther}, KindCase{"", false, wkOther},
        KindCase{"123", true, wkOther}));

TEST(KeyWordsWordKind, KeywordWinsOverFunctionAndEmptySlotMatchesNothing) {
    TKeyWords kw;
    kw.Setskw(wkWrite, "Log");
    EXPECT_EQ(kw.WordKind("LOG"), wkWrite);
    kw.Setskw(wkRead, "");
    EXPECT_EQ(kw.WordKind(""), wkOther);
}

TEST(KeyWordsKeyWord, ActiveVocabularyAndNonKeywordKinds) {
    TKeyWords kw;
    EXPECT_EQ(kw.KeyWord(wkBegin), W("začátek"));
    EXPECT_EQ(kw.KeyWord(wkOd), "od");
    kw.PseudoMode = false;
    EXPECT_EQ(kw.KeyWord(wkBegin), "begin");
    EXPECT_EQ(kw.KeyWord(wkOd), ":=");
    for (int k = wkRelation; k <= wkOther; ++k) {
        EXPECT_EQ(kw.KeyWord(TWordKind(k)), "") << k;
        EXPECT_FALSE(TKeyWords::IsKeyWordKind(TWordKind(k))) << k;
    }
    for (int k = wkIf; k <= wkNot; ++k)
        EXPECT_TRUE(TKeyWords::IsKeyWordKind(TWordKind(k))) << k;
}

// ---- Identifiers and the keyword list ------------------------------------------------------

TEST(KeyWordsIsIdentifier, Table) {
    const struct {
        const char *word;
        bool pseudo, expected;
    } cases[] = {
        {"_x1", true, true},   {"počet", true, true},  {"Žluť", true, true}, {"begin", true, true},
        {"begin", false, false}, {"a.b", true, false}, {"1x", true, false},  {"pi", true, false},
        {"konec", true, false}, {"KONEC", true, false}, {":=", true, false}, {"", true, false},
        {"a b", true, false},  {"a+b", true, false},   {"ä", true, false},   {"'a'", true, false},
        {"log", false, false}, {"od", false, true},
    };
    TKeyWords kw;
    for (const auto &c : cases) {
        kw.PseudoMode = c.pseudo;
        EXPECT_EQ(kw.IsIdentifier(W(c.word)), c.expected) << c.word;
    }
}

TEST(KeyWordsGetKeyWordList, LeavesOutTheConstantsAndTheAssignment) {
    TKeyWords kw;
    TArrayOfString list{"stale"};
    kw.GetKeyWordList(list);
    const Words pseudo = {"jestliže", "pak", "jinak", "pro", "od", "do", "opakuj", "dokud", "začátek",
                          "konec", "čti", "napiš", "čekej", "or", "and", "div", "mod", "not"};
    ASSERT_EQ(list.size(), 18u);
    for (size_t i = 0; i < pseudo.size(); ++i)
        EXPECT_EQ(list[i], W(pseudo[i]));

    kw.PseudoMode = false;
    kw.GetKeyWordList(list);
    EXPECT_EQ(list, (Words{"if", "then", "else", "for", "to", "do", "while", "begin", "end", "read",
                           "write", "sleep", "or", "and", "div", "mod", "not"}));
}

// ---- Properties, copying and comparing -----------------------------------------------------

TEST(KeyWordsProperties, SkwStoresLowerCase) {
    TKeyWords kw;
    kw.Setskw(wkBegin, W("ZAČÁTEK_ŘÍŠE"));
    EXPECT_EQ(kw.skw(wkBegin), W("začátek_říše"));
    EXPECT_EQ(kw.PseudoWords[wkBegin], W("začátek_říše"));
    EXPECT_EQ(kw.CodeWords[wkBegin], "begin");
}

TEST(KeyWordsAssign, CopiesWordsCharactersAndModeButNotTheHook) {
    TKeyWords source;
    source.PseudoWords[wkIf] = W("KDYŽ");  // filled directly, bypassing the property
    source.Setskw(wkThen, "Potom");
    source.SetcsWordChars("abc");
    source.PseudoMode = false;
    source.OnError = [](int, const TArrayOfString &, int) {};

    TKeyWords target;
    EXPECT_FALSE(target.SamePseudoWords(&source));
    target.Assign(source);
    EXPECT_EQ(target.PseudoWords[wkIf], W("když"));
    EXPECT_EQ(target.PseudoWords[wkThen], "potom");
    EXPECT_EQ(target.csWordChars(), "abc");
    EXPECT_EQ(target.CharClass('d'), ccOther);  // the class table was rebuilt
    EXPECT_FALSE(target.PseudoMode);
    EXPECT_FALSE(target.OnError);
    EXPECT_EQ(target.CodeWords, source.CodeWords);

    source.PseudoWords[wkIf] = W("když");
    EXPECT_TRUE(target.SamePseudoWords(&source));
    EXPECT_FALSE(target.SamePseudoWords(nullptr));
    target.Setskw(wkNot, "ne");
    EXPECT_FALSE(target.SamePseudoWords(&source));
}

TEST(KeyWordsSamePseudoWords, ComparesBytesCaseSensitively) {
    TKeyWords a, b;
    EXPECT_TRUE(a.SamePseudoWords(&b));
    b.PseudoWords[wkEnd] = "Konec";
    EXPECT_FALSE(a.SamePseudoWords(&b));
    b.PseudoWords[wkEnd] = "konec";
    b.PseudoWords[wkOther] = "x";  // the non-keyword slots count too
    EXPECT_FALSE(a.SamePseudoWords(&b));
}

// ---- Language files ------------------------------------------------------------------------

class KeyWordsLanguageFile : public ::testing::Test {
protected:
    std::filesystem::path dir;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("velmora_kw_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Write(const std::string &name, const std::string &bytes) {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
};

TEST_F(KeyWordsLanguageFile, ReadsUtf8WordsLowerCased) {
    TKeyWords kw;
    kw.Setskw(wkElse, "jinak2");  // a missing key keeps the current word, not the default
    const std::string file = Write("cs.lng", "[Menu]\r\nif=wrong\r\n"
                                             "[KeyWords]\r\n"
                                             "if=Když\r\n"
                                             "od=Od_hodnoty\r\n"
                                             "then=\r\n"
                                             "to=AŽ\r\n");
    ASSERT_TRUE(kw.LoadFromLanguageFile(file));
    EXPECT_EQ(kw.skw(wkIf), W("když"));
    EXPECT_EQ(kw.skw(wkOd), "od_hodnoty");
    EXPECT_EQ(kw.skw(wkTo), W("až"));
    EXPECT_EQ(kw.skw(wkThen), "pak");  // empty value
    EXPECT_EQ(kw.skw(wkElse), "jinak2");
    for (const char *spelling : {"když", "KDYŽ", "Když"})
        EXPECT_EQ(kw.WordKind(W(spelling)), wkIf) << spelling;
    EXPECT_EQ(kw.csWordChars().size(), 94u);  // no WordChars key
}

TEST_F(KeyWordsLanguageFile, WordCharsReplaceTheCharacterTable) {
    TKeyWords kw;
    ASSERT_TRUE(kw.LoadFromLanguageFile(Write("x.lng", "[keywords]\nWordChars=abcäÄ\n")));
    EXPECT_EQ(kw.csWordChars(), W("abcäÄ"));  // kept as written, not lower-cased
    EXPECT_EQ(kw.CharClass(W("ä")[0]), ccWordChar);
    EXPECT_EQ(kw.CharClass('z'), ccOther);
}

TEST_F(KeyWordsLanguageFile, MissingFileChangesNothing) {
    TKeyWords kw, untouched;
    EXPECT_FALSE(kw.LoadFromLanguageFile((dir / "none.lng").string()));
    std::filesystem::create_directories(dir / "folder.lng");
    EXPECT_FALSE(kw.LoadFromLanguageFile((dir / "folder.lng").string()));
    EXPECT_TRUE(kw.SamePseudoWords(&untouched));
    EXPECT_EQ(kw.csWordChars(), untouched.csWordChars());
}

TEST(KeyWordsLanguageFileKey, OdUsesItsPseudocodeName) {
    const Words expected = {"if", "then", "else", "for", "od", "to", "do", "while", "begin", "end",
                            "read", "write", "sleep", "or", "and", "div", "mod", "true", "false", "not"};
    for (int k = wkIf; k <= wkNot; ++k)
        EXPECT_EQ(TKeyWords::LanguageFileKey(TWordKind(k)), expected[k]);
    EXPECT_EQ(TKeyWords::LanguageFileKey(wkRelation), "");
}

} // namespace
