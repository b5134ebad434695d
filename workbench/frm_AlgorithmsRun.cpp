// Order: creation and shutdown, the run commands, the component's events, enabling.
#include "frm_AlgorithmsRun.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>

#include <Qsci/qsciscintilla.h>

#include "frm_Algorithms.h"
#include "frm_Editor.h"
#include "frm_RunPanels.h"
#include "unt_Localization.h"
#include "unt_MainThreadHook.h"
#include "unt_Prompts.h"
#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_Utils.h"

namespace {

QString FromCore(const std::string &text) { return QString::fromStdString(Cp1250ToUtf8(text)); }

QString ValueText(const Value &value) { return FromCore(ValueToText(value)); }

// A language file may give a template that asks for more than we pass; the line must
// still appear.
QString FormatOrPlain(const QString &key, const QVariantList &args, const QString &plain) {
    try {
        return FormatMessage(key, args);
    } catch (const std::exception &) {
        return plain;
    }
}

}  // namespace

// ---- Creation and shutdown ---------------------------------------------------------------

TAlgorithmsRun::TAlgorithmsRun(TfrmAlgorithms &window) : QObject(&window), W(window), Alg(window.algAlgorithm) {
    setObjectName(QStringLiteral("AlgorithmsRun"));
    FPanels = new TRunPanels(this);
    // The docks come with placeholders; the panels take their place.
    for (QDockWidget *dock : {W.dcpOutput, W.dcpErrors, W.dcpVariables, W.dcpArrays})
        if (QWidget *placeholder = dock->widget())
            placeholder->deleteLater();
    FPanels->AttachDocks(W.dcpOutput, W.dcpErrors, W.dcpVariables, W.dcpArrays);
    SetColumnNames(FPanels->grdVariables, {QStringLiteral("clmName"), QStringLiteral("clmValue")});
    FPanels->SetArrayAlignment(W.ArrayAlignment | Qt::AlignVCenter);
    connect(FPanels, &TRunPanels::ErrorActivated, this, [this](int line, int column) {
        if (TfrmEditor *editor = ActiveEditor()) {
            editor->SetCaret(line, column);
            editor->sedEditor->setFocus();
        }
    });

    FHook = new TMainThreadHook(&W);
    FHook->Install(Alg);
    Alg.OnCompileError = [this](TAlgorithm &, const std::string &msg, int code, int line, int row) {
        algAlgorithmCompileError(msg, code, line, row);
    };
    Alg.OnWrite = [this](TAlgorithm &, const std::string &s) { algAlgorithmWrite(s); };
    Alg.OnReadValue = [this](TAlgorithm &, const std::string &name, Value &value) {
        algAlgorithmReadValue(name, value);
    };
    Alg.OnVarValueChange = [this](TAlgorithm &, const std::string &name, const Value &value) {
        algAlgorithmVarValueChange(name, value);
    };
    Alg.OnVarArrayChange = [this](TAlgorithm &, const std::string &name, const TArrayOfInteger &coords,
                                  const Value &value) { algAlgorithmVarArrayChange(name, coords, value); };
    Alg.OnBeforeDoCommand = [this](TAlgorithm &, int line, int row) { algAlgorithmBeforeDoCommand(line, row); };
    Alg.OnDebug = [this](TAlgorithm &, int line, int row) { algAlgorithmDebug(line, row); };
    Alg.OnStatusChange = [this](TAlgorithm &) { algAlgorithmStatusChange(); };

    connect(W.actCompile, &QAction::triggered, this, [this] { Guarded([this] { actCompileExecute(); }); });
    connect(W.actRun, &QAction::triggered, this, [this] { Guarded([this] { actRunExecute(); }); });
    connect(W.actStepOver, &QAction::triggered, this, [this] { Guarded([this] { actStepOverExecute(); }); });
    connect(W.actStop, &QAction::triggered, this, [this] { Guarded([this] { actStopExecute(); }); });

    actClearBreakPoints = new QAction(QStringLiteral("Odebrat všechny stop-značky"), &W);
    actClearBreakPoints->setObjectName(QStringLiteral("actClearBreakPoints"));
    actClearBreakPoints->setToolTip(QStringLiteral("Odebere všechny stop-značky aktuálního algoritmu"));
    actClearBreakPoints->setStatusTip(actClearBreakPoints->toolTip());
    W.addAction(actClearBreakPoints);
    W.mnuRun->addAction(actClearBreakPoints);
    connect(actClearBreakPoints, &QAction::triggered, this,
            [this] { Guarded([this] { actClearBreakPointsExecute(); }); });
}

// The component is a member of the window and goes before its children, this one included;
// the hook therefore outlives the worker.
TAlgorithmsRun::~TAlgorithmsRun() { delete FHook; }

void TAlgorithmsRun::Shutdown() {
    FShutDown = true;
    FHook->Abort();
    Alg.Stop();
}

void ShowCommandFailure(QWidget *window, const std::string &what) {
    // The program's title: a maximised document puts its own caption into the window's.
    Prompter().Error(window, QGuiApplication::applicationDisplayName(), IsValidUtf8(what) ? QString::fromStdString(what) : FromCore(what));
}

template <class F> void TAlgorithmsRun::Guarded(F &&command) {
    try {
        command();
    } catch (const std::exception &e) {
        ShowCommandFailure(&W, e.what());
    }
}

TfrmEditor *TAlgorithmsRun::ActiveEditor() const { return W.ActiveEditor(); }

// ---- Commands ----------------------------------------------------------------------------

void TAlgorithmsRun::ClearRunPanels() {
    FPanels->ClearRunPanels();
    if (TfrmEditor *editor = ActiveEditor())
        Alg.Algoritmus = editor->CoreLines();
}

void TAlgorithmsRun::actCompileExecute() {
    ClearRunPanels();
    TfrmEditor *editor = ActiveEditor();
    if (!editor)
        return;
    Alg.SetMode(mdControl);
    Alg.Execute();  // error 0 of an empty text leaves here as an exception, after its event
    QStringList lines;
    for (const std::string &line : Alg.CommandLines())
        lines << QString::fromStdString(line);
    // The check lets events through: the document may be gone by now.
    if (TfrmEditor *now = ActiveEditor(); now == editor)
        editor->SetCommandLines(lines);
}

void TAlgorithmsRun::StartRun(TMode mode) {
    Alg.SetMode(mode);
    if (Alg.Status() == rsIdle) {
        FPassIsCheck = false;
        FPassHadError = false;
        FUserStopped = false;
    }
    // Until the worker reports, the run counts as running, so a second key press cannot
    // start or release it twice.
    FStarting = true;
    Alg.Execute();
}

void TAlgorithmsRun::actRunExecute() {
    TfrmEditor *editor = ActiveEditor();
    if (!editor || EffectiveStatus() == rsRunning)
        return;
    if (Alg.Status() != rsPaused) {
        ClearRunPanels();
        if (editor->CommandLines().isEmpty())
            actCompileExecute();
        if (ActiveEditor() != editor || editor->CommandLines().isEmpty())
            return;
    }
    StartRun(mdRun);
}

void TAlgorithmsRun::actStepOverExecute() {
    TfrmEditor *editor = ActiveEditor();
    if (!editor || EffectiveStatus() == rsRunning)
        return;
    Alg.SetMode(mdDebug);
    if (Alg.Status() == rsPaused) {
        FStarting = true;
        Alg.Continue();
        return;
    }
    ClearRunPanels();
    if (editor->CommandLines().isEmpty()) {
        actCompileExecute();
        Alg.SetMode(mdDebug);
    }
    if (ActiveEditor() == editor && !editor->CommandLines().isEmpty())
        StartRun(mdDebug);
}

void TAlgorithmsRun::actStopExecute() {
    FUserStopped = true;
    Alg.Stop();
}

void TAlgorithmsRun::actClearBreakPointsExecute() {
    TfrmEditor *editor = ActiveEditor();
    if (!editor)
        return;
    const QStringList marks = editor->StopMarks();
    for (const QString &mark : marks)
        if (editor->StopMarks().contains(mark))
            editor->ToggleStopMark(mark.toInt());
}

// ---- Events of the component -------------------------------------------------------------

void TAlgorithmsRun::algAlgorithmCompileError(const std::string &msg, int errorCode, int line, int row) {
    FPassHadError = true;
    const QString message = FromCore(msg);
    FPanels->AddErrorLine(FormatOrPlain(QStringLiteral("Error"), {errorCode, line, message},
                                        QStringLiteral("[%1] (%2): %3").arg(errorCode).arg(line).arg(message)),
                          line, row);
    if (TfrmEditor *editor = ActiveEditor()) {
        editor->SetCaret(line, 1);
        editor->SetCaret(line, row);
        if (!editor->HasStopMark(line))
            editor->ToggleStopMark(line);
    }
    QApplication::beep();
}

void TAlgorithmsRun::algAlgorithmWrite(const std::string &text) { FPanels->AddOutputLine(FromCore(text)); }

void TAlgorithmsRun::algAlgorithmReadValue(const std::string &name, Value &value) {
    QString text = ValueText(value);
    if (Prompter().ReadValue(&W, GetMessageText(QStringLiteral("ReadCaption")), FromCore(name), text)) {
        value = NormalizeValue(Value(Utf8ToCp1250(text.toStdString())));
    } else {
        FUserStopped = true;
        Alg.Stop();
    }
}

void TAlgorithmsRun::algAlgorithmVarValueChange(const std::string &name, const Value &value) {
    FPanels->SetVariable(FromCore(name), ValueText(value));
}

void TAlgorithmsRun::algAlgorithmVarArrayChange(const std::string &name, const TArrayOfInteger &coords,
                                                const Value &value) {
    if (coords.size() > 2)
        return;
    FPanels->SetArrayElement(FromCore(name), std::vector<int>(coords.begin(), coords.end()), ValueText(value));
}

void TAlgorithmsRun::algAlgorithmBeforeDoCommand(int line, int) {
    // Stop marks are read live: one set or removed during the run counts from here on.
    if (TfrmEditor *editor = ActiveEditor(); editor && editor->HasStopMark(line))
        Alg.SetMode(mdDebug);
}

void TAlgorithmsRun::algAlgorithmDebug(int line, int) {
    if (TfrmEditor *editor = ActiveEditor()) {
        editor->GotoLine(line);
        editor->SetActiveLine(line);
    }
}

void TAlgorithmsRun::algAlgorithmStatusChange() {
    const TRunStatus status = Alg.Status();
    FStarting = false;
    ++FStatusEvents;
    if (FLastStatus == rsIdle && status != rsIdle) {
        // How the previous run ended is old news once the next pass starts.
        if (!FShutDown && FLastRunEnd != reNone && W.pnlHint->text() == RunEndText(FLastRunEnd))
            W.pnlHint->clear();
        FPassIsCheck = Alg.Mode() == mdControl;
        // Closing the document a pass works on ends the pass.
        if (TfrmEditor *editor = ActiveEditor())
            connect(editor, &TfrmEditor::OnDestroyed, this, &TAlgorithmsRun::RunDocumentGone, Qt::UniqueConnection);
        if (FPassIsCheck) {
            FPassHadError = false;
            FUserStopped = false;
        }
    }
    const bool ended = FLastStatus != rsIdle && status == rsIdle;
    FLastStatus = status;
    if (FShutDown)
        return;

    W.UpdateRunStatePanel();
    const bool idle = status == rsIdle;
    TfrmEditor *editor = ActiveEditor();
    // The end of a pass unlocks every window, also when the document it ran was closed
    // meanwhile and another one (or none) is active now.
    if (editor || idle) {
        if (editor)
            editor->sedEditor->setReadOnly(!idle);
        W.tabWindows->setEnabled(idle);
        W.mnuWindowList->setEnabled(idle);
        for (TfrmEditor *other : W.Editors()) {
            if (other == editor)
                continue;
            if (idle)
                other->sedEditor->setReadOnly(false);
            if (QMdiSubWindow *sub = W.SubWindowOf(other))
                sub->setEnabled(idle);
        }
        if (editor && status != rsPaused)
            editor->SetActiveLine(-1);
        // The windows were locked when the run's document went, so none took its place.
        if (!editor && !W.Editors().isEmpty()) {
            const int tab = W.tabWindows->currentIndex();
            W.ShowEditor(W.Editors().value(tab, W.Editors().last()));
        }
    }
    if (ended)
        RunEnded();
}

void TAlgorithmsRun::RunDocumentGone() {
    if (!FShutDown && Alg.Status() != rsIdle) {
        FUserStopped = true;
        Alg.Stop();
    }
}

void TAlgorithmsRun::RunEnded() {
    if (FPassIsCheck)
        return;
    const std::string failure = Alg.LastFailure();
    if (FPassHadError) {
        FLastRunEnd = reError;
    } else if (FUserStopped || Alg.StopRequested()) {
        // Stopped by the user, a cancelled prompt, or the window closing.
        FLastRunEnd = reStopped;
    } else if (!failure.empty()) {
        FLastRunEnd = reFailure;
        const QString reason = IsValidUtf8(failure) ? QString::fromStdString(failure) : FromCore(failure);
        FPanels->AddErrorLine(FormatOrPlain(QStringLiteral("RunFailure"), {reason}, reason), 0, 0);
    } else {
        FLastRunEnd = reFinished;
    }
    W.pnlHint->setText(RunEndText(FLastRunEnd));
}

QString TAlgorithmsRun::RunEndText(TRunEnd end) {
    switch (end) {
    case reFinished: return GetMessageText(QStringLiteral("RunStateFinished"));
    case reStopped: return GetMessageText(QStringLiteral("RunStateStopped"));
    case reError: return GetMessageText(QStringLiteral("RunStateError"));
    case reFailure: return GetMessageText(QStringLiteral("RunStateFailure"));
    case reNone: break;
    }
    return {};
}

// ---- Enabling ----------------------------------------------------------------------------

TRunStatus TAlgorithmsRun::EffectiveStatus() const {
    return FStarting ? rsRunning : Alg.Status();
}

void TAlgorithmsRun::UpdateActions() {
    TfrmEditor *editor = ActiveEditor();
    const bool window = editor != nullptr;
    const TRunStatus status = EffectiveStatus();
    const bool idle = status == rsIdle;
    const bool idleOrPaused = idle || status == rsPaused;
    auto set = [](QAction *action, bool enabled) {
        if (action->isEnabled() != enabled)
            action->setEnabled(enabled);
    };
    set(W.actCompile, window && idle);
    set(W.actRun, window && idleOrPaused);
    set(W.actStepOver, window && idleOrPaused);
    set(W.actStop, !idle);
    set(actClearBreakPoints, window && !editor->StopMarks().isEmpty());
}
