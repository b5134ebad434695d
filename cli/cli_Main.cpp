// velmora-cli: the entry, reading the algorithm file, and the commands that need no run
// (format, translate, ini). Checking and running live in cli_Runner.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli_Options.h"
#include "cli_Runner.h"
#include "vlm_Encoding.h"
#include "vlm_Errors.h"
#include "vlm_Ini.h"
#include "vlm_KeyWords.h"
#include "vlm_Translate.h"
#include "vlm_Utils.h"

namespace {

void PrintLine(std::FILE *out, const std::string &utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), out);
    std::fputc('\n', out);
}

bool ReadFileBytes(const std::string &fileName, std::string &bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec))
        return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        return false;
    bytes = s.str();
    return true;
}

// A document in core text: what the component and the transformations work on. The
// placeholders stand for characters Windows-1250 cannot hold, in order of appearance.
struct TCoreDocument {
    std::string Text;
    std::vector<char32_t> Placeholders;
};

bool ReadDocument(const std::string &fileName, TCoreDocument &document) {
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) {
        PrintLine(stderr, fileName + ": cannot read the file");
        return false;
    }
    document.Text = DocumentToCore(DecodeText(bytes).Utf8, &document.Placeholders);
    return true;
}

TArrayOfString SplitCoreLines(const std::string &text) {
    TArrayOfString lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

// The scanner's error hook for the transformations: an unclosed string literal must stop
// them, with the position to report.
struct EScanError {
    int Code;
    TArrayOfString Args;
    int Position;
};

// Line and column of a 1-based position in core text, whose line breaks are all CR LF.
void PositionToLineColumn(const std::string &text, int position, int &line, int &column) {
    line = 1;
    int lineStart = 0;
    for (int i = 1; i <= position && i <= static_cast<int>(text.size()); ++i) {
        if (text[i - 1] == '\r')
            ++line;
        else if (text[i - 1] == '\n')
            lineStart = i;
    }
    column = position - lineStart;
}

int Transform(const TCliOptions &options, const std::string &fileName) {
    TCoreDocument document;
    if (!ReadDocument(fileName, document))
        return ceUsage;
    ResetErrorMessages();
    TKeyWords keyWords;
    keyWords.PseudoMode = options.PseudoMode;
    if (!options.LanguageFile.empty()) {
        if (!keyWords.LoadFromLanguageFile(options.LanguageFile)) {
            PrintLine(stderr, options.LanguageFile + ": cannot read the language file");
            return ceUsage;
        }
        LoadErrorMessages(options.LanguageFile, "algAlgorithm");
    }
    keyWords.OnError = [](int code, const TArrayOfString &args, int position) {
        throw EScanError{code, args, position};
    };

    std::string result;
    try {
        result = options.Command == ccmFormat ? FormatCode(keyWords, document.Text)
                                              : TranslateVocabulary(keyWords, document.Text);
    } catch (const EScanError &e) {
        int line = 0, column = 0;
        PositionToLineColumn(document.Text, e.Position, line, column);
        PrintLine(stderr, fileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": error " +
                              std::to_string(e.Code) + ": " + Cp1250ToUtf8(FormatErrorMessage(e.Code, e.Args)));
        return ceError;
    }
    // Lines joined by LF; a text that ended with a line break still ends with exactly one.
    std::string output;
    const std::vector<std::string> lines = CoreToLines(result, document.Placeholders);
    for (size_t i = 0; i < lines.size(); ++i)
        output += (i ? "\n" : "") + lines[i];
    if (output.empty() || output.back() != '\n')
        output += '\n';
    std::fwrite(output.data(), 1, output.size(), stdout);
    return ceOk;
}

int ShowIni(const TCliOptions &options) {
    const std::string &fileName = options.Operands[0];
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) {
        PrintLine(stderr, fileName + ": cannot read the file");
        return ceUsage;
    }
    TIniFile ini(fileName);
    if (options.Operands.size() == 3) {
        std::string value;
        const bool present = ReadLngString(ini, options.Operands[1], options.Operands[2], value);
        PrintLine(stdout, value);
        return present ? ceOk : ceError;
    }
    for (const std::string &key : ini.ReadSection(options.Operands[1]))
        PrintLine(stdout, key);
    return ceOk;
}

int RunCommand(const TCliOptions &options) {
    try {
        switch (options.Command) {
        case ccmHelp:
            std::fputs(CliUsage, stdout);
            return ceOk;
        case ccmVersion:
            PrintLine(stdout, std::string("velmora-cli ") + VELMORA_VERSION);
            return ceOk;
        case ccmIni:
            return ShowIni(options);
        case ccmFormat:
        case ccmTranslate:
            return Transform(options, options.Operands[0]);
        case ccmCheck:
        case ccmRun: {
            TCoreDocument document;
            if (!ReadDocument(options.Operands[0], document))
                return ceUsage;
            return CheckOrRunAlgorithm(options, options.Operands[0], SplitCoreLines(document.Text));
        }
        }
    } catch (const std::exception &e) {
        PrintLine(stderr, std::string("velmora-cli: ") + e.what());
        return ceEndedEarly;
    }
    return ceUsage;
}

}  // namespace

int main(int argc, char **argv) {
    TCliOptions options;
    std::string error;
    if (!ParseCliArguments(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        PrintLine(stderr, "velmora-cli: " + error);
        PrintLine(stderr, "Try 'velmora-cli --help'.");
        return ceUsage;
    }
    int status = RunCommand(options);
    // Output lost on the way (a full disk, a closed stream) must not pass for success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        PrintLine(stderr, "velmora-cli: cannot write the output");
        if (status == ceOk)
            status = ceUsage;
    }
    return status;
}
