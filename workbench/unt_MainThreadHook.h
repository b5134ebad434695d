#pragma once
// The workbench's host hooks for the algorithm component: every event of a run is handed to
// the main thread while the worker waits, and the wait can be aborted when the program
// closes, so a worker never hangs on a delivery the main thread will no longer make.
//
// The hand-over posts the function to the main thread as a queued call and waits on a
// condition variable of its own. A blocking queued connection is not used: it cannot be
// cancelled, and on the main thread itself it deadlocks.

#include <functional>
#include <memory>

class QObject;
class TAlgorithm;

class TMainThreadHook {
public:
    // `context` lives on the main thread; deliveries run in its thread's event loop.
    explicit TMainThreadHook(QObject *context);
    ~TMainThreadHook();
    TMainThreadHook(const TMainThreadHook &) = delete;
    TMainThreadHook &operator=(const TMainThreadHook &) = delete;

    // Runs `fn` on the main thread and returns true once it has run. On the main thread it
    // runs `fn` directly. Returns false without running `fn` once Abort has been called (a
    // delivery already under way on the main thread is waited for). An exception thrown by
    // `fn` is rethrown to the caller.
    bool Synchronize(const std::function<void()> &fn);

    // Makes every pending and every future delivery return false.
    void Abort();
    bool Aborted() const;

    // True while the main thread is inside a delivered function (a handler, perhaps showing
    // a modal prompt). The algorithm must not be destroyed then: the worker waits for it.
    bool InDelivery() const;

    // Lets the main thread's event loop run; does nothing on another thread.
    static void ProcessMessages();

    // Sets the component's Synchronize, ProcessMessages and AbortSynchronize to this hook.
    // The hook must outlive the component's worker.
    void Install(TAlgorithm &algorithm);

private:
    struct TState;
    std::shared_ptr<TState> FState;
    QObject *FContext;
};
