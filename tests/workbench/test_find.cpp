// Find and replace on an editor, and the two dialogs that ask for it.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include "unt_Search.h"

namespace {

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        Editor.setUtf8(true);  // as every document editor is
        // Line 1 has a Czech word before the matches, so character and byte columns differ.
        Editor.setText("začátek Ab ab\nab abc AB\nkonec");
        Editor.setCursorPosition(0, 0);
    }
    // (line, index) of the selection's start, or (-1, -1) without one.
    std::pair<int, int> Selected() {
        if (!Editor.hasSelectedText())
            return {-1, -1};
        int l1, i1, l2, i2;
        Editor.getSelection(&l1, &i1, &l2, &i2);
        return {l1, i1};
    }
    QsciScintilla Editor;
};

}  // namespace

TEST_F(SearchTest, ForwardAndBackwardNeverFindTheSameMatchTwice) {
    TSearchOptions forward{true, false, false};
    TSearchOptions backward{false, false, false};
    const std::pair<int, int> expected[] = {{0, 8}, {0, 11}, {1, 0}, {1, 3}, {1, 7}};
    for (auto place : expected) {
        ASSERT_TRUE(SearchText(&Editor, "ab", forward));
        EXPECT_EQ(Selected(), place);
    }
    EXPECT_FALSE(SearchText(&Editor, "ab", forward));  // no wrap around
    EXPECT_EQ(Selected(), std::make_pair(1, 7));       // the last match stays selected
    ASSERT_TRUE(SearchText(&Editor, "ab", backward));
    EXPECT_EQ(Selected(), std::make_pair(1, 3));
    ASSERT_TRUE(SearchText(&Editor, "ab", backward));
    EXPECT_EQ(Selected(), std::make_pair(1, 0));
}

TEST_F(SearchTest, MatchCaseAndWholeWords) {
    struct Case {
        TSearchOptions options;
        std::vector<std::pair<int, int>> places;
    };
    const Case cases[] = {
        {{true, true, false}, {{0, 11}, {1, 0}, {1, 3}}},
        {{true, false, true}, {{0, 8}, {0, 11}, {1, 0}, {1, 7}}},
        {{true, true, true}, {{0, 11}, {1, 0}}},
    };
    for (const Case &c : cases) {
        Editor.setCursorPosition(0, 0);
        std::vector<std::pair<int, int>> found;
        while (SearchText(&Editor, "ab", c.options))
            found.push_back(Selected());
        EXPECT_EQ(found, c.places);
    }
}

TEST_F(SearchTest, CzechTextIsFoundAtItsCharacterColumn) {
    Editor.setCursorPosition(1, 0);
    ASSERT_TRUE(SearchText(&Editor, "ZAČÁTEK", {false, false, true}));
    EXPECT_EQ(Selected(), std::make_pair(0, 0));
    EXPECT_EQ(Editor.selectedText(), "začátek");
    Editor.setCursorPosition(0, 0);
    EXPECT_FALSE(SearchText(&Editor, "ZAČ", {true, false, true}));  // letters with accents are word letters
}

TEST_F(SearchTest, ReplaceTakesTheSelectedMatchThenSelectsTheNext) {
    TSearchOptions options{true, true, false};
    EXPECT_FALSE(ReplaceText(&Editor, "ab", "XY", options));  // only finds the first
    EXPECT_EQ(Selected(), std::make_pair(0, 11));
    EXPECT_TRUE(ReplaceText(&Editor, "ab", "XY", options));
    EXPECT_EQ(Editor.text(0), "začátek Ab XY\n");
    EXPECT_EQ(Selected(), std::make_pair(1, 0));

    Editor.setReadOnly(true);  // a running algorithm: searching only
    EXPECT_FALSE(ReplaceText(&Editor, "ab", "XY", options));
    EXPECT_EQ(Editor.text(1), "ab abc AB\n");
    EXPECT_EQ(Selected(), std::make_pair(1, 3));
}

TEST_F(SearchTest, ReplaceAllIsOneUndoStep) {
    const QString before = Editor.text();
    EXPECT_EQ(ReplaceAllText(&Editor, "ab", "ab-ab", {true, false, true}), 4);
    EXPECT_EQ(Editor.text(), "začátek ab-ab ab-ab\nab-ab abc ab-ab\nkonec");
    Editor.undo();
    EXPECT_EQ(Editor.text(), before);
    EXPECT_EQ(ReplaceAllText(&Editor, "", "x", {}), 0);
}

TEST(SearchDialogs, NamesOptionsAndButtons) {
    TFindDialog find;
    TReplaceDialog replace;
    EXPECT_EQ(find.objectName(), "fidFind");
    EXPECT_EQ(replace.objectName(), "rpdReplace");
    EXPECT_FALSE(find.isModal());
    EXPECT_FALSE(replace.isModal());

    EXPECT_FALSE(find.btnFindNext->isEnabled());
    EXPECT_FALSE(replace.btnReplaceAll->isEnabled());
    find.SetFindText("ab");
    replace.SetFindText("ab");
    EXPECT_TRUE(find.btnFindNext->isEnabled());
    EXPECT_TRUE(replace.btnReplace->isEnabled());

    find.chbMatchCase->setChecked(true);
    find.rbtUp->setChecked(true);
    TSearchOptions options = find.Options();
    EXPECT_FALSE(options.Forward);
    EXPECT_TRUE(options.MatchCase);
    EXPECT_FALSE(options.WholeWords);

    int findNext = 0, replaceOne = 0, replaceAll = 0;
    QObject::connect(&find, &TSearchDialog::FindNext, [&] { ++findNext; });
    QObject::connect(&replace, &TReplaceDialog::Replace, [&] { ++replaceOne; });
    QObject::connect(&replace, &TReplaceDialog::ReplaceAll, [&] { ++replaceAll; });
    find.btnFindNext->click();
    replace.btnReplace->click();
    replace.btnReplaceAll->click();
    replace.btnReplaceAll->click();
    EXPECT_EQ(findNext, 1);
    EXPECT_EQ(replaceOne, 1);
    EXPECT_EQ(replaceAll, 2);

    find.show();
    find.btnCancel->click();
    EXPECT_FALSE(find.isVisible());
}
