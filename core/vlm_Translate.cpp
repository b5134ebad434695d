// Vocabulary translation and the code formatter. The file holds the translation first, then
// the formatter, whose state lives in one small struct so that each layout rule reads as one
// short step of the main loop.

#include "vlm_Translate.h"

#include <algorithm>

#include "vlm_Encoding.h"
#include "vlm_KeyWords.h"
#include "vlm_Utils.h"

namespace {

const char *const CrLf = "\r\n";

bool IsWordChar(const TKeyWords &keyWords, char c) { return keyWords.CharClass(c) == ccWordChar; }

// The end keyword with a full stop glued to it ("konec.", "end.") is one word of its own kind;
// both the compiler and the formatter treat it as the end of the algorithm.
bool IsEndWithFullStop(const TKeyWords &keyWords, const std::string &word) {
    return LowerCase1250(word) == keyWords.KeyWord(wkEnd) + ".";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Translation

std::string TranslateVocabulary(TKeyWords &keyWords, const std::string &text) {
    const bool pseudo = keyWords.PseudoMode;
    const TWords &target = pseudo ? keyWords.CodeWords : keyWords.PseudoWords;
    std::string result;
    size_t copyFrom = 0;  // 0-based index of the first source character not yet copied
    int pos = 1;
    bool inFor = false;

    // Puts `word` in place of the source characters [start, end) (0-based). A blank keeps it
    // apart from a neighbouring word character, so that "i:=1" becomes "i od 1", not "iod1".
    auto replace = [&](size_t start, size_t end, const std::string &word) {
        result.append(text, copyFrom, start - copyFrom);
        // The result's last character, not the source's: it may be a word just translated.
        if (!word.empty() && !result.empty() && IsWordChar(keyWords, word.front()) &&
            IsWordChar(keyWords, result.back()))
            result += ' ';
        result += word;
        if (!word.empty() && end < text.size() && IsWordChar(keyWords, word.back()) &&
            IsWordChar(keyWords, text[end]))
            result += ' ';
        copyFrom = end;
    };

    for (;;) {
        const std::string word = keyWords.ReadWord(text, pos, false);
        if (word.empty())
            break;
        const size_t end = static_cast<size_t>(pos - 1);
        const size_t start = end - word.size();
        const TWordKind kind = keyWords.WordKind(word);
        // In the code vocabulary ":=" is the start-value word only between "for" and "do";
        // everywhere else it is an assignment and stays.
        if (TKeyWords::IsKeyWordKind(kind) && (pseudo || kind != wkOd || inFor)) {
            if (kind == wkFor)
                inFor = true;
            if (kind == wkDo)
                inFor = false;
            replace(start, end, target[kind]);
        } else if (kind == wkOther && IsEndWithFullStop(keyWords, word)) {
            replace(start, end, target[wkEnd] + ".");
        }
    }
    result.append(text, copyFrom, std::string::npos);
    keyWords.PseudoMode = !pseudo;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Formatting

namespace {

class TFormatter {
public:
    TFormatter(const TKeyWords &keyWords, const std::string &text) : K(keyWords), T(text) {}

    std::string Run();

private:
    void ReadNext();
    void PlaceComment();
    void PlaceWord();
    void AppendIndentation(int level) { Out += RepeatText("  ", level); }
    void NewLine() {
        Out += CrLf;
        LineStart = Out.size();
    }
    bool EndsLine(TWordKind kind) const { return kind == wkThen || kind == wkElse || kind == wkDo; }

    // The branch stack, top first: "B" an open block, "1" an open then-branch, "0" an open
    // else-branch or loop body.
    void Push(char entry) { Stack.insert(Stack.begin(), entry); }
    // Pops down to and including the nearest `entry` (everything when `all` and there is none);
    // returns the number popped.
    int PopThrough(char entry, bool allWhenMissing) {
        size_t at = Stack.find(entry);
        size_t count = at == std::string::npos ? (allWhenMissing ? Stack.size() : 0) : at + 1;
        Stack.erase(0, count);
        return static_cast<int>(count);
    }
    int EntriesAboveBlock() const {
        size_t at = Stack.find('B');
        return at == std::string::npos ? 0 : static_cast<int>(at);
    }

    const TKeyWords &K;
    const std::string &T;
    int Pos = 1;

    std::string W;  // the current word and its kind
    TWordKind Kind = wkOther;
    size_t WStart = 0;  // 1-based source position of W

    std::string Out;
    int Indent = 0;
    std::string Stack;
    bool AtLineStart = true;
    bool NeedSpace = false;
    bool Continuation = false;
    size_t LineStart = 0;
    std::string PrevWord;
    TWordKind PrevKind = wkOther;
    size_t GapStart = 1;
};

void TFormatter::ReadNext() {
    W = K.ReadWord(T, Pos, true);
    Kind = K.WordKind(W);
    WStart = static_cast<size_t>(Pos) - W.size();
}

std::string TFormatter::Run() {
    ReadNext();
    while (!W.empty()) {
        while (Kind == wkComment) {
            PlaceComment();
            ReadNext();
            if (W.empty())
                return Out;
        }
        PlaceWord();
    }
    return Out;
}

// A comment keeps its place: on a line of its own when a line break stood before it in the
// source, else at the end of the code line before it. A line break always follows it.
void TFormatter::PlaceComment() {
    // Only the gap is searched: a long line of comments must not cost a scan to its end each.
    const bool ownLine = std::find(T.begin() + static_cast<std::ptrdiff_t>(GapStart - 1),
                                   T.begin() + static_cast<std::ptrdiff_t>(WStart - 1), '\r') !=
                         T.begin() + static_cast<std::ptrdiff_t>(WStart - 1);
    if (ownLine) {
        if (!AtLineStart)
            Out += CrLf;
        if (W.compare(0, 2, "//") == 0) {
            int level = Indent;
            if (EndsLine(PrevKind))
                level += 1;
            else if (PrevWord == ";" && !Stack.empty() && Stack[0] == '0')
                level -= EntriesAboveBlock();
            AppendIndentation(level);
        }
    } else if (!Out.empty()) {
        if (AtLineStart && Out.size() >= 2 && Out.compare(Out.size() - 2, 2, CrLf) == 0)
            Out.erase(Out.size() - 2);
        Out += ' ';
    }
    Out += W;
    NewLine();
    AtLineStart = true;
    NeedSpace = false;
    GapStart = WStart + W.size();
}

void TFormatter::PlaceWord() {
    if (TKeyWords::IsKeyWordKind(Kind))
        W = LowerCase1250(W);
    if (Continuation)
        Indent += 2;

    if (AtLineStart) {
        if (Kind == wkBegin)
            Push('B');
        else if (PrevKind == wkElse || PrevKind == wkDo)
            Push('0');
        else if (PrevKind == wkThen)
            Push('1');

        if (Kind == wkElse) {
            // The entry just pushed for an empty then-branch opens a level like any other, and
            // the word after the else raises the level for its branch itself: raising it here
            // too would push everything after the if one level deeper for good.
            if (EndsLine(PrevKind))
                Indent += 1;
            Indent -= PopThrough('1', false);
            AppendIndentation(Indent);
        } else if (EndsLine(PrevKind)) {
            if (Kind == wkBegin) {
                AppendIndentation(Indent);
                Indent += 1;
            } else {
                Indent += 1;
                AppendIndentation(Indent);
            }
        } else if (Kind == wkEnd || (Indent == 1 && IsEndWithFullStop(K, W))) {
            Indent -= PopThrough('B', true);
            AppendIndentation(Indent);
        } else if (Kind == wkBegin) {
            AppendIndentation(Indent);
            Indent += 1;
        } else if (PrevWord == ";") {
            const int above = EntriesAboveBlock();
            if (above > 0) {
                Stack.erase(0, static_cast<size_t>(above));
                Indent -= above;
            }
            AppendIndentation(Indent);
        } else {
            AppendIndentation(Indent);
        }
    } else if (Kind == wkElse) {
        // An else that follows code on the same line moves to a line of its own.
        NeedSpace = false;
        NewLine();
        Indent -= PopThrough('1', false);
        AppendIndentation(Indent);
    } else if (Kind == wkEnd) {
        // An end that follows code stays on its line, but its block is closed all the same,
        // or the lines after it would keep the block's indentation.
        Indent -= PopThrough('B', true);
    }

    if (Continuation)
        Indent -= 2;
    if (NeedSpace)
        Out += ' ';
    Out += W;

    AtLineStart = Kind == wkThen || Kind == wkElse || Kind == wkDo || Kind == wkBegin || W == ";";
    PrevWord = W;
    PrevKind = Kind;
    GapStart = static_cast<size_t>(Pos);
    ReadNext();

    Continuation = !AtLineStart && Kind != wkComment && (Out.size() - LineStart) + W.size() >= 80;
    NeedSpace = !AtLineStart && PrevWord != "(" && PrevWord != "[" && W != ")" && W != "[" &&
                W != "]" && W != "," && W != ";" &&
                !(W == "(" && (PrevKind == wkRead || PrevKind == wkWrite));
    if (!NeedSpace)
        Continuation = false;
    if (Continuation)
        AtLineStart = true;
    if (AtLineStart) {
        NewLine();
        NeedSpace = false;
    }
}

}  // namespace

std::string FormatCode(const TKeyWords &keyWords, const std::string &text) {
    return TFormatter(keyWords, text).Run();
}
