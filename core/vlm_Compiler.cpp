// The compiler of the algorithm component: it reads commands straight from the text. There is
// no compiled form; a run calls ParseCommand again each time it comes to a command.
// Order: positions and errors, words and expressions, brackets and bodies, one command,
// argument lists, and last the check pass.

#include <algorithm>

#include "vlm_AlgorithmImpl.h"
#include "vlm_Encoding.h"
#include "vlm_Errors.h"

namespace {

bool IsBlankChar(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

thread_local int tlsHookBase = 0;

bool IsBlankText(const std::string &text) {
    return std::all_of(text.begin(), text.end(), IsBlankChar);
}

// --- Positions and errors -------------------------------------------------------------------

void TLineTable::Build(const std::string &text) {
    CarriageReturns.clear();
    LineBreaks.clear();
    const int length = static_cast<int>(text.size());
    for (int i = 1; i <= length; ++i) {
        if (text[i - 1] != '\r')
            continue;
        CarriageReturns.push_back(i);
        LineBreaks.push_back(i < length && text[i] == '\n' ? i + 1 : i);
    }
}

// Line = 1 + the CRs up to the position; column = distance from the last break at or before
// it. Both come from tables built once per text, so a run may ask for every command.
void TLineTable::LineCol(int length, int position, int &line, int &column) const {
    if (position > length)
        position = length;
    if (position <= 0) {
        line = 1;
        column = 0;
        return;
    }
    line = 1 + static_cast<int>(std::upper_bound(CarriageReturns.begin(), CarriageReturns.end(), position) -
                                CarriageReturns.begin());
    auto it = std::upper_bound(LineBreaks.begin(), LineBreaks.end(), position);
    column = position - (it == LineBreaks.begin() ? 0 : *(it - 1));
}

void TAlgorithmImpl::SetText(std::string text) {
    FText = std::move(text);
    FLines.Build(FText);
}

void TAlgorithmImpl::PosToLineCol(int position, int &line, int &column) const {
    FLines.LineCol(static_cast<int>(FText.size()), position, line, column);
}

void TAlgorithmImpl::RaiseError(int index, const TArrayOfString &arguments, int position) {
    std::string message;
    try {
        message = FormatErrorMessage(index, arguments);
    } catch (const std::exception &e) {
        throw EPassFailure("the message of error " + std::to_string(index) + " cannot be formatted: " + e.what());
    }
    ReportError(message, index, position);
}

// --- Words and expressions ------------------------------------------------------------------

std::string ReadWordAt(const TKeyWords &keyWords, const std::string &text, int &pos, int base) {
    if (pos < 1)
        throw EPassFailure("a body holds no command, so the pass lost its place in the text");
    THookBase guard(base);
    return keyWords.ReadWord(text, pos, false);
}

std::string TAlgorithmImpl::NextWord(int &pos) { return ReadWordAt(FKeyWords, FText, pos, 0); }

std::string TAlgorithmImpl::ReadExpression(int &pos, int &reference) {
    const int start = pos;
    const int length = static_cast<int>(FText.size());
    for (;;) {
        const int before = pos;
        const std::string word = NextWord(pos);
        bool stop = word.empty() || pos > length + 1 || IsWord(word, ';') || IsAssignWord(word);
        if (!stop) {
            const TWordKind kind = KindOf(word);
            stop = (kind >= wkIf && kind <= wkSleep) || kind == wkComment;
        }
        if (stop) {
            pos = before;
            break;
        }
    }
    const int end = std::min(pos, length + 1);
    int first = std::max(start, 1);
    while (first < end && IsBlankChar(FText[first - 1]))
        ++first;
    std::string result = first < end ? FText.substr(first - 1, end - first) : std::string();
    reference = result.empty() ? start : first;
    return result;
}

// --- Brackets and bodies --------------------------------------------------------------------

std::string TAlgorithmImpl::FindClosingBracket(const std::string &text, int base, int &pos, int &endPos) {
    int scan = pos;
    const std::string opening = ReadWordAt(FKeyWords, text, scan, base);
    if (opening != "(" && opening != "[")
        RaiseError(6, {"(\", \"[", opening}, base + scan - static_cast<int>(opening.size()));
    const std::string closing = opening == "(" ? ")" : "]";
    pos = scan;
    const int length = static_cast<int>(text.size());
    int depth = 0;
    while (scan <= length) {
        const int before = scan;
        const std::string word = ReadWordAt(FKeyWords, text, scan, base);
        if (word.empty())
            break;
        if (word == opening) {
            ++depth;
        } else if (word == closing) {
            if (depth == 0) {
                endPos = before;
                return text.substr(pos - 1, endPos - pos);
            }
            --depth;
        }
    }
    RaiseError(7, {opening, closing}, base + pos);
}

void TAlgorithmImpl::ReadBody(int &start, int &limit, int &next) {
    const int length = static_cast<int>(FText.size());
    int scan = start;
    const std::string first = NextWord(scan);
    if (KindOf(first) == wkBegin) {
        const int beginPos = scan - static_cast<int>(first.size());
        start = scan;
        const std::string endWord = FKeyWords.KeyWord(wkEnd);
        const std::string endDot = endWord + ".";
        int depth = 0;
        for (;;) {
            if (scan > length || scan > limit)
                RaiseError(5, {FKeyWords.KeyWord(wkBegin), endWord}, beginPos);
            const std::string word = NextWord(scan);
            const TWordKind kind = KindOf(word);
            if (kind == wkBegin) {
                ++depth;
            } else if (kind == wkEnd ||
                       (depth == 0 && word.size() == endDot.size() && LowerCase1250(word) == endDot)) {
                if (depth == 0) {
                    limit = scan - static_cast<int>(word.size());
                    break;
                }
                --depth;
            }
        }
        next = scan;
        int after = scan;
        if (after <= length && IsWord(NextWord(after), ';'))
            next = after;
        return;
    }

    const TCommand command = ParseCommand(start, limit);
    limit = command.NextPos;
    next = command.NextPos;
    int i = std::min(next - 1, length);
    const int lowest = std::max(start, 1);
    while (i >= lowest && IsBlankChar(FText[i - 1]))
        --i;
    if (i >= lowest && FText[i - 1] == ';') {
        int after = next;
        const std::string word = NextWord(after);
        if (KindOf(word) == wkElse)
            RaiseError(4, {word}, after - static_cast<int>(word.size()));
        limit = i;
    }
}

// --- One command ----------------------------------------------------------------------------

namespace {

// The coordinate list of read and of an element assignment: "[" at `pos`; afterwards `pos`
// stands after "]".
void ReadCoordinates(TAlgorithmImpl &a, const std::string &text, int &pos, TCommand &c) {
    int at = pos;
    const std::string bracket = a.NextWord(at);
    c.AuxStart = at - static_cast<int>(bracket.size());
    c.Text3 = a.FindClosingBracket(text, 0, c.AuxStart, c.AuxEnd);
    pos = c.AuxEnd;
    a.NextWord(pos);  // the "]"
}

}  // namespace

TCommand TAlgorithmImpl::ParseCommand(int pos, int limit) {
    const TNesting nesting(*this);
    TCommand c;
    const int length = static_cast<int>(FText.size());
    int p = pos;
    const std::string word = NextWord(p);
    c.Position = p - static_cast<int>(word.size());
    if (!(p < limit) || p >= length) {
        c.Kind = ckEnd;
        return c;
    }
    auto wordStart = [](int after, const std::string &w) { return after - static_cast<int>(w.size()); };
    auto expect = [&](TWordKind kind) {
        const std::string w = NextWord(p);
        if (KindOf(w) != kind)
            RaiseError(6, {FKeyWords.KeyWord(kind), w}, wordStart(p, w));
    };
    auto expectText = [&](const std::string &expected, const std::string &w) {
        if (w != expected)
            RaiseError(6, {expected, w}, wordStart(p, w));
    };

    const TWordKind kind = KindOf(word);
    switch (kind) {
    case wkIf: {
        c.Kind = ckIf;
        c.Text1 = ReadExpression(p, c.ExprPos);
        expect(wkThen);
        c.BodyStart = p;
        c.BodyEnd = limit;
        ReadBody(c.BodyStart, c.BodyEnd, c.NextPos);
        int q = c.BodyEnd;
        std::string w = NextWord(q);
        if (KindOf(w) == wkEnd)
            w = NextWord(q);
        if (IsWord(w, ';')) {
            c.NextPos = q;
        } else {
            if (KindOf(w) != wkElse)
                RaiseError(2, {}, wordStart(q, w));
            c.AuxStart = q;
            c.AuxEnd = limit;
            ReadBody(c.AuxStart, c.AuxEnd, c.NextPos);
        }
        return c;
    }
    case wkFor: {
        c.Kind = ckFor;
        c.Text1 = NextWord(p);
        c.ExprPos = wordStart(p, c.Text1);
        if (!FKeyWords.IsIdentifier(c.Text1))
            RaiseError(17, {c.Text1}, c.ExprPos);
        expect(wkOd);
        c.Text2 = ReadExpression(p, c.AuxStart);
        expect(wkTo);
        c.Text3 = ReadExpression(p, c.AuxEnd);
        expect(wkDo);
        c.BodyStart = p;
        c.BodyEnd = limit;
        ReadBody(c.BodyStart, c.BodyEnd, c.NextPos);
        return c;
    }
    case wkWhile: {
        c.Kind = ckWhile;
        c.Text1 = ReadExpression(p, c.ExprPos);
        expect(wkDo);
        c.BodyStart = p;
        c.BodyEnd = limit;
        ReadBody(c.BodyStart, c.BodyEnd, c.NextPos);
        return c;
    }
    case wkRead: {
        c.Kind = ckRead;
        expectText("(", NextWord(p));
        c.Text1 = NextWord(p);
        c.ExprPos = wordStart(p, c.Text1);
        int q = p;
        std::string w = NextWord(q);
        if (IsWord(w, '[')) {
            ReadCoordinates(*this, FText, p, c);
            w = NextWord(p);
        } else {
            p = q;
        }
        expectText(")", w);
        c.NextPos = p;
        if (IsWord(NextWord(q = p), ';'))
            c.NextPos = q;
        return c;
    }
    case wkWrite:
    case wkSleep: {
        c.Kind = kind == wkWrite ? ckWrite : ckSleep;
        c.BodyStart = p;
        const std::string inside = FindClosingBracket(FText, 0, c.BodyStart, c.BodyEnd);
        if (c.Kind == ckSleep)
            c.Text1 = inside;
        int q = c.BodyEnd;
        NextWord(q);  // the closing bracket
        c.NextPos = q;
        if (IsWord(NextWord(q), ';'))
            c.NextPos = q;
        return c;
    }
    default:
        break;
    }

    if (kind == wkOther && !word.empty() && !(word[0] >= '0' && word[0] <= '9')) {
        c.Text1 = word;
        int q = p;
        std::string w = NextWord(q);
        if (IsWord(w, '[')) {
            c.Kind = ckAssignElement;
            ReadCoordinates(*this, FText, p, c);
            w = NextWord(p);
        } else {
            c.Kind = ckAssign;
            p = q;
        }
        expectText(":=", w);
        c.BodyStart = p;
        c.Text2 = ReadExpression(p, c.ExprPos);
        c.BodyEnd = p;
        int r = p;
        const std::string after = NextWord(r);
        if (IsWord(after, ';')) {
            c.NextPos = r;
        } else {
            c.NextPos = c.BodyEnd;
            if (KindOf(after) != wkElse)
                RaiseError(2, {}, wordStart(r, after));
        }
        return c;
    }
    if (kind == wkTrue || kind == wkFalse || kind == wkConstFunction)
        RaiseError(18, {word}, c.Position);
    RaiseError(8, {word}, c.Position);
}

// --- Argument lists -------------------------------------------------------------------------

std::vector<TArgumentPart> TAlgorithmImpl::SplitArguments(const std::string &text, int position) {
    std::vector<TArgumentPart> parts;
    int round = 0, square = 0, curly = 0;
    int scan = 1;
    std::string part;
    int partPos = position;
    bool partEmpty = true;
    for (;;) {
        const std::string word = ReadWordAt(FKeyWords, text, scan, position - 1);
        const bool atEnd = word.empty();
        if (atEnd || (IsWord(word, ',') && round == 0 && square == 0 && curly == 0)) {
            parts.push_back({part, partPos});
            if (atEnd)
                return parts;
            part.clear();
            partEmpty = true;
            partPos = position + scan - 1;
            continue;
        }
        if (word.size() == 1) {
            switch (word[0]) {
            case '(': ++round; break;
            case ')': --round; break;
            case '[': ++square; break;
            case ']': --square; break;
            case '{': ++curly; break;
            case '}': --curly; break;
            default: break;
            }
        }
        if (partEmpty) {
            partPos = position + scan - static_cast<int>(word.size()) - 1;
            partEmpty = false;
        } else {
            part += ' ';
        }
        part += word;
    }
}

std::vector<TArgumentPart> TAlgorithmImpl::BuildWriteText(int from, int to) {
    std::vector<TArgumentPart> parts;
    int round = 0, square = 0;
    int scan = from;
    std::string part;
    int partPos = from;
    bool partEmpty = true;
    for (;;) {
        const std::string word = NextWord(scan);
        if (word.empty()) {
            parts.push_back({part, partPos});
            return parts;
        }
        if (IsWord(word, ',') && round == 0 && square == 0) {
            parts.push_back({part, partPos});
            part.clear();
            partEmpty = true;
            partPos = scan;
            if (scan >= to) {
                // A trailing comma leaves an empty last part, which the check reports.
                parts.push_back({part, partPos});
                return parts;
            }
            continue;
        }
        if (word.size() == 1) {
            switch (word[0]) {
            case '(': ++round; break;
            case ')': --round; break;
            case '[': ++square; break;
            case ']': --square; break;
            default: break;
            }
        }
        if (partEmpty) {
            partPos = scan - static_cast<int>(word.size());
            partEmpty = false;
        } else {
            part += ' ';
        }
        part += word;
        if (scan >= to) {
            parts.push_back({part, partPos});
            return parts;
        }
    }
}

// --- The check pass -------------------------------------------------------------------------

void TAlgorithmImpl::CheckExpression(const std::string &text, int position) {
    if (IsBlankText(text))
        RaiseError(15, {}, position);
}

void TAlgorithmImpl::AddCommandLine(int position) {
    int line, column;
    PosToLineCol(position, line, column);
    std::lock_guard lock(FMutex);
    if (FCommandLineSet.insert(line).second)
        FCommandLines.push_back(std::to_string(line));
}

void TAlgorithmImpl::CheckRange(int start, int limit) {
    const TNesting nesting(*this);
    if (limit < 1)
        throw EPassFailure("a body holds no command, so the pass lost its place in the text");
    if (Owner.ProcessMessages)
        Owner.ProcessMessages();
    int pos = start;
    for (;;) {
        const TCommand c = ParseCommand(pos, limit);
        if (c.Kind == ckEnd)
            return;
        AddCommandLine(c.Position);
        switch (c.Kind) {
        case ckIf:
            CheckExpression(c.Text1, c.ExprPos);
            CheckRange(c.BodyStart, c.BodyEnd);
            if (c.AuxEnd > c.AuxStart)
                CheckRange(c.AuxStart, c.AuxEnd);
            break;
        case ckFor:
            CheckExpression(c.Text2, c.AuxStart);
            CheckExpression(c.Text3, c.AuxEnd);
            CheckRange(c.BodyStart, c.BodyEnd);
            break;
        case ckWhile:
            CheckExpression(c.Text1, c.ExprPos);
            CheckRange(c.BodyStart, c.BodyEnd);
            break;
        case ckWrite:
            for (const TArgumentPart &part : BuildWriteText(c.BodyStart, c.BodyEnd))
                CheckExpression(part.Text, part.Position);
            break;
        case ckSleep:
            CheckExpression(c.Text1, c.BodyStart);
            break;
        case ckAssign:
            CheckExpression(c.Text2, c.ExprPos);
            break;
        case ckAssignElement:
            CheckExpression(c.Text2, c.ExprPos);
            if (IsBlankText(c.Text3))
                RaiseError(10, {"[]"}, c.AuxStart);
            for (const TArgumentPart &part : SplitArguments(c.Text3, c.AuxStart))
                CheckExpression(part.Text, part.Position);
            break;
        default:
            break;
        }
        if (Owner.ProcessMessages)
            Owner.ProcessMessages();
        if (FStopRequested)
            throw EPassStopped();
        pos = c.NextPos;
        if (!(pos < limit))
            return;
    }
}
