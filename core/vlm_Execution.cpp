// Running commands. ExecuteRange reads each command again with ParseCommand whenever it comes
// to it; Evaluate turns an expression of the source into the evaluator's internal form by
// replacing variables, elements, constants and function calls with the texts of their values.
// Order: value conversions, expressions and functions, coordinates and read, the commands.

#include <cmath>
#include <limits>

#include "vlm_AlgorithmImpl.h"
#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_Expressions.h"
#include "vlm_Utils.h"

namespace {

// --- Conversions used by conditions, bounds, functions and sleep ----------------------------

std::string Shown(const Value &value) { return ValueToText(value); }

// A text as a number, or nothing.
bool TextAsNumber(const std::string &text, Value &number) {
    try {
        number = NormalizeValue(Value(text));
    } catch (const EConvertError &) {
        return false;
    }
    return number.IsNumber();
}

bool TruthOfCondition(const Value &value) {
    switch (value.Kind()) {
    case vkEmpty: return false;
    case vkBoolean: return value.AsBoolean();
    case vkInteger: return value.AsInteger() != 0;
    case vkReal: return value.AsReal() != 0.0;
    case vkText: {
        const std::string lower = LowerCase1250(value.AsText());
        if (lower == "true")
            return true;
        if (lower == "false")
            return false;
        Value number;
        if (TextAsNumber(value.AsText(), number))
            return TruthOfCondition(number);
        break;
    }
    }
    throw EPassFailure("the condition's value '" + Shown(value) + "' is neither a truth value nor a number");
}

// Rounds halves to even; false when the value is no number or lies outside 32 bits.
bool ToInt32(const Value &value, int64_t &result) {
    switch (value.Kind()) {
    case vkEmpty: result = 0; return true;
    case vkBoolean: result = value.AsBoolean() ? -1 : 0; return true;
    case vkInteger: result = value.AsInteger(); break;
    case vkReal: {
        const double r = std::nearbyint(value.AsReal());
        if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0)
            return false;
        result = static_cast<int64_t>(r);
        break;
    }
    case vkText: {
        Value number;
        return TextAsNumber(value.AsText(), number) && ToInt32(number, result);
    }
    }
    return result >= std::numeric_limits<int32_t>::min() && result <= std::numeric_limits<int32_t>::max();
}

int64_t LoopBound(const Value &value) {
    int64_t result;
    if (ToInt32(value, result))
        return result;
    Value number;
    if (value.IsNumber() || (value.IsText() && TextAsNumber(value.AsText(), number)))
        throw EPassFailure("the loop bound " + Shown(value) + " lies outside the 32-bit range");
    throw EPassFailure("the loop bound '" + Shown(value) + "' is not a number");
}

// ValueToText, with a shortcut for whole reals below 1E15, whose text is their digits.
std::string TextOfValue(const Value &value) {
    if (value.IsReal()) {
        const double r = value.AsReal();
        if (r != 0 && r == std::floor(r) && std::fabs(r) < 1e15)
            return std::to_string(static_cast<int64_t>(r));
    } else if (value.IsInteger()) {
        return std::to_string(value.AsInteger());
    }
    return ValueToText(value);
}

struct EFunctionFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

double RealArgument(const Value &value) {
    if (value.IsInteger())
        return static_cast<double>(value.AsInteger());
    if (value.IsReal())
        return value.AsReal();
    Value number;
    if (value.IsText() && TextAsNumber(value.AsText(), number))
        return RealArgument(number);
    throw EFunctionFailure("not a number");
}

std::string RealResult(double r) {
    if (!std::isfinite(r))
        throw EFunctionFailure("no finite result");
    return ValueToText(Value(r));
}

std::string WithoutLineBreaks(const std::string &text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += ' ';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

const char *EvaluatorCode(TWordKind kind) {
    switch (kind) {
    case wkTrue: return "T";
    case wkFalse: return "F";
    case wkAnd: return "&";
    case wkOr: return "|";
    case wkNot: return "!";
    case wkDiv: return "\\";
    case wkMod: return "#";
    default: return nullptr;
    }
}

}  // namespace

// --- Expressions ----------------------------------------------------------------------------

namespace {

// A built-in function call at the word `name` of `text`; `pos` stands after the name and
// moves past the closing bracket. Returns the text of the result.
[[gnu::noinline]] std::string CallFunction(TAlgorithmImpl &a, const std::string &text, int reference,
                                          const std::string &name, int &pos, int namePos) {
    const int base = reference - 1;
    int argStart = pos;
    int argEnd = 0;
    const std::string argument = a.FindClosingBracket(text, base, argStart, argEnd);
    pos = argEnd;
    ReadWordAt(a.FKeyWords, text, pos, base);  // the closing bracket
    const int argRef = base + argStart;
    const std::string lower = LowerCase1250(name);
    try {
        if (lower == "log") {
            std::vector<Value> values;
            for (const TArgumentPart &part : a.SplitArguments(argument, argRef))
                values.push_back(a.Evaluate(part.Text, part.Position));
            if (values.size() != 2 || !values[0].IsNumber() || !values[1].IsNumber())
                a.RaiseError(21, {"2"}, namePos);
            const double base = RealArgument(values[0]);
            const double x = RealArgument(values[1]);
            if (base <= 0 || x <= 0 || base == 1)
                throw EFunctionFailure("logarithm undefined");
            return RealResult(std::log(x) / std::log(base));
        }
        const Value value = a.Evaluate(argument, argRef);
        if (lower == "length")
            return std::to_string(ValueToText(value).size());
        if (lower == "ord") {
            const std::string s = ValueToText(value);
            if (s.empty())
                throw EFunctionFailure("ord of an empty text");
            return std::to_string(static_cast<unsigned char>(s[0]));
        }
        if (lower == "chr") {
            int64_t code;
            if (!ToInt32(value, code))
                throw EFunctionFailure("no character code");
            return "'" + std::string(1, static_cast<char>(((code % 256) + 256) % 256)) + "'";
        }
        const double r = RealArgument(value);
        if (lower == "sin")
            return RealResult(std::sin(r));
        if (lower == "cos")
            return RealResult(std::cos(r));
        if (lower == "tan")
            return RealResult(std::tan(r));
        if (lower == "cot") {
            const double t = std::tan(r);
            if (t == 0)
                throw EFunctionFailure("cotangent of zero");
            return RealResult(1.0 / t);
        }
        throw EFunctionFailure("unknown function");
    } catch (const EPassFailure &) {
        throw;
    } catch (const std::exception &) {
        // Also after an error already reported for the argument: the user then sees both.
        a.RaiseError(9, {WithoutLineBreaks(text)}, namePos);
    }
}

// Evaluate, EvaluateCoordinates and GetElement recurse once per nesting level of elements in
// coordinates; what only some words need is kept out of line so their frames stay small.

[[noreturn]] [[gnu::noinline]] void Raise(TAlgorithmImpl &a, int code, int position) {
    a.RaiseError(code, {}, position);
}

[[noreturn]] [[gnu::noinline]] void Raise(TAlgorithmImpl &a, int code, const std::string &argument, int position) {
    a.RaiseError(code, {argument}, position);
}

// The text of a constant (pi, exp, random).
[[gnu::noinline]] std::string ConstantText(const std::string &word, std::mt19937_64 &random) {
    const std::string lower = LowerCase1250(word);
    if (lower == "pi")
        return ValueToText(Value(3.14159265358979323846));
    if (lower == "exp")
        return ValueToText(Value(std::exp(1.0)));
    std::uniform_int_distribution<int64_t> draw(0, 2147483646);
    return ValueToText(Value(static_cast<double>(draw(random)) / 2147483647.0));
}

// The text of a relational operator for the evaluator.
const char *RelationCode(const std::string &word) {
    return word == "<=" ? "\xAB" : word == ">=" ? "\xBB" : word == "<>" ? "\x87" : word.c_str();
}

[[gnu::noinline]] Value EvaluatorResult(TAlgorithmImpl &a, const std::string &out, int reference) {
    try {
        return EvaluateExpression(out);
    } catch (const EPlainError &e) {
        Raise(a, 9, e.what(), reference);
    } catch (const EConvertError &e) {
        Raise(a, 9, e.what(), reference);
    }
}

}  // namespace

// The text of the variable or element named by the identifier `word` of `text`; `p` stands
// after the word and moves past the "]" of an element.
std::string TAlgorithmImpl::IdentifierText(const std::string &text, int reference, const std::string &word, int &p,
                                           int src) {
    const int base = reference - 1;
    const int length = static_cast<int>(text.size());
    Value value;
    int q = p;
    if (IsWord(ReadWordAt(FKeyWords, text, q, base), '[')) {
        // Brackets counted character by character, as far as the text goes.
        int depth = 1;
        int close = q;
        while (close <= length) {
            const char c = text[close - 1];
            if (c == '[')
                ++depth;
            else if (c == ']' && --depth == 0)
                break;
            ++close;
        }
        GetElement(word, text.substr(q - 1, std::max(0, std::min(close, length + 1) - q)), base + q, true, true,
                   value);
        p = std::min(close, length) + 1;
    } else {
        GetVariable(word, src, value, true, true);
    }
    return TextOfValue(value);
}

Value TAlgorithmImpl::Evaluate(const std::string &text, int reference) {
    const TNesting nesting(*this);
    CheckExpression(text, reference);
    const int base = reference - 1;
    std::string out;
    int p = 1;
    for (;;) {
        const std::string word = ReadWordAt(FKeyWords, text, p, base);
        if (word.empty())
            break;
        const int src = reference + (p - static_cast<int>(word.size())) - 1;
        const TWordKind kind = KindOf(word);
        if (!out.empty())
            out += ' ';
        if (const char *code = EvaluatorCode(kind)) {
            out += code;
        } else if (kind == wkRelation) {
            out += RelationCode(word);
        } else if (kind == wkConstFunction) {
            out += ConstantText(word, FRandom);
        } else if (kind == wkFunction) {
            out += CallFunction(*this, text, reference, word, p, src);
        } else if (IsAssignWord(word)) {
            Raise(*this, 2, src);
        } else if (kind == wkOther && FKeyWords.CharClass(word[0]) == ccWordChar && !(word[0] >= '0' && word[0] <= '9')) {
            out += IdentifierText(text, reference, word, p, src);
        } else if (kind == wkString || kind == wkOther) {
            out += word;
        } else {
            Raise(*this, 2, src);
        }
    }
    if (out.empty())
        Raise(*this, 15, reference);
    return EvaluatorResult(*this, out, reference);
}

// --- Coordinates and read -------------------------------------------------------------------

namespace {

// One coordinate: an integer number within 32 bits, else error 11 at the coordinate list.
[[gnu::noinline]] int32_t Coordinate(TAlgorithmImpl &a, const Value &value, int position) {
    const std::string text = value.IsNumber() ? TextOfValue(value) : std::string();
    int64_t number = 0;
    if (!IsIntegerText(text) || !TextToInt64(text, number) || number < std::numeric_limits<int32_t>::min() ||
        number > std::numeric_limits<int32_t>::max())
        Raise(a, 11, position);
    return static_cast<int32_t>(number);
}

}  // namespace

TArrayOfInteger TAlgorithmImpl::EvaluateCoordinates(const std::string &text, int position) {
    if (IsBlankText(text))
        Raise(*this, 10, "[]", position);
    TArrayOfInteger coords;
    for (const TArgumentPart &part : SplitArguments(text, position))
        coords.push_back(Coordinate(*this, Evaluate(part.Text, part.Position), position));
    return coords;
}

void TAlgorithmImpl::ReadValue(const std::string &name, int position, const std::string &coordinates) {
    if (!Owner.OnReadValue)
        return;
    Value value;
    if (coordinates.empty()) {
        GetVariable(name, position, value, false, false);
        Deliver([&] { Owner.OnReadValue(Owner, name, value); });
        SetVariable(name, value, position);
        return;
    }
    GetElement(name, coordinates, position, false, false, value);
    const std::string decimal = JoinCoordinates(EvaluateCoordinates(coordinates, position), ", ");
    const std::string shownName = name + "[" + decimal + "]";
    Deliver([&] { Owner.OnReadValue(Owner, shownName, value); });
    SetElement(name, decimal, value, position, position);
}

// --- The commands ---------------------------------------------------------------------------

// Announces a command (or a further iteration of a loop at its loop command) and pauses there
// in debug mode; false when the pass must end.
bool TAlgorithmImpl::AnnounceCommand(int position) {
    BeforeCommand(position);
    if (FStopRequested)
        return false;
    DebugStep(position);
    return !FStopRequested;
}

void TAlgorithmImpl::ExecuteRange(int start, int limit) {
    const TNesting nesting(*this);
    if (limit < 1)
        throw EPassFailure("a body holds no command, so the pass lost its place in the text");
    int pos = start;
    for (;;) {
        if (FStopRequested)
            return;
        const TCommand c = ParseCommand(pos, limit);
        if (FStopRequested || c.Kind == ckEnd)
            return;
        if (!AnnounceCommand(c.Position))
            return;

        switch (c.Kind) {
        case ckIf:
            if (TruthOfCondition(Evaluate(c.Text1, c.ExprPos)))
                ExecuteRange(c.BodyStart, c.BodyEnd);
            else if (c.AuxEnd > c.AuxStart)
                ExecuteRange(c.AuxStart, c.AuxEnd);
            break;
        case ckFor: {
            int64_t counter = LoopBound(Evaluate(c.Text2, c.AuxStart));
            const int64_t last = LoopBound(Evaluate(c.Text3, c.AuxEnd));
            SetVariable(c.Text1, Value(counter), c.ExprPos);
            while (counter <= last) {
                ExecuteRange(c.BodyStart, c.BodyEnd);
                // A stop inside the body ends the run here, before the next iteration is
                // announced or the counter moves.
                if (FStopRequested)
                    return;
                ++counter;
                SetVariable(c.Text1, Value(counter), c.ExprPos);
                if (!AnnounceCommand(c.Position))
                    return;
            }
            break;
        }
        case ckWhile:
            while (TruthOfCondition(Evaluate(c.Text1, c.ExprPos))) {
                ExecuteRange(c.BodyStart, c.BodyEnd);
                if (FStopRequested)
                    return;
                if (!AnnounceCommand(c.Position))
                    return;
            }
            break;
        case ckRead:
            ReadValue(c.Text1, c.ExprPos, c.Text3);
            break;
        case ckWrite: {
            std::string output;
            if (c.BodyEnd > c.BodyStart) {
                for (const TArgumentPart &part : BuildWriteText(c.BodyStart, c.BodyEnd))
                    output += TextOfValue(Evaluate(part.Text, part.Position));
            }
            NotifyWrite(output);
            break;
        }
        case ckSleep: {
            const Value time = Evaluate(c.Text1, c.BodyStart);
            if (!time.IsNumber())
                RaiseError(11, {}, c.BodyStart);
            double ms = time.IsInteger() ? static_cast<double>(time.AsInteger()) : std::nearbyint(time.AsReal());
            if (!(ms > 0))
                ms = 0;
            SleepFor(static_cast<int64_t>(std::min(ms, 1e12)));
            break;
        }
        case ckAssign:
            SetVariable(c.Text1, Evaluate(c.Text2, c.ExprPos), c.ExprPos);
            break;
        case ckAssignElement:
            SetElement(c.Text1, c.Text3, Evaluate(c.Text2, c.ExprPos), c.AuxStart, c.ExprPos);
            break;
        default:
            break;
        }

        pos = c.NextPos;
        if (FStopRequested || !(pos < limit))
            return;
    }
}
