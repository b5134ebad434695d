#pragma once
// The run side of the main window: the check, run, step and stop commands, the algorithm
// component's eight events turned into what the run panels and the active document show,
// the locking of the other documents while a run goes on, and how the last run ended.
//
// The component's events reach this class on the main thread through TMainThreadHook; a
// check runs on the main thread itself and delivers them directly.

#include <QObject>
#include <QString>

#include <string>

#include "vlm_Algorithm.h"

class QAction;
class TfrmAlgorithms;
class TfrmEditor;
class TMainThreadHook;
class TRunPanels;
class QWidget;

// Shows the message of a command that failed (core texts are Windows-1250, ours UTF-8).
void ShowCommandFailure(QWidget *window, const std::string &what);

class TAlgorithmsRun : public QObject {
    Q_OBJECT
public:
    enum TRunEnd { reNone, reFinished, reStopped, reError, reFailure };

    explicit TAlgorithmsRun(TfrmAlgorithms &window);
    ~TAlgorithmsRun() override;

    TRunPanels *Panels() const { return FPanels; }
    TMainThreadHook &Hook() const { return *FHook; }

    // "Remove all stop marks" of the active document (the Run menu).
    QAction *actClearBreakPoints = nullptr;

    // Empties the panels; with an active document, its lines become the algorithm's text.
    void ClearRunPanels();

    void actCompileExecute();
    void actRunExecute();
    void actStepOverExecute();
    void actStopExecute();
    void actClearBreakPointsExecute();

    // The run commands' enabling rules; called with the window's other rules.
    void UpdateActions();
    // The status as the commands see it: a run just started counts as running before the
    // worker has taken it up.
    TRunStatus EffectiveStatus() const;
    // The status of the last status event handled here (what the window shows).
    TRunStatus ShownStatus() const { return FLastStatus; }
    int StatusEvents() const { return FStatusEvents; }

    // How the last run (not a check) ended, and the status bar's text for it.
    TRunEnd LastRunEnd() const { return FLastRunEnd; }
    static QString RunEndText(TRunEnd end);

    // Closing: stops the run and makes every later delivery of an event return at once.
    void Shutdown();

private:
    void algAlgorithmCompileError(const std::string &msg, int errorCode, int line, int row);
    void algAlgorithmWrite(const std::string &text);
    void algAlgorithmReadValue(const std::string &name, Value &value);
    void algAlgorithmVarValueChange(const std::string &name, const Value &value);
    void algAlgorithmVarArrayChange(const std::string &name, const TArrayOfInteger &coords, const Value &value);
    void algAlgorithmBeforeDoCommand(int line, int row);
    void algAlgorithmDebug(int line, int row);
    void algAlgorithmStatusChange();

    void StartRun(TMode mode);
    void RunDocumentGone();
    void RunEnded();
    TfrmEditor *ActiveEditor() const;
    // Runs a command; an exception is shown in a message box instead of escaping.
    template <class F> void Guarded(F &&command);

    TfrmAlgorithms &W;
    TAlgorithm &Alg;
    TRunPanels *FPanels = nullptr;
    TMainThreadHook *FHook = nullptr;
    bool FShutDown = false;
    bool FStarting = false;       // a run started or released, the worker has not reported yet
    bool FPassIsCheck = false;
    bool FPassHadError = false;
    bool FUserStopped = false;
    TRunStatus FLastStatus = rsIdle;
    int FStatusEvents = 0;
    TRunEnd FLastRunEnd = reNone;
};
