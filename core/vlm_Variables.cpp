// Scalar variables and sparse array elements of one pass. Both live in hash maps keyed by the
// upper-case name (elements: name plus packed coordinates), so a lookup costs the same for
// the first and the two-hundred-thousandth element. A scalar of a name shadows the elements
// of that name: name[i] then addresses the i-th character of the scalar's text.

#include <new>

#include "vlm_AlgorithmImpl.h"
#include "vlm_Encoding.h"
#include "vlm_Utils.h"

namespace {

std::string ElementKey(const std::string &upperName, const TArrayOfInteger &coords) {
    std::string key = upperName;
    key += '\0';
    for (int32_t c : coords) {
        const auto u = static_cast<uint32_t>(c);
        for (int shift = 0; shift < 32; shift += 8)
            key += static_cast<char>((u >> shift) & 0xFF);
    }
    return key;
}

std::string JoinCoords(const TArrayOfInteger &coords, const char *separator) {
    std::string text;
    for (size_t i = 0; i < coords.size(); ++i) {
        if (i > 0)
            text += separator;
        text += std::to_string(coords[i]);
    }
    return text;
}

Value Quoted(const Value &value, bool quoted) {
    if (quoted && value.IsText())
        return Value("'" + value.AsText() + "'");
    return value;
}

// Texts that look like numbers become numbers; one that looks like a number but does not
// convert ends the pass outside the catalogue.
Value Recognise(const Value &value) {
    try {
        return NormalizeValue(value);
    } catch (const EConvertError &) {
        throw EPassFailure("the text '" + value.AsText() + "' looks like a number but does not convert");
    }
}

}  // namespace

void TAlgorithmImpl::SetVariable(const std::string &name, const Value &value, int position) {
    const Value stored = Recognise(value);
    std::string key = UpperCase1250(name);
    auto it = FVariables.find(key);
    if (it != FVariables.end()) {
        NotifyVarValue(name, stored);
        it->second.Val = stored;
        return;
    }
    try {
        FVariables.emplace(std::move(key), TVariable{name, stored});
    } catch (const std::bad_alloc &) {
        RaiseError(13, {}, position);
    } catch (const std::exception &) {
        RaiseError(14, {}, position);
    }
    NotifyVarValue(name, stored);
}

bool TAlgorithmImpl::GetVariable(const std::string &name, int position, Value &value, bool quoted, bool mustExist) {
    value = Value();
    auto it = FVariables.find(UpperCase1250(name));
    if (it == FVariables.end()) {
        if (mustExist)
            RaiseError(3, {name}, position);
        return false;
    }
    value = Quoted(it->second.Val, quoted);
    return true;
}

namespace {

// The index of the addressed character of a scalar's text, or error 19. Out of line, as the
// raising of 12 below: GetElement lies on the path of every nesting level of coordinates.
[[gnu::noinline]] size_t CharacterIndex(TAlgorithmImpl &a, const std::string &text, const TArrayOfInteger &coords, int position) {
    if (coords.size() != 1 || text.empty() || coords[0] < 1 || static_cast<size_t>(coords[0]) > text.size())
        a.RaiseError(19, {coords.empty() ? std::string() : std::to_string(coords[0])}, position);
    return static_cast<size_t>(coords[0]) - 1;
}

[[noreturn]] [[gnu::noinline]] void RaiseUndefinedElement(TAlgorithmImpl &a, const std::string &name,
                                                          const TArrayOfInteger &coords, int position) {
    a.RaiseError(12, {name, JoinCoords(coords, ",")}, position);
}

}  // namespace

void TAlgorithmImpl::SetElement(const std::string &name, const std::string &coordinateText, const Value &value,
                                int coordinatePosition, int expressionPosition) {
    const Value stored = Recognise(value);
    const TArrayOfInteger coords = EvaluateCoordinates(coordinateText, coordinatePosition);
    std::string upper = UpperCase1250(name);

    auto scalar = FVariables.find(upper);
    if (scalar != FVariables.end()) {
        std::string text = ValueToText(scalar->second.Val);
        const size_t index = CharacterIndex(*this, text, coords, coordinatePosition);
        const std::string replacement = ValueToText(stored);
        if (replacement.size() != 1)
            RaiseError(20, {}, expressionPosition);
        text[index] = replacement[0];
        SetVariable(name, Value(text), coordinatePosition);
        return;
    }

    std::string key = ElementKey(upper, coords);
    auto it = FElements.find(key);
    if (it != FElements.end()) {
        NotifyVarArray(name, coords, stored);
        it->second.Val = stored;
        return;
    }
    try {
        FElements.emplace(std::move(key), TArrayElement{name, coords, stored});
    } catch (const std::bad_alloc &) {
        RaiseError(13, {}, coordinatePosition);
    } catch (const std::exception &) {
        RaiseError(14, {}, coordinatePosition);
    }
    NotifyVarArray(name, coords, stored);
}

bool TAlgorithmImpl::GetElement(const std::string &name, const std::string &coordinateText, int position,
                                bool mustExist, bool quoted, Value &value) {
    value = Value();
    return FindElement(name, EvaluateCoordinates(coordinateText, position), position, mustExist, quoted, value);
}

// The lookup half of GetElement, out of line: GetElement lies on the path of every nesting
// level of coordinates.
[[gnu::noinline]] bool TAlgorithmImpl::FindElement(const std::string &name, const TArrayOfInteger &coords,
                                                   int position, bool mustExist, bool quoted, Value &value) {
    const std::string upper = UpperCase1250(name);
    auto scalar = FVariables.find(upper);
    if (scalar != FVariables.end()) {
        const std::string text = ValueToText(scalar->second.Val);
        const size_t index = CharacterIndex(*this, text, coords, position);
        value = Quoted(Value(std::string(1, text[index])), quoted);
        return true;
    }

    auto it = FElements.find(ElementKey(upper, coords));
    if (it == FElements.end()) {
        if (mustExist)
            RaiseUndefinedElement(*this, name, coords, position);
        return false;
    }
    value = Quoted(it->second.Val, quoted);
    return true;
}

void TAlgorithmImpl::ClearVariables() { FVariables.clear(); }

void TAlgorithmImpl::ClearElements() { FElements.clear(); }

std::string JoinCoordinates(const TArrayOfInteger &coords, const char *separator) {
    return JoinCoords(coords, separator);
}
