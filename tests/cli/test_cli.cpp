// velmora-cli as a user meets it: files in, streams and exit statuses out. Ordered as the
// commands are: check, run (output, errors, input, trace), format and translate, ini, and the
// command line itself.

#include <gtest/gtest.h>

#include "cli_TestRun.h"
#include "vlm_Encoding.h"

using namespace clitest;
using namespace std::string_literals;

namespace {

class Cli : public testing::Test {
protected:
    // Writes an algorithm (UTF-8) into the scratch folder; returns its path as the CLI names it.
    std::string Algorithm(const std::string &text, const std::string &name = "a.vlm") {
        return Scratch.File(name, text).string();
    }
    TScratch Scratch;
};

// ---------------------------------------------------------------------------------------------
// check

TEST_F(Cli, CheckReportsTheFirstErrorAsOneLine) {
    struct TCase {
        const char *text;
        std::vector<std::string> options;
        int status;
        const char *err;  // after "FILE:"
    } cases[] = {
        {"začátek\n  napiš(1);\nkonec\n", {}, 0, ""},
        {"začátek\n  jestliže x > 0 napiš(x);\nkonec\n", {}, 1,
         "2:18: error 6: Bylo očekáváno \"pak\" ale bylo nalezeno \"napiš\"\n"},
        {"", {}, 1, "1:0: error 0: Není zadán žádný algoritmus\n"},
        {"begin write(1) end\n", {}, 1,
         "1:1: error 1: Algoritmus musí začínat klíčovým slovem \"začátek\" a končit \"konec\"\n"},
        {"begin write(1) end\n", {"--code"}, 0, ""},
        {"začátek napiš(1) konec\n", {"--code", "--pseudo"}, 0, ""},
    };
    for (const TCase &c : cases) {
        const std::string file = Algorithm(c.text);
        std::vector<std::string> args{"check"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(file);
        const TCliResult r = RunCli(args);
        EXPECT_EQ(c.status, r.Status) << c.text;
        EXPECT_EQ(*c.err ? file + ":" + c.err : "", r.Err) << c.text;
        EXPECT_EQ("", r.Out) << c.text;
    }
}

TEST_F(Cli, LanguageFileBringsItsWordsAndErrorTexts) {
    const std::string english = std::string(VELMORA_SOURCE_DIR) + "/Languages/English.lng";
    const std::string file = Algorithm("začátek\n  jestliže x > 0 napiš(x);\nkonec\n");
    TCliResult r = RunCli({"check", "--language", english, file});
    EXPECT_EQ(1, r.Status);
    EXPECT_EQ(file + ":2:18: error 6: Expected \"pak\" but found \"napiš\"\n", r.Err);

    const std::string lng = Scratch.File("my.lng", "[KeyWords]\nif=Když\n[algAlgorithm]\nError.8=Neznámé: %s\n").string();
    const std::string own = Algorithm("začátek\n  když 1 > 0 pak napiš(1);\n  pak\nkonec\n");
    r = RunCli({"check", "--language=" + lng, own});
    EXPECT_EQ(1, r.Status);
    EXPECT_EQ(own + ":3:3: error 8: Neznámé: pak\n", r.Err);

    r = RunCli({"check", "--language", Scratch.Dir().string() + "/missing.lng", own});
    EXPECT_EQ(2, r.Status);
}

TEST_F(Cli, ReadsWindows1250Files) {
    const std::string file = Scratch.File("cp.vlm", Utf8ToCp1250("začátek\r\n  napiš('žluťoučký kůň');\r\nkonec\r\n")).string();
    const TCliResult r = RunCli({"run", file});
    EXPECT_EQ(0, r.Status) << r.Err;
    EXPECT_EQ("žluťoučký kůň\n", r.Out);
}

// ---------------------------------------------------------------------------------------------
// run

TEST_F(Cli, RunWritesOutputAndStopsAtTheFirstError) {
    struct TCase {
        const char *text;
        int status;
        const char *out;
        std::vector<std::string> errPrefixes;  // each after "FILE:", one per line, in order
    } cases[] = {
        {"začátek\n  napiš('a', 1 + 1, 'b');\n  napiš();\n  napiš(7 div 2, ' ', 7 / 2)\nkonec\n", 0,
         "a2b\n\n3 3.5\n", {}},
        // The check comes first: nothing runs when it fails.
        {"začátek\n  napiš(1);\n  x := ;\nkonec\n", 1, "", {"3:7: error 15: Chybí hodnota nebo výraz\n"}},
        {"začátek\n  napiš(1);\n  napiš(y);\n  napiš(2);\nkonec\n", 1, "1\n",
         {"3:9: error 3: Proměnná \"y\" není v tuto chvíli definována\n"}},
        // An error inside a function argument is reported twice: the argument, then the call.
        {"začátek\n  napiš(sin ( y ));\nkonec\n", 1, "", {"2:15: error 3: ", "2:9: error 9: "}},
    };
    for (const TCase &c : cases) {
        const std::string file = Algorithm(c.text);
        const TCliResult r = RunCli({"run", file});
        EXPECT_EQ(c.status, r.Status) << c.text;
        EXPECT_EQ(c.out, r.Out) << c.text;
        std::istringstream lines(r.Err);
        std::string line;
        for (const std::string &prefix : c.errPrefixes) {
            ASSERT_TRUE(std::getline(lines, line)) << c.text << "\n" << r.Err;
            EXPECT_EQ(file + ":" + prefix, (line + "\n").substr(0, file.size() + 1 + prefix.size())) << c.text;
        }
        EXPECT_FALSE(std::getline(lines, line)) << c.text << "\n" << r.Err;
    }
}

TEST_F(Cli, ReadCommandsTakeLinesOfStdin) {
    const std::string file = Algorithm("začátek\n  čti(x);\n  napiš(x + 1);\n  čti(y);\n  napiš(y + 1);\n"
                                       "  čti(a[2]);\n  napiš(a[2]);\nkonec\n");
    struct TCase {
        const char *input;
        int status;
        const char *out;
        const char *err;  // after "FILE: "
    } cases[] = {
        {"41\n4,2\nčaj\n", 0, "42\n4,21\nčaj\n", ""},
        {"41\r\n-1.5\r\n\r\n", 0, "42\n-0.5\n\n", ""},
        {"41\n4,2\nx", 0, "42\n4,21\nx\n", ""},
        // End of input cancels the read, as the workbench's Cancel does.
        {"41\n", 3, "42\n", "run ended: input ended\n"},
    };
    for (const TCase &c : cases) {
        const TCliResult r = RunCli({"run", file}, c.input);
        EXPECT_EQ(c.status, r.Status) << c.input;
        EXPECT_EQ(c.out, r.Out) << c.input;
        EXPECT_EQ(*c.err ? file + ": " + c.err : "", r.Err) << c.input;
    }
}

TEST_F(Cli, FailureOutsideTheCatalogueEndsTheRunWithStatus3) {
    struct TCase {
        const char *text;
        const char *input;
        const char *out;
    } cases[] = {
        {"začátek\n  napiš(1);\n  jestliže 'abc' pak napiš(2);\n  napiš(3);\nkonec\n", "", "1\n"},
        // A number-looking input that does not convert fails inside the read handler.
        {"začátek\n  napiš(1);\n  čti(x);\n  napiš(x);\nkonec\n", "1E\n", "1\n"},
    };
    for (const TCase &c : cases) {
        const std::string file = Algorithm(c.text);
        const TCliResult r = RunCli({"run", file}, c.input);
        EXPECT_EQ(3, r.Status) << c.text;
        EXPECT_EQ(c.out, r.Out) << c.text;
        EXPECT_EQ(0u, r.Err.rfind(file + ": run ended: ", 0)) << r.Err;
        EXPECT_EQ(1, std::count(r.Err.begin(), r.Err.end(), '\n')) << r.Err;
    }
}

TEST_F(Cli, TraceWritesOneEscapedLinePerEvent) {
    // A NUL byte (chr(0)) passes through as it is and does not cut the line.
    const std::string file = Algorithm("začátek\n  čti(x);\n  a[1, 2] := x * 2;\n  s := 'a\\b' + chr(0) + 'c';\n"
                                       "  napiš(s, chr(9), x);\n  b := x > 3;\nkonec\n");
    const std::string trace = "before\t2\t3\n"
                              "read\tx\n"
                              "var\tx\tint\t5\n"
                              "before\t3\t3\n"
                              "elem\ta\t1,2\treal\t10\n"
                              "before\t4\t3\n"
                              "var\ts\ttext\ta\\\\b\0c\n"
                              "before\t5\t3\n"
                              "write\ta\\\\b\0c\\t5\n"
                              "before\t6\t3\n"
                              "var\tb\tbool\tTrue\n"s;
    TCliResult r = RunCli({"run", "--trace", file}, "5\n");
    EXPECT_EQ(0, r.Status);
    EXPECT_EQ("a\\b\0c\t5\n"s, r.Out);
    EXPECT_EQ(trace, r.Err);

    const std::string out = (Scratch.Dir() / "trace.txt").string();
    r = RunCli({"run", "--trace=" + out, file}, "5\n");
    EXPECT_EQ(0, r.Status);
    EXPECT_EQ("", r.Err);
    EXPECT_EQ(trace, ReadFile(out));

    const std::string failing = Algorithm("začátek\n  napiš(y);\nkonec\n", "e.vlm");
    r = RunCli({"run", "--trace=" + out, failing});
    EXPECT_EQ(1, r.Status);
    EXPECT_EQ("before\t2\t3\nerror\t3\t2\t9\tProměnná \"y\" není v tuto chvíli definována\n", ReadFile(out));
}

TEST_F(Cli, SeedMakesRandomRepeatable) {
    const std::string file = Algorithm("začátek\n  napiš(random);\n  napiš(random);\nkonec\n");
    const TCliResult a = RunCli({"run", "--seed", "7", file});
    const TCliResult b = RunCli({"run", "--seed=7", file});
    const TCliResult c = RunCli({"run", "--seed", "8", file});
    EXPECT_EQ(0, a.Status);
    EXPECT_EQ(a.Out, b.Out);
    EXPECT_NE(a.Out, c.Out);
    std::istringstream lines(a.Out);
    for (std::string line; std::getline(lines, line);) {
        const double value = std::stod(line);
        EXPECT_TRUE(value >= 0 && value < 1) << line;
    }
}

// ---------------------------------------------------------------------------------------------
// format and translate

TEST_F(Cli, FormatAndTranslatePrintLines) {
    struct TCase {
        std::vector<std::string> args;
        const char *text;
        const char *out;
    } cases[] = {
        {{"format"}, "začátek jestliže a > 0 pak napiš(a) jinak napiš(b); konec\n",
         "začátek\n  jestliže a > 0 pak\n    napiš(a)\n  jinak\n    napiš(b);\nkonec\n"},
        {{"format", "--code"}, "BEGIN write( x ) END", "begin\n  write(x) end\n"},
        {{"translate"}, "začátek pro i od 1 do 10 opakuj a := a + i; KONEC\n",
         "begin for i := 1 to 10 do a := a + i; end\n"},
        {{"translate", "--code"}, "begin\r\n  for i:=1 to 3 do x := i\r\nend.", "začátek\n  pro i od 1 do 3 opakuj x := i\nkonec.\n"},
        // Characters Windows-1250 cannot hold come back unchanged.
        {{"format"}, "začátek // šipka → 😀\n napiš('→');konec\n", "začátek // šipka → 😀\n  napiš('→');\nkonec\n"},
        {{"translate"}, "začátek // šipka → 😀\n  napiš('→');\nkonec\n", "begin // šipka → 😀\n  write('→');\nend\n"},
    };
    for (const TCase &c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back(Algorithm(c.text));
        const TCliResult r = RunCli(args);
        EXPECT_EQ(0, r.Status) << c.text << r.Err;
        EXPECT_EQ(c.out, r.Out) << c.text;
        EXPECT_EQ("", r.Err);
    }
}

TEST_F(Cli, UnclosedLiteralStopsFormatAndTranslate) {
    const std::string file = Algorithm("začátek\n  napiš('abc);\nkonec\n");
    for (const char *command : {"format", "translate"}) {
        const TCliResult r = RunCli({command, file});
        EXPECT_EQ(1, r.Status) << command;
        EXPECT_EQ("", r.Out) << command;
        EXPECT_EQ(file + ":2:9: error 22: Neuzavřený textový řetězec\n", r.Err) << command;
    }
}

// ---------------------------------------------------------------------------------------------
// ini

TEST_F(Cli, IniShowsWhatTheProgramReads) {
    const std::string ini = Scratch.File("x.lng", "[Sec]\nKey = \"a value\" \nEmpty=\n[Other]\nz=1\n").string();
    struct TCase {
        std::vector<std::string> args;
        int status;
        const char *out;
    } cases[] = {
        {{"Sec", "key"}, 0, "a value\n"},
        {{"SEC", "Empty"}, 1, "\n"},
        {{"Sec", "missing"}, 1, "\n"},
        {{"Sec"}, 0, "Key\nEmpty\n"},
        {{"Nowhere"}, 0, ""},
    };
    for (const TCase &c : cases) {
        std::vector<std::string> args{"ini", ini};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const TCliResult r = RunCli(args);
        EXPECT_EQ(c.status, r.Status) << c.args[0];
        EXPECT_EQ(c.out, r.Out) << c.args[0];
    }
    EXPECT_EQ(2, RunCli({"ini", Scratch.Dir().string() + "/none.lng", "Sec"}).Status);
}

// ---------------------------------------------------------------------------------------------
// the command line

TEST_F(Cli, UsageErrorsAndMissingFilesGiveStatus2) {
    const std::string file = Algorithm("začátek konec\n");
    const std::string missing = Scratch.Dir().string() + "/none.vlm";
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", file},
        {"check"},
        {"check", file, file},
        {"check", "--trace", file},
        {"format", "--seed", "1", file},
        {"run", "--seed", "x", file},
        {"run", "--colour", file},
        {"run", "--language"},
        {"ini", file},
        {"check", missing},
        {"run", missing},
        {"format", missing},
        {"check", Scratch.Dir().string()},
        {"check", "-x", file},
        {"check", "--language=", file},
        {"run", "--trace=" + Scratch.Dir().string() + "/no/such/folder/t.txt", file},
        {"run", "--trace=" + Scratch.Dir().string(), file},
        // A trace that cannot be written in full (the device is full) is no success.
        {"run", "--trace=/dev/full", Algorithm("začátek x := 1; konec\n", "assign.vlm")},
    };
    for (const auto &args : cases) {
        const TCliResult r = RunCli(args);
        EXPECT_EQ(2, r.Status) << (args.empty() ? "(none)" : args[0]);
        EXPECT_EQ("", r.Out);
        EXPECT_FALSE(r.Err.empty());
    }
}

TEST_F(Cli, HelpAndVersion) {
    TCliResult r = RunCli({"--help"});
    EXPECT_EQ(0, r.Status);
    EXPECT_NE(std::string::npos, r.Out.find("velmora-cli run"));
    r = RunCli({"check", "--help"});
    EXPECT_EQ(0, r.Status);
    EXPECT_NE(std::string::npos, r.Out.find("velmora-cli ini"));
    r = RunCli({"--version"});
    EXPECT_EQ(0, r.Status);
    EXPECT_EQ(std::string("velmora-cli ") + VELMORA_VERSION + "\n", r.Out);
}

}  // namespace
