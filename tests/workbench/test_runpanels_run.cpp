// Checking, running, stepping and stopping from the main window: what the panels, the
// document and the status bar show, with the component's worker really running.
#include <QApplication>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>

#include <Qsci/qsciscintilla.h>

#include "workbench_fixture.h"

namespace {

QStringList RowCaptions(QTableWidget *table) {
    QStringList captions;
    for (int r = 0; r < table->rowCount(); ++r)
        captions << table->verticalHeaderItem(r)->text();
    return captions;
}

QStringList ColumnCaptions(QTableWidget *table) {
    QStringList captions;
    for (int c = 0; c < table->columnCount(); ++c)
        captions << table->horizontalHeaderItem(c)->text();
    return captions;
}

}  // namespace

using RunTest = WorkbenchTest;

TEST_F(RunTest, RunFillsVariablesArraysAndOutput) {
    Doc->SetLines({"začátek", "  x := 5;", "  Jméno := 'Eva';", "  jméno := 'Ema';", "  pro i od 1 do 3 opakuj",
                   "    a[4 - i] := i * 10;", "  m[2, 5] := 'p';", "  m[2, 3] := 1.5;", "  k[1, 2, 3] := 0;",
                   "  napiš(x, ' ', jméno);", "konec"});
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);

    EXPECT_EQ(Output(), "5 Ema");
    EXPECT_TRUE(Errors().isEmpty());
    QTableWidget *grid = Panels().grdVariables;
    ASSERT_GE(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(0, 0)->text(), "x");
    EXPECT_EQ(grid->item(1, 0)->text(), "Jméno");  // one row for both spellings, the first kept
    EXPECT_EQ(grid->item(2, 0)->text(), "i");
    EXPECT_EQ(Variable("x"), "5");
    EXPECT_EQ(Variable("Jméno"), "Ema");

    ASSERT_EQ(Panels().grdArray->count(), 2);  // k has three coordinates
    EXPECT_EQ(Panels().grdArray->tabText(0), "a");
    EXPECT_EQ(Panels().grdArray->tabText(1), "m");
    TArrayTable *a = Panels().ArrayView("a", false);
    EXPECT_EQ(RowCaptions(a), QStringList({"1", "2", "3"}));
    EXPECT_EQ(ColumnCaptions(a), QStringList({"1"}));
    EXPECT_EQ(a->item(0, 0)->text(), "30");
    TArrayTable *m = Panels().ArrayView("m", false);
    EXPECT_EQ(RowCaptions(m), QStringList({"2"}));
    EXPECT_EQ(ColumnCaptions(m), QStringList({"3", "5"}));
    EXPECT_EQ(m->item(0, 0)->text(), "1.5");
    EXPECT_EQ(m->item(0, 1)->text(), "p");

    EXPECT_EQ(Run->LastRunEnd(), TAlgorithmsRun::reFinished);
    EXPECT_EQ(W->pnlHint->text(), "Dokončeno");
    EXPECT_FALSE(Doc->sedEditor->isReadOnly());
    EXPECT_FALSE(Doc->CommandLines().isEmpty());  // the check before the run filled them
}

TEST_F(RunTest, CheckWithSyntaxErrorMarksTheLineAndRunDoesNotStart) {
    Doc->SetLines({"začátek", "  napiš('a');", "  x := ;", "konec"});
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);

    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].startsWith("[Chyba ")) << Errors()[0].toStdString();
    EXPECT_TRUE(Errors()[0].contains("(řádek 3): ")) << Errors()[0].toStdString();
    EXPECT_TRUE(Panels().ErrorsMarked());
    EXPECT_TRUE(Doc->HasStopMark(3));
    EXPECT_EQ(Doc->CaretLine(), 3);
    EXPECT_TRUE(Doc->CommandLines().isEmpty());
    EXPECT_TRUE(Output().isEmpty());
    EXPECT_TRUE(Prompts.Errors.isEmpty());

    // Double click on the error line puts the caret on its line and column.
    Doc->SetCaret(1, 1);
    int column = Doc->CaretColumn();
    emit Panels().lboErrors->itemDoubleClicked(Panels().lboErrors->item(0));
    EXPECT_EQ(Doc->CaretLine(), 3);
    EXPECT_GT(Doc->CaretColumn(), column);

    // A second check keeps the mark (it is not toggled off) and lists the error once.
    ASSERT_TRUE(Trigger(W->actCompile));
    EXPECT_TRUE(Doc->HasStopMark(3));
    EXPECT_EQ(Errors().size(), 1);
}

TEST_F(RunTest, EmptyDocumentShowsErrorZeroAndItsFailure) {
    Doc->SetLines({""});
    ASSERT_TRUE(Trigger(W->actCompile));
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].startsWith("[Chyba 0] (řádek 1)")) << Errors()[0].toStdString();
    ASSERT_EQ(Prompts.Errors.size(), 1);  // the failure that leaves Execute, in a message box
    EXPECT_TRUE(Prompts.Errors[0].startsWith("Error 0 (1, 0)")) << Prompts.Errors[0].toStdString();
    // Titled by the program, not by the document that happens to be maximised.
    EXPECT_EQ(Prompts.ErrorCaptions[0], QGuiApplication::applicationDisplayName());
    EXPECT_EQ(Run->ShownStatus(), rsIdle);
}

TEST_F(RunTest, ReadPromptAnsweredNormalizesTheValue) {
    Doc->SetLines({"začátek", "  čti(n);", "  napiš(n + 1);", "konec"});
    QString caption, shown;
    Prompts.OnRead = [&](const QString &c, const QString &, QString &value) {
        caption = c;
        shown = value;
        value = "41";
        return true;
    };
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    EXPECT_EQ(Prompts.ReadLabels, QStringList({"n"}));
    EXPECT_EQ(caption, "Zadejte hodnotu proměnné");
    EXPECT_EQ(shown, "");
    EXPECT_EQ(Output(), "42");
    EXPECT_EQ(Variable("n"), "41");
}

TEST_F(RunTest, ReadPromptCancelledStopsTheRunAndKeepsTheOutput) {
    Doc->SetLines({"začátek", "  napiš('před');", "  čti(n);", "  napiš('po');", "konec"});
    Prompts.OnRead = [](const QString &, const QString &, QString &) { return false; };
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    EXPECT_EQ(Output(), "před");
    EXPECT_EQ(Run->LastRunEnd(), TAlgorithmsRun::reStopped);
    EXPECT_EQ(W->pnlHint->text(), "Zastaveno");
    EXPECT_TRUE(Errors().isEmpty());
}

// F9 with a stop mark on a loop pauses before the loop's passes; F8 steps; marks are read
// live; Ctrl+F2 ends the run and the current line goes.
TEST_F(RunTest, StopMarkInALoopStepAndStop) {
    Doc->SetLines({"začátek", "  s := 0;", "  pro i od 1 do 3 opakuj", "    s := s + i;", "  napiš(s);", "konec"});
    Doc->ToggleStopMark(4);
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsPaused);
    EXPECT_EQ(Doc->ActiveLine(), 4);
    EXPECT_TRUE(Doc->sedEditor->isReadOnly());
    EXPECT_EQ(W->pnlRunState->accessibleDescription(), "paused");
    EXPECT_EQ(Variable("s"), "0");

    ASSERT_TRUE(Trigger(W->actRun));  // on to the next pass, which stops at the mark again
    WaitFor(rsPaused);
    EXPECT_EQ(Doc->ActiveLine(), 4);
    EXPECT_EQ(Variable("s"), "1");

    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    EXPECT_EQ(Variable("s"), "3");

    Doc->ToggleStopMark(4);  // removed during the run: the rest runs through
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    EXPECT_EQ(Output(), "6");
    EXPECT_EQ(Doc->ActiveLine(), -1);
    EXPECT_FALSE(Doc->sedEditor->isReadOnly());

    // F8 on an idle document pauses before the first command; Ctrl+F2 ends the run.
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    EXPECT_EQ(Doc->ActiveLine(), 2);
    ASSERT_TRUE(Trigger(W->actStop));
    WaitFor(rsIdle);
    EXPECT_EQ(Doc->ActiveLine(), -1);
    EXPECT_EQ(Run->LastRunEnd(), TAlgorithmsRun::reStopped);
    EXPECT_TRUE(Output().isEmpty());
}

TEST_F(RunTest, RunawayLoopStopsOnCtrlF2) {
    Doc->SetLines({"začátek", "  x := 0;", "  dokud pravda opakuj", "    x := x + 1;", "konec"});
    ASSERT_TRUE(Trigger(W->actRun));
    while (Panels().grdVariables->rowCount() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    UpdateActions();
    EXPECT_TRUE(W->actStop->isEnabled());
    EXPECT_FALSE(W->actRun->isEnabled());
    ASSERT_TRUE(Trigger(W->actStop));
    WaitFor(rsIdle);
    EXPECT_EQ(Run->LastRunEnd(), TAlgorithmsRun::reStopped);
}

TEST_F(RunTest, FailureOutsideTheCatalogueIsOneErrorLine) {
    Doc->SetLines({"začátek", "  pro i od 1 do 99999999999 opakuj", "    x := i;", "konec"});
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    EXPECT_EQ(Run->LastRunEnd(), TAlgorithmsRun::reFailure);
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].startsWith("Běh algoritmu byl ukončen kvůli chybě: ")) << Errors()[0].toStdString();
    EXPECT_EQ(W->pnlHint->text(), "Ukončeno kvůli selhání");
}

TEST_F(RunTest, RunErrorEndsTheRunWithItsLine) {
    Doc->SetLines({"začátek", "  napiš('a');", "  x := 1 div 0;", "  napiš('b');", "konec"});
    ASSERT_TRUE(Trigger(W->actRun));
    WaitFor(rsIdle);
    EXPECT_EQ(Output(), "a");
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains("(řádek 3)"));
    EXPECT_EQ(Run->LastRunEnd(), TAlgorithmsRun::reError);
    EXPECT_TRUE(Doc->HasStopMark(3));
}

// While a run waits, the other documents, the tab strip and the window list are locked.
TEST_F(RunTest, OtherDocumentsAreLockedWhilePaused) {
    TfrmEditor *other = W->NewEditor();
    W->ShowEditor(other);
    W->ShowEditor(Doc);
    ASSERT_EQ(W->ActiveEditor(), Doc);
    Doc->SetLines({"začátek", "  x := 1;", "konec"});
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    EXPECT_FALSE(W->SubWindowOf(other)->isEnabled());
    EXPECT_FALSE(W->tabWindows->isEnabled());
    EXPECT_TRUE(W->SubWindowOf(Doc)->isEnabled());
    ASSERT_TRUE(Trigger(W->actStop));
    WaitFor(rsIdle);
    EXPECT_TRUE(W->SubWindowOf(other)->isEnabled());
    EXPECT_TRUE(W->tabWindows->isEnabled());
}

TEST_F(RunTest, ClosingTheWindowWhilePausedEndsCleanly) {
    Doc->SetLines({"začátek", "  x := 1;", "  x := 2;", "konec"});
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    Prompts.Answer = QMessageBox::No;  // do not save
    EXPECT_TRUE(W->close());
    W.reset();  // must not hang on the worker
    SUCCEED();
}

// Cancelling the close question keeps everything as it was, the paused run included.
TEST_F(RunTest, RefusedCloseWhilePausedKeepsTheRun) {
    Doc->SetLines({"začátek", "  x := 1;", "  x := 2;", "konec"});
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    Doc->SetModified(true);
    Prompts.Answer = QMessageBox::Cancel;
    EXPECT_FALSE(W->close());
    EXPECT_EQ(W->algAlgorithm.Status(), rsPaused);
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    EXPECT_EQ(Variable("x"), "1");
    ASSERT_TRUE(Trigger(W->actStop));
    WaitFor(rsIdle);
}

TEST_F(RunTest, RemoveAllStopMarks) {
    Doc->SetLines({"začátek", "  x := 1;", "konec"});
    Doc->ToggleStopMark(1);
    Doc->ToggleStopMark(2);
    ASSERT_TRUE(Trigger(Run->actClearBreakPoints));
    EXPECT_TRUE(Doc->StopMarks().isEmpty());
    UpdateActions();
    EXPECT_FALSE(Run->actClearBreakPoints->isEnabled());
}

TEST_F(RunTest, ClosingTheDocumentWhilePausedEndsTheRun) {
    Doc->SetLines({"začátek", "  x := 1;", "  x := 2;", "konec"});
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    Prompts.Answer = QMessageBox::No;
    StatusEventsBefore = Run->StatusEvents();
    ASSERT_TRUE(W->SubWindowOf(Doc)->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // as the event loop would
    WaitFor(rsIdle);
    EXPECT_EQ(W->ActiveEditor(), nullptr);
    EXPECT_EQ(Run->LastRunEnd(), TAlgorithmsRun::reStopped);
    EXPECT_TRUE(Output().isEmpty());
}

// The run's document goes while another one waits locked: the end of the run must free it.
TEST_F(RunTest, ClosingTheRunDocumentUnlocksTheOthers) {
    TfrmEditor *other = W->NewEditor();
    W->ShowEditor(other);
    W->ShowEditor(Doc);
    Doc->SetLines({"začátek", "  x := 1;", "  x := 2;", "konec"});
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    ASSERT_FALSE(W->SubWindowOf(other)->isEnabled());
    StatusEventsBefore = Run->StatusEvents();
    ASSERT_TRUE(W->SubWindowOf(Doc)->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    WaitFor(rsIdle);
    EXPECT_TRUE(W->SubWindowOf(other)->isEnabled());
    EXPECT_FALSE(other->sedEditor->isReadOnly());
    EXPECT_TRUE(W->tabWindows->isEnabled());
    EXPECT_TRUE(W->mnuWindowList->isEnabled());
    EXPECT_EQ(W->ActiveEditor(), other);  // the commands have a document again
}

TEST_F(RunTest, DestroyingTheWindowWhilePausedEndsCleanly) {
    Doc->SetLines({"začátek", "  x := 1;", "  x := 2;", "konec"});
    ASSERT_TRUE(Trigger(W->actStepOver));
    WaitFor(rsPaused);
    W.reset();  // without a close first: must neither hang nor touch a half-destroyed window
}
