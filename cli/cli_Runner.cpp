// The check always comes first; a run starts only when it reported nothing. The run's events
// arrive on the worker thread (the CLI installs no Synchronize hook), so every handler here
// writes straight to the streams, and the main thread only waits for the status to return
// to idle.

#include "cli_Runner.h"

#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <memory>
#include <mutex>

#include <unistd.h>

#include "cli_Trace.h"
#include "vlm_Algorithm.h"
#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_Utils.h"

namespace {

void PrintLine(std::FILE *out, const std::string &utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

struct TTraceFile {
    std::FILE *File = nullptr;
    ~TTraceFile() {
        if (File && File != stderr)
            std::fclose(File);
    }
};

// `traceOut` is null without --trace.
int CheckOrRun(const TCliOptions &options, const std::string &fileName, const TArrayOfString &lines,
               std::FILE *traceOut) {
    // Everything the handlers touch is declared before the component, so it outlives the
    // worker, which the component's destructor ends.
    std::unique_ptr<TCliTrace> trace;
    if (traceOut)
        trace = std::make_unique<TCliTrace>(traceOut);
    int errors = 0;
    bool inputEnded = false;
    std::mutex mutex;
    std::condition_variable idle;
    bool finished = false;

    TAlgorithm algorithm;
    algorithm.Algoritmus = lines;
    TKeyWords &keyWords = algorithm.KeyWords();
    keyWords.PseudoMode = options.PseudoMode;
    if (!options.LanguageFile.empty()) {
        if (!keyWords.LoadFromLanguageFile(options.LanguageFile)) {
            PrintLine(stderr, options.LanguageFile + ": cannot read the language file");
            return ceUsage;
        }
        algorithm.LoadErrorTexts(options.LanguageFile);
    }
    if (options.Seed)
        algorithm.SeedRandom(*options.Seed);

    algorithm.OnCompileError = [&](TAlgorithm &, const std::string &msg, int code, int line, int column) {
        ++errors;
        PrintLine(stderr, fileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": error " +
                              std::to_string(code) + ": " + Cp1250ToUtf8(msg));
        if (trace)
            trace->Error(code, line, column, msg);
    };

    auto endedEarly = [&](const std::string &reason) {
        PrintLine(stderr, fileName + ": run ended: " + reason);
        return ceEndedEarly;
    };

    algorithm.SetMode(mdControl);
    try {
        algorithm.Execute();
    } catch (const ECatalogueError &) {
        // Error 0 (no text at all) leaves Execute after its event was printed.
    } catch (const std::exception &e) {
        if (errors == 0)
            return endedEarly(e.what());
    }
    if (errors > 0)
        return ceError;
    if (!algorithm.LastFailure().empty())
        return endedEarly(Cp1250ToUtf8(algorithm.LastFailure()));
    if (options.Command == ccmCheck)
        return ceOk;

    algorithm.OnWrite = [&](TAlgorithm &, const std::string &s) {
        PrintLine(stdout, Cp1250ToUtf8(s));
        if (trace)
            trace->Write(s);
    };
    algorithm.OnReadValue = [&](TAlgorithm &sender, const std::string &name, Value &value) {
        if (trace)
            trace->Read(name);
        // A person at a terminal sees which variable is asked for; pipes and files get no prompt.
        if (isatty(STDIN_FILENO)) {
            const std::string prompt = Cp1250ToUtf8(name) + " = ";
            std::fputs(prompt.c_str(), stderr);
            std::fflush(stderr);
        }
        std::string line;
        if (!std::getline(std::cin, line)) {
            // End of input is the Cancel of the workbench's prompt: the run stops.
            inputEnded = true;
            sender.Stop();
            return;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        value = NormalizeValue(Value(Utf8ToCp1250(line)));
    };
    if (trace) {
        algorithm.OnBeforeDoCommand = [&](TAlgorithm &, int line, int column) { trace->Before(line, column); };
        algorithm.OnVarValueChange = [&](TAlgorithm &, const std::string &name, const Value &value) {
            trace->Var(name, value);
        };
        algorithm.OnVarArrayChange = [&](TAlgorithm &, const std::string &name, const TArrayOfInteger &coords,
                                         const Value &value) { trace->Elem(name, coords, value); };
    }

    algorithm.OnStatusChange = [&](TAlgorithm &sender) {
        if (sender.Status() != rsIdle)
            return;
        std::lock_guard lock(mutex);
        finished = true;
        idle.notify_all();
    };

    algorithm.SetMode(mdRun);
    try {
        algorithm.Execute();
    } catch (const ECatalogueError &) {
        return ceError;
    }
    {
        std::unique_lock lock(mutex);
        idle.wait(lock, [&] { return finished; });
    }

    if (errors > 0)
        return ceError;
    if (inputEnded)
        return endedEarly("input ended");
    if (!algorithm.LastFailure().empty())
        return endedEarly(Cp1250ToUtf8(algorithm.LastFailure()));
    return ceOk;
}

}  // namespace

int CheckOrRunAlgorithm(const TCliOptions &options, const std::string &fileName, const TArrayOfString &lines) {
    TTraceFile traceFile;
    if (options.Trace) {
        traceFile.File = options.TraceFile.empty() ? stderr : std::fopen(options.TraceFile.c_str(), "wb");
        if (!traceFile.File) {
            PrintLine(stderr, options.TraceFile + ": cannot write the trace file");
            return ceUsage;
        }
    }
    int status = CheckOrRun(options, fileName, lines, traceFile.File);
    // A trace that could not be written in full (a full disk) must not pass for a good one.
    if (traceFile.File && traceFile.File != stderr) {
        const bool writeFailed = std::ferror(traceFile.File) != 0;
        const bool closeFailed = std::fclose(traceFile.File) != 0;
        traceFile.File = nullptr;
        if (writeFailed || closeFailed) {
            PrintLine(stderr, options.TraceFile + ": cannot write the trace file");
            if (status == ceOk)
                status = ceUsage;
        }
    }
    return status;
}
