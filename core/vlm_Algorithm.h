#pragma once
// The algorithm component: holds the source of one algorithm, checks it (on the caller's
// thread) and runs it (on its own worker thread), command by command straight from the text.
// The host talks to it only through the events below and two hooks; every event reaches the
// host through `Synchronize` while the worker waits for the handler to return.
//
// This header is the public face; the compiler, the execution, the variables and the worker
// live in their own files.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "vlm_KeyWords.h"
#include "vlm_Value.h"

enum TMode : unsigned char { mdControl, mdRun, mdDebug };
enum TRunStatus : unsigned char { rsIdle, rsRunning, rsPaused };

class TAlgorithm;

using TOnCompileErrorEvent =
    std::function<void(TAlgorithm &Sender, const std::string &Msg, int ErrorCode, int Line, int Row)>;
using TOnWriteEvent = std::function<void(TAlgorithm &Sender, const std::string &s)>;
using TOnVarValueChangeEvent =
    std::function<void(TAlgorithm &Sender, const std::string &AName, const Value &Value)>;
using TOnVarArrayChangeEvent = std::function<void(TAlgorithm &Sender, const std::string &AName,
                                                  const TArrayOfInteger &ACoords, const Value &Value)>;
using TOnReadValueEvent = std::function<void(TAlgorithm &Sender, const std::string &AName, Value &Value)>;
using TOnDebugEvent = std::function<void(TAlgorithm &Sender, int Line, int Row)>;
using TNotifyEvent = std::function<void(TAlgorithm &Sender)>;

// Runs `fn` on the host's thread and returns when it has run: true. Returns false without
// running it when the host aborted the delivery (the program is closing); the worker then
// ends the pass as after a stop. Without a hook, `fn` runs on the calling thread.
using TSynchronizeHook = std::function<bool(const std::function<void()> &fn)>;

class TAlgorithmImpl;

class TAlgorithm {
public:
    explicit TAlgorithm(const std::string &name = "algAlgorithm");
    ~TAlgorithm();
    TAlgorithm(const TAlgorithm &) = delete;
    TAlgorithm &operator=(const TAlgorithm &) = delete;

    const std::string &Name() const;

    // The source lines (Windows-1250). Assign only while Status is rsIdle.
    TArrayOfString Algoritmus;

    // Line numbers (decimal texts) on which a command begins, filled by a check.
    TArrayOfString CommandLines() const;

    TMode Mode() const;
    void SetMode(TMode mode);  // any time, also from an event handler during a run
    TRunStatus Status() const;
    bool StopRequested() const;

    TKeyWords &KeyWords();
    const TKeyWords &KeyWords() const;

    // Why the last pass ended through a failure outside the error catalogue; empty when it
    // did not. Cleared when a pass starts. A short English sentence; values quoted in it are
    // Windows-1250 like every core text.
    std::string LastFailure() const;

    void Execute();   // error 0 on an empty text: the event, then ECatalogueError to the caller
    void Stop();
    void Continue();
    void LoadErrorTexts(const std::string &fileName);

    // Events (delivered only when set).
    TOnCompileErrorEvent OnCompileError;
    TOnVarValueChangeEvent OnVarValueChange;
    TOnWriteEvent OnWrite;
    TOnDebugEvent OnDebug;
    TOnReadValueEvent OnReadValue;
    TNotifyEvent OnStatusChange;
    TOnVarArrayChangeEvent OnVarArrayChange;
    TOnDebugEvent OnBeforeDoCommand;

    // Host hooks. Synchronize: see above. ProcessMessages: lets the host's event loop run
    // (between the commands of a check, and inside Stop on the host's thread).
    TSynchronizeHook Synchronize;
    std::function<void()> ProcessMessages;
    // Called by the destructor before it waits for the worker, so a host whose Synchronize
    // waits on another thread can make a pending delivery return false.
    std::function<void()> AbortSynchronize;

    // Optional: seeds the generator of `random` (the CLI and tests use it for repeatable runs).
    void SeedRandom(unsigned seed);

private:
    std::unique_ptr<TAlgorithmImpl> FImpl;
};
