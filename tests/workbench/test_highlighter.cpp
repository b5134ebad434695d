// The highlighting rule sets and the lexer: which style each piece of text gets (read back
// from the editor at byte positions), comments and strings that span lines, keywords of the
// active vocabulary, and rule colours reaching the editor.
#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>

#include "frm_Editor.h"
#include "unt_Highlighter.h"

namespace {

int StyleAt(TfrmEditor &editor, int line, int index) {
    QsciScintilla *ed = editor.sedEditor;
    ed->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, -1L);
    const long position = ed->positionFromLineIndex(line, index);
    return static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
}

struct StyleCase {
    int line, index;  // 0-based line, character index
    int style;
};

const QStringList Sample = {
    QStringLiteral("{ komentář"),                  // 0
    QStringLiteral("  přes řádky } začátek"),      // 1
    QStringLiteral("  napiš 'ahoj' // konec"),     // 2
    QStringLiteral("  x := 12 + a1 * 3.5"),        // 3
    QStringLiteral("  \"dvoj\" NAPIŠ Čti_x"),      // 4
    QStringLiteral("'řetězec přes"),               // 5
    QStringLiteral("dva řádky' konec"),            // 6
};

const StyleCase SampleStyles[] = {
    {0, 0, hrComment2},  {0, 9, hrComment2},   {1, 3, hrComment2},  {1, 13, hrComment2},
    {1, 14, hrMain},     {1, 15, hrKeyWords},  {1, 21, hrKeyWords},  // "začátek" after the comment
    {2, 2, hrKeyWords},  {2, 6, hrKeyWords},   {2, 7, hrMain},       {2, 8, hrString1},
    {2, 10, hrString1},  {2, 13, hrString1},   {2, 15, hrComment1},  {2, 21, hrComment1},
    {3, 2, hrMain},      {3, 4, hrMain},       {3, 7, hrNumbers},    {3, 8, hrNumbers},
    {3, 12, hrMain},     {3, 13, hrMain},      {3, 17, hrNumbers},   {3, 18, hrMain},
    {3, 19, hrNumbers},
    {4, 2, hrString2},   {4, 7, hrString2},    {4, 9, hrKeyWords},   {4, 13, hrKeyWords},
    {4, 15, hrMain},     {4, 18, hrMain},      // "Čti_x" is one word, not the keyword "čti"
    {5, 0, hrString1},   {5, 12, hrString1},   {6, 0, hrString1},    {6, 9, hrString1},
    {6, 10, hrMain},     {6, 11, hrKeyWords},
};

TEST(Highlighter, StylesEachKindOfText) {
    TfrmEditor editor;
    editor.SetLines(Sample);
    for (const StyleCase &c : SampleStyles)
        EXPECT_EQ(StyleAt(editor, c.line, c.index), c.style) << "line " << c.line << " index " << c.index;
}

TEST(Highlighter, OpeningAndClosingACommentRestylesTheLinesBelow) {
    TfrmEditor editor;
    editor.SetLines({QStringLiteral("začátek"), QStringLiteral("  napiš 1"), QStringLiteral("konec")});
    ASSERT_EQ(StyleAt(editor, 2, 0), hrKeyWords);

    editor.sedEditor->insertAt(QStringLiteral("{"), 0, 0);
    EXPECT_EQ(StyleAt(editor, 1, 2), hrComment2);
    EXPECT_EQ(StyleAt(editor, 2, 0), hrComment2);

    editor.sedEditor->insertAt(QStringLiteral("}"), 1, 2);
    EXPECT_EQ(StyleAt(editor, 1, 2), hrComment2);  // the closing brace itself
    EXPECT_EQ(StyleAt(editor, 1, 3), hrKeyWords);
    EXPECT_EQ(StyleAt(editor, 2, 0), hrKeyWords);
}

TEST(Highlighter, KeywordsFollowTheSharedRuleSet) {
    TSyntaxRules rules(TSyntaxRules::rkScreen);
    TfrmEditor first, second;
    first.SetHighlighter(&rules);
    second.SetHighlighter(&rules);
    const QStringList text = {QStringLiteral("začátek"), QStringLiteral("BEGIN write(1)")};
    first.SetLines(text);
    second.SetLines(text);
    ASSERT_EQ(StyleAt(first, 0, 0), hrKeyWords);
    ASSERT_EQ(StyleAt(first, 1, 0), hrMain);

    // The core hands over its words in Windows-1250.
    rules.SetKeyWords(TArrayOfString{"begin", "end", "write"});
    rules.Reset();
    for (TfrmEditor *editor : {&first, &second}) {
        EXPECT_EQ(StyleAt(*editor, 0, 0), hrMain);
        EXPECT_EQ(StyleAt(*editor, 1, 0), hrKeyWords);
        EXPECT_EQ(StyleAt(*editor, 1, 6), hrKeyWords);
        EXPECT_EQ(StyleAt(*editor, 1, 11), hrMain);  // "(" ends the word
    }

    rules.SetKeyWords(TArrayOfString{"za\xE8\xE1tek"});  // "začátek" in Windows-1250
    rules.Reset();
    EXPECT_EQ(StyleAt(first, 0, 0), hrKeyWords);
    EXPECT_TRUE(rules.IsKeyWord(QStringLiteral("ZAČÁTEK")));
}

TEST(Highlighter, WordEndsAreThePunctuationOtherThanTheUnderscore) {
    const std::string ends = "!\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~";
    ASSERT_EQ(ends.size(), 31u);
    for (char32_t c = 0; c < 0x250; ++c) {
        const bool expected = c < 128 && ends.find(static_cast<char>(c)) != std::string::npos;
        EXPECT_EQ(TSyntaxRules::IsWordEnd(c), expected) << "code " << static_cast<int>(c);
    }
}

// What the editor shows for each style must be what the rule set says, also after a change.
bool StyleIsBold(TfrmEditor &editor, unsigned long style) {
    // QScintilla hands Scintilla Qt's font weight negated.
    const long weight = editor.sedEditor->SendScintilla(QsciScintillaBase::SCI_STYLEGETWEIGHT, style);
    return (weight < 0 ? -weight : weight) >= 600;
}

void ExpectEditorStylesMatch(TfrmEditor &editor, const TSyntaxRules &rules) {
    auto bgr = [](const QColor &c) { return static_cast<long>(c.red() | c.green() << 8 | c.blue() << 16); };
    for (int style = 0; style < HighlightRuleCount; ++style) {
        const TRuleStyle &rule = rules.Rule(static_cast<THighlightRule>(style));
        const auto s = static_cast<unsigned long>(style);
        EXPECT_EQ(editor.sedEditor->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, s), bgr(rule.Foreground))
            << rules.objectName().toStdString() << " style " << style;
        EXPECT_EQ(editor.sedEditor->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, s), bgr(rule.Background))
            << rules.objectName().toStdString() << " style " << style;
        EXPECT_EQ(StyleIsBold(editor, s), (rule.FontStyle & fsBold) != 0)
            << rules.objectName().toStdString() << " style " << style;
    }
}

TEST(Highlighter, RuleColoursAndStylesReachTheEditor) {
    TSyntaxRules screen(TSyntaxRules::rkScreen), print(TSyntaxRules::rkPrint);
    EXPECT_EQ(screen.objectName(), QStringLiteral("susKirda"));
    EXPECT_EQ(print.objectName(), QStringLiteral("susPrint"));
    EXPECT_EQ(print.Rule(hrKeyWords).FontStyle, fsBold);
    EXPECT_EQ(screen.Rule(hrString2), screen.Rule(hrString1));
    EXPECT_EQ(screen.Rule(hrComment2), screen.Rule(hrComment1));

    TfrmEditor editor;
    for (TSyntaxRules *rules : {&screen, &print}) {
        editor.SetHighlighter(rules);
        ExpectEditorStylesMatch(editor, *rules);
    }
    TRuleStyle numbers = print.Rule(hrNumbers);
    numbers.Foreground = QColor(200, 10, 20);
    numbers.FontStyle = fsBold | fsItalic;
    print.SetRule(hrNumbers, numbers);
    print.Reset();
    ExpectEditorStylesMatch(editor, print);
    EXPECT_NE(editor.sedEditor->SendScintilla(QsciScintillaBase::SCI_STYLEGETITALIC, static_cast<unsigned long>(hrNumbers)), 0);
}

}  // namespace
