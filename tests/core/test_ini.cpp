// The private-profile reader: names, values, quotes, the cuts, odd lines and encodings.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "vlm_Encoding.h"
#include "vlm_Ini.h"
#include "vlm_Utils.h"

namespace fs = std::filesystem;

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              (std::string("velmora_ini_") + info->name() + "_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string &bytes, const std::string &name = "test.lng") {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path dir;
};

TEST_F(IniFile, ValuesAreReadByTheProfileRules) {
    TIniFile ini(Write("[Messages]\r\n"
                       "Plain=text\r\n"
                       "  Spaced   =   a  b   \r\n"
                       "Tabbed\t=\tx\t\r\n"
                       "Double=\"quoted \"\r\n"
                       "Single=' quoted'\r\n"
                       "Inner=\"a\"b\"\r\n"
                       "Mixed=\"a'\r\n"
                       "Lone=\"\r\n"
                       "Twice=\"\"x\"\"\r\n"
                       "EmptyQuotes=\"\"\r\n"
                       "Equals=a=b=c\r\n"
                       "Empty=\r\n"
                       "Dup=first\r\n"
                       "DUP=second\r\n"));
    ASSERT_TRUE(ini.Exists());
    struct Case {
        const char *section, *key, *value;
    } cases[] = {
        {"Messages", "Plain", "text"},
        {"MESSAGES", "plain", "text"},
        {"messages", "pLaIn", "text"},
        {"Messages", "Spaced", "a  b"},
        {"Messages", "Tabbed", "x"},
        {"Messages", "Double", "quoted "},
        {"Messages", "Single", " quoted"},
        {"Messages", "Inner", "a\"b"},
        {"Messages", "Mixed", "\"a'"},
        {"Messages", "Lone", "\""},
        {"Messages", "Twice", "\"x\""},
        {"Messages", "EmptyQuotes", ""},
        {"Messages", "Equals", "a=b=c"},
        {"Messages", "Empty", ""},
        {"Messages", "Dup", "first"},
        {"Messages", "dup", "first"},
        {"Messages", "Missing", "<def>"},
        {"Other", "Plain", "<def>"},
        {"Messages", "", "<def>"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.value) << c.section << "/" << c.key;
}

TEST_F(IniFile, OddLinesAndRepeatedSections) {
    TIniFile ini(Write("Orphan=before any section\n"
                       "[A]\n"
                       "; comment=1\n"
                       "  ;indented=2\n"
                       "NoEquals\n"
                       "x=1\n"
                       "[B]\n"
                       "x=2\n"
                       "[a]\n"
                       "x=3\n"
                       "y=4\n"
                       "[ Spaced ]\n"
                       "z=5\n"
                       "[Open\n"
                       "w=6\n"));
    EXPECT_EQ(ini.ReadString("A", "x"), "1");
    EXPECT_EQ(ini.ReadString("B", "x"), "2");
    // Only the first section of a name is searched.
    EXPECT_EQ(ini.ReadString("A", "y", "<def>"), "<def>");
    EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"x"}));
    EXPECT_EQ(ini.ReadString("A", "; comment", "<def>"), "<def>");
    EXPECT_EQ(ini.ReadString("A", "NoEquals", "<def>"), "<def>");
    EXPECT_EQ(ini.ReadString("", "Orphan", "<def>"), "<def>");
    EXPECT_EQ(ini.ReadString(" Spaced ", "z"), "5");
    // "[Open" is no header: its lines stay in the section before it.
    EXPECT_EQ(ini.ReadString(" Spaced ", "w"), "6");
    EXPECT_EQ(ini.ReadSection(" spaced "), (std::vector<std::string>{"z", "w"}));
}

TEST_F(IniFile, LineBreaksAndEncodings) {
    const std::string body = "[KeyWords]\n If = jestliže \nEnd='konec'\n[Next]\nk=v\n";
    auto with = [&](const std::string &br) {
        std::string r;
        for (char c : body) r += c == '\n' ? br : std::string(1, c);
        return r;
    };
    struct Case {
        const char *name;
        std::string bytes;
    } cases[] = {
        {"crlf.lng", with("\r\n")},
        {"lf.lng", with("\n")},
        {"cr.lng", with("\r")},
        {"bom.lng", "\xEF\xBB\xBF" + with("\r\n")},
        {"cp1250.lng", Utf8ToCp1250(with("\r\n"))},
        {"nofinalbreak.lng", with("\n").substr(0, with("\n").size() - 1)},
    };
    for (const Case &c : cases) {
        TIniFile ini(Write(c.bytes, c.name));
        EXPECT_EQ(ini.ReadString("keywords", "IF"), "jestliže") << c.name;
        EXPECT_EQ(ini.ReadString("KeyWords", "End"), "konec") << c.name;
        EXPECT_EQ(ini.ReadString("Next", "k"), "v") << c.name;
        EXPECT_EQ(ini.ReadSection("KeyWords"), (std::vector<std::string>{"If", "End"})) << c.name;
    }
}

TEST_F(IniFile, ValuesAreCutAt2047Characters) {
    std::string ascii(3000, 'x'), czech;
    for (int i = 0; i < 2100; ++i) czech += "ž";
    TIniFile ini(Write("[S]\nascii=" + ascii + "\nczech=" + czech + "\nquoted=\"" +
                       std::string(2047, 'q') + "\"\nexact=" + std::string(2047, 'e') + "\n"));
    EXPECT_EQ(ini.ReadString("S", "ascii"), std::string(2047, 'x'));
    std::string expected;
    for (int i = 0; i < 2047; ++i) expected += "ž";
    EXPECT_EQ(ini.ReadString("S", "czech"), expected);  // characters, not bytes
    EXPECT_EQ(ini.ReadString("S", "quoted"), std::string(2047, 'q'));
    EXPECT_EQ(ini.ReadString("S", "exact"), std::string(2047, 'e'));
}

TEST_F(IniFile, KeyListIsCutAtTheBufferSize) {
    // 2000 names of 10 characters take 11 places each; the buffer holds 16384 places and
    // keeps its last one for the closing zero.
    std::string text = "[Big]\n";
    for (int i = 0; i < 2000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Key%07d", i);
        text += std::string(name) + "=v\n";
    }
    text += "[Small]\na=1\n;c=2\nb\nc=\n";
    TIniFile ini(Write(text));
    std::vector<std::string> keys = ini.ReadSection("big");
    ASSERT_EQ(keys.size(), 1490u);
    EXPECT_EQ(keys[0], "Key0000000");
    EXPECT_EQ(keys[1488], "Key0001488");
    EXPECT_EQ(keys[1489], "Key");  // the last name that began inside the buffer, cut
    // Names count in characters, not bytes.
    std::string wide = "[W]\n";
    for (int i = 0; i < 1489; ++i) wide += "ččččččččč" + std::to_string(i % 10) + "=v\n";
    wide += "čččččččččč=v\n";
    keys = TIniFile(Write(wide, "wide.lng")).ReadSection("W");
    ASSERT_EQ(keys.size(), 1490u);
    EXPECT_EQ(keys[1489], "ččč");
    // Comments and lines without "=" are not keys; an empty value is.
    EXPECT_EQ(ini.ReadSection("Small"), (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(ini.ReadSection("None").empty());
}

TEST_F(IniFile, MissingFileReadsAsEmpty) {
    fs::create_directories(dir / "folder.lng");  // a folder is no file, and reading it must not throw
    for (const char *name : {"absent.lng", "folder.lng"}) {
        TIniFile ini((dir / name).string());
        EXPECT_FALSE(ini.Exists()) << name;
        EXPECT_EQ(ini.ReadString("Messages", "Error", "<def>"), "<def>") << name;
        EXPECT_TRUE(ini.ReadSection("Messages").empty()) << name;
        std::string value = "old";
        EXPECT_FALSE(ReadLngString(ini, "Messages", "Error", value)) << name;
        EXPECT_EQ(value, "") << name;
    }
}

TEST_F(IniFile, ReadLngStringIsTrueOnlyForANonEmptyValue) {
    TIniFile ini(Write("[S]\nfull= x \nempty=\nquotes=''\nblank=   \n"));
    std::string value;
    EXPECT_TRUE(ReadLngString(ini, "s", "FULL", value));
    EXPECT_EQ(value, "x");
    for (const char *key : {"empty", "quotes", "blank", "missing"}) {
        value = "old";
        EXPECT_FALSE(ReadLngString(ini, "S", key, value)) << key;
        EXPECT_EQ(value, "") << key;
    }
}

}  // namespace
