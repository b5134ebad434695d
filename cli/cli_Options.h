#pragma once
// The command line of velmora-cli, taken apart: the command, its options and its operands.

#include <optional>
#include <string>
#include <vector>

enum TCliCommand { ccmCheck, ccmRun, ccmFormat, ccmTranslate, ccmIni, ccmHelp, ccmVersion };

struct TCliOptions {
    TCliCommand Command = ccmHelp;
    bool PseudoMode = true;
    std::string LanguageFile;           // empty: the built-in words and texts
    bool Trace = false;
    std::string TraceFile;              // empty: stderr
    std::optional<unsigned> Seed;       // for `random`
    std::vector<std::string> Operands;  // FILE, or FILE SECTION [KEY] for ini
};

// Fills `options` from the arguments after the program name. On a usage error returns false
// and sets `error` to a one-line explanation.
bool ParseCliArguments(const std::vector<std::string> &args, TCliOptions &options, std::string &error);

extern const char *const CliUsage;
