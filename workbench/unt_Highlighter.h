#pragma once
// The highlighting rule sets and the lexer that applies them to one editor.
//
// A rule set (TSyntaxRules) is what the main window owns and shares: the seven rules with
// their colours and font styles, and the keyword list of the active vocabulary. The screen
// set is "susKirda", the print set "susPrint". QScintilla binds a lexer to a single editor,
// so every editor has its own THighlightLexer that reads a shared rule set and restyles its
// text whenever the set changes.
//
// Words end at blanks, line ends and the printable ASCII punctuation other than the
// underscore; letters with diacritics, digits and the underscore belong to words. Keywords
// match whole words without regard to letter case (Windows-1250 case rules, as the core).

#include <QColor>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <Qsci/qscilexercustom.h>

#include "vlm_Value.h"

// Rule indexes are also the Scintilla style numbers of the lexer.
enum THighlightRule { hrMain, hrComment1, hrString1, hrString2, hrComment2, hrKeyWords, hrNumbers };
constexpr int HighlightRuleCount = 7;

// Font style bits, as the settings file stores them.
enum TFontStyleBit : quint8 { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TRuleStyle {
    QColor Foreground;
    QColor Background;
    quint8 FontStyle = 0;

    bool operator==(const TRuleStyle &) const = default;
};

class TSyntaxRules : public QObject {
    Q_OBJECT
public:
    enum TRulesKind { rkScreen, rkPrint };

    // The designed colours of the kind and the designed Czech word list. The object name is
    // "susKirda" for the screen set and "susPrint" for the print set.
    explicit TSyntaxRules(TRulesKind kind, QObject *parent = nullptr);

    TRulesKind Kind() const { return FKind; }

    const TRuleStyle &Rule(THighlightRule rule) const { return FRules[rule]; }
    // Changes one rule; call Reset() afterwards to restyle the editors.
    void SetRule(THighlightRule rule, const TRuleStyle &style);

    const QStringList &KeyWords() const { return FKeyWords; }
    // Replaces the keyword list (UTF-8 words, or the core's Windows-1250 words as
    // GetKeyWordList gives them); call Reset() afterwards.
    void SetKeyWords(const QStringList &words);
    void SetKeyWords(const TArrayOfString &cp1250Words);
    // Whole-word, case-insensitive.
    bool IsKeyWord(const QString &word) const;

    // Tells every lexer using this set to take the new rules and restyle its whole text.
    void Reset();

    static const QStringList &DesignedKeyWords();
    static bool IsWordEnd(char32_t c);

signals:
    void Changed();

private:
    TRulesKind FKind;
    TRuleStyle FRules[HighlightRuleCount];
    QStringList FKeyWords;
    QSet<QByteArray> FKeyWordKeys;  // lower-cased Windows-1250 bytes
};

class THighlightLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    // Uses `rules` until SetRules is called; the rules must outlive the lexer or be replaced.
    explicit THighlightLexer(TSyntaxRules *rules, QObject *parent = nullptr);

    TSyntaxRules *Rules() const { return FRules; }
    void SetRules(TSyntaxRules *rules);

    // The editor's font; the rules add bold, italic, underline and strike-out to it.
    void SetBaseFont(const QFont &font);

    const char *language() const override;
    QString description(int style) const override;
    bool caseSensitive() const override { return false; }
    const char *wordCharacters() const override;
    // Typing one of these accepts the chosen completion entry.
    const char *autoCompletionFillups() const override { return "()[] "; }
    void styleText(int start, int end) override;

    // Reapplies the rule colours and fonts and restyles the whole text.
    void ApplyRules();

private:
    // Styles one line (UTF-8 bytes, without its line end) starting in `state`; returns the
    // state at its end: 0 none, or the rule of a range that runs on.
    int StyleLine(const QByteArray &line, int state);

    TSyntaxRules *FRules = nullptr;
    QFont FBaseFont;
};
