// The worker of the algorithm component and everything that crosses between it and the host:
// the gate (one mutex, one condition variable, a release count), the status, event delivery
// through the host's Synchronize hook, the pause of the debugger, the sleep, and the end of a
// pass. Order: construction and shutdown, the public operations, the worker and the pass,
// events.
//
// The gate's rule: a status that invites a release (rsIdle, rsPaused) is entered under the
// mutex together with clearing the release count, and a release is counted under the mutex
// only while the status invites it. So a release is never lost (one that comes before the
// worker waits is still counted) and never wakes a later wait it was not meant for.

#include <chrono>

#include "vlm_AlgorithmImpl.h"
#include "vlm_Encoding.h"
#include "vlm_Errors.h"

// --- Construction and shutdown --------------------------------------------------------------

TAlgorithmImpl::TAlgorithmImpl(TAlgorithm &owner, const std::string &name)
    : Owner(owner), FName(name),
      FRandom(static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count())),
      FHostThread(std::this_thread::get_id()) {
    ResetErrorMessages();
    FCharKind.fill(-1);
    FKeyWords.OnError = [this](int code, const TArrayOfString &arguments, int position) {
        RaiseError(code, arguments, position + tlsHookBase);
    };
    FWorker = std::thread([this] { WorkerBody(); });
    FWorkerId = FWorker.get_id();
}

void TAlgorithmImpl::Shutdown() {
    {
        std::lock_guard lock(FMutex);
        FTerminate = true;
        FStopRequested = true;
    }
    FChanged.notify_all();
    // A worker waiting for the host to run a handler is let go by the host's abort; a host
    // whose abort only cancels the delivery pending right now gets it once per turn.
    std::unique_lock lock(FMutex);
    const bool onHost = std::this_thread::get_id() == FHostThread;
    while (FPassActive) {
        lock.unlock();
        if (Owner.AbortSynchronize)
            Owner.AbortSynchronize();
        else if (Owner.ProcessMessages && onHost)
            Owner.ProcessMessages();
        lock.lock();
        FChanged.wait_for(lock, std::chrono::milliseconds(2), [this] { return !FPassActive; });
    }
    lock.unlock();
    if (FWorker.joinable())
        FWorker.join();
}

// --- Public operations ----------------------------------------------------------------------

std::string TAlgorithmImpl::JoinedAlgoritmus() const {
    std::string text;
    for (size_t i = 0; i < Owner.Algoritmus.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += Owner.Algoritmus[i];
    }
    return text;
}

void TAlgorithmImpl::Execute() {
    const TMode mode = FMode;
    const bool paused = FStatus == rsPaused && mode != mdControl;
    std::string text = JoinedAlgoritmus();
    if (!paused && text.empty())
        ReportError(FormatErrorMessage(0, {}), 0, 0);  // position 0 is line 1, column 0 in any text

    if (mode != mdControl) {
        {
            std::lock_guard lock(FMutex);
            // Only an idle component (a new run) or a paused run (it goes on) takes a release;
            // a second pass must never start beside a check or a run.
            if (FStatus == rsRunning)
                return;
            FHostThread = std::this_thread::get_id();
            if (FStatus == rsIdle) {
                FPendingText = std::move(text);
                FLastFailure.clear();
                // Running from this moment, not from when the worker wakes: a check or a
                // second run asked for in between must find the component busy. The worker
                // delivers the status event when it starts the pass.
                FStatus = rsRunning;
            }
            FStopRequested = false;
            ++FReleases;
        }
        FChanged.notify_all();
        return;
    }

    {
        std::lock_guard lock(FMutex);
        if (FStatus != rsIdle)
            return;  // a check while a run is active would share the run's text and tables
        FHostThread = std::this_thread::get_id();
        FLastFailure.clear();
        FStopRequested = false;
        FCommandLines.clear();
        FCommandLineSet.clear();
    }
    SetText(std::move(text));
    if (!RunPass(true, false)) {
        std::lock_guard lock(FMutex);
        FCommandLines.clear();
        FCommandLineSet.clear();
    }
}

void TAlgorithmImpl::Stop() {
    bool onHost;
    {
        std::lock_guard lock(FMutex);
        FStopRequested = true;
        onHost = std::this_thread::get_id() == FHostThread;
    }
    FChanged.notify_all();  // ends a sleep and a pause at once
    // A worker may be waiting to deliver an event on this very thread; let it through so it
    // reaches its next look at the stop request.
    if (onHost && Owner.ProcessMessages)
        Owner.ProcessMessages();
    {
        std::lock_guard lock(FMutex);
        if (FStatus == rsPaused)
            ++FReleases;
    }
    FChanged.notify_all();
}

void TAlgorithmImpl::Continue() {
    {
        std::lock_guard lock(FMutex);
        if (FStatus != rsPaused)
            return;
        ++FReleases;
    }
    FChanged.notify_all();
}

TArrayOfString TAlgorithmImpl::CommandLines() const {
    std::lock_guard lock(FMutex);
    return FCommandLines;
}

std::string TAlgorithmImpl::LastFailure() const {
    std::lock_guard lock(FMutex);
    return FLastFailure;
}

void TAlgorithmImpl::SetLastFailure(const std::string &reason) {
    std::lock_guard lock(FMutex);
    FLastFailure = reason;
}

// --- The worker and the pass ----------------------------------------------------------------

void TAlgorithmImpl::WorkerBody() {
    std::unique_lock lock(FMutex);
    for (;;) {
        FChanged.wait(lock, [this] { return FReleases > 0 || FTerminate; });
        if (FTerminate)
            break;
        FReleases = 0;
        std::string text = std::move(FPendingText);
        FPendingText.clear();
        FStatus = rsRunning;
        FPassActive = true;
        lock.unlock();

        SetText(std::move(text));
        RunPass(false, true);

        lock.lock();
        FPassActive = false;
        FChanged.notify_all();
    }
}

TWordKind TAlgorithmImpl::KindOf(const std::string &word) {
    if (word.size() == 1) {
        signed char &known = FCharKind[static_cast<unsigned char>(word[0])];
        if (known < 0)
            known = static_cast<signed char>(FKeyWords.WordKind(word));
        return static_cast<TWordKind>(known);
    }
    auto it = FKindCache.find(word);
    if (it != FKindCache.end())
        return it->second;
    const TWordKind kind = FKeyWords.WordKind(word);
    if (FKindCache.size() > 65536)
        FKindCache.clear();
    FKindCache.emplace(word, kind);
    return kind;
}

bool TAlgorithmImpl::RunPass(bool check, bool statusAlreadyRunning) {
    SetLastFailure(std::string());
    FKindCache.clear();
    FCharKind.fill(-1);
    FDepth = 0;
    bool succeeded = false;
    try {
        if (statusAlreadyRunning)
            NotifyStatus();
        else
            ChangeStatus(rsRunning);
        int pos = 1;
        const std::string first = NextWord(pos);
        if (KindOf(first) != wkBegin)
            RaiseError(1, {FKeyWords.KeyWord(wkBegin), FKeyWords.KeyWord(wkEnd)},
                       pos - static_cast<int>(first.size()));
        int start = 1;
        int limit = static_cast<int>(FText.size());
        int next = 0;
        ReadBody(start, limit, next);
        if (check)
            CheckRange(start, limit);
        else
            ExecuteRange(start, limit);
        succeeded = true;
    } catch (const ECatalogueError &) {
        // Already delivered through OnCompileError.
    } catch (const EPassStopped &) {
    } catch (const EPassFailure &e) {
        SetLastFailure(e.what());
    } catch (const std::bad_alloc &) {
        SetLastFailure("out of memory");
    } catch (const std::exception &e) {
        SetLastFailure(std::string("unexpected failure: ") + e.what());
    } catch (...) {
        SetLastFailure("unexpected failure");
    }
    ClearVariables();
    ClearElements();
    try {
        ChangeStatus(rsIdle);
    } catch (...) {
        // The host could not take the last status event (it is closing); the pass is over anyway.
    }
    return succeeded;
}

void TAlgorithmImpl::ChangeStatus(TRunStatus status) {
    {
        std::lock_guard lock(FMutex);
        if (FStatus == status)
            return;
        if (status != rsRunning)
            FReleases = 0;
        FStatus = status;
    }
    NotifyStatus();
}

void TAlgorithmImpl::BeforeCommand(int position) {
    if (!Owner.OnBeforeDoCommand)
        return;
    int line, column;
    PosToLineCol(position, line, column);
    Deliver([&] { Owner.OnBeforeDoCommand(Owner, line, column); });
}

void TAlgorithmImpl::DebugStep(int position) {
    if (FMode != mdDebug)
        return;
    if (Owner.OnDebug) {
        int line, column;
        PosToLineCol(position, line, column);
        Deliver([&] { Owner.OnDebug(Owner, line, column); });
    }
    ChangeStatus(rsPaused);
    {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [this] { return FReleases > 0 || FStopRequested || FTerminate; });
        FReleases = 0;
        FStatus = rsRunning;
    }
    NotifyStatus();
}

void TAlgorithmImpl::SleepFor(int64_t milliseconds) {
    if (milliseconds <= 0)
        return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock lock(FMutex);
    FChanged.wait_until(lock, until, [this] { return FStopRequested || FTerminate; });
}

// --- Events ---------------------------------------------------------------------------------

void TAlgorithmImpl::Deliver(const std::function<void()> &call) {
    if (FTerminate)
        throw EPassFailure("the component is being destroyed");
    auto guarded = [&] {
        try {
            call();
        } catch (const std::exception &e) {
            throw EPassFailure(std::string("an event handler failed: ") + e.what());
        } catch (...) {
            throw EPassFailure("an event handler failed");
        }
    };
    if (!OnWorker() || !Owner.Synchronize) {
        guarded();
        return;
    }
    std::exception_ptr failure;
    const bool ran = Owner.Synchronize([&] {
        try {
            guarded();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (!ran)
        throw EPassFailure("the host cancelled the delivery of an event");
    if (failure)
        std::rethrow_exception(failure);
}

void TAlgorithmImpl::NotifyStatus() {
    if (Owner.OnStatusChange)
        Deliver([&] { Owner.OnStatusChange(Owner); });
}

void TAlgorithmImpl::ReportError(const std::string &message, int code, int position) {
    int line, column;
    if (FStatus == rsIdle && !OnWorker() && code != 0) {
        // Outside a pass (a host reading words with our keyword set) the position belongs to
        // the current lines of Algoritmus; the pass's own text is left alone.
        TLineTable table;
        const std::string text = JoinedAlgoritmus();
        table.Build(text);
        table.LineCol(static_cast<int>(text.size()), position, line, column);
    } else {
        PosToLineCol(position, line, column);
    }
    if (Owner.OnCompileError)
        Deliver([&] { Owner.OnCompileError(Owner, message, code, line, column); });
    Stop();
    throw ECatalogueError(code, "Error " + std::to_string(code) + " (" + std::to_string(line) + ", " +
                                    std::to_string(column) + "): " + message);
}

void TAlgorithmImpl::NotifyWrite(const std::string &text) {
    if (Owner.OnWrite)
        Deliver([&] { Owner.OnWrite(Owner, text); });
}

void TAlgorithmImpl::NotifyVarValue(const std::string &name, const Value &value) {
    if (Owner.OnVarValueChange && FMode != mdControl)
        Deliver([&] { Owner.OnVarValueChange(Owner, name, value); });
}

void TAlgorithmImpl::NotifyVarArray(const std::string &name, const TArrayOfInteger &coords, const Value &value) {
    if (Owner.OnVarArrayChange && FMode != mdControl)
        Deliver([&] { Owner.OnVarArrayChange(Owner, name, coords, value); });
}
