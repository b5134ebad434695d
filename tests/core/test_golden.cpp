// Golden algorithms: every tests/algorithms/*.vlm is checked and then run through the
// component in-process. The file carries its own expectations as comments:
//   // expect: TEXT              one write event, in order
//   // expect error CODE at L:C  one error event, in order
//   // expect failure            the run ends outside the error catalogue (LastFailure set)
//   // stdin: TEXT               the answer to the next read command (none left: cancel)
//   // vocabulary: code          check and run with the code vocabulary
//   // start: debug              the run starts in mdDebug
//   // break: N ...              OnBeforeDoCommand switches to mdDebug on these lines
//   // at pause: CMD ...         what the host does at each pause, in order: step (Continue),
//                                continue (mdRun + Execute), stop; "step" when none is left
// Next to it, NAME.trace holds every event of the check and the run. Set VELMORA_REBASELINE=1
// to write the trace files anew instead of comparing them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "algorithm_harness.h"

namespace {

namespace fs = std::filesystem;

fs::path AlgorithmsDir() { return fs::path(VELMORA_TEST_DATA) / "algorithms"; }

std::vector<std::string> GoldenFiles() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(AlgorithmsDir(), ec))
        if (entry.path().extension() == ".vlm")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const auto &l : lines)
        text += l + "\n";
    return text;
}

struct TGolden {
    std::vector<std::string> Output;
    std::vector<std::string> Errors;  // "CODE at L:C"
    bool Failure = false;
    std::vector<std::string> Inputs;
    bool CodeMode = false;
    bool StartDebug = false;
    std::set<int> Breaks;
    std::vector<std::string> AtPause;
};

TGolden ReadDirectives(const std::string &utf8) {
    TGolden g;
    std::istringstream in(utf8);
    std::string line;
    auto words = [](const std::string &rest) {
        std::istringstream ws(rest);
        std::vector<std::string> list;
        for (std::string w; ws >> w;)
            list.push_back(w);
        return list;
    };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t at = line.find("// ");
        if (at == std::string::npos)
            continue;
        const std::string d = line.substr(at + 3);
        if (d.starts_with("expect: "))
            g.Output.push_back(d.substr(8));
        else if (d == "expect:")
            g.Output.push_back("");
        else if (d.starts_with("expect error "))
            g.Errors.push_back(d.substr(13));
        else if (d == "expect failure")
            g.Failure = true;
        else if (d.starts_with("stdin: "))
            g.Inputs.push_back(d.substr(7));
        else if (d == "vocabulary: code")
            g.CodeMode = true;
        else if (d == "start: debug")
            g.StartDebug = true;
        else if (d.starts_with("break: "))
            for (const auto &w : words(d.substr(7)))
                g.Breaks.insert(std::stoi(w));
        else if (d.starts_with("at pause: "))
            g.AtPause = words(d.substr(10));
    }
    return g;
}

class GoldenRun : public testing::TestWithParam<std::string> {};

TEST_P(GoldenRun, MatchesItsExpectations) {
    const fs::path file = AlgorithmsDir() / (GetParam() + ".vlm");
    const std::string utf8 = DecodeText(ReadFile(file)).Utf8;
    const TGolden g = ReadDirectives(utf8);

    TAlgorithm a;
    TRecorder r;
    r.Attach(a);
    r.Inputs = g.Inputs;
    a.KeyWords().PseudoMode = !g.CodeMode;
    a.SeedRandom(7);
    const auto traceBefore = a.OnBeforeDoCommand;
    a.OnBeforeDoCommand = [&](TAlgorithm &s, int line, int col) {
        traceBefore(s, line, col);
        if (g.Breaks.count(line))
            s.SetMode(mdDebug);
    };
    a.Algoritmus = SourceLines(utf8);

    r.Add("-- check");
    a.SetMode(mdControl);
    a.Execute();
    bool checked;
    {
        std::lock_guard lock(r.Mutex);
        checked = r.Errors.empty();
    }
    if (checked && a.LastFailure().empty()) {
        r.Add("-- run");
        int idles;
        {
            std::lock_guard lock(r.Mutex);
            idles = r.Idles;
        }
        a.SetMode(g.StartDebug ? mdDebug : mdRun);
        a.Execute();
        int handled = 0;
        size_t next = 0;
        for (;;) {
            int pauses;
            bool ended;
            ASSERT_TRUE(r.WaitFor([&] { return r.Pauses > handled || r.Idles > idles; })) << "the run hangs";
            {
                std::lock_guard lock(r.Mutex);
                pauses = r.Pauses;
                ended = r.Idles > idles;
            }
            if (pauses > handled) {
                ++handled;
                const std::string cmd = next < g.AtPause.size() ? g.AtPause[next++] : "step";
                if (cmd == "continue") {
                    a.SetMode(mdRun);
                    a.Execute();
                } else if (cmd == "stop") {
                    a.Stop();
                } else {
                    a.Continue();
                }
            } else if (ended) {
                break;
            }
        }
    }
    if (!a.LastFailure().empty())
        r.Add("failure " + Escaped(a.LastFailure()));

    std::lock_guard lock(r.Mutex);
    EXPECT_EQ(Joined(r.Output), Joined(g.Output));
    std::vector<std::string> errors;
    for (const auto &e : r.Errors)
        errors.push_back(std::to_string(e.Code) + " at " + std::to_string(e.Line) + ":" + std::to_string(e.Column));
    EXPECT_EQ(Joined(errors), Joined(g.Errors));
    EXPECT_EQ(!a.LastFailure().empty(), g.Failure) << a.LastFailure();

    const fs::path traceFile = AlgorithmsDir() / (GetParam() + ".trace");
    const std::string trace = Joined(r.Trace);
    if (std::getenv("VELMORA_REBASELINE")) {
        std::ofstream(traceFile, std::ios::binary) << trace;
    } else {
        ASSERT_TRUE(fs::exists(traceFile)) << traceFile << " is missing; run with VELMORA_REBASELINE=1";
        EXPECT_EQ(trace, ReadFile(traceFile));
    }
}

INSTANTIATE_TEST_SUITE_P(Algorithms, GoldenRun, testing::ValuesIn(GoldenFiles()), [](const auto &info) {
    std::string name = info.param;
    for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
});

}  // namespace
