// The action table's enabling rules in each state, translation and formatting of a
// document, find and replace from the main window, and the examples submenu.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTemporaryDir>

#include <Qsci/qsciscintilla.h>

#include <map>

#include "unt_Search.h"
#include "workbench_fixture.h"

namespace {

// The actions whose rule depends on the run state or on a document; the toggles, Exit and
// the rest are checked where they matter.
struct TRow {
    const char *Name;
    bool NoWindow, Idle, Running, Paused;
};

const TRow EnablingTable[] = {
    {"actNew", true, true, false, false},
    {"actOpen", true, true, false, false},
    {"actSaveAs", false, true, false, false},
    {"actExit", true, true, true, true},
    {"actCompile", false, true, false, false},
    {"actRun", false, true, false, true},
    {"actStepOver", false, true, false, true},
    {"actStop", false, false, true, true},
    {"actBreakPoint", false, true, true, true},
    {"actMinimize", false, true, false, false},
    {"actNormalize", false, true, true, true},
    {"actClose", false, true, false, false},
    {"actCodeFormat", false, true, false, false},
    {"actKirdaToCode", false, true, false, false},
    {"actModeKirda", true, true, false, false},
    {"actModeCode", true, true, false, false},
    {"actSearch", false, true, true, true},
    {"actReplace", false, true, true, true},
    {"actViewOutput", true, true, true, true},
    {"actViewArrays", true, true, true, true},
    {"actCut", false, true, false, false},
    {"actPaste", false, true, false, false},
};

}  // namespace

class ActionsTest : public WorkbenchTest {
protected:
    // The selection makes Cut possible; the clipboard Paste.
    void PrepareDocument() {
        Doc->SetLines({"začátek", "  čti(x);", "  x := x + 1;", "konec"});
        Doc->sedEditor->setSelection(1, 2, 1, 5);
    }

    void ExpectColumn(bool TRow::*column, const char *state) {
        UpdateActions();
        for (const TRow &row : EnablingTable) {
            auto *action = W->findChild<QAction *>(row.Name);
            ASSERT_NE(action, nullptr) << row.Name;
            EXPECT_EQ(action->isEnabled(), row.*column) << row.Name << " while " << state;
        }
    }
};

TEST_F(ActionsTest, EnablingTableIdleRunningPausedAndNoWindow) {
    PrepareDocument();
    ExpectColumn(&TRow::Idle, "idle");

    // Running: the read prompt holds the run while the rules are looked at.
    Prompts.OnRead = [&](const QString &, const QString &, QString &value) {
        ExpectColumn(&TRow::Running, "running");
        value = "1";
        return true;
    };
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    ASSERT_EQ(Prompts.ReadLabels.size(), 1);

    Doc->sedEditor->setSelection(1, 2, 1, 5);
    Prompts.OnRead = [](const QString &, const QString &, QString &value) {
        value = "1";
        return true;
    };
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    ExpectColumn(&TRow::Paused, "paused");
    ASSERT_TRUE(Trigger(W->actStop));
    WaitFor(rsIdle);

    Prompts.Answer = QMessageBox::No;
    ASSERT_TRUE(W->CloseAllEditors());
    ExpectColumn(&TRow::NoWindow, "without a window");
    for (const char *name : {"actSearchNext", "actSearchPrior", "actStepOver", "actUndo", "actCopy"})
        EXPECT_FALSE(W->findChild<QAction *>(name)->isEnabled()) << name;
}

TEST_F(ActionsTest, SearchNextNeedsAFindText) {
    UpdateActions();
    EXPECT_FALSE(W->actSearchNext->isEnabled());
    Edit->fidFind->SetFindText("x");
    UpdateActions();
    EXPECT_TRUE(W->actSearchNext->isEnabled());
    EXPECT_TRUE(W->actSearchPrior->isEnabled());
}

// F3 goes forward and Shift+F3 backward whatever direction the find dialog shows.
TEST_F(ActionsTest, F3AndShiftF3IgnoreTheDialogsDirection) {
    Doc->SetLines({"a x", "b x", "c x"});
    Doc->SetCaret(1, 1);
    ASSERT_TRUE(Trigger(W->actSearch));
    EXPECT_TRUE(Edit->fidFind->isVisible());
    Edit->fidFind->SetFindText("x");
    Edit->fidFind->SetOptions({false, false, false});  // "up"
    ASSERT_TRUE(Trigger(W->actSearchNext));
    EXPECT_EQ(Doc->CaretLine(), 1);
    ASSERT_TRUE(Trigger(W->actSearchNext));
    EXPECT_EQ(Doc->CaretLine(), 2);
    ASSERT_TRUE(Trigger(W->actSearchPrior));
    EXPECT_EQ(Doc->CaretLine(), 1);
    // The dialog's own button follows its direction: up from line 1 finds nothing.
    emit Edit->fidFind->FindNext();
    EXPECT_EQ(Doc->CaretLine(), 1);
}

TEST_F(ActionsTest, ReplaceDialogReplacesInTheActiveDocument) {
    Doc->SetLines({"a := 1;", "b := a + a;"});
    ASSERT_TRUE(Trigger(W->actReplace));
    Edit->rpdReplace->SetFindText("a");
    Edit->rpdReplace->SetReplaceText("alfa");
    Edit->rpdReplace->SetOptions({true, true, true});
    emit Edit->rpdReplace->ReplaceAll();
    EXPECT_EQ(Doc->Lines(), QStringList({"alfa := 1;", "b := alfa + alfa;"}));
    Doc->sedEditor->undo();
    EXPECT_EQ(Doc->Lines(), QStringList({"a := 1;", "b := a + a;"}));
}

TEST_F(ActionsTest, TranslationSwitchesVocabularyAndIsOneUndoStep) {
    const QStringList original = {"začátek", "  pro i od 1 do 3 opakuj", "    napiš(i);", "konec"};
    Doc->SetLines(original);
    Doc->SetModified(false);
    UpdateActions();
    EXPECT_TRUE(W->actModeKirda->isChecked());
    EXPECT_EQ(W->actKirdaToCode->text(), "Převést Češtinu na Kód");

    ASSERT_TRUE(Trigger(W->actKirdaToCode));
    EXPECT_EQ(Doc->Lines().first(), "begin");
    EXPECT_TRUE(Doc->Lines().join("\n").contains("for i := 1 to 3 do"));
    EXPECT_TRUE(Doc->Modified());
    EXPECT_FALSE(W->algAlgorithm.KeyWords().PseudoMode);
    UpdateActions();
    EXPECT_TRUE(W->actModeCode->isChecked());
    EXPECT_EQ(W->actKirdaToCode->text(), "Převést Kód na Češtinu");

    // The translated text runs in the new vocabulary.
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    EXPECT_EQ(Output(), "1\n2\n3");

    Doc->sedEditor->undo();
    EXPECT_EQ(Doc->Lines(), original);
}

TEST_F(ActionsTest, TranslatingAnUnclosedStringChangesNothing) {
    const QStringList original = {"začátek", "  napiš('abc);", "konec"};
    Doc->SetLines(original);
    ASSERT_TRUE(Trigger(W->actKirdaToCode));
    EXPECT_EQ(Doc->Lines(), original);
    EXPECT_TRUE(W->algAlgorithm.KeyWords().PseudoMode);
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains("(řádek 2)"));
    EXPECT_TRUE(Prompts.Errors.isEmpty());
}

TEST_F(ActionsTest, FormatAsksFirstAndIsOneUndoStep) {
    const QStringList messy = {"začátek", "x:=1;", "      napiš(x);", "konec"};
    Doc->SetLines(messy);
    Doc->SetModified(false);

    Prompts.Answer = QMessageBox::Cancel;
    ASSERT_TRUE(Trigger(W->actCodeFormat));
    EXPECT_EQ(Prompts.Questions, QStringList({"Naformátovat kód"}));
    EXPECT_EQ(Doc->Lines(), messy);
    EXPECT_FALSE(Doc->Modified());

    Prompts.Answer = QMessageBox::Ok;
    ASSERT_TRUE(Trigger(W->actCodeFormat));
    EXPECT_NE(Doc->Lines(), messy);
    EXPECT_TRUE(Doc->Modified());
    EXPECT_EQ(Doc->Lines().size(), 4);
    EXPECT_EQ(Doc->Lines()[1].trimmed(), "x := 1;");
    Doc->sedEditor->undo();
    EXPECT_EQ(Doc->Lines(), messy);
}

TEST_F(ActionsTest, ViewTogglesFollowTheirPanels) {
    ASSERT_TRUE(W->dcpErrors->isVisible());
    W->dcpErrors->close();  // the panel's own close button
    UpdateActions();
    EXPECT_FALSE(W->actViewErrors->isChecked());
    ASSERT_TRUE(Trigger(W->actViewErrors));
    EXPECT_TRUE(W->dcpErrors->isVisible());
    EXPECT_TRUE(W->actViewErrors->isChecked());
    // An error brings its panel back.
    W->dcpErrors->close();
    Doc->SetLines({"začátek", "x := ;", "konec"});
    ASSERT_TRUE(Trigger(W->actCompile));
    EXPECT_TRUE(W->dcpErrors->isVisible());
}

TEST_F(ActionsTest, ExamplesOpenAsNewUnsavedDocuments) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("examples"));
    QFile file(dir.path() + "/examples/součet.vlm");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("začátek\r\n  napiš(1 + 2);\r\nkonec");
    file.close();
    QFile other(dir.path() + "/examples/součet.expected");  // not an algorithm: not listed
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    EXPECT_EQ(TAlgorithmsEdit::ExamplesFolder(dir.path()), QDir(dir.path() + "/examples").absolutePath());
    TfrmEditor *example = Edit->OpenExample(dir.path() + "/examples/součet.vlm");
    EXPECT_EQ(W->ActiveEditor(), example);
    EXPECT_EQ(example->Lines(), QStringList({"začátek", "  napiš(1 + 2);", "konec"}));
    EXPECT_TRUE(example->FileName.isEmpty());
    EXPECT_FALSE(example->Modified());
    EXPECT_TRUE(example->Caption().startsWith("Algoritmus "));
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    EXPECT_EQ(Output(), "3");
}

TEST_F(ActionsTest, CopyActsOnTheFocusedPanel) {
    QApplication::setActiveWindow(W.get());
    Panels().SetVariable("x", "1");
    Panels().grdVariables->selectAll();
    Panels().grdVariables->setFocus();
    if (QApplication::focusWidget() != Panels().grdVariables)
        GTEST_SKIP() << "this platform gives no keyboard focus";
    UpdateActions();
    EXPECT_TRUE(W->actCopy->isEnabled());
    EXPECT_FALSE(W->actPaste->isEnabled());
    W->actCopy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "x\t1");
}

TEST_F(ActionsTest, EditingCommandsActOnTheDocumentOnce) {
    Doc->SetLines({"ab"});
    Doc->sedEditor->selectAll();
    ASSERT_TRUE(Trigger(W->actCopy));
    EXPECT_EQ(QApplication::clipboard()->text(), "ab");
    Doc->SetCaret(1, 3);
    ASSERT_TRUE(Trigger(W->actPaste));
    EXPECT_EQ(Doc->Lines(), QStringList({"abab"}));
    ASSERT_TRUE(Trigger(W->actUndo));
    EXPECT_EQ(Doc->Lines(), QStringList({"ab"}));
    ASSERT_TRUE(Trigger(W->actRedo));
    EXPECT_EQ(Doc->Lines(), QStringList({"abab"}));
}
