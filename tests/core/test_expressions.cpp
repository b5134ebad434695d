// The expression evaluator: reading infix tokens, the postfix conversion, values and kinds of
// results, the expression messages of failed operations, and malformed internal forms.
// Operator codes are Windows-1250 bytes: \xAB "<=", \xBB ">=", \x87 "<>".

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vlm_Encoding.h"
#include "vlm_Errors.h"
#include "vlm_Exceptions.h"
#include "vlm_Expressions.h"
#include "vlm_Utils.h"

namespace {

std::string W(const std::string &utf8) { return Utf8ToCp1250(utf8); }

class BuiltInMessages : public ::testing::Environment {
public:
    void SetUp() override { ResetErrorMessages(); }
};
const auto *const messagesEnvironment = ::testing::AddGlobalTestEnvironment(new BuiltInMessages);

const char *KindName(TValueKind k) {
    static const char *const names[] = {"empty", "int", "real", "text", "bool"};
    return names[k];
}

// ---- Infix tokens and postfix --------------------------------------------------------------

TEST(NextInfixToken, ReadsOneTokenFromTheFront) {
    const struct {
        const char *text;
        bool signAllowed;
        bool operand;
        std::string tokenOrOp;  // the operand, or the operator character
        const char *rest;
    } cases[] = {
        {"  - 5 x", true, true, "-5", " x"},
        {"-.5", true, true, "-.5", ""},
        {"- 5", false, false, "-", " 5"},
        {"-x", true, false, "-", "x"},
        {"+ 5", true, false, " ", "5"},  // the plus goes, the blank after it is read as a blank
        {"+5", true, true, "5", ""},
        {"1.5E-7*2", false, true, "1.5E-7", "*2"},
        {"2-3", false, true, "2", "-3"},
        {"12ab", false, true, "12", "ab"},
        {"'a b'c", true, true, "'a b'", "c"},
        {"\"it's\" x", true, true, "\"it's\"", " x"},
        {"Tx", false, true, "T", "x"},
        {"\xAB 2", true, false, "\xAB", " 2"},
        {"( 1", true, false, "(", " 1"},
        {"\t\r\n", true, false, " ", ""},
        {"", true, false, " ", ""},
    };
    for (const auto &c : cases) {
        std::string_view text = c.text;
        std::string token = "stale";
        char op = '?';
        const bool operand = NextInfixToken(text, c.signAllowed, token, op);
        EXPECT_EQ(operand, c.operand) << c.text;
        EXPECT_EQ(operand ? token : std::string(1, op), c.tokenOrOp) << c.text;
        if (!operand) {
            EXPECT_EQ(token, "") << c.text;
        }
        EXPECT_EQ(std::string(text), c.rest) << c.text;
    }
}

TEST(ToPostfix, OrdersByPriorityFromTheLeft) {
    const struct {
        const char *infix, *postfix;
    } cases[] = {
        {"1 + 2 * 3", "1 2 3 * + "},
        {"! T = F", "T ! F = "},
        {"2 ^ 3 ^ 2", "2 3 ^ 2 ^ "},
        {"( 1 + 2 ) * 3", "1 2 + 3 * "},
        {"- 2 ^ 2", "-2 2 ^ "},
        {"2 * - 3", "2 -3 * "},
        {"5 -3", "5 3 - "},
        {"1 - - 2", "1 -2 - "},
        {"+ 5", "5 "},
        {"3 * + 5", "3 5 * "},
        {"'a b' + 1", "'a b' 1 + "},
        {"1 \xAB 2 | 3 = 4 & F", "1 2 \xAB 3 4 = F & | "},
        {"( ( 1 ) )", "1 "},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ToPostfix(c.infix), c.postfix) << c.infix;
}

TEST(EvaluatePostfix, ReadsPostfixTokens) {
    const struct {
        const char *postfix;
        TValueKind kind;
        const char *text;
    } cases[] = {
        {"1 2 + ", vkReal, "3"},
        {"-5 ", vkReal, "-5"},
        {"'a b' \"c\" + ", vkText, "a bc"},
        {"T ! ", vkBoolean, "False"},
        {"F", vkBoolean, "False"},  // no blank at the very end
        {"2 3", vkReal, "3"},       // the top of the stack is the result
    };
    for (const auto &c : cases) {
        const Value v = EvaluatePostfix(c.postfix);
        EXPECT_EQ(KindName(v.Kind()), std::string(KindName(c.kind))) << c.postfix;
        EXPECT_EQ(ValueToText(v), c.text) << c.postfix;
    }
}

// ---- Values --------------------------------------------------------------------------------

struct ValueCase {
    const char *expression;
    TValueKind kind;
    const char *text;
};

class EvaluateTable : public ::testing::TestWithParam<ValueCase> {};

TEST_P(EvaluateTable, GivesValueOfKind) {
    const ValueCase &c = GetParam();
    Value v;
    ASSERT_NO_THROW(v = EvaluateExpression(c.expression)) << c.expression;
    EXPECT_EQ(KindName(v.Kind()), std::string(KindName(c.kind))) << c.expression;
    EXPECT_EQ(ValueToText(v), c.text) << c.expression;
}

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, EvaluateTable,
    ::testing::Values(
        ValueCase{"1 + 2 * 3", vkReal, "7"}, ValueCase{"( 1 + 2 ) * 3", vkReal, "9"},
        ValueCase{"2 ^ 3 ^ 2", vkReal, "64"}, ValueCase{"- 2 ^ 2", vkReal, "4"},
        ValueCase{"2 * - 3", vkReal, "-6"}, ValueCase{"5 - 3", vkReal, "2"}, ValueCase{"5 -3", vkReal, "2"},
        ValueCase{"5-3", vkReal, "2"}, ValueCase{"+ 5", vkReal, "5"}, ValueCase{"3 * + 5", vkReal, "15"},
        ValueCase{"-.5 * 2", vkReal, "-1"}, ValueCase{"1.5E-7 * 2", vkReal, "3E-7"},
        ValueCase{"  1\t+\r\n2 ", vkReal, "3"}, ValueCase{"0.1 + 0.2", vkReal, "0.3"},
        ValueCase{"1e-400", vkReal, "0"}, ValueCase{"1E-300 * 1E-300", vkReal, "0"},
        ValueCase{"7 / 2", vkReal, "3.5"}, ValueCase{"6 / 3", vkReal, "2"},
        ValueCase{"T + T", vkInteger, "-2"}, ValueCase{"T * 3", vkReal, "-3"}));

INSTANTIATE_TEST_SUITE_P(
    IntegerDivision, EvaluateTable,
    ::testing::Values(
        ValueCase{"7 \\ 2", vkInteger, "3"}, ValueCase{"-7 \\ 2", vkInteger, "-3"},
        ValueCase{"7.9 \\ 2", vkInteger, "3"}, ValueCase{"7 \\ 2.5", vkInteger, "2"},
        ValueCase{"- 7.9 \\ -2", vkInteger, "3"}, ValueCase{"7 # 2", vkReal, "1"},
        ValueCase{"-7 # 2", vkReal, "-1"}, ValueCase{"7.5 # 2", vkReal, "1.5"},
        ValueCase{"7 # 2.5", vkReal, "2"}, ValueCase{"( 7 \\ 1 ) # ( 2 \\ 1 )", vkInteger, "1"},
        ValueCase{"( 7 \\ 1 ) + ( 2 \\ 1 )", vkInteger, "9"}, ValueCase{"( 7 \\ 1 ) + 2", vkReal, "9"},
        ValueCase{"( 7 \\ 1 ) * ( 2 \\ 1 ) - ( 1 \\ 1 )", vkInteger, "13"},
        // Exact where a real division would round: 4611686018427387905 / 3.
        ValueCase{"( 2 ^ 62 \\ 1 + 1 \\ 1 ) \\ 3", vkInteger, "1537228672809129301"},
        // Integer overflow goes on in real arithmetic.
        ValueCase{"2 ^ 62 \\ 1 * ( 2 \\ 1 )", vkReal, "9.22337203685478E18"},
        ValueCase{"( -2 ^ 63 \\ 1 ) \\ ( -1 \\ 1 )", vkReal, "9.22337203685478E18"},
        ValueCase{"( -2 ^ 63 \\ 1 ) - ( 1 \\ 1 )", vkReal, "-9.22337203685478E18"},
        ValueCase{"1E20 \\ 3", vkReal, "3.33333333333333E19"}));

INSTANTIATE_TEST_SUITE_P(
    Power, EvaluateTable,
    ::testing::Values(ValueCase{"0 ^ 0", vkReal, "1"}, ValueCase{"( -2 ) ^ 3", vkReal, "-8"},
                      ValueCase{"( -2 ) ^ -2", vkReal, "0.25"}, ValueCase{"2 ^ -1", vkReal, "0.5"},
                      ValueCase{"2 ^ 0.5", vkReal, "1.4142135623731"}, ValueCase{"0 ^ 2.5", vkReal, "0"},
                      ValueCase{"10 ^ -400", vkReal, "0"}, ValueCase{"( -1 ) ^ 2147483647", vkReal, "-1"},
                      ValueCase{"'2' ^ '10'", vkReal, "1024"}));

INSTANTIATE_TEST_SUITE_P(
    Texts, EvaluateTable,
    ::testing::Values(ValueCase{"'a' + 1", vkText, "a1"}, ValueCase{"1 + 'a'", vkText, "1a"},
                      ValueCase{"'a' + T", vkText, "aTrue"}, ValueCase{"F + 'a'", vkText, "Falsea"},
                      ValueCase{"'x' + 0.5", vkText, "x0.5"}, ValueCase{"'x' + 1E20", vkText, "x1E20"},
                      ValueCase{"'' + ''", vkText, ""}, ValueCase{"'a b' + \"c'd\"", vkText, "a bc'd"},
                      ValueCase{"'3' * '4'", vkReal, "12"}, ValueCase{"'3' - 1", vkReal, "2"},
                      ValueCase{"' 2.5 ' * 2", vkReal, "5"}, ValueCase{"'1e1' / 4", vkReal, "2.5"}));

INSTANTIATE_TEST_SUITE_P(
    Comparisons, EvaluateTable,
    ::testing::Values(
        ValueCase{"0.1 + 0.2 = 0.3", vkBoolean, "False"}, ValueCase{"1 = '1'", vkBoolean, "True"},
        ValueCase{"1 = '1.0'", vkBoolean, "False"}, ValueCase{"1 \x87 '1.0'", vkBoolean, "True"},
        ValueCase{"'abc' < 'abd'", vkBoolean, "True"}, ValueCase{"'ab' < 'abc'", vkBoolean, "True"},
        ValueCase{"'B' < 'a'", vkBoolean, "True"}, ValueCase{"'a' = 'A'", vkBoolean, "False"},
        ValueCase{"'\xE8' > 'z'", vkBoolean, "True"},  // bytes compare unsigned: "č" is 0xE8
        ValueCase{"T \xAB F", vkBoolean, "False"}, ValueCase{"T \xBB F", vkBoolean, "True"},
        ValueCase{"1 \x87 1", vkBoolean, "False"}, ValueCase{"F < T", vkBoolean, "True"},
        ValueCase{"'10' < 9", vkBoolean, "False"}, ValueCase{"9 < '10'", vkBoolean, "True"},
        ValueCase{"'10' \xBB 10", vkBoolean, "True"}, ValueCase{"T = -1", vkBoolean, "True"},
        ValueCase{"F < 1", vkBoolean, "True"}, ValueCase{"T < 0", vkBoolean, "True"},
        ValueCase{"T = 'True'", vkBoolean, "True"}, ValueCase{"T = 'true'", vkBoolean, "False"},
        ValueCase{"T \x87 'true'", vkBoolean, "True"}, ValueCase{"'true' > F", vkBoolean, "True"},
        ValueCase{"'0' < T", vkBoolean, "True"},
        // Integers against reals compare exactly: 2^53 + 1 is not the real 2^53.
        ValueCase{"2 ^ 53 \\ 1 + 1 \\ 1 > 2 ^ 53", vkBoolean, "True"},
        ValueCase{"2 ^ 53 < 2 ^ 53 \\ 1 + 1 \\ 1", vkBoolean, "True"},
        ValueCase{"7 \\ 2 < 3.5", vkBoolean, "True"}, ValueCase{"-7 \\ 2 > -3.5", vkBoolean, "True"},
        ValueCase{"7 \\ 2 = 3", vkBoolean, "True"}, ValueCase{"2 ^ 63 > 2 ^ 62 \\ 1", vkBoolean, "True"}));

INSTANTIATE_TEST_SUITE_P(
    Logic, EvaluateTable,
    ::testing::Values(ValueCase{"! T", vkBoolean, "False"}, ValueCase{"! 0", vkBoolean, "True"},
                      ValueCase{"! 0.5", vkBoolean, "False"}, ValueCase{"! 'FALSE'", vkBoolean, "True"},
                      ValueCase{"! '2.5'", vkBoolean, "False"}, ValueCase{"! T = F", vkBoolean, "True"},
                      ValueCase{"F & 'x'", vkBoolean, "False"}, ValueCase{"T | 'x'", vkBoolean, "True"},
                      ValueCase{"T & 1", vkBoolean, "True"}, ValueCase{"0 | 'tRuE'", vkBoolean, "True"},
                      ValueCase{"T & F | T", vkBoolean, "True"}, ValueCase{"1 < 2 & 2 < 3", vkBoolean, "True"}));

TEST(EvaluateExpression, CzechTextsPassThroughUnchanged) {
    const Value v = EvaluateExpression(W("'Žluťoučký ' + \"kůň\""));
    ASSERT_TRUE(v.IsText());
    EXPECT_EQ(v.AsText(), W("Žluťoučký kůň"));
    EXPECT_EQ(EvaluateExpression(W("'č' = 'Č'")), Value(false));
}

// ---- Failures of operations ----------------------------------------------------------------

struct FailureCase {
    const char *expression;
    int message;
    TArrayOfString args;
};

class FailureTable : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailureTable, FailsWithTheOperatorsMessage) {
    const FailureCase &c = GetParam();
    try {
        EvaluateExpression(c.expression);
        FAIL() << c.expression << " did not fail";
    } catch (const EPlainError &e) {
        EXPECT_EQ(std::string(e.what()), FormatExpressionMessage(c.message, c.args)) << c.expression;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FailureTable,
    ::testing::Values(
        FailureCase{"1 / 0", 3, {"1", "0"}}, FailureCase{"0 / 0", 3, {"0", "0"}},
        FailureCase{"1 \\ 0", 4, {"1", "0"}}, FailureCase{"1 \\ 0.0", 4, {"1", "0"}},
        FailureCase{"1 # 0", 5, {"1", "0"}}, FailureCase{"! 'x'", 6, {"x"}},
        FailureCase{"T & 'x'", 8, {"True", "x"}}, FailureCase{"'x' & T", 8, {"x", "True"}},
        FailureCase{"F | 'x'", 9, {"False", "x"}}, FailureCase{"'' | T", 9, {"", "True"}},
        FailureCase{"( -8 ) ^ 0.5", 7, {"-8", "0.5"}}, FailureCase{"0 ^ -1", 7, {"0", "-1"}},
        FailureCase{"10 ^ 400", 7, {"10", "400"}}, FailureCase{"'a' ^ 2", 7, {"a", "2"}},
        FailureCase{"1E400", 11, {"1E400"}}, FailureCase{"- 1E999 + 1", 11, {"-1E999"}},
        FailureCase{"1E", 11, {"1E"}}, FailureCase{"1.2.3 + 1", 11, {"1.2.3"}},
        FailureCase{"1 < 'x'", 10, {"1", "<", "x"}}, FailureCase{"'x' \xBB 1", 10, {"x", ">=", "1"}},
        FailureCase{"1.5 \xAB 'x'", 10, {"1.5", "<=", "x"}}, FailureCase{"T > 'maybe'", 10, {"True", ">", "maybe"}},
        FailureCase{"'a' * 2", 1, {"a", "2"}}, FailureCase{"'a' - 2", 2, {"a", "2"}},
        FailureCase{"1E308 * 10", 1, {"1E308", "10"}}, FailureCase{"1E308 + 1E308", 0, {"1E308", "1E308"}},
        FailureCase{"- 1E308 - 1E308", 2, {"-1E308", "1E308"}}, FailureCase{"1E308 / 0.1", 3, {"1E308", "0.1"}},
        FailureCase{"1E300 \\ 1E-300", 4, {"1E300", "1E-300"}},
        FailureCase{"1E300 # 1E-300", 5, {"1E300", "1E-300"}}));

TEST(EvaluateExpression, MessagesAreTheCatalogueTexts) {
    try {
        EvaluateExpression("1 / 0");
        FAIL();
    } catch (const EPlainError &e) {
        EXPECT_EQ(std::string(e.what()), W("Nelze vydělit \"1 / 0\""));
    }
    try {
        EvaluateExpression("1 < 'x'");
        FAIL();
    } catch (const EPlainError &e) {
        EXPECT_EQ(std::string(e.what()), W("Nelze porovnat hodnoty \"1 < x\""));
    }
}

TEST(EvaluateExpression, ReplacedMessageTemplatesAreUsedAndCannotCrash) {
    ExpressionErrorMessages[3] = "cannot divide %s by %s";
    ExpressionErrorMessages[4] = "%s %s %s %s";  // asks for more than it gets
    std::string first, second;
    try { EvaluateExpression("1 / 0"); } catch (const EPlainError &e) { first = e.what(); }
    EXPECT_THROW(EvaluateExpression("1 \\ 0"), EPlainError);
    ResetErrorMessages();
    EXPECT_EQ(first, "cannot divide 1 by 0");
}

// ---- Malformed internal forms --------------------------------------------------------------

TEST(EvaluateExpression, MalformedFormsFailWithAPlainError) {
    const char *const infix[] = {"",      "   ",     "+",     "1 +",         "!",           "( 1",
                                 "1 )",   "( 1 ) )", "( )",   "1 + ( 2 * 3", "'abc",        "1 + \"x",
                                 "1 + 'x\" + 2",     "- ",    "*  *",        "( ( ( 1 ) )"};
    for (const char *text : infix)
        EXPECT_THROW(EvaluateExpression(text), EPlainError) << text;

    const char *const postfix[] = {"", "+ ", "1 + ", "1 ( ", "1 2 ~ ", "'x ", "\"x' ", "! "};
    for (const char *text : postfix)
        EXPECT_THROW(EvaluatePostfix(text), EPlainError) << text;
}

} // namespace
