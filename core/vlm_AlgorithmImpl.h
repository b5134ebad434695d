#pragma once
// The inside of the algorithm component, shared by its four source files:
//   vlm_Compiler.cpp         reading commands from the text, and the check pass
//   vlm_Execution.cpp        running commands and preparing expressions for the evaluator
//   vlm_Variables.cpp        scalar variables and sparse array elements
//   vlm_AlgorithmThread.cpp  the worker, the gate, event delivery, Execute/Stop/Continue
// Nothing here is public: hosts see only vlm_Algorithm.h.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "vlm_Algorithm.h"
#include "vlm_Exceptions.h"

enum TCommandKind : unsigned char {
    ckIf, ckFor, ckWhile, ckRead, ckWrite, ckSleep, ckAssign, ckAssignElement, ckEnd
};

// One command as read from the text; it lives only while the command is checked or run.
struct TCommand {
    TCommandKind Kind = ckEnd;
    int Position = -1;
    int ExprPos = -1;
    int BodyStart = -1;
    int BodyEnd = -1;
    int NextPos = -1;
    std::string Text1, Text2, Text3;
    int AuxStart = -1;
    int AuxEnd = -1;
};

// A pass that ends for a reason outside the error catalogue: no error event, but the reason
// is kept for LastFailure.
struct EPassFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A check that the host stopped (it lets the host's events through between commands): it ends
// as failed, so no partial CommandLines survive, but it is no failure to report.
struct EPassStopped {};

// One part of an argument or coordinate list: its text and the source position of its
// first character.
struct TArgumentPart {
    std::string Text;
    int Position;
};

struct TVariable {
    std::string Name;  // the spelling of the first assignment
    Value Val;
};

struct TArrayElement {
    std::string Name;
    TArrayOfInteger Coords;
    Value Val;
};

// The keyword set's error hook reports positions in the text being scanned; while an
// expression (not the source) is scanned, this base turns them into source positions.
extern thread_local int tlsHookBase;
struct THookBase {
    int Saved;
    explicit THookBase(int base) : Saved(tlsHookBase) { tlsHookBase = base; }
    ~THookBase() { tlsHookBase = Saved; }
    THookBase(const THookBase &) = delete;
    THookBase &operator=(const THookBase &) = delete;
};

// ReadWord (comments skipped) on any text whose first character stands at source position
// base + 1. A position before the text ends the pass: only a body without a command leads
// there.
std::string ReadWordAt(const TKeyWords &keyWords, const std::string &text, int &pos, int base);
bool IsBlankText(const std::string &text);
// Word tests for the hot paths: no call into the library for a one-character compare.
inline bool IsWord(const std::string &word, char c) { return word.size() == 1 && word[0] == c; }
inline bool IsAssignWord(const std::string &word) { return word.size() == 2 && word[0] == ':' && word[1] == '='; }
std::string JoinCoordinates(const TArrayOfInteger &coords, const char *separator);

// Where the lines of a text break, for turning positions into line and column quickly.
struct TLineTable {
    std::vector<int> CarriageReturns;  // positions of every CR
    std::vector<int> LineBreaks;       // where each break stands: its CR, or the LF after it
    void Build(const std::string &text);
    void LineCol(int length, int position, int &line, int &column) const;
};

class TAlgorithmImpl {
public:
    TAlgorithmImpl(TAlgorithm &owner, const std::string &name);
    ~TAlgorithmImpl() = default;

    // Ends the worker; called by the owner's destructor before anything is freed.
    void Shutdown();

    // --- public operations (vlm_AlgorithmThread.cpp)
    void Execute();
    void Stop();
    void Continue();
    TArrayOfString CommandLines() const;
    std::string LastFailure() const;

    // --- compiler (vlm_Compiler.cpp)
    void PosToLineCol(int position, int &line, int &column) const;
    [[noreturn]] void RaiseError(int index, const TArrayOfString &arguments, int position);
    std::string NextWord(int &pos);
    std::string ReadExpression(int &pos, int &reference);
    std::string FindClosingBracket(const std::string &text, int base, int &pos, int &endPos);
    void ReadBody(int &start, int &limit, int &next);
    void ReadBlock(int beginPos, int &start, int &limit, int &next);
    TCommand ParseCommand(int pos, int limit);
    std::vector<TArgumentPart> SplitArguments(const std::string &text, int position);
    std::vector<TArgumentPart> BuildWriteText(int from, int to);
    void CheckExpression(const std::string &text, int position);
    void CheckRange(int start, int limit);

    // --- execution (vlm_Execution.cpp)
    bool AnnounceCommand(int position);
    void ExecuteRange(int start, int limit);
    Value Evaluate(const std::string &text, int reference);
    std::string IdentifierText(const std::string &text, int reference, const std::string &word, int &p, int src);
    TArrayOfInteger EvaluateCoordinates(const std::string &text, int position);
    void ReadValue(const std::string &name, int position, const std::string &coordinates);

    // --- variables (vlm_Variables.cpp)
    void SetVariable(const std::string &name, const Value &value, int position);
    bool GetVariable(const std::string &name, int position, Value &value, bool quoted, bool mustExist);
    void SetElement(const std::string &name, const std::string &coordinateText, const Value &value,
                    int coordinatePosition, int expressionPosition);
    bool GetElement(const std::string &name, const std::string &coordinateText, int position,
                    bool mustExist, bool quoted, Value &value);
    bool FindElement(const std::string &name, const TArrayOfInteger &coords, int position, bool mustExist,
                     bool quoted, Value &value);
    void ClearVariables();
    void ClearElements();

    // --- worker side (vlm_AlgorithmThread.cpp)
    bool RunPass(bool check, bool statusAlreadyRunning);
    void BeforeCommand(int position);
    void DebugStep(int position);
    [[noreturn]] void ReportError(const std::string &message, int code, int position);
    void NotifyWrite(const std::string &text);
    void NotifyVarValue(const std::string &name, const Value &value);
    void NotifyVarArray(const std::string &name, const TArrayOfInteger &coords, const Value &value);
    void SleepFor(int64_t milliseconds);

    // WordKind, remembered for the words of one pass: the keyword set cannot change during a
    // pass, and a run classifies the same few words millions of times.
    TWordKind KindOf(const std::string &word);

    // Sets the text of the coming pass and the tables PosToLineCol works from.
    void SetText(std::string text);
    std::string JoinedAlgoritmus() const;
    const std::string &Text() const { return FText; }

    // Nesting of bodies, expressions and coordinates, counted so that an absurdly deep text
    // ends the pass instead of the stack.
    int FDepth = 0;
    struct TNesting {
        TAlgorithmImpl &A;
        explicit TNesting(TAlgorithmImpl &a) : A(a) {
            if (++A.FDepth > 2000) {
                --A.FDepth;
                throw EPassFailure("the algorithm is nested too deeply");
            }
        }
        ~TNesting() { --A.FDepth; }
        TNesting(const TNesting &) = delete;
        TNesting &operator=(const TNesting &) = delete;
    };

    TAlgorithm &Owner;
    std::string FName;
    TKeyWords FKeyWords;
    std::atomic<TMode> FMode{mdControl};
    std::atomic<TRunStatus> FStatus{rsIdle};
    std::atomic<bool> FStopRequested{false};
    std::atomic<bool> FTerminate{false};
    std::mt19937_64 FRandom;

private:
    void WorkerBody();
    void ChangeStatus(TRunStatus status);
    void NotifyStatus();
    // Runs a handler call on the host's thread (through Synchronize when on the worker) and
    // waits for it; a failure inside the handler or a cancelled delivery ends the pass.
    void Deliver(const std::function<void()> &call);
    bool OnWorker() const { return std::this_thread::get_id() == FWorkerId; }
    void SetLastFailure(const std::string &reason);
    void AddCommandLine(int position);

    // The text of the current pass (positions are 1-based into it) and where its lines break.
    std::string FText;
    TLineTable FLines;

    // Variables keyed by the upper-case name; elements by upper-case name + packed coordinates.
    std::unordered_map<std::string, TVariable> FVariables;
    std::unordered_map<std::string, TArrayElement> FElements;
    std::unordered_map<std::string, TWordKind> FKindCache;
    std::array<signed char, 256> FCharKind{};  // one-character words; -1 when not yet known

    // The gate. Guarded by FMutex: FReleases, FPendingText, FPassActive, FHostThread,
    // FCommandLines, FCommandLineSet, FLastFailure. Status changes to rsPaused and rsIdle
    // happen under it together with clearing FReleases, so a release meant for an earlier
    // state can never wake a later wait.
    mutable std::mutex FMutex;
    std::condition_variable FChanged;
    int FReleases = 0;
    std::string FPendingText;
    bool FPassActive = false;
    std::thread::id FHostThread;
    TArrayOfString FCommandLines;
    std::unordered_set<int> FCommandLineSet;
    std::string FLastFailure;

    std::thread FWorker;
    std::thread::id FWorkerId;
};
