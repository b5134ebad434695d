// The worker thread, the gate and the host hooks. A second thread plays the workbench's
// user-interface thread: it runs posted functions one by one, the component's Synchronize
// posts the handler call there and waits, and an abort flag makes pending and later
// deliveries return false (as when the program closes). The tests wait on events, never on
// time; a wait that runs out fails the test instead of hanging it.

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "algorithm_harness.h"

namespace {

class TUiThread {
public:
    TUiThread() : FThread([this] { Loop(); }) {}
    ~TUiThread() {
        {
            std::lock_guard lock(FMutex);
            FQuit = true;
        }
        FChanged.notify_all();
        FThread.join();
    }

    std::thread::id Id() const { return FThread.get_id(); }

    // Runs `fn` on the user-interface thread and waits for it (the test's own actions).
    void Call(const std::function<void()> &fn) {
        auto item = std::make_shared<TItem>();
        item->Fn = &fn;
        item->Action = true;
        std::unique_lock lock(FMutex);
        FQueue.push_back(item);
        FChanged.notify_all();
        FChanged.wait(lock, [&] { return item->State == isDone; });
    }

    // The component's Synchronize hook.
    bool Synchronize(const std::function<void()> &fn) {
        if (std::this_thread::get_id() == Id()) {
            fn();
            return true;
        }
        auto item = std::make_shared<TItem>();
        item->Fn = &fn;
        std::unique_lock lock(FMutex);
        if (FAborted)
            return false;
        FQueue.push_back(item);
        ++FPosted;
        FChanged.notify_all();
        FChanged.wait(lock, [&] { return item->State == isDone || (FAborted && item->State == isPending); });
        if (item->State == isPending) {
            item->State = isDropped;
            return false;
        }
        return true;
    }

    void Abort() {
        std::lock_guard lock(FMutex);
        FAborted = true;
        FChanged.notify_all();
    }

    // The component's ProcessMessages hook: runs what is queued, on the UI thread only.
    void ProcessMessages() {
        if (std::this_thread::get_id() != Id())
            return;
        std::unique_lock lock(FMutex);
        while (!FQueue.empty())
            RunFront(lock);
    }

    // Waits (from any thread) until a worker has posted `count` deliveries in all.
    bool WaitForPosted(int count) {
        std::unique_lock lock(FMutex);
        return FChanged.wait_for(lock, std::chrono::seconds(100), [&] { return FPosted >= count; });
    }

    void Install(TAlgorithm &a) {
        a.Synchronize = [this](const std::function<void()> &fn) { return Synchronize(fn); };
        a.ProcessMessages = [this] { ProcessMessages(); };
        a.AbortSynchronize = [this] { Abort(); };
    }

private:
    enum TState { isPending, isRunning, isDone, isDropped };
    struct TItem {
        const std::function<void()> *Fn = nullptr;
        bool Action = false;
        TState State = isPending;
    };

    void RunFront(std::unique_lock<std::mutex> &lock) {
        auto item = FQueue.front();
        FQueue.pop_front();
        if (item->State != isPending)
            return;  // a delivery given up by its worker
        item->State = isRunning;
        lock.unlock();
        (*item->Fn)();
        lock.lock();
        item->State = isDone;
        FChanged.notify_all();
    }

    void Loop() {
        std::unique_lock lock(FMutex);
        for (;;) {
            FChanged.wait(lock, [this] { return FQuit || !FQueue.empty(); });
            if (FQuit && FQueue.empty())
                return;
            RunFront(lock);
        }
    }

    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<std::shared_ptr<TItem>> FQueue;
    bool FAborted = false;
    bool FQuit = false;
    int FPosted = 0;
    std::thread FThread;
};

// A component hosted by the UI thread, with a recorder on every event.
struct THosted {
    TUiThread Ui;
    std::unique_ptr<TAlgorithm> A = std::make_unique<TAlgorithm>();
    TRecorder R;
    std::atomic<int> OffThreadEvents{0};

    explicit THosted(const std::string &source) {
        R.Attach(*A);
        Ui.Install(*A);
        A->Algoritmus = SourceLines(source);
        // Every handler must run on the UI thread.
        auto wrapWrite = A->OnWrite;
        A->OnWrite = [this, wrapWrite](TAlgorithm &s, const std::string &t) {
            CountThread();
            wrapWrite(s, t);
        };
        auto wrapVar = A->OnVarValueChange;
        A->OnVarValueChange = [this, wrapVar](TAlgorithm &s, const std::string &n, const Value &v) {
            CountThread();
            wrapVar(s, n, v);
        };
        auto wrapStatus = A->OnStatusChange;
        A->OnStatusChange = [this, wrapStatus](TAlgorithm &s) {
            CountThread();
            wrapStatus(s);
        };
    }
    ~THosted() { Destroy(); }

    void CountThread() {
        if (std::this_thread::get_id() != Ui.Id())
            ++OffThreadEvents;
    }
    void Start(TMode mode) {
        Ui.Call([&] {
            A->SetMode(mode);
            A->Execute();
        });
    }
    void Destroy() {
        Ui.Call([&] { A.reset(); });
    }
    int Count(const std::string &prefix) {
        std::lock_guard lock(R.Mutex);
        int n = 0;
        for (const auto &t : R.Trace)
            n += t.starts_with(prefix);
        return n;
    }
    bool WaitIdle(int idles = 1) {
        return R.WaitFor([&] { return R.Idles >= idles; });
    }
    bool WaitPauses(int pauses) {
        return R.WaitFor([&] { return R.Pauses >= pauses; });
    }
};

// --- Delivery ------------------------------------------------------------------------------

TEST(ThreadDelivery, EveryEventRunsOnTheHostThreadWhileTheWorkerWaits) {
    THosted h("začátek\n  čti(x);\n  pro i od 1 do 3 opakuj a[i] := x * i;\n  napiš(a[3]);\n  napiš(y);\nkonec");
    h.R.Inputs = {"7"};
    std::thread::id readOn;
    auto read = h.A->OnReadValue;
    h.A->OnReadValue = [&](TAlgorithm &s, const std::string &n, Value &v) {
        readOn = std::this_thread::get_id();
        read(s, n, v);
    };
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle());
    EXPECT_EQ(h.OffThreadEvents, 0);
    EXPECT_TRUE(readOn == h.Ui.Id());
    std::lock_guard lock(h.R.Mutex);
    EXPECT_EQ(h.R.Output, (std::vector<std::string>{"21"}));
    ASSERT_EQ(h.R.Errors.size(), 1u);
    EXPECT_EQ(h.R.Errors[0].Code, 3);
}

TEST(ThreadDelivery, CheckOnTheHostThreadRunsHandlersDirectly) {
    THosted h("začátek\n  x := ;\nkonec");
    h.Ui.Call([&] {
        h.A->SetMode(mdControl);
        h.A->Execute();
    });
    EXPECT_EQ(h.OffThreadEvents, 0);
    std::lock_guard lock(h.R.Mutex);
    ASSERT_EQ(h.R.Errors.size(), 1u);
    EXPECT_EQ(h.R.Errors[0].Code, 15);
    EXPECT_EQ(h.A->Status(), rsIdle);
}

TEST(ThreadRun, AbortedDeliveryEndsThePassWithAReason) {
    THosted h("začátek\n  dokud true opakuj napiš(1);\nkonec");
    std::atomic<int> refused{0};
    std::mutex m;
    std::condition_variable cv;
    h.A->Synchronize = [&](const std::function<void()> &fn) {
        const bool ran = h.Ui.Synchronize(fn);
        if (!ran) {
            std::lock_guard lock(m);
            ++refused;
            cv.notify_all();
        }
        return ran;
    };
    h.Start(mdRun);
    ASSERT_TRUE(h.R.WaitFor([&] { return h.R.Output.size() >= 3; }));
    h.Ui.Abort();
    // The refused write ends the pass; the idle status event is refused as well.
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(100), [&] { return refused >= 2; }));
    EXPECT_EQ(h.A->Status(), rsIdle);
    EXPECT_EQ(h.A->LastFailure(), "the host cancelled the delivery of an event");
}

TEST(ThreadRun, HandlerExceptionEndsThePassWithAReason) {
    THosted h("začátek\n  napiš(1);\n  napiš(2);\nkonec");
    h.A->OnWrite = [](TAlgorithm &, const std::string &) { throw std::runtime_error("boom"); };
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle());
    EXPECT_EQ(h.A->LastFailure(), "an event handler failed: boom");
    EXPECT_EQ(h.Count("error"), 0);
    // A new pass clears the reason.
    h.A->OnWrite = nullptr;
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle(2));
    EXPECT_EQ(h.A->LastFailure(), "");
}

// --- Stop ----------------------------------------------------------------------------------

TEST(ThreadRun, StopFromInsideAHandlerEndsBeforeTheNextCommand) {
    THosted h("začátek\n  pro i od 1 do 5 opakuj\n    napiš(i);\n  napiš('after');\nkonec");
    auto write = h.A->OnWrite;
    h.A->OnWrite = [&](TAlgorithm &s, const std::string &t) {
        write(s, t);
        s.Stop();
    };
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle());
    std::lock_guard lock(h.R.Mutex);
    EXPECT_EQ(h.R.Output, (std::vector<std::string>{"1"}));
    EXPECT_TRUE(h.A->StopRequested());
    EXPECT_EQ(h.A->LastFailure(), "");
}

// Stop given on the host thread while the worker waits for that very thread to run a
// handler lets the pending delivery through, so the worker reaches its next look at the stop.
TEST(ThreadRun, StopOnTheHostLetsAPendingDeliveryThrough) {
    THosted h("začátek\n  napiš(1);\n  napiš(2);\nkonec");
    bool deliveredDuringStop = false;
    h.Ui.Call([&] {
        h.A->SetMode(mdRun);
        h.A->Execute();
        ASSERT_TRUE(h.Ui.WaitForPosted(1));  // "status running" waits for this thread
        h.A->Stop();
        std::lock_guard lock(h.R.Mutex);
        deliveredDuringStop = !h.R.Trace.empty() && h.R.Trace[0] == "status running";
    });
    EXPECT_TRUE(deliveredDuringStop);
    ASSERT_TRUE(h.WaitIdle());
    std::lock_guard lock(h.R.Mutex);
    EXPECT_TRUE(h.R.Output.empty());
}

TEST(ThreadRun, StopEndsALongSleepAtOnce) {
    THosted h("začátek\n  napiš('sleeping');\n  čekej(100000000);\n  napiš('woke');\nkonec");
    h.Start(mdRun);
    ASSERT_TRUE(h.R.WaitFor([&] { return !h.R.Output.empty(); }));
    h.Ui.Call([&] { h.A->Stop(); });
    ASSERT_TRUE(h.WaitIdle());
    std::lock_guard lock(h.R.Mutex);
    EXPECT_EQ(h.R.Output, (std::vector<std::string>{"sleeping"}));
}

TEST(ThreadRun, StopEndsARunawayLoopWithoutHandlers) {
    THosted h("začátek\n  x := 0;\n  dokud true opakuj x := x + 1;\nkonec");
    h.A->OnVarValueChange = nullptr;
    h.A->OnBeforeDoCommand = nullptr;
    h.Start(mdRun);
    ASSERT_TRUE(h.R.WaitFor([&] { return !h.R.Trace.empty(); }));  // "status running"
    h.Ui.Call([&] { h.A->Stop(); });
    ASSERT_TRUE(h.WaitIdle());
}

// Without an OnReadValue handler a read command changes nothing: x is never created.
TEST(ThreadRun, ReadWithoutHandlerChangesNothing) {
    THosted h("začátek\n  čti(x);\n  napiš(x);\nkonec");
    h.A->OnReadValue = nullptr;
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle());
    std::lock_guard lock(h.R.Mutex);
    ASSERT_EQ(h.R.Errors.size(), 1u);
    EXPECT_EQ(h.R.Errors[0].Code, 3);
    EXPECT_EQ(h.R.Errors[0].Line, 3);
}

TEST(ThreadRun, AfterAnErrorANewRunStartsFresh) {
    THosted h("začátek\n  x := 1;\n  y := z;\nkonec");
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle());
    EXPECT_EQ(h.A->Status(), rsIdle);
    h.Ui.Call([&] { h.A->Algoritmus = SourceLines("začátek\n  napiš(x);\nkonec"); });
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle(2));
    std::lock_guard lock(h.R.Mutex);
    ASSERT_EQ(h.R.Errors.size(), 2u);
    EXPECT_EQ(h.R.Errors[1].Code, 3);  // x is gone with the first pass
}

// A run is under way from the moment Execute returns: a check or a second run asked for
// before the worker has even woken must find the component busy and start nothing.
TEST(ThreadRun, ExecuteMakesTheComponentBusyAtOnce) {
    THosted h("začátek\n  x := 1;\nkonec");
    h.Ui.Call([&] {
        h.A->SetMode(mdRun);
        h.A->Execute();
        EXPECT_EQ(h.A->Status(), rsRunning);
        h.A->Execute();
        h.A->SetMode(mdControl);
        h.A->Execute();
        h.A->SetMode(mdRun);  // the run's variable events are announced in a run mode only
    });
    ASSERT_TRUE(h.WaitIdle());
    std::lock_guard lock(h.R.Mutex);
    const std::vector<std::string> expected = {"status running", "before 2 3", "var x\treal\t1", "status idle"};
    EXPECT_EQ(h.R.Trace, expected);
    EXPECT_TRUE(h.A->CommandLines().empty());
}

// --- Debugging -----------------------------------------------------------------------------

TEST(ThreadDebug, StepsCommandByCommandAndStopLeavesTheWaitingCommandUndone) {
    THosted h("začátek\n  x := 1;\n  x := 2;\n  x := 3;\nkonec");
    h.Start(mdDebug);
    ASSERT_TRUE(h.WaitPauses(1));
    EXPECT_EQ(h.A->Status(), rsPaused);
    h.Ui.Call([&] { h.A->Continue(); });
    ASSERT_TRUE(h.WaitPauses(2));
    h.Ui.Call([&] { h.A->Continue(); });
    ASSERT_TRUE(h.WaitPauses(3));
    h.Ui.Call([&] { h.A->Stop(); });
    ASSERT_TRUE(h.WaitIdle());
    std::lock_guard lock(h.R.Mutex);
    const std::vector<std::string> expected = {
        "status running", "before 2 3", "debug 2 3", "status paused", "status running", "var x\treal\t1",
        "before 3 3",     "debug 3 3",  "status paused", "status running", "var x\treal\t2", "before 4 3",
        "debug 4 3",      "status paused", "status running", "status idle"};
    EXPECT_EQ(h.R.Trace, expected);
}

TEST(ThreadDebug, ExecuteInRunModeFromAPauseFinishesWithoutPausing) {
    THosted h("začátek\n  pro i od 1 do 50 opakuj x := i;\n  napiš(x);\nkonec");
    h.Start(mdDebug);
    ASSERT_TRUE(h.WaitPauses(1));
    h.Start(mdRun);
    ASSERT_TRUE(h.WaitIdle());
    EXPECT_EQ(h.R.Pauses, 1);
    std::lock_guard lock(h.R.Mutex);
    EXPECT_EQ(h.R.Output, (std::vector<std::string>{"50"}));
}

// A release that comes after the status became rsPaused but before the worker waits must
// still count: here every release is given inside the paused-status handler itself, once
// on the host thread and once on the worker (no Synchronize hook).
TEST(ThreadDebug, ReleaseBeforeTheWorkerWaitsIsNeverLost) {
    const char *source = "začátek\n  pro i od 1 do 200 opakuj x := i;\n  napiš(x);\nkonec";
    {
        THosted h(source);
        auto status = h.A->OnStatusChange;
        h.A->OnStatusChange = [status](TAlgorithm &s) {
            status(s);
            if (s.Status() == rsPaused)
                s.Continue();
        };
        h.Start(mdDebug);
        ASSERT_TRUE(h.WaitIdle());
        // Before the loop, before each of its 200 bodies, before each further iteration (200,
        // the last finding the counter beyond the bound), and before the write.
        EXPECT_EQ(h.R.Pauses, 402);
    }
    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    auto status = a.OnStatusChange;
    a.OnStatusChange = [status](TAlgorithm &s) {
        status(s);
        if (s.Status() == rsPaused)
            s.Continue();
    };
    a.Algoritmus = SourceLines(source);
    ASSERT_TRUE(RunToEnd(a, r, mdDebug));
    EXPECT_EQ(r.Pauses, 402);
    EXPECT_EQ(r.Output, (std::vector<std::string>{"200"}));
}

// --- Destruction ---------------------------------------------------------------------------

TEST(ThreadDestroy, WhilePausedReturnsPromptly) {
    THosted h("začátek\n  x := 1;\n  napiš(x);\nkonec");
    h.Start(mdDebug);
    ASSERT_TRUE(h.WaitPauses(1));
    h.Destroy();
    EXPECT_EQ(h.Count("write"), 0);
}

TEST(ThreadDestroy, WhileSleepingReturnsPromptly) {
    THosted h("začátek\n  napiš('sleeping');\n  čekej(100000000);\nkonec");
    h.Start(mdRun);
    ASSERT_TRUE(h.R.WaitFor([&] { return !h.R.Output.empty(); }));
    h.Destroy();
}

// The UI thread is busy (closing the program) while the worker waits for it to run a
// handler: destruction aborts the delivery, which never runs.
TEST(ThreadDestroy, WhileADeliveryIsPendingReturnsAndTheHandlerNeverRuns) {
    THosted h("začátek\n  napiš('one');\n  napiš('two');\nkonec");
    std::atomic<int> writes{0};
    h.A->OnWrite = [&](TAlgorithm &, const std::string &) { ++writes; };
    h.A->OnStatusChange = nullptr;
    h.A->OnBeforeDoCommand = nullptr;
    h.Ui.Call([&] {
        h.A->SetMode(mdRun);
        h.A->Execute();
        ASSERT_TRUE(h.Ui.WaitForPosted(1));  // the first write waits for this very thread
        h.A.reset();
    });
    EXPECT_EQ(writes, 0);
}

TEST(ThreadDestroy, RightAfterExecuteOrWhileIdle) {
    for (int i = 0; i < 30; ++i) {
        THosted h("začátek\n  dokud true opakuj x := 1;\nkonec");
        if (i % 2)
            h.Start(mdRun);
    }
    TAlgorithm idle;  // never executed: its worker must end with it
}

}  // namespace
