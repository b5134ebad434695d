#pragma once
// Shared by the algorithm component's tests: turning UTF-8 sources into the component's
// lines, and a recorder that writes every event as one trace line and lets the test thread
// wait for a state without sleeping.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "vlm_Algorithm.h"
#include "vlm_Encoding.h"
#include "vlm_Utils.h"

inline std::string W(const std::string &utf8) { return Utf8ToCp1250(utf8); }

// The component's lines of a UTF-8 source, split as a document is.
inline TArrayOfString SourceLines(const std::string &utf8) {
    const std::string core = DocumentToCore(utf8);
    TArrayOfString lines;
    size_t start = 0;
    for (;;) {
        const size_t end = core.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(core.substr(start));
            return lines;
        }
        lines.push_back(core.substr(start, end - start));
        start = end + 2;
    }
}

inline std::string KindName(const Value &v) {
    switch (v.Kind()) {
    case vkEmpty: return "empty";
    case vkInteger: return "int";
    case vkReal: return "real";
    case vkText: return "text";
    case vkBoolean: return "bool";
    }
    return "?";
}

inline std::string Escaped(const std::string &cp1250) {
    std::string out;
    for (char c : Cp1250ToUtf8(cp1250)) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

struct TErrorEvent {
    int Code, Line, Column;
    std::string Message;  // UTF-8
};

// Records every event of a component. Handlers may run on any thread; the test thread waits
// with WaitFor, which gives up (and lets the test fail) instead of hanging.
class TRecorder {
public:
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<std::string> Trace;
    std::vector<std::string> Output;
    std::vector<TErrorEvent> Errors;
    std::vector<std::string> Inputs;  // answers for read, in order
    size_t NextInput = 0;
    int Pauses = 0;
    int Idles = 0;
    bool TraceBefore = true;

    void Attach(TAlgorithm &a) {
        a.OnStatusChange = [this](TAlgorithm &s) {
            const TRunStatus st = s.Status();
            std::lock_guard lock(Mutex);
            Trace.push_back(std::string("status ") + (st == rsIdle ? "idle" : st == rsRunning ? "running" : "paused"));
            if (st == rsPaused)
                ++Pauses;
            if (st == rsIdle)
                ++Idles;
            Changed.notify_all();
        };
        a.OnBeforeDoCommand = [this](TAlgorithm &, int line, int col) {
            if (TraceBefore)
                Add("before " + std::to_string(line) + " " + std::to_string(col));
        };
        a.OnDebug = [this](TAlgorithm &, int line, int col) {
            Add("debug " + std::to_string(line) + " " + std::to_string(col));
        };
        a.OnWrite = [this](TAlgorithm &, const std::string &s) {
            std::lock_guard lock(Mutex);
            Trace.push_back("write " + Escaped(s));
            Output.push_back(Cp1250ToUtf8(s));
            Changed.notify_all();
        };
        a.OnVarValueChange = [this](TAlgorithm &, const std::string &name, const Value &v) {
            Add("var " + Escaped(name) + "\t" + KindName(v) + "\t" + Escaped(ValueToText(v)));
        };
        a.OnVarArrayChange = [this](TAlgorithm &, const std::string &name, const TArrayOfInteger &coords,
                                    const Value &v) {
            std::string c;
            for (size_t i = 0; i < coords.size(); ++i)
                c += (i ? "," : "") + std::to_string(coords[i]);
            Add("elem " + Escaped(name) + "\t" + c + "\t" + KindName(v) + "\t" + Escaped(ValueToText(v)));
        };
        a.OnReadValue = [this](TAlgorithm &s, const std::string &name, Value &v) {
            std::lock_guard lock(Mutex);
            Trace.push_back("read " + Escaped(name) + "\t" + KindName(v) + "\t" + Escaped(ValueToText(v)));
            if (NextInput < Inputs.size())
                v = Value(W(Inputs[NextInput++]));
            else
                s.Stop();  // end of input acts as a cancelled prompt
            Changed.notify_all();
        };
        a.OnCompileError = [this](TAlgorithm &, const std::string &msg, int code, int line, int col) {
            std::lock_guard lock(Mutex);
            Trace.push_back("error " + std::to_string(code) + " " + std::to_string(line) + " " + std::to_string(col) +
                            " " + Escaped(msg));
            Errors.push_back({code, line, col, Cp1250ToUtf8(msg)});
            Changed.notify_all();
        };
    }

    void Add(const std::string &line) {
        std::lock_guard lock(Mutex);
        Trace.push_back(line);
        Changed.notify_all();
    }

    template <class Pred>
    // The limit only keeps a broken component from hanging the test run; it is no timing
    // requirement (sanitizer builds on a busy machine are slow).
    bool WaitFor(Pred pred, std::chrono::seconds limit = std::chrono::seconds(100)) {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, limit, pred);
    }
};

// Starts a run and waits until the component is idle again.
inline bool RunToEnd(TAlgorithm &a, TRecorder &r, TMode mode = mdRun) {
    int idles;
    {
        std::lock_guard lock(r.Mutex);
        idles = r.Idles;
    }
    a.SetMode(mode);
    a.Execute();
    return r.WaitFor([&] { return r.Idles > idles; });
}
