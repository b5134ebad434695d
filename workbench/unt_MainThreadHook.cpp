#include "unt_MainThreadHook.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "vlm_Algorithm.h"

// One mutex and one condition variable serve every delivery: there is one worker per
// component, and a delivery is rare enough that a shared wake-up costs nothing.
struct TMainThreadHook::TState {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool AbortFlag = false;           // guarded by Mutex
    std::atomic<bool> AbortedAtomic{false};
    std::atomic<int> Deliveries{0};   // functions running on the main thread for a worker
    QThread *MainThread = nullptr;
};

namespace {

enum TCallState { csPending, csRunning, csDone, csDropped };

struct TCall {
    const std::function<void()> *Fn;
    TCallState State = csPending;
    std::exception_ptr Error;
};

// Travels with the queued function. When Qt drops the posted call without running it (its
// context object died), the last copy of the ticket tells the waiting worker.
struct TTicket {
    std::shared_ptr<void> StateKeeper;
    std::mutex *Mutex;
    std::condition_variable *Changed;
    std::shared_ptr<TCall> Call;

    ~TTicket() {
        std::lock_guard lock(*Mutex);
        if (Call->State == csPending) {
            Call->State = csDropped;
            Changed->notify_all();
        }
    }
};

}  // namespace

TMainThreadHook::TMainThreadHook(QObject *context) : FState(std::make_shared<TState>()), FContext(context) {
    FState->MainThread = context->thread();
}

TMainThreadHook::~TMainThreadHook() { Abort(); }

bool TMainThreadHook::Synchronize(const std::function<void()> &fn) {
    if (QThread::currentThread() == FState->MainThread) {
        if (Aborted())
            return false;
        fn();
        return true;
    }

    auto call = std::make_shared<TCall>();
    call->Fn = &fn;
    {
        std::lock_guard lock(FState->Mutex);
        if (FState->AbortFlag)
            return false;
    }
    // Built in place: a temporary ticket's destructor would drop the call.
    std::shared_ptr<TTicket> ticket(new TTicket{FState, &FState->Mutex, &FState->Changed, call});
    std::shared_ptr<TState> state = FState;
    QMetaObject::invokeMethod(
        FContext,
        [ticket, state]() {
            TCall &c = *ticket->Call;
            {
                std::lock_guard lock(state->Mutex);
                // Given up by the worker, or aborted before the worker noticed: a handler
                // must not run once the host has begun to close.
                if (c.State != csPending || state->AbortFlag)
                    return;
                c.State = csRunning;
            }
            std::exception_ptr error;
            ++state->Deliveries;
            try {
                (*c.Fn)();
            } catch (...) {
                error = std::current_exception();
            }
            --state->Deliveries;
            std::lock_guard lock(state->Mutex);
            c.Error = error;
            c.State = csDone;
            state->Changed.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(FState->Mutex);
    // A delivery already running on the main thread is waited for: its function refers to
    // the worker's data. Only one that has not started is given up.
    FState->Changed.wait(lock, [&] {
        return call->State == csDone || call->State == csDropped ||
               (FState->AbortFlag && call->State == csPending);
    });
    if (call->State == csPending) {
        call->State = csDropped;
        call->Fn = nullptr;
        return false;
    }
    if (call->State == csDropped)
        return false;
    std::exception_ptr error = call->Error;
    lock.unlock();
    if (error)
        std::rethrow_exception(error);
    return true;
}

void TMainThreadHook::Abort() {
    std::lock_guard lock(FState->Mutex);
    FState->AbortFlag = true;
    FState->AbortedAtomic = true;
    FState->Changed.notify_all();
}

bool TMainThreadHook::Aborted() const { return FState->AbortedAtomic; }

bool TMainThreadHook::InDelivery() const { return FState->Deliveries > 0; }

void TMainThreadHook::ProcessMessages() {
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        QCoreApplication::processEvents();
}

void TMainThreadHook::Install(TAlgorithm &algorithm) {
    algorithm.Synchronize = [this](const std::function<void()> &fn) { return Synchronize(fn); };
    algorithm.ProcessMessages = [] { ProcessMessages(); };
    algorithm.AbortSynchronize = [this] { Abort(); };
}
