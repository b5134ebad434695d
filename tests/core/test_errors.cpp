// The message formatter and both error catalogues: built-in texts, loading from a language
// file, formatting by code.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "vlm_Encoding.h"
#include "vlm_Errors.h"
#include "vlm_Exceptions.h"
#include "vlm_Format.h"

namespace fs = std::filesystem;

namespace {

std::string W(const std::string &utf8) { return Utf8ToCp1250(utf8); }

TEST(FormatMessageText, FillsPlaceholdersLeftToRight) {
    struct Case {
        const char *templ;
        std::vector<TFormatArg> args;
        const char *result;
    } cases[] = {
        {"plain", {}, "plain"},
        {"%s", {std::string("a")}, "a"},
        {"%s-%s", {std::string("a"), std::string("b")}, "a-b"},
        {"[Chyba %d] (%d): %s", {int64_t(9), int64_t(-3), std::string("x")}, "[Chyba 9] (-3): x"},
        {"%d", {std::string("42")}, "42"},
        {"%s", {int64_t(42)}, "42"},
        {"100%%", {}, "100%"},
        {"%%s", {}, "%s"},
        {"%s%%%s", {std::string("1"), std::string("2")}, "1%2"},
        {"%x %5d %", {}, "%x %5d %"},
        {"%s", {std::string("%s %d")}, "%s %d"},  // arguments are never read as templates
        {"%s", {std::string("a"), std::string("surplus")}, "a"},
        {"", {}, ""},
    };
    for (const Case &c : cases) EXPECT_EQ(FormatMessageText(c.templ, c.args), c.result) << c.templ;
}

TEST(FormatMessageText, TooFewOrWrongArgumentsFailCleanly) {
    EXPECT_THROW(FormatMessageText("%s", {}), EPlainError);
    EXPECT_THROW(FormatMessageText("%s and %s", {std::string("one")}), EPlainError);
    EXPECT_THROW(FormatMessageText("%d", {}), EPlainError);
    EXPECT_THROW(FormatMessageText("%d", {std::string("abc")}), EPlainError);
    EXPECT_THROW(FormatMessageText(std::string(10000, 'x') + "%s%s%s", {std::string("a")}), EPlainError);
}

TEST(ErrorCatalogue, BuiltInTexts) {
    ResetErrorMessages();
    EXPECT_EQ(ErrorMessages[0], W("Není zadán žádný algoritmus"));
    EXPECT_EQ(ErrorMessages[1], W("Algoritmus musí začínat klíčovým slovem \"%s\" a končit \"%s\""));
    EXPECT_EQ(ErrorMessages[4], W("\";\" nesmí předcházet klíčovému slovu \"%s\""));
    EXPECT_EQ(ErrorMessages[12],
              W("Hodnota pole \"%s\" se souřadnicemi [%s] není v tuto chvíli definována"));
    EXPECT_EQ(ErrorMessages[22], W("Neuzavřený textový řetězec"));
    EXPECT_EQ(ExpressionErrorMessages[4], W("Nelze celočíselně vydělit \"%s DIV %s\""));
    EXPECT_EQ(ExpressionErrorMessages[10], W("Nelze porovnat hodnoty \"%s %s %s\""));
    EXPECT_EQ(ExpressionErrorMessages[11], W("Hodnota je mimo rozsah \"%s\""));
    // Windows-1250 bytes: "č" is 0xE8, and no text lost a character in the conversion.
    EXPECT_EQ(ErrorMessages[1][18], '\xE8');
    for (const std::string &t : ErrorMessages) EXPECT_EQ(t.find('\x98'), std::string::npos) << t;
    for (const std::string &t : ExpressionErrorMessages) EXPECT_EQ(t.find('\x98'), std::string::npos) << t;
}

TEST(ErrorCatalogue, EveryTemplateTakesTheArgumentsItsReportersPass) {
    ResetErrorMessages();
    // Placeholders per code: what the reporters pass.
    const int errorArgs[ErrorMessageCount] = {0, 2, 0, 1, 1, 2, 2, 2, 1, 1, 1, 0,
                                              2, 0, 0, 0, 1, 1, 1, 1, 0, 1, 0};
    const int expressionArgs[ExpressionErrorMessageCount] = {2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 3, 1};
    for (int code = 0; code < ErrorMessageCount; ++code) {
        TArrayOfString args(errorArgs[code], "A");
        EXPECT_NO_THROW(FormatErrorMessage(code, args)) << code;
        if (errorArgs[code] > 0) {
            args.pop_back();
            EXPECT_THROW(FormatErrorMessage(code, args), EPlainError) << code;
        }
    }
    for (int index = 0; index < ExpressionErrorMessageCount; ++index) {
        TArrayOfString args(expressionArgs[index], "A");
        EXPECT_NO_THROW(FormatExpressionMessage(index, args)) << index;
        args.pop_back();
        EXPECT_THROW(FormatExpressionMessage(index, args), EPlainError) << index;
    }
    EXPECT_THROW(FormatErrorMessage(23, {}), EPlainError);
    EXPECT_THROW(FormatErrorMessage(-1, {}), EPlainError);
    EXPECT_THROW(FormatExpressionMessage(12, {"a"}), EPlainError);
}

TEST(ErrorCatalogue, Formatting) {
    ResetErrorMessages();
    EXPECT_EQ(FormatErrorMessage(22, {}), W("Neuzavřený textový řetězec"));
    EXPECT_EQ(FormatErrorMessage(1, {W("začátek"), W("konec")}),
              W("Algoritmus musí začínat klíčovým slovem \"začátek\" a končit \"konec\""));
    EXPECT_EQ(FormatErrorMessage(9, {FormatExpressionMessage(10, {"1", "<>", "'a'"})}),
              W("Chyba při vyhodnocování výrazu: Nelze porovnat hodnoty \"1 <> 'a'\""));
}

class ErrorCatalogueFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ResetErrorMessages();
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              (std::string("velmora_err_") + info->name() + "_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::remove_all(dir);
        ResetErrorMessages();
    }
    std::string Write(const std::string &name, const std::string &bytes) {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    fs::path dir;
};

TEST_F(ErrorCatalogueFiles, OnlyPresentKeysReplaceTexts) {
    auto before = ErrorMessages;
    auto beforeExpr = ExpressionErrorMessages;
    LoadErrorMessages(Write("en.lng", "[algAlgorithm]\n"
                                      "Error.3=Variable \"%s\" is not defined ☺\n"
                                      "Error.5=\n"
                                      "Error.05=leading zero\n"
                                      "Error.23=ignored\n"
                                      "ExpressionError.0=Cannot add \"%s + %s\"\n"
                                      "ExpressionError.12=ignored\n"
                                      "[Other]\n"
                                      "Error.4=other section\n"),
                      "algAlgorithm");
    for (int code = 0; code < ErrorMessageCount; ++code)
        if (code != 3) {
            EXPECT_EQ(ErrorMessages[code], before[code]) << code;
        }
    EXPECT_EQ(ErrorMessages[3], "Variable \"%s\" is not defined \x98");  // held in Windows-1250
    for (int index = 1; index < ExpressionErrorMessageCount; ++index)
        EXPECT_EQ(ExpressionErrorMessages[index], beforeExpr[index]) << index;
    EXPECT_EQ(ExpressionErrorMessages[0], "Cannot add \"%s + %s\"");
}

TEST_F(ErrorCatalogueFiles, ALaterLanguageKeepsTextsItDoesNotHave) {
    LoadErrorMessages(Write("a.lng", "[algAlgorithm]\nError.8=Unknown command A: \"%s\"\n"
                                     "Error.2=Missing A\n"),
                      "algAlgorithm");
    LoadErrorMessages(Write("b.lng", "\xEF\xBB\xBF[ALGALGORITHM]\nerror.2=Chybí B ř\n"), "algAlgorithm");
    EXPECT_EQ(ErrorMessages[8], "Unknown command A: \"%s\"");
    EXPECT_EQ(ErrorMessages[2], W("Chybí B ř"));
    LoadErrorMessages((dir / "missing.lng").string(), "algAlgorithm");
    fs::create_directories(dir / "folder.lng");
    LoadErrorMessages((dir / "folder.lng").string(), "algAlgorithm");
    EXPECT_EQ(ErrorMessages[2], W("Chybí B ř"));
    ResetErrorMessages();
    EXPECT_EQ(ErrorMessages[8], W("Neznámý příkaz: \"%s\""));
}

TEST_F(ErrorCatalogueFiles, AnEmptyTextIsNeverReplaced) {
    ErrorMessages[7] = "";
    LoadErrorMessages(Write("c.lng", "[algAlgorithm]\nError.7=now set\n"), "algAlgorithm");
    EXPECT_EQ(ErrorMessages[7], "");
}

TEST_F(ErrorCatalogueFiles, ATranslatedTemplateWithTooManyPlaceholdersFailsCleanly) {
    LoadErrorMessages(Write("d.lng", "[algAlgorithm]\nError.0=%s %s %d\n"), "algAlgorithm");
    EXPECT_THROW(FormatErrorMessage(0, {}), EPlainError);
}

}  // namespace
