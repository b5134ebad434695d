#include "cli_Options.h"

#include <charconv>

const char *const CliUsage =
    "Usage:\n"
    "  velmora-cli check     [--code|--pseudo] [--language FILE.lng] FILE\n"
    "  velmora-cli run       [--code|--pseudo] [--language FILE.lng] [--trace[=OUT]] [--seed N] FILE\n"
    "  velmora-cli format    [--code|--pseudo] [--language FILE.lng] FILE\n"
    "  velmora-cli translate [--code|--pseudo] [--language FILE.lng] FILE\n"
    "  velmora-cli ini       FILE SECTION [KEY]\n"
    "  velmora-cli --help | --version\n"
    "\n"
    "  check      checks the syntax of an algorithm\n"
    "  run        checks, then runs it; read commands take lines of stdin\n"
    "  format     prints the algorithm laid out by the code formatter\n"
    "  translate  prints the algorithm in the other vocabulary\n"
    "  ini        prints a value (or the key names of a section) of a language file\n"
    "\n"
    "  --pseudo          the Czech pseudocode vocabulary (default)\n"
    "  --code            the English code vocabulary\n"
    "  --language FILE   pseudocode words and error texts of a language file\n"
    "  --trace[=OUT]     one line per event of the run to OUT (default stderr)\n"
    "  --seed N          repeatable numbers from random\n"
    "\n"
    "Exit status: 0 completed, 1 an error was reported, 2 usage error or unreadable file,\n"
    "3 the check or run ended early without an error (input ended, or another failure).\n";

namespace {

bool CommandFromName(const std::string &name, TCliCommand &command) {
    static const struct {
        const char *Name;
        TCliCommand Command;
    } commands[] = {{"check", ccmCheck},         {"run", ccmRun}, {"format", ccmFormat},
                    {"translate", ccmTranslate}, {"ini", ccmIni}, {"--help", ccmHelp},
                    {"-h", ccmHelp},             {"help", ccmHelp}, {"--version", ccmVersion}};
    for (const auto &c : commands)
        if (name == c.Name) {
            command = c.Command;
            return true;
        }
    return false;
}

bool ParseSeed(const std::string &text, unsigned &seed) {
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, seed);
    return ec == std::errc() && ptr == end && !text.empty();
}

}  // namespace

bool ParseCliArguments(const std::vector<std::string> &args, TCliOptions &options, std::string &error) {
    if (args.empty()) {
        error = "no command given";
        return false;
    }
    if (!CommandFromName(args[0], options.Command)) {
        error = "unknown command '" + args[0] + "'";
        return false;
    }
    const TCliCommand command = options.Command;
    if (command == ccmHelp || command == ccmVersion)
        return true;

    const bool vocabulary = command != ccmIni;
    bool operandsOnly = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            options.Operands.push_back(arg);
            continue;
        }
        // A file whose name starts with "-" is named after "--" (or as "./-name").
        if (arg[1] != '-') {
            error = "unknown option '" + arg + "' for " + args[0];
            return false;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool hasValue = equals != std::string::npos;
        const std::string value = hasValue ? arg.substr(equals + 1) : std::string();
        // Options that take a value accept it joined by "=" or as the next argument.
        auto takeValue = [&](std::string &into) {
            if (hasValue) {
                into = value;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };

        if (arg == "--") {
            operandsOnly = true;
        } else if (name == "--help") {
            options.Command = ccmHelp;
            return true;
        } else if (vocabulary && (arg == "--code" || arg == "--pseudo")) {
            options.PseudoMode = arg == "--pseudo";
        } else if (vocabulary && name == "--language") {
            if (!takeValue(options.LanguageFile))
                return false;
            if (options.LanguageFile.empty()) {
                error = "option --language needs a file name";
                return false;
            }
        } else if (command == ccmRun && name == "--trace") {
            options.Trace = true;
            options.TraceFile = value;
            if (hasValue && value.empty()) {
                error = "option --trace= needs a file name";
                return false;
            }
        } else if (command == ccmRun && name == "--seed") {
            std::string text;
            if (!takeValue(text))
                return false;
            unsigned seed = 0;
            if (!ParseSeed(text, seed)) {
                error = "--seed takes a non-negative integer, not '" + text + "'";
                return false;
            }
            options.Seed = seed;
        } else {
            error = "unknown option '" + arg + "' for " + args[0];
            return false;
        }
    }

    const size_t n = options.Operands.size();
    if (command == ccmIni ? (n < 2 || n > 3) : n != 1) {
        error = command == ccmIni ? "ini takes FILE SECTION [KEY]" : args[0] + " takes one FILE";
        return false;
    }
    return true;
}
