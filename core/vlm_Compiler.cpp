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

namespace {

// Raising an error builds texts and an argument list. The readers below recurse once per
// nesting level of the algorithm, so their raising is kept out of line: a frame that only
// calls these stays small, and a deeply nested text meets the nesting limit long before the
// end of the stack (also in builds whose frames are larger, such as sanitizer builds).
[[noreturn]] [[gnu::noinline]] void Raise(TAlgorithmImpl &a, int code, int position) {
    a.RaiseError(code, {}, position);
}
[[noreturn]] [[gnu::noinline]] void Raise(TAlgorithmImpl &a, int code, const std::string &argument, int position) {
    a.RaiseError(code, {argument}, position);
}
[[noreturn]] [[gnu::noinline]] void Raise(TAlgorithmImpl &a, int code, const std::string &first,
                                          const std::string &second, int position) {
    a.RaiseError(code, {first, second}, position);
}
// Error 6 naming the keyword that was expected.
[[noreturn]] [[gnu::noinline]] void RaiseExpected(TAlgorithmImpl &a, TWordKind kind, const std::string &found,
                                                  int position) {
    a.RaiseError(6, {a.FKeyWords.KeyWord(kind), found}, position);
}
// Error 5 naming the begin and end words.
[[noreturn]] [[gnu::noinline]] void RaiseNotClosed(TAlgorithmImpl &a, int position) {
    a.RaiseError(5, {a.FKeyWords.KeyWord(wkBegin), a.FKeyWords.KeyWord(wkEnd)}, position);
}

}  // namespace

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
        Raise(*this, 6, "(\", \"[", opening, base + scan - static_cast<int>(opening.size()));
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
    Raise(*this, 7, opening, closing, base + pos);
}

// The block of a body: `start` stands after its begin word (at `beginPos`). Kept out of
// ReadBody, which lies on the path of every nesting level.
[[gnu::noinline]] void TAlgorithmImpl::ReadBlock(int beginPos, int &start, int &limit, int &next) {
    const int length = static_cast<int>(FText.size());
    int scan = start;
    const std::string endDot = FKeyWords.KeyWord(wkEnd) + ".";
    int depth = 0;
    for (;;) {
        if (scan > length || scan > limit)
            RaiseNotClosed(*this, beginPos);
        const std::string word = NextWord(scan);
        const TWordKind kind = KindOf(word);
        if (kind == wkBegin) {
            ++depth;
        } else if (kind == wkEnd || (depth == 0 && word.size() == endDot.size() && LowerCase1250(word) == endDot)) {
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
}

void TAlgorithmImpl::ReadBody(int &start, int &limit, int &next) {
    const int length = static_cast<int>(FText.size());
    int scan = start;
    int firstLength;
    {
        const std::string first = NextWord(scan);
        firstLength = KindOf(first) == wkBegin ? static_cast<int>(first.size()) : -1;
    }
    if (firstLength >= 0) {
        start = scan;
        ReadBlock(scan - firstLength, start, limit, next);
        return;
    }

    next = ParseCommand(start, limit).NextPos;
    limit = next;
    int i = std::min(next - 1, length);
    const int lowest = std::max(start, 1);
    while (i >= lowest && IsBlankChar(FText[i - 1]))
        --i;
    if (i >= lowest && FText[i - 1] == ';') {
        int after = next;
        const std::string word = NextWord(after);
        if (KindOf(word) == wkElse)
            Raise(*this, 4, word, after - static_cast<int>(word.size()));
        limit = i;
    }
}

// --- One command ----------------------------------------------------------------------------
// ParseCommand reads the first word and hands over to the reader of its kind. The readers of
// if, for and while recurse (through ReadBody) once per nesting level; the others are kept out
// of line so that their locals never sit in the frames of that recursion.

namespace {

int WordStart(int after, const std::string &word) { return after - static_cast<int>(word.size()); }

// The next word must be the keyword of `kind`, else error 6 naming it.
void ExpectKeyword(TAlgorithmImpl &a, int &p, TWordKind kind) {
    const std::string w = a.NextWord(p);
    if (a.KindOf(w) != kind)
        RaiseExpected(a, kind, w, WordStart(p, w));
}

// `word`, just read up to `p`, must be `expected`, else error 6 naming it.
void ExpectText(TAlgorithmImpl &a, int p, const char *expected, const std::string &word) {
    if (word != expected)
        Raise(a, 6, expected, word, WordStart(p, word));
}

// The coordinate list of read and of an element assignment: "[" at `pos`; afterwards `pos`
// stands after "]".
void ReadCoordinates(TAlgorithmImpl &a, int &pos, TCommand &c) {
    int at = pos;
    const std::string bracket = a.NextWord(at);
    c.AuxStart = at - static_cast<int>(bracket.size());
    c.Text3 = a.FindClosingBracket(a.Text(), 0, c.AuxStart, c.AuxEnd);
    pos = c.AuxEnd;
    a.NextWord(pos);  // the "]"
}

void ReadIf(TAlgorithmImpl &a, TCommand &c, int p, int limit) {
    c.Kind = ckIf;
    c.Text1 = a.ReadExpression(p, c.ExprPos);
    ExpectKeyword(a, p, wkThen);
    c.BodyStart = p;
    c.BodyEnd = limit;
    a.ReadBody(c.BodyStart, c.BodyEnd, c.NextPos);
    int q = c.BodyEnd;
    std::string w = a.NextWord(q);
    if (a.KindOf(w) == wkEnd)
        w = a.NextWord(q);
    if (IsWord(w, ';')) {
        c.NextPos = q;
        return;
    }
    if (a.KindOf(w) != wkElse)
        Raise(a, 2, WordStart(q, w));
    c.AuxStart = q;
    c.AuxEnd = limit;
    a.ReadBody(c.AuxStart, c.AuxEnd, c.NextPos);
}

// for and while.
void ReadLoop(TAlgorithmImpl &a, TCommand &c, int p, int limit, bool isFor) {
    if (isFor) {
        c.Kind = ckFor;
        c.Text1 = a.NextWord(p);
        c.ExprPos = WordStart(p, c.Text1);
        if (!a.FKeyWords.IsIdentifier(c.Text1))
            Raise(a, 17, c.Text1, c.ExprPos);
        ExpectKeyword(a, p, wkOd);
        c.Text2 = a.ReadExpression(p, c.AuxStart);
        ExpectKeyword(a, p, wkTo);
        c.Text3 = a.ReadExpression(p, c.AuxEnd);
    } else {
        c.Kind = ckWhile;
        c.Text1 = a.ReadExpression(p, c.ExprPos);
    }
    ExpectKeyword(a, p, wkDo);
    c.BodyStart = p;
    c.BodyEnd = limit;
    a.ReadBody(c.BodyStart, c.BodyEnd, c.NextPos);
}

[[gnu::noinline]] void ReadRead(TAlgorithmImpl &a, TCommand &c, int p) {
    c.Kind = ckRead;
    ExpectText(a, p, "(", a.NextWord(p));
    c.Text1 = a.NextWord(p);
    c.ExprPos = WordStart(p, c.Text1);
    int q = p;
    std::string w = a.NextWord(q);
    if (IsWord(w, '[')) {
        ReadCoordinates(a, p, c);
        w = a.NextWord(p);
    } else {
        p = q;
    }
    ExpectText(a, p, ")", w);
    c.NextPos = p;
    if (IsWord(a.NextWord(q = p), ';'))
        c.NextPos = q;
}

[[gnu::noinline]] void ReadWriteOrSleep(TAlgorithmImpl &a, TCommand &c, int p, bool isWrite) {
    c.Kind = isWrite ? ckWrite : ckSleep;
    c.BodyStart = p;
    std::string inside = a.FindClosingBracket(a.Text(), 0, c.BodyStart, c.BodyEnd);
    if (!isWrite)
        c.Text1 = std::move(inside);
    int q = c.BodyEnd;
    a.NextWord(q);  // the closing bracket
    c.NextPos = q;
    if (IsWord(a.NextWord(q), ';'))
        c.NextPos = q;
}

[[gnu::noinline]] void ReadAssignment(TAlgorithmImpl &a, TCommand &c, int p, const std::string &target) {
    c.Text1 = target;
    int q = p;
    std::string w = a.NextWord(q);
    if (IsWord(w, '[')) {
        c.Kind = ckAssignElement;
        ReadCoordinates(a, p, c);
        w = a.NextWord(p);
    } else {
        c.Kind = ckAssign;
        p = q;
    }
    ExpectText(a, p, ":=", w);
    c.BodyStart = p;
    c.Text2 = a.ReadExpression(p, c.ExprPos);
    c.BodyEnd = p;
    int r = p;
    const std::string after = a.NextWord(r);
    if (IsWord(after, ';')) {
        c.NextPos = r;
    } else {
        c.NextPos = c.BodyEnd;
        if (a.KindOf(after) != wkElse)
            Raise(a, 2, WordStart(r, after));
    }
}

}  // namespace

TCommand TAlgorithmImpl::ParseCommand(int pos, int limit) {
    const TNesting nesting(*this);
    TCommand c;
    const int length = static_cast<int>(FText.size());
    int p = pos;
    const std::string word = NextWord(p);
    c.Position = WordStart(p, word);
    if (!(p < limit) || p >= length) {
        c.Kind = ckEnd;
        return c;
    }
    switch (const TWordKind kind = KindOf(word)) {
    case wkIf: ReadIf(*this, c, p, limit); return c;
    case wkFor:
    case wkWhile: ReadLoop(*this, c, p, limit, kind == wkFor); return c;
    case wkRead: ReadRead(*this, c, p); return c;
    case wkWrite:
    case wkSleep: ReadWriteOrSleep(*this, c, p, kind == wkWrite); return c;
    case wkTrue:
    case wkFalse:
    case wkConstFunction: Raise(*this, 18, word, c.Position);
    case wkOther:
        if (!word.empty() && !(word[0] >= '0' && word[0] <= '9')) {
            ReadAssignment(*this, c, p, word);
            return c;
        }
        break;
    default: break;
    }
    Raise(*this, 8, word, c.Position);
}

// --- Argument lists -------------------------------------------------------------------------

namespace {
// Depths of the three kinds of bracket while a list is read word by word; a bracket inside a
// string literal or a comment is part of a longer word and never counted.
struct TBracketDepths {
    int Round = 0, Square = 0, Curly = 0;
    void Count(const std::string &word) {
        if (word.size() != 1)
            return;
        switch (word[0]) {
        case '(': ++Round; break;
        case ')': --Round; break;
        case '[': ++Square; break;
        case ']': --Square; break;
        case '{': ++Curly; break;
        case '}': --Curly; break;
        default: break;
        }
    }
};
}  // namespace

std::vector<TArgumentPart> TAlgorithmImpl::SplitArguments(const std::string &text, int position) {
    std::vector<TArgumentPart> parts;
    TBracketDepths depths;
    int scan = 1;
    std::string part;
    int partPos = position;
    bool partEmpty = true;
    for (;;) {
        const std::string word = ReadWordAt(FKeyWords, text, scan, position - 1);
        const bool atEnd = word.empty();
        if (atEnd || (IsWord(word, ',') && depths.Round == 0 && depths.Square == 0 && depths.Curly == 0)) {
            parts.push_back({part, partPos});
            if (atEnd)
                return parts;
            part.clear();
            partEmpty = true;
            partPos = position + scan - 1;
            continue;
        }
        depths.Count(word);
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
    TBracketDepths depths;  // write counts only parentheses and square brackets
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
        if (IsWord(word, ',') && depths.Round == 0 && depths.Square == 0) {
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
        depths.Count(word);
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
        Raise(*this, 15, position);
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
                Raise(*this, 10, "[]", c.AuxStart);
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
