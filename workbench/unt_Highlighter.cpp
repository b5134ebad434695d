// The rule sets first (their designed colours, keywords, word ends), then the lexer that
// styles an editor's text line by line.
#include "unt_Highlighter.h"

#include <Qsci/qsciscintilla.h>

#include "vlm_Encoding.h"

namespace {

const QColor Navy(0, 0, 128);

QByteArray KeyWordKey(const QString &word) {
    return QByteArray::fromStdString(LowerCase1250(Utf8ToCp1250(word.toStdString())));
}

// The ranges that run on over line ends end at these characters.
char RangeEnd(int rule) {
    switch (rule) {
    case hrString1: return '\'';
    case hrString2: return '"';
    case hrComment2: return '}';
    default: return 0;
    }
}

bool IsBlank(unsigned char c) { return c <= 32; }

}  // namespace

// ---- Rule sets -----------------------------------------------------------------------

TSyntaxRules::TSyntaxRules(TRulesKind kind, QObject *parent) : QObject(parent), FKind(kind) {
    if (kind == rkScreen) {
        setObjectName(QStringLiteral("susKirda"));
        FRules[hrMain] = {QColor(255, 255, 0), Navy, 0};
        FRules[hrComment1] = {QColor(192, 192, 192), Navy, 0};
        FRules[hrString1] = {QColor(0, 255, 0), Navy, 0};
        FRules[hrKeyWords] = {QColor(255, 255, 255), Navy, 0};
        FRules[hrNumbers] = {QColor(0, 255, 255), Navy, 0};
    } else {
        setObjectName(QStringLiteral("susPrint"));
        const QColor white(255, 255, 255);
        FRules[hrMain] = {QColor(0, 0, 0), white, 0};
        FRules[hrComment1] = {QColor(128, 128, 128), white, 0};
        FRules[hrString1] = {QColor(0, 64, 0), white, 0};
        FRules[hrKeyWords] = {QColor(0, 0, 0), white, fsBold};
        FRules[hrNumbers] = {Navy, white, 0};
    }
    FRules[hrString2] = FRules[hrString1];
    FRules[hrComment2] = FRules[hrComment1];
    SetKeyWords(DesignedKeyWords());
}

const QStringList &TSyntaxRules::DesignedKeyWords() {
    static const QStringList words = {
        QStringLiteral("jestliže"), QStringLiteral("pak"),     QStringLiteral("jinak"),
        QStringLiteral("pro"),      QStringLiteral("od"),      QStringLiteral("do"),
        QStringLiteral("opakuj"),   QStringLiteral("dokud"),   QStringLiteral("začátek"),
        QStringLiteral("konec"),    QStringLiteral("čti"),     QStringLiteral("napiš"),
        QStringLiteral("nebo"),     QStringLiteral("a"),       QStringLiteral("ne")};
    return words;
}

void TSyntaxRules::SetRule(THighlightRule rule, const TRuleStyle &style) { FRules[rule] = style; }

void TSyntaxRules::SetKeyWords(const QStringList &words) {
    FKeyWords = words;
    FKeyWordKeys.clear();
    for (const QString &word : words)
        FKeyWordKeys.insert(KeyWordKey(word));
}

void TSyntaxRules::SetKeyWords(const TArrayOfString &cp1250Words) {
    QStringList words;
    for (const std::string &word : cp1250Words)
        words << QString::fromStdString(Cp1250ToUtf8(word));
    SetKeyWords(words);
}

bool TSyntaxRules::IsKeyWord(const QString &word) const { return FKeyWordKeys.contains(KeyWordKey(word)); }

void TSyntaxRules::Reset() { emit Changed(); }

bool TSyntaxRules::IsWordEnd(char32_t c) {
    return (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 94) || c == 96 ||
           (c >= 123 && c <= 126);
}

// ---- The lexer -----------------------------------------------------------------------

THighlightLexer::THighlightLexer(TSyntaxRules *rules, QObject *parent) : QsciLexerCustom(parent) {
    FBaseFont = defaultFont();
    SetRules(rules);
}

void THighlightLexer::SetRules(TSyntaxRules *rules) {
    if (FRules == rules)
        return;
    if (FRules)
        disconnect(FRules, nullptr, this, nullptr);
    FRules = rules;
    if (FRules) {
        connect(FRules, &TSyntaxRules::Changed, this, &THighlightLexer::ApplyRules);
        connect(FRules, &QObject::destroyed, this, [this] { FRules = nullptr; });
    }
    ApplyRules();
}

void THighlightLexer::SetBaseFont(const QFont &font) {
    FBaseFont = font;
    ApplyRules();
}

const char *THighlightLexer::language() const { return "Velmora"; }

QString THighlightLexer::description(int style) const {
    // Only styles with a description are taken over by the editor.
    static const char *const names[HighlightRuleCount] = {"Main",     "Comment1", "String1", "String2",
                                                          "Comment2", "KeyWords", "Numbers"};
    return style >= 0 && style < HighlightRuleCount ? QString::fromLatin1(names[style]) : QString();
}

const char *THighlightLexer::wordCharacters() const {
    // Letters with diacritics are words too; every byte of a UTF-8 sequence counts, so the
    // completion list sees "čt" as one word.
    static const QByteArray chars = [] {
        QByteArray c("_0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
        for (int b = 0x80; b <= 0xFF; ++b)
            c.append(static_cast<char>(b));
        return c;
    }();
    return chars.constData();
}

void THighlightLexer::ApplyRules() {
    setDefaultFont(FBaseFont);
    if (FRules) {
        setDefaultColor(FRules->Rule(hrMain).Foreground);
        setDefaultPaper(FRules->Rule(hrMain).Background);
        for (int style = 0; style < HighlightRuleCount; ++style) {
            const TRuleStyle &rule = FRules->Rule(static_cast<THighlightRule>(style));
            QFont font = FBaseFont;
            font.setBold(rule.FontStyle & fsBold);
            font.setItalic(rule.FontStyle & fsItalic);
            font.setUnderline(rule.FontStyle & fsUnderline);
            font.setStrikeOut(rule.FontStyle & fsStrikeOut);
            setColor(rule.Foreground, style);
            setPaper(rule.Background, style);
            setFont(font, style);
            setEolFill(true, style);
        }
    }
    if (QsciScintilla *ed = editor()) {
        // A changed keyword list changes the styles of lines that were styled already.
        ed->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
        ed->update();
    }
}

void THighlightLexer::styleText(int start, int end) {
    QsciScintilla *ed = editor();
    if (!ed || !FRules)
        return;
    const int lineCount = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
    const int docLength = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const int firstLine = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const int lastLine = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    int state = firstLine > 0
                    ? static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, firstLine - 1))
                    : 0;
    // Style whole lines; past `end`, go on while a line's end state differs from the one it
    // had, so an opened or closed "{" re-colours the lines below it.
    for (int line = firstLine; line < lineCount; ++line) {
        const int lineStart = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
        const int lineEnd = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line));
        const int nextStart =
            line + 1 < lineCount
                ? static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1))
                : docLength;
        QByteArray bytes;
        if (lineEnd > lineStart) {
            bytes = ed->bytes(lineStart, lineEnd);
            bytes.chop(1);  // bytes() adds a terminating NUL
        }
        startStyling(lineStart);
        const int newState = StyleLine(bytes, state);
        if (nextStart > lineEnd)
            setStyling(nextStart - lineEnd, newState ? newState : hrMain);
        const int oldState = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, line));
        ed->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, line, static_cast<long>(newState));
        state = newState;
        if (line >= lastLine && oldState == newState)
            break;
    }
}

int THighlightLexer::StyleLine(const QByteArray &line, int state) {
    const int n = line.size();
    int i = 0;
    auto at = [&](int k) { return static_cast<unsigned char>(line[k]); };
    // Styles the open string or comment range from i up to its closing character (searched
    // from `from`), or to the end of the line, where the range then goes on.
    auto styleRange = [&](int from) {
        const int close = line.indexOf(RangeEnd(state), from);
        const int stop = close < 0 ? n : close + 1;
        setStyling(stop - i, state);
        i = stop;
        if (close >= 0)
            state = 0;
    };
    while (i < n) {
        if (state != 0) {
            styleRange(i);
            continue;
        }
        const unsigned char c = at(i);
        if (c == '/' && i + 1 < n && at(i + 1) == '/') {
            setStyling(n - i, hrComment1);
            return 0;
        }
        if (c == '\'' || c == '"' || c == '{') {
            state = c == '\'' ? hrString1 : c == '"' ? hrString2 : hrComment2;
            // The opening character belongs to the range.
            styleRange(i + 1);
            continue;
        }
        if (IsBlank(c) || TSyntaxRules::IsWordEnd(c)) {
            int j = i + 1;
            while (j < n && (IsBlank(at(j)) || TSyntaxRules::IsWordEnd(at(j))) && at(j) != '\'' &&
                   at(j) != '"' && at(j) != '{' && !(at(j) == '/' && j + 1 < n && at(j + 1) == '/'))
                ++j;
            setStyling(j - i, hrMain);
            i = j;
            continue;
        }
        // A word: every byte that is neither blank nor a word end (UTF-8 sequences included).
        int j = i + 1;
        while (j < n && !IsBlank(at(j)) && !TSyntaxRules::IsWordEnd(at(j)))
            ++j;
        const QByteArray word = line.mid(i, j - i);
        if (FRules->IsKeyWord(QString::fromUtf8(word))) {
            setStyling(j - i, hrKeyWords);
        } else {
            int digits = 0;
            while (i + digits < j && word[digits] >= '0' && word[digits] <= '9')
                ++digits;
            if (digits > 0)
                setStyling(digits, hrNumbers);
            if (j - i > digits)
                setStyling(j - i - digits, hrMain);
        }
        i = j;
    }
    return state;
}
