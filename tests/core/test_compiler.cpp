// The compiler and the errors of check and run, as tables. In every source "@" marks the
// place the error must be reported at; the expected line and column are counted from it by
// hand-simple rules (the "@" itself is removed before the source is used).

#include <gtest/gtest.h>

#include "algorithm_harness.h"
#include "vlm_Errors.h"
#include "vlm_Exceptions.h"

namespace {

struct TErrorCase {
    const char *Name;
    const char *Source;  // UTF-8, "\n" between lines, "@" at the reported place
    int Code;
    bool CodeMode = false;
};

std::ostream &operator<<(std::ostream &os, const TErrorCase &c) { return os << c.Name; }

// The source without "@", and the line and column of the "@" in the component's text.
void Marked(const std::string &utf8, std::string &source, int &line, int &column) {
    const size_t at = utf8.find('@');
    source = utf8;
    source.erase(at, 1);
    const std::string before = W(utf8.substr(0, at));
    line = 1;
    column = 1;
    for (char c : before) {
        if (c == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
}

// Runs a check or a run and returns the error events.
std::vector<TErrorEvent> Errors(const std::string &source, TMode mode, bool codeMode, std::string *failure = nullptr) {
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    a.KeyWords().PseudoMode = !codeMode;
    a.Algoritmus = SourceLines(source);
    if (mode == mdControl) {
        a.SetMode(mdControl);
        a.Execute();
    } else {
        EXPECT_TRUE(RunToEnd(a, r, mode));
    }
    if (failure)
        *failure = a.LastFailure();
    std::lock_guard lock(r.Mutex);
    return r.Errors;
}

// --- Errors of the check pass ---------------------------------------------------------------

const TErrorCase CheckCases[] = {
    {"NoBeginWord", "@begin\nend", 1},
    {"PseudoTextInCodeMode", "@začátek konec", 1, true},
    {"AssignmentBeforeEnd", "začátek\n  x := 1\n@konec", 2},
    {"ThenBlockWithoutSemicolon", "začátek\n  jestliže a pak začátek x := 1; konec\n@konec", 2},
    {"SemicolonBeforeElse", "začátek\n  jestliže a pak x := 1; @jinak x := 2;\nkonec", 4},
    {"SemicolonBeforeElseNoBlank", "začátek\n  jestliže a pak x := 1;@jinak x := 2;\nkonec", 4},
    {"BlockNotClosed", "@začátek\n  x := 1;\n", 5},
    {"EndDotClosesNothingInside", "@začátek\n  jestliže a pak začátek x := 1; konec.\nkonec", 5},
    {"ThenMissing", "začátek jestliže a @napiš(1); konec", 6},
    {"OdMissing", "začátek pro i @:= 1 do 2 opakuj x := 1; konec", 6},
    {"ToMissing", "začátek pro i od 1 @opakuj x := 1; konec", 6},
    {"DoMissingInWhile", "začátek dokud a x @:= 1; konec", 6},
    {"ReadWithoutBracket", "začátek čti @x; konec", 6},
    {"ReadNotClosed", "začátek čti(x @; konec", 6},
    {"WriteWithoutBracket", "začátek napiš @'a'; konec", 6},
    {"AssignmentWithoutOperator", "začátek x @= 1; konec", 6},
    {"CodeForWithOd", "begin for i @od 1 to 2 do x := 1; end", 6, true},
    {"BracketNotClosed", "začátek napiš(@1; konec", 7},
    {"BlockWhereCommandExpected", "začátek @začátek x := 1; konec konec", 8},
    {"ElseAfterThenBlockAndSemicolon", "začátek jestliže a pak začátek x := 1; konec; @jinak x := 2; konec", 8},
    {"FunctionAsTarget", "začátek @sin := 1; konec", 8},
    {"DigitAsTarget", "začátek @1x := 1; konec", 8},
    {"EmptyCoordinates", "začátek a[@] := 1; konec", 10},
    {"EmptyExpression", "začátek x :=@ ; konec", 15},
    {"CoordinatesEndWithComma", "začátek a[1,@] := 1; konec", 15},
    {"EmptyBound", "začátek pro i od@ do 3 opakuj x := 1; konec", 15},
    {"EmptySleep", "začátek čekej(@); konec", 15},
    {"WriteEndsWithComma", "začátek napiš(1,@); konec", 15},
    {"ForVariableWithDigit", "začátek pro @1x od 1 do 2 opakuj x := 1; konec", 17},
    {"ForVariableWithDot", "začátek pro @a.b od 1 do 2 opakuj x := 1; konec", 17},
    {"TrueAsTarget", "začátek\n  @true := 1;\nkonec", 18},
    {"PiAsTarget", "začátek @PI := 3; konec", 18},
    {"UnclosedString", "začátek napiš(@'abc); konec", 22},
    // The if's rules: after the then-body ";" or else; a one-command body ended by ";" must
    // not be followed by else, also not when it is the then-body of an inner if.
    {"ThenWriteFollowedByCommand", "začátek jestliže a pak napiš(1) @napiš(2); konec", 2},
    {"ThenBodyFollowedByEndOfBlock", "začátek\n  jestliže a pak x := 1 jinak x := 2 @konec", 2},
    {"InnerIfSemicolonBeforeElse", "začátek jestliže a pak jestliže b pak x := 1; @jinak x := 2; konec", 4},
    {"ElseBodySemicolonBeforeElse",
     "začátek jestliže a pak jestliže b pak x := 1 jinak x := 2; @jinak x := 3; konec", 4},
    {"ElseStartsACommand", "začátek x := 1; @jinak x := 2; konec", 8},
    {"TextStartsACommand", "začátek @'a' := 1; konec", 8},
    {"RelationStartsACommand", "začátek @= 1; konec", 8},
    {"SemicolonIsATarget", "začátek x := 1;; @konec", 6},
    // "konec." closes only the block whose own scan meets it at depth 0.
    {"EndDotInsideTwoBlocks", "@začátek\n  dokud a opakuj začátek x := 1; konec.\n  konec.", 5},
    {"NestedBlockNotClosed", "@začátek\n  jestliže a pak začátek\n    x := 1;\nkonec", 5},
    {"DoMissingInFor", "začátek pro i od 1 do 2 x @:= 1; konec", 6},
    {"CodeWhileWithoutDo", "begin while a @begin x := 1 end end", 6, true},
    {"SleepWithoutBracket", "začátek čekej @5; konec", 6},
    {"ReadNameNotFollowedByBracket", "začátek čti(x @y); konec", 6},
    {"ReadCoordinatesNotClosed", "začátek čti(a[@1, 2); konec", 7},
    {"ElementCoordinatesNotClosed", "začátek a[@1 := 2; konec", 7},
    {"EmptyThenCondition", "začátek jestliže@ pak x := 1; konec", 15},
    {"EmptyWhileCondition", "začátek dokud@ opakuj x := 1; konec", 15},
    {"EmptySecondBound", "začátek pro i od 1 do@ opakuj x := 1; konec", 15},
    {"EmptyElementExpression", "začátek a[1] :=@ ; konec", 15},
    {"EmptyFirstCoordinate", "začátek a[@, 1] := 1; konec", 15},
    {"FalseAsTarget", "začátek @FALSE := 1; konec", 18},
    {"RandomAsTarget", "začátek @random := 1; konec", 18},
    {"UnclosedStringInCondition", "začátek dokud x = @\"a opakuj x := 1; konec", 22},
};

class CompilerCheckErrors : public testing::TestWithParam<TErrorCase> {};

TEST_P(CompilerCheckErrors, ReportedWithCodeLineAndColumn) {
    const TErrorCase &c = GetParam();
    std::string source;
    int line, column;
    Marked(c.Source, source, line, column);
    const auto errors = Errors(source, mdControl, c.CodeMode);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Code, c.Code) << errors[0].Message;
    EXPECT_EQ(errors[0].Line, line) << errors[0].Message;
    EXPECT_EQ(errors[0].Column, column) << errors[0].Message;
}

INSTANTIATE_TEST_SUITE_P(Table, CompilerCheckErrors, testing::ValuesIn(CheckCases),
                         [](const auto &info) { return std::string(info.param.Name); });

// --- Errors found only while running --------------------------------------------------------

const TErrorCase RunCases[] = {
    {"UndefinedVariable", "začátek\n  napiš(@y);\nkonec", 3},
    {"UndefinedVariableCaseInsensitive", "začátek Počet := 1; x := @počeT2; konec", 3},
    {"DivisionByZero", "začátek x := @1 / 0; konec", 9},
    {"TextTimesText", "začátek x := @'a' * 2; konec", 9},
    {"LeadingDotIsAName", "začátek x := @.5; konec", 3},
    {"KeywordInsideExpression", "začátek napiš(1 @:= 2); konec", 2},
    {"FunctionWithoutBracket", "začátek x := sin @1; konec", 6},
    {"FunctionBracketNotClosed", "začátek x := sin(@1; konec", 7},
    {"CoordinateNotInteger", "začátek a[@1.5] := 1; konec", 11},
    {"SleepTimeText", "začátek čekej(@'5'); konec", 11},
    {"UndefinedElement", "začátek a[0] := 1; x := a[@1, 2]; konec", 12},
    {"ElementShadowedByScalar", "začátek a[1] := 1; a := 'q'; x := a[@1, 1]; konec", 19},
    {"CharacterBeyondText", "začátek s := 'abc'; s[@4] := 'x'; konec", 19},
    {"CharacterZero", "začátek s := 'abc'; x := s[@0]; konec", 19},
    {"CharacterOfEmptyText", "začátek s := ''; x := s[@1]; konec", 19},
    {"CharacterReplacedByTwo", "začátek s := 'abc'; s[2] := @'xy'; konec", 20},
    {"LogWithOneArgument", "začátek x := 1 + @log(2) ; konec", 21},
    {"LogOfTextArgument", "začátek x := @log(2, 'a'); konec", 21},
    // Failures of a function are reported at its name; evaluator failures at the expression.
    {"OrdOfEmptyText", "začátek x := 1 + @ord(''); konec", 9},
    {"CotangentOfZero", "začátek x := @cot(0); konec", 9},
    {"LogOfNegativeNumber", "začátek x := @log(2, -8); konec", 9},
    {"SineOfText", "začátek x := @sin('a'); konec", 9},
    {"ChrOfApostrophe", "začátek x := @chr(39) + 'a'; konec", 9},
    {"TextHoldingApostrophe", "začátek x := \"it's\"; y := @x + 1; konec", 9},
    {"ModuloByZero", "začátek x := @7 mod 0; konec", 9},
    {"EmptyFunctionArgument", "začátek x := sin(@ ); konec", 15},
    {"FunctionNameAtTheEnd", "začátek napiš(1 + sin@); konec", 6},
    {"GrammarWordInsideWrite", "začátek napiš(1 @pak 2); konec", 2},
    {"UndefinedInnerElement", "začátek a[1] := 1; x := a[b [@ 1 ]]; konec", 12},
    {"UndefinedVariableInCoordinates", "začátek a[1] := 1; x := a[@i]; konec", 3},
    {"CoordinateIsText", "začátek a[@'1'] := 1; konec", 11},
    {"CoordinateBeyond32Bits", "začátek a[@3000000000] := 1; konec", 11},
    {"SecondCoordinateEmptyInExpression", "začátek a[1] := 1; x := a[1,@]; konec", 15},
    {"CharacterOfNumberBeyondDigits", "začátek n := 123; x := n[@4]; konec", 19},
    {"CharacterReplacedByNumber", "začátek s := 'abc'; s[1] := @12; konec", 20},
};

class CompilerRunErrors : public testing::TestWithParam<TErrorCase> {};

TEST_P(CompilerRunErrors, ReportedWithCodeLineAndColumn) {
    const TErrorCase &c = GetParam();
    std::string source;
    int line, column;
    Marked(c.Source, source, line, column);
    // Every one of these passes the check; the error comes from the run.
    EXPECT_TRUE(Errors(source, mdControl, c.CodeMode).empty());
    const auto errors = Errors(source, mdRun, c.CodeMode);
    ASSERT_GE(errors.size(), 1u);
    EXPECT_EQ(errors[0].Code, c.Code) << errors[0].Message;
    EXPECT_EQ(errors[0].Line, line) << errors[0].Message;
    EXPECT_EQ(errors[0].Column, column) << errors[0].Message;
}

INSTANTIATE_TEST_SUITE_P(Table, CompilerRunErrors, testing::ValuesIn(RunCases),
                         [](const auto &info) { return std::string(info.param.Name); });

// --- Messages and arguments -----------------------------------------------------------------

TEST(CompilerMessages, ArgumentsNameTheActiveVocabulary) {
    auto first = [](const char *src, bool code) { return Errors(src, mdControl, code).at(0).Message; };
    EXPECT_EQ(first("begin end", false), "Algoritmus musí začínat klíčovým slovem \"začátek\" a končit \"konec\"");
    EXPECT_EQ(first("začátek konec", true), "Algoritmus musí začínat klíčovým slovem \"begin\" a končit \"end\"");
    EXPECT_EQ(first("začátek pro i := 1 do 2 opakuj x := 1; konec", false),
              "Bylo očekáváno \"od\" ale bylo nalezeno \":=\"");
    EXPECT_EQ(first("začátek napiš 'a'; konec", false), "Bylo očekáváno \"(\", \"[\" ale bylo nalezeno \"'a'\"");
    EXPECT_EQ(first("začátek napiš[1; konec", false), "Závorka není uzavřena - k \"[\" schází odpovídající \"]\"");
    EXPECT_EQ(first("začátek jestliže a pak x := 1; JINAK x := 2; konec", false),
              "\";\" nesmí předcházet klíčovému slovu \"JINAK\"");
}

TEST(CompilerMessages, RunErrorsCarryNamesAndCoordinates) {
    auto first = [](const char *src) { return Errors(src, mdRun, false).at(0).Message; };
    EXPECT_EQ(first("začátek x := Neznámá; konec"), "Proměnná \"Neznámá\" není v tuto chvíli definována");
    EXPECT_EQ(first("začátek p[3] := 1; x := P[1, 1 + 1]; konec"),
              "Hodnota pole \"P\" se souřadnicemi [1,2] není v tuto chvíli definována");
    EXPECT_EQ(first("začátek s := 'abc'; s[1, 2] := 'x'; konec"), "Znak na pozici \"1\" neexistuje");
    EXPECT_EQ(first("začátek x := log('a', 2); konec"), "Byly očekávány číselné hodnoty (2)");
}

// An error inside a function argument is reported for the argument, then for the whole
// expression at the function's name.
TEST(CompilerMessages, ErrorInsideFunctionArgumentIsReportedTwice) {
    std::string source;
    int line, column;
    Marked("začátek\n  x := 2 * @sin(y)\n    + 1;\nkonec", source, line, column);
    const auto errors = Errors(source, mdRun, false);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].Code, 3);
    EXPECT_EQ(errors[0].Line, 2);
    EXPECT_EQ(errors[0].Column, 16);
    EXPECT_EQ(errors[1].Code, 9);
    EXPECT_EQ(errors[1].Line, line);
    EXPECT_EQ(errors[1].Column, column);
    // The whole expression, its line break turned into one blank.
    EXPECT_EQ(errors[1].Message, "Chyba při vyhodnocování výrazu: 2 * sin(y)" + std::string(5, ' ') + "+ 1");
}

TEST(CompilerMessages, EvaluatorMessageBecomesErrorNine) {
    const auto errors = Errors("začátek x := 1 / 0; konec", mdRun, false);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Message, "Chyba při vyhodnocování výrazu: Nelze vydělit \"1 / 0\"");
}

// --- Texts that pass the check --------------------------------------------------------------

TEST(CompilerCheck, AcceptsWhatTheGrammarAllows) {
    const char *sources[] = {
        "začátek konec",
        "začátek\nkonec.",
        "začátek x := 1; konec. anything { after } the end",
        "začátek x := 1; konec začátek ( ( ( konec",
        "začátek napiš(1) čti(x) čekej(0) konec",
        "začátek napiš[log(2, 8), ', (]'] ; konec",
        "začátek a[',', '[', 2] := 1; konec",
        "začátek pro i od 1 do 2 opakuj začátek x := i; konec konec",
        "začátek dokud x < 3 opakuj začátek x := x + 1; konec konec",
        "začátek jestliže a pak x := 1 jinak jestliže b pak x := 2 jinak x := 3; konec",
        "ZAČÁTEK Napiš(1); KONEC",
        "začátek napiš(); konec",
        "begin for i := 1 to 3 do write(i); while i > 0 do i := i - 1; end",
    };
    for (const char *src : sources) {
        const bool code = std::string(src).starts_with("begin");
        EXPECT_TRUE(Errors(src, mdControl, code).empty()) << src;
    }
}

TEST(CompilerCheck, CommandLinesHoldEachCommandLineOnce) {
    TAlgorithm a;
    a.Algoritmus = SourceLines("začátek\n  x := 1; y := 2;\n\n  jestliže x pak\n    napiš(x);\nkonec");
    a.SetMode(mdControl);
    a.Execute();
    EXPECT_EQ(a.CommandLines(), (TArrayOfString{"2", "4", "5"}));
    EXPECT_EQ(a.Status(), rsIdle);

    a.Algoritmus = SourceLines("začátek\nkonec");
    a.Execute();
    EXPECT_TRUE(a.CommandLines().empty());

    // A failed check leaves no lines.
    a.Algoritmus = SourceLines("začátek\n  x := 1;\n  y := ;\nkonec");
    a.Execute();
    EXPECT_TRUE(a.CommandLines().empty());
}

TEST(CompilerCheck, CheckAnnouncesNoVariablesAndStaysOnTheCallersThread) {
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    a.Algoritmus = SourceLines(
        "začátek x := 1; a[1] := 2; napiš(x); čti(y); čti(a[2]); čekej(1);\n"
        "  pro i od 1 do 2 opakuj napiš(i); dokud x < 3 opakuj x := x + 1;\n"
        "  jestliže x pak napiš(1) jinak s[1] := 'a';\nkonec");
    r.Inputs = {"1", "2"};
    a.SetMode(mdControl);
    a.Execute();
    EXPECT_EQ(r.Trace, (std::vector<std::string>{"status running", "status idle"}));
    EXPECT_EQ(a.CommandLines(), (TArrayOfString{"1", "2", "3"}));
}

// The check lets the host's events through between commands; a Stop given there (the user
// closes the document) ends the check as failed, without an error and without a reason.
TEST(CompilerCheck, StopFromTheHostsEventsEndsTheCheck) {
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    int calls = 0;
    a.ProcessMessages = [&] {
        if (++calls == 3)
            a.Stop();
    };
    a.Algoritmus = SourceLines("začátek\n  x := 1;\n  x := 2;\n  x := 3;\n  x := 4;\n  x := ;\nkonec");
    a.SetMode(mdControl);
    a.Execute();
    EXPECT_TRUE(r.Errors.empty());
    EXPECT_TRUE(a.CommandLines().empty());
    EXPECT_EQ(a.LastFailure(), "");
    EXPECT_EQ(a.Status(), rsIdle);
}

TEST(CompilerCheck, EmptyTextIsErrorZeroThrownToTheCaller) {
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    for (TMode mode : {mdControl, mdRun}) {
        r.Errors.clear();
        a.Algoritmus = {};
        a.SetMode(mode);
        EXPECT_THROW(a.Execute(), ECatalogueError);
        ASSERT_EQ(r.Errors.size(), 1u);
        EXPECT_EQ(r.Errors[0].Code, 0);
        EXPECT_EQ(r.Errors[0].Line, 1);
        EXPECT_EQ(r.Errors[0].Column, 0);
        EXPECT_EQ(a.Status(), rsIdle);
    }
}

// A body without a command leads the literal reading to position -1; the pass must end as a
// failure outside the catalogue without touching memory outside the text.
TEST(CompilerCheck, BodyWithoutCommandEndsThePassOutsideTheCatalogue) {
    const char *sources[] = {
        "začátek jestliže a pak konec",
        "začátek dokud 1 opakuj konec",
        "začátek pro i od 1 do 2 opakuj konec",
        "začátek jestliže 1 pak x := 1 jinak konec",
    };
    for (const char *src : sources) {
        for (TMode mode : {mdControl, mdRun}) {
            std::string failure;
            EXPECT_TRUE(Errors(src, mode, false, &failure).empty()) << src;
            EXPECT_FALSE(failure.empty()) << src;
        }
    }
}

TEST(CompilerCheck, AbsurdNestingEndsThePassInsteadOfTheStack) {
    std::string ifs = "začátek ";
    std::string reads = "začátek a[1] := 1; x := ";
    // Just past the limit: reading such a text again at every level costs its square.
    for (int i = 0; i < 2100; ++i) {
        ifs += "jestliže 1 pak ";
        reads += "a[";
    }
    ifs += "x := 1; konec";
    reads += "1" + std::string(2100, ']') + "; konec";
    for (const std::string &src : {ifs, reads}) {
        for (TMode mode : {mdControl, mdRun}) {
            std::string failure;
            EXPECT_TRUE(Errors(src, mode, false, &failure).empty());
            EXPECT_EQ(failure, mode == mdControl && src == reads ? "" : "the algorithm is nested too deeply");
        }
    }
}

// A lone LF is no line break: the column runs on through it. A position past the end is
// taken as the last character.
TEST(CompilerPositions, LinesBreakOnlyAtCarriageReturns) {
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    a.Algoritmus = {W("začátek"), "  x := 1;\n  y := ;", W("konec")};
    a.SetMode(mdControl);
    a.Execute();
    a.Algoritmus = {W("začátek"), "  x := 1;"};
    a.Execute();
    ASSERT_EQ(r.Errors.size(), 2u);
    EXPECT_EQ(r.Errors[0].Code, 15);
    EXPECT_EQ(r.Errors[0].Line, 2);
    EXPECT_EQ(r.Errors[0].Column, 17);
    EXPECT_EQ(r.Errors[1].Code, 5);
    EXPECT_EQ(r.Errors[1].Line, 1);
    EXPECT_EQ(r.Errors[1].Column, 1);
}

// The keyword set reports an unclosed literal through the component even outside a pass
// (the formatter and the translation read with it); the position is then one of Algoritmus.
TEST(CompilerPositions, KeyWordHookOutsideAPassReportsAgainstAlgoritmus) {
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    a.Algoritmus = SourceLines("začátek\n  napiš('abc);\nkonec");
    std::string text;
    for (const auto &l : a.Algoritmus)
        text += (text.empty() ? "" : "\r\n") + l;
    int pos = 1;
    for (int i = 0; i < 3; ++i)
        a.KeyWords().ReadWord(text, pos, false);
    EXPECT_THROW(a.KeyWords().ReadWord(text, pos, false), ECatalogueError);
    ASSERT_EQ(r.Errors.size(), 1u);
    EXPECT_EQ(r.Errors[0].Code, 22);
    EXPECT_EQ(r.Errors[0].Line, 2);
    EXPECT_EQ(r.Errors[0].Column, 9);
    EXPECT_EQ(a.Status(), rsIdle);
}

TEST(CompilerCheck, ErrorTextsComeFromTheComponentsSectionOfALanguageFile) {
    const std::string file = testing::TempDir() + "h3_errors.lng";
    {
        FILE *f = fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fputs("[algAlgorithm]\nError.8=Unknown command: \"%s\"\n[other]\nError.2=nope\n", f);
        fclose(f);
    }
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    a.LoadErrorTexts(file);
    a.SetMode(mdControl);
    a.Algoritmus = SourceLines("začátek pak; konec");
    a.Execute();
    a.Algoritmus = SourceLines("začátek x := 1 konec");
    a.Execute();
    ASSERT_EQ(r.Errors.size(), 2u);
    EXPECT_EQ(r.Errors[0].Message, "Unknown command: \"pak\"");
    EXPECT_EQ(r.Errors[1].Message, "Chybí operátor nebo středník");
    ResetErrorMessages();
}

}  // namespace
