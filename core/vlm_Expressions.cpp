// The expression evaluator. Order: the operator table, reading infix tokens and the infix to
// postfix conversion, reading postfix tokens, operand conversions, the arithmetic and
// comparison rules, and the postfix evaluation that ties them together.

#include "vlm_Expressions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "vlm_Encoding.h"
#include "vlm_Errors.h"
#include "vlm_Exceptions.h"
#include "vlm_Utils.h"

namespace {

// Priority of every byte: 0 for bytes that are not operator codes.
constexpr std::array<unsigned char, 256> MakePriorities() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; OperatorCodes[i] != '\0'; ++i)
        table[static_cast<unsigned char>(OperatorCodes[i])] =
            static_cast<unsigned char>(OperatorPriorities[i] - '0');
    return table;
}
constexpr std::array<unsigned char, 256> Priorities = MakePriorities();

int Priority(char c) { return Priorities[static_cast<unsigned char>(c)]; }
bool IsOperatorCode(char c) { return Priority(c) != 0; }

constexpr char OpNot = '!', OpPower = '^', OpMul = '*', OpDiv = '/', OpIntDiv = '\\', OpMod = '#',
               OpSub = '-', OpAdd = '+', OpLessEq = '\xAB', OpGreaterEq = '\xBB', OpNotEqual = '\x87',
               OpLess = '<', OpGreater = '>', OpEqual = '=', OpAnd = '&', OpOr = '|';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNumberStart(char c) { return IsDigit(c) || c == '.'; }

// Thrown inside an operation; turned into the operator's expression message by the caller,
// which knows the operands.
struct EOperationFailed {};

[[noreturn]] void Fail() { throw EOperationFailed{}; }

void SkipControls(std::string_view &text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32)
        ++i;
    text.remove_prefix(i);
}

// ---- Operand conversions -------------------------------------------------------------------

// A number as the rules see it: an integer or a real.
struct Number {
    bool isInt;
    int64_t i;
    double r;
    double Real() const { return isInt ? static_cast<double>(i) : r; }
};

Number IntNumber(int64_t v) { return {true, v, 0.0}; }
Number RealNumber(double v) { return {false, 0, v}; }

Number ToNumber(const Value &v) {
    switch (v.Kind()) {
    case vkInteger: return IntNumber(v.AsInteger());
    case vkReal: return RealNumber(v.AsReal());
    case vkBoolean: return IntNumber(v.AsBoolean() ? -1 : 0);
    case vkText: {
        double r;
        if (TextToReal(v.AsText(), r))
            return RealNumber(r);
        Fail();
    }
    default: Fail();
    }
}

bool ToBoolean(const Value &v) {
    switch (v.Kind()) {
    case vkBoolean: return v.AsBoolean();
    case vkInteger: return v.AsInteger() != 0;
    case vkReal: return v.AsReal() != 0.0;
    case vkText: {
        const std::string lower = LowerCase1250(v.AsText());
        if (lower == "true")
            return true;
        if (lower == "false")
            return false;
        double r;
        if (TextToReal(v.AsText(), r))
            return r != 0.0;
        Fail();
    }
    default: Fail();
    }
}

Value FromNumber(const Number &n) { return n.isInt ? Value(n.i) : Value(n.r); }

double Finite(double r) {
    if (!std::isfinite(r))
        Fail();
    return r;
}

// ---- Arithmetic ----------------------------------------------------------------------------
// Integer arithmetic that would overflow goes on in real arithmetic.

constexpr double TwoPow63 = 9223372036854775808.0;

bool FitsInt64(double r) { return r >= -TwoPow63 && r < TwoPow63; }

Number Add(const Number &b, const Number &a) {
    int64_t res;
    if (b.isInt && a.isInt && !__builtin_add_overflow(b.i, a.i, &res))
        return IntNumber(res);
    return RealNumber(Finite(b.Real() + a.Real()));
}

Number Subtract(const Number &b, const Number &a) {
    int64_t res;
    if (b.isInt && a.isInt && !__builtin_sub_overflow(b.i, a.i, &res))
        return IntNumber(res);
    return RealNumber(Finite(b.Real() - a.Real()));
}

Number Multiply(const Number &b, const Number &a) {
    int64_t res;
    if (b.isInt && a.isInt && !__builtin_mul_overflow(b.i, a.i, &res))
        return IntNumber(res);
    return RealNumber(Finite(b.Real() * a.Real()));
}

Number Divide(const Number &b, const Number &a) {
    if (a.Real() == 0.0)
        Fail();
    return RealNumber(Finite(b.Real() / a.Real()));
}

// B truncated toward zero, divided by A, the quotient truncated toward zero. When both are
// whole numbers within 64 bits the division is done exactly in integers, which gives what
// the real division would give wherever that division is exact, and the true quotient
// where it would round.
Number IntDivide(const Number &b, const Number &a) {
    const double divisor = a.Real();
    if (divisor == 0.0)
        Fail();
    Number bt = b.isInt ? b : RealNumber(std::trunc(b.r));
    if (!bt.isInt && FitsInt64(bt.r))
        bt = IntNumber(static_cast<int64_t>(bt.r));

    const bool wholeDivisor = a.isInt || (std::trunc(a.r) == a.r && FitsInt64(a.r));
    if (bt.isInt && wholeDivisor) {
        const int64_t d = a.isInt ? a.i : static_cast<int64_t>(a.r);
        if (!(bt.i == std::numeric_limits<int64_t>::min() && d == -1))
            return IntNumber(bt.i / d);
    }
    const double q = std::trunc(Finite(bt.Real() / divisor));
    if (FitsInt64(q))
        return IntNumber(static_cast<int64_t>(q));
    return RealNumber(q);
}

// B - t * A with t = B \ A: B keeps its fraction, and the result is an integer only when both
// operands are.
Number Remainder(const Number &b, const Number &a) {
    const Number t = IntDivide(b, a);
    return Subtract(b, Multiply(t, a));
}

Number Power(const Number &b, const Number &a) {
    const double base = b.Real(), exponent = a.Real();
    if (exponent == 0.0)
        return RealNumber(1.0);
    if (base == 0.0) {
        if (exponent > 0.0)
            return RealNumber(0.0);
        Fail();  // a zero base with a negative exponent
    }
    // A whole exponent within 32 bits is a repeated product, so a negative base works; pow
    // computes that product with a single rounding.
    if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0)
        return RealNumber(Finite(std::pow(base, exponent)));
    if (base < 0.0)
        Fail();  // the logarithm of a negative base
    return RealNumber(Finite(std::pow(base, exponent)));
}

// ---- Comparisons ---------------------------------------------------------------------------

// Compares an integer with a real exactly, without rounding the integer to a double.
int CompareIntReal(int64_t i, double r) {
    if (r >= TwoPow63)
        return -1;
    if (r < -TwoPow63)
        return 1;
    const double whole = std::trunc(r);
    const auto w = static_cast<int64_t>(whole);
    if (i != w)
        return i < w ? -1 : 1;
    const double fraction = r - whole;
    return fraction > 0 ? -1 : fraction < 0 ? 1 : 0;
}

int CompareNumbers(const Number &b, const Number &a) {
    if (b.isInt && a.isInt)
        return b.i < a.i ? -1 : b.i > a.i ? 1 : 0;
    if (b.isInt)
        return CompareIntReal(b.i, a.r);
    if (a.isInt)
        return -CompareIntReal(a.i, b.r);
    return b.r < a.r ? -1 : b.r > a.r ? 1 : 0;
}

int CompareBooleans(bool b, bool a) { return int(b) - int(a); }

// By the rules of kinds: text meets text byte by byte; a text meets a number as a number and
// a boolean as a boolean; a boolean meets a number as -1 or 0. For "=" and "<>" a mixed text
// pair never arrives here, because the other operand was already turned into text.
int Compare(const Value &b, const Value &a) {
    if (b.IsText() && a.IsText()) {
        const int c = b.AsText().compare(a.AsText());  // char_traits<char> compares unsigned bytes
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (b.IsBoolean() && a.IsBoolean())
        return CompareBooleans(b.AsBoolean(), a.AsBoolean());
    if ((b.IsBoolean() && a.IsText()) || (b.IsText() && a.IsBoolean()))
        return CompareBooleans(ToBoolean(b), ToBoolean(a));
    return CompareNumbers(ToNumber(b), ToNumber(a));
}

const char *ComparisonSource(char op) {
    switch (op) {
    case OpLessEq: return "<=";
    case OpGreaterEq: return ">=";
    case OpNotEqual: return "<>";
    case OpLess: return "<";
    case OpGreater: return ">";
    default: return "=";
    }
}

int MessageIndex(char op) {
    switch (op) {
    case OpAdd: return 0;
    case OpMul: return 1;
    case OpSub: return 2;
    case OpDiv: return 3;
    case OpIntDiv: return 4;
    case OpMod: return 5;
    case OpNot: return 6;
    case OpPower: return 7;
    case OpAnd: return 8;
    case OpOr: return 9;
    default: return 10;  // the comparisons
    }
}

// ---- One operation -------------------------------------------------------------------------

Value Apply(char op, Value &b, Value &a) {
    switch (op) {
    case OpNot: return Value(!ToBoolean(a));
    case OpAnd: return Value(ToBoolean(b) && ToBoolean(a));  // A is not converted when B is false
    case OpOr: return Value(ToBoolean(b) || ToBoolean(a));
    case OpAdd:
        if (b.IsText() && a.IsText()) {
            std::string &sum = std::get<std::string>(b.data);
            sum += a.AsText();
            return Value(std::move(sum));
        }
        return FromNumber(Add(ToNumber(b), ToNumber(a)));
    case OpSub: return FromNumber(Subtract(ToNumber(b), ToNumber(a)));
    case OpMul: return FromNumber(Multiply(ToNumber(b), ToNumber(a)));
    case OpDiv: return FromNumber(Divide(ToNumber(b), ToNumber(a)));
    case OpIntDiv: return FromNumber(IntDivide(ToNumber(b), ToNumber(a)));
    case OpMod: return FromNumber(Remainder(ToNumber(b), ToNumber(a)));
    case OpPower: return FromNumber(Power(ToNumber(b), ToNumber(a)));
    default: break;
    }
    const int c = Compare(b, a);
    switch (op) {
    case OpLessEq: return Value(c <= 0);
    case OpGreaterEq: return Value(c >= 0);
    case OpNotEqual: return Value(c != 0);
    case OpLess: return Value(c < 0);
    case OpGreater: return Value(c > 0);
    default: return Value(c == 0);
    }
}

[[noreturn]] void FailOperation(char op, const Value &b, const Value &a) {
    TArrayOfString args;
    if (op == OpNot)
        args = {ValueToText(a)};
    else if (MessageIndex(op) == 10)
        args = {ValueToText(b), ComparisonSource(op), ValueToText(a)};
    else
        args = {ValueToText(b), ValueToText(a)};
    throw EPlainError(FormatExpressionMessage(MessageIndex(op), args));
}

Value Pop(std::vector<Value> &stack, char op) {
    if (stack.empty())
        throw EPlainError(std::string("Malformed expression: too few operands for operator \"") + op + "\"");
    Value v = std::move(stack.back());
    stack.pop_back();
    return v;
}

} // namespace

// ---- Infix ---------------------------------------------------------------------------------

bool NextInfixToken(std::string_view &text, bool signAllowed, std::string &token, char &op) {
    op = ' ';
    token.clear();
    SkipControls(text);
    if (text.empty())
        return false;

    if (signAllowed && (text[0] == '+' || text[0] == '-')) {
        size_t i = 1;
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i < text.size() && IsNumberStart(text[i])) {
            if (text[0] == '-') {
                text.remove_prefix(i);
                std::string number;
                char ignored;
                NextInfixToken(text, false, number, ignored);
                token = "-" + number;
                return true;
            }
            text.remove_prefix(1);  // a plus sign in front of a number is dropped
            if (text.empty())
                return false;
        }
    }

    const char c = text[0];
    if (IsNumberStart(c)) {
        size_t i = 1;
        while (i < text.size()) {
            const char d = text[i];
            if (IsNumberStart(d) || d == 'E' || d == 'e' || (d == '-' && (text[i - 1] == 'E' || text[i - 1] == 'e')))
                ++i;
            else
                break;
        }
        token.assign(text.substr(0, i));
        text.remove_prefix(i);
        return true;
    }
    if (c == 'T' || c == 'F') {
        token.assign(1, c);
        text.remove_prefix(1);
        return true;
    }
    if (c == '\'' || c == '"') {
        const size_t close = text.find(c, 1);
        if (close == std::string_view::npos)
            throw EPlainError("Malformed expression: unclosed string literal");
        token.assign(text.substr(0, close + 1));
        text.remove_prefix(close + 1);
        return true;
    }
    op = c;
    text.remove_prefix(1);
    return false;
}

std::string ToPostfix(std::string_view text) {
    std::string output;
    output.reserve(text.size() + 8);
    std::string stack;  // the operator stack, top at the back
    std::string token;
    char op;
    bool signAllowed = true;

    while (!text.empty()) {
        if (NextInfixToken(text, signAllowed, token, op)) {
            output += token;
            output += ' ';
            signAllowed = false;
            continue;
        }
        if (IsOperatorCode(op)) {
            // Equal priorities group from the left, "^" and "!" included.
            while (!stack.empty() && IsOperatorCode(stack.back()) && Priority(stack.back()) <= Priority(op)) {
                output += stack.back();
                output += ' ';
                stack.pop_back();
            }
            stack += op;
        } else if (op == '(') {
            stack += op;
        } else if (op == ')') {
            while (!stack.empty() && stack.back() != '(') {
                output += stack.back();
                output += ' ';
                stack.pop_back();
            }
            if (stack.empty())
                throw EPlainError("Malformed expression: \")\" without \"(\"");
            stack.pop_back();
        }
        // Anything else (the blank left by a dropped plus sign) is ignored.
        signAllowed = IsOperatorCode(op) || op == '(';
    }

    while (!stack.empty()) {
        if (stack.back() == '(')
            throw EPlainError("Malformed expression: \"(\" without \")\"");
        output += stack.back();
        output += ' ';
        stack.pop_back();
    }
    return output;
}

// ---- Postfix -------------------------------------------------------------------------------

bool NextPostfixToken(std::string_view &text, Value &operand, char &op) {
    op = ' ';
    SkipControls(text);
    if (text.empty())
        return false;

    const char c = text[0];
    if (IsNumberStart(c) || (c == '-' && text.size() > 1 && IsNumberStart(text[1]))) {
        const size_t blank = text.find(' ');
        const std::string number(text.substr(0, blank));
        text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
        double r;
        if (!TextToReal(number, r))
            throw EPlainError(FormatExpressionMessage(11, {number}));
        operand = Value(r);
        return true;
    }
    if (c == '\'' || c == '"') {
        const size_t close = text.find(c, 1);
        if (close == std::string_view::npos)
            throw EPlainError("Malformed expression: unclosed string literal");
        operand = Value(std::string(text.substr(1, close - 1)));
        text.remove_prefix(std::min(close + 2, text.size()));
        return true;
    }
    if (c == 'T' || c == 'F') {
        operand = Value(c == 'T');
        text.remove_prefix(std::min<size_t>(2, text.size()));
        return true;
    }
    op = c;
    text.remove_prefix(std::min<size_t>(2, text.size()));
    return false;
}

Value EvaluatePostfix(std::string_view postfix) {
    std::vector<Value> stack;
    stack.reserve(8);
    Value operand;
    char op;

    while (!postfix.empty()) {
        if (NextPostfixToken(postfix, operand, op)) {
            stack.push_back(std::move(operand));
            continue;
        }
        if (op == ' ')
            continue;  // only blanks were left
        if (!IsOperatorCode(op))
            throw EPlainError(std::string("Malformed expression: unknown operator \"") + op + "\"");

        Value a = Pop(stack, op);
        Value b = op == OpNot ? Value() : Pop(stack, op);
        // For "+", "=" and "<>" a text meets anything else as text.
        if ((op == OpAdd || op == OpEqual || op == OpNotEqual) && (a.IsText() != b.IsText())) {
            if (a.IsText())
                b = Value(ValueToText(b));
            else
                a = Value(ValueToText(a));
        }
        try {
            stack.push_back(Apply(op, b, a));
        } catch (const EOperationFailed &) {
            FailOperation(op, b, a);
        }
    }

    if (stack.empty())
        throw EPlainError("Malformed expression: empty expression");
    return std::move(stack.back());
}

Value EvaluateExpression(std::string_view text) { return EvaluatePostfix(ToPostfix(text)); }
