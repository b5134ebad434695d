// The translator and the formatter. Multi-line layouts live as file pairs in tests/translate:
// NAME.vlm is the input, NAME.expected the result; the name starts with the operation and the
// vocabulary ("format-pseudo-...", "translate-code-..."). Run with VELMORA_REBASELINE=1 to
// rewrite the expected files from the current output; a failure shows a unified diff.
// Short cases with one-line texts are tables in this file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_KeyWords.h"
#include "vlm_Translate.h"

namespace fs = std::filesystem;

namespace {

std::string W(const std::string &utf8) { return Utf8ToCp1250(utf8); }

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// The lines of a core text as UTF-8 joined by LF and ending with one, as files hold them.
std::string ToFileText(const std::string &core, const std::vector<char32_t> &placeholders) {
    std::string result;
    for (const std::string &line : CoreToLines(core, placeholders))
        result += (result.empty() ? "" : "\n") + line;
    if (result.empty() || result.back() != '\n')
        result += '\n';
    return result;
}

std::string UnifiedDiff(const fs::path &expected, const std::string &actual) {
    const fs::path actualFile = fs::temp_directory_path() / ("velmora-actual-" + expected.filename().string());
    WriteFile(actualFile, actual);
    std::string command = "diff -u '" + expected.string() + "' '" + actualFile.string() + "'";
    std::string diff;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            diff.append(buffer, n);
        pclose(pipe);
    }
    fs::remove(actualFile);
    return diff;
}

std::vector<std::string> PairNames() {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(fs::path(VELMORA_TEST_DATA) / "translate"))
        if (entry.path().extension() == ".vlm")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FilePair : public testing::TestWithParam<std::string> {};

TEST_P(FilePair, GivesTheExpectedText) {
    const std::string name = GetParam();
    const fs::path dir = fs::path(VELMORA_TEST_DATA) / "translate";
    const bool format = name.rfind("format-", 0) == 0;
    ASSERT_TRUE(format || name.rfind("translate-", 0) == 0) << "unknown operation in " << name;
    const std::string vocabulary = name.substr(name.find('-') + 1, name.find('-', name.find('-') + 1) - name.find('-') - 1);
    ASSERT_TRUE(vocabulary == "pseudo" || vocabulary == "code") << "unknown vocabulary in " << name;

    TKeyWords keyWords;
    keyWords.PseudoMode = vocabulary == "pseudo";
    std::vector<char32_t> placeholders;
    const std::string input = DocumentToCore(DecodeText(ReadFile(dir / (name + ".vlm"))).Utf8, &placeholders);
    const std::string output = format ? FormatCode(keyWords, input) : TranslateVocabulary(keyWords, input);
    const std::string actual = ToFileText(output, placeholders);

    const fs::path expectedFile = dir / (name + ".expected");
    if (std::getenv("VELMORA_REBASELINE")) {
        WriteFile(expectedFile, actual);
        return;
    }
    const std::string expected = ReadFile(expectedFile);
    EXPECT_EQ(expected, actual) << UnifiedDiff(expectedFile, actual);
}

INSTANTIATE_TEST_SUITE_P(Translate, FilePair, testing::ValuesIn(PairNames()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

// ---------------------------------------------------------------------------------------------

struct TTranslation {
    bool pseudo;
    const char *source;
    const char *expected;
};

TEST(TranslateVocabulary, TranslatesKeywordsAndSwitchesTheMode) {
    const TTranslation cases[] = {
        {true, "začátek pro i od 1 do 10 opakuj a := a + i; KONEC",
         "begin for i := 1 to 10 do a := a + i; end"},
        {false, "begin x := 1; for i := x to 2 do y := 3; write('if then') end",
         "začátek x := 1; pro i od x do 2 opakuj y := 3; napiš('if then') konec"},
        // ":=" of a for loop written without blanks must not glue the words together.
        {false, "begin for i:=1 to 3 do x:=i end", "začátek pro i od 1 do 3 opakuj x:=i konec"},
        {true, "začátek pro i od(1)do 3 opakuj x:=i konec", "begin for i :=(1)to 3 do x:=i end"},
        // Two translated words in a row are kept apart too.
        {false, "begin for i:=:=1 to 3 do x:=i end", "začátek pro i od od 1 do 3 opakuj x:=i konec"},
        // Identifiers stay even when they equal a keyword of the other vocabulary.
        {true, "začátek begin := 1; napiš(begin) konec", "begin begin := 1; write(begin) end"},
        // Comments are copied as they stand, keywords inside included; so is a trailing one.
        {true, "začátek { jestliže pak } napiš(1) konec // pro", "begin { jestliže pak } write(1) end // pro"},
        {true, "Začátek napiš(1) Konec.", "begin write(1) end."},
        {false, "begin write(1) END.", "začátek napiš(1) konec."},
        {true, "začátek x := true; jestliže not x or y pak čekej(1) jinak čti(z) konec",
         "begin x := true; if not x or y then sleep(1) else read(z) end"},
    };
    for (const TTranslation &c : cases) {
        TKeyWords keyWords;
        keyWords.PseudoMode = c.pseudo;
        EXPECT_EQ(W(c.expected), TranslateVocabulary(keyWords, W(c.source))) << c.source;
        EXPECT_EQ(!c.pseudo, keyWords.PseudoMode) << c.source;
    }
}

TEST(TranslateVocabulary, TranslatingTwiceGivesBackTheText) {
    const char *texts[] = {
        "začátek\r\n  pro i od 1 do 10 opakuj\r\n    jestliže i mod 2 = 0 pak napiš(i) jinak čekej(1);\r\nkonec.",
        "začátek dokud a < 3 opakuj začátek čti(a); a := a div 2 konec konec // end",
    };
    for (const char *text : texts) {
        TKeyWords keyWords;
        const std::string once = TranslateVocabulary(keyWords, W(text));
        EXPECT_EQ(W(text), TranslateVocabulary(keyWords, once));
        EXPECT_TRUE(keyWords.PseudoMode);
    }
}

TEST(TranslateVocabulary, UsesTheUsersPseudocodeWords) {
    TKeyWords keyWords;
    keyWords.Setskw(wkIf, W("Když"));
    EXPECT_EQ(W("begin if a then write(1) end"), TranslateVocabulary(keyWords, W("začátek KDYŽ a pak napiš(1) konec")));
    EXPECT_EQ(W("začátek když a pak napiš(1) konec"), TranslateVocabulary(keyWords, W("begin if a then write(1) end")));
}

// ---------------------------------------------------------------------------------------------

TEST(FormatCode, KeepsTheModeAndIsStableOnItsOwnOutput) {
    TKeyWords keyWords;
    const std::string text = W("začátek pro i od 1 do 3 opakuj začátek jestliže i>1 pak napiš(i) jinak "
                               "dokud x<2 opakuj x:=x+1; konec; { note } konec");
    const std::string once = FormatCode(keyWords, text);
    EXPECT_TRUE(keyWords.PseudoMode);
    EXPECT_EQ(once, FormatCode(keyWords, once));
}

TEST(FormatCode, SeparatesLinesWithCrLf) {
    TKeyWords keyWords;
    EXPECT_EQ(W("začátek\r\n  x := 1;\r\nkonec"), FormatCode(keyWords, W("začátek\nx:=1;\n\n\nkonec")));
}

// ---------------------------------------------------------------------------------------------

struct TRaised {
    int code = -1;
    int position = -1;
};

TEST(UnclosedLiteral, StopsBothOperationsBeforeAnyResult) {
    const std::string text = W("začátek\r\n  napiš('abc);\r\nkonec");
    const int quote = static_cast<int>(text.find('\'')) + 1;

    for (bool format : {false, true}) {
        TKeyWords keyWords;
        EXPECT_THROW(format ? FormatCode(keyWords, text) : TranslateVocabulary(keyWords, text), EPlainError);
        EXPECT_TRUE(keyWords.PseudoMode);

        TRaised raised;
        keyWords.OnError = [&](int code, const TArrayOfString &, int position) {
            raised = {code, position};
            throw std::runtime_error("reported");
        };
        EXPECT_THROW(format ? FormatCode(keyWords, text) : TranslateVocabulary(keyWords, text), std::runtime_error);
        EXPECT_EQ(22, raised.code);
        EXPECT_EQ(quote, raised.position);
        EXPECT_TRUE(keyWords.PseudoMode);
    }
}

}  // namespace
