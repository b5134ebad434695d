// Every algorithm in examples/ runs through velmora-cli and gives its NAME.expected output
// (reading NAME.input when there is one). Examples named *_code.vlm use the English code
// vocabulary. Examples that draw random numbers have no fixed output: a check of the shape
// stands in. Each example is also laid out exactly as the formatter lays it out, and survives
// a translation there and back.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <regex>

#include "cli_TestRun.h"

using namespace clitest;

namespace {

const fs::path ExamplesDir = fs::path(VELMORA_SOURCE_DIR) / "examples";

std::vector<std::string> ExampleNames() {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(ExamplesDir))
        if (entry.path().extension() == ".vlm")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The guessing game reads the guesses 1, 2, 3, ... so it hears "bigger" until it is guessed.
void CheckGuessingGame(const std::string &out) {
    const std::vector<std::string> lines = Lines(out);
    ASSERT_FALSE(lines.empty());
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines.back(), m, std::regex("Uhodl jsi na ([0-9]+)\\. pokus\\.")));
    const int tries = std::stoi(m[1]);
    EXPECT_TRUE(tries >= 1 && tries <= 100);
    ASSERT_EQ(static_cast<size_t>(tries), lines.size());
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ("Moje číslo je větší.", lines[i]);
}

const std::map<std::string, std::function<void(const std::string &)>> ShapeChecks = {
    {"hadani_cisla", CheckGuessingGame},
};

std::vector<std::string> VocabularyOption(const std::string &name) {
    const std::string suffix = "_code";
    const bool code = name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    return {code ? "--code" : "--pseudo"};
}

class Example : public testing::TestWithParam<std::string> {
protected:
    fs::path File(const std::string &extension) const { return ExamplesDir / (GetParam() + extension); }
    std::vector<std::string> Args(const std::string &command, const fs::path &file) const {
        std::vector<std::string> args{command};
        for (const std::string &o : VocabularyOption(GetParam()))
            args.push_back(o);
        args.push_back(file.string());
        return args;
    }
};

TEST_P(Example, RunsToItsExpectedOutput) {
    const std::string input = fs::exists(File(".input")) ? ReadFile(File(".input")) : "";
    const TCliResult r = RunCli(Args("run", File(".vlm")), input);
    EXPECT_EQ(0, r.Status) << r.Err;
    EXPECT_EQ("", r.Err);
    const auto shape = ShapeChecks.find(GetParam());
    if (shape != ShapeChecks.end()) {
        shape->second(r.Out);
        return;
    }
    ASSERT_TRUE(fs::exists(File(".expected"))) << "no expected output for " << GetParam();
    EXPECT_EQ(ReadFile(File(".expected")), r.Out);
}

TEST_P(Example, IsLaidOutByTheFormatterWithACommentOnTop) {
    const std::string text = ReadFile(File(".vlm"));
    EXPECT_TRUE(text.rfind("//", 0) == 0 || text.rfind("{", 0) == 0) << "no comment on top";
    const TCliResult r = RunCli(Args("format", File(".vlm")));
    EXPECT_EQ(0, r.Status) << r.Err;
    EXPECT_EQ(text, r.Out);
}

TEST_P(Example, TranslatesThereAndBack) {
    TScratch scratch;
    const TCliResult there = RunCli(Args("translate", File(".vlm")));
    ASSERT_EQ(0, there.Status) << there.Err;
    EXPECT_NE(ReadFile(File(".vlm")), there.Out);

    // The translation runs in the other vocabulary and gives the same output.
    const fs::path translated = scratch.File(GetParam() + ".vlm", there.Out);
    const bool code = VocabularyOption(GetParam())[0] == "--code";
    const std::string other = code ? "--pseudo" : "--code";
    const TCliResult back = RunCli({"translate", other, translated.string()});
    ASSERT_EQ(0, back.Status) << back.Err;
    EXPECT_EQ(ReadFile(File(".vlm")), back.Out);

    if (ShapeChecks.count(GetParam()) == 0) {
        const std::string input = fs::exists(File(".input")) ? ReadFile(File(".input")) : "";
        const TCliResult run = RunCli({"run", other, translated.string()}, input);
        EXPECT_EQ(0, run.Status) << run.Err;
        EXPECT_EQ(ReadFile(File(".expected")), run.Out);
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, Example, testing::ValuesIn(ExampleNames()),
                         [](const testing::TestParamInfo<std::string> &info) { return info.param; });

}  // namespace
