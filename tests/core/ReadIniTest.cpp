#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "ReadINI.h"
#include "TempDir.h"

using namespace ReadINI;
using testsupport::FileContents;

namespace {

struct ReadCase {
    std::string content, section, key, expected;
};

TEST(IniValueIn, FindsTheFirstKeyLineOfTheSection) {
    const std::string data = "[BPRE]\r\nTitle=Fire Red\r\n\r\n[main]\r\nshowsave=On Off\r\n";
    const ReadCase cases[] = {
        {data, "MAIN", "ShowSave", "On Off"},  // names ignore case, the value keeps it
        {data, "bpre", "TITLE", "Fire Red"},
        {data, "AXVE", "Title", ""},
        {data, "Main", "Title", ""},
        {"[A]\r\nk = 1\r\n", "A", "k", ""},  // the spaces belong to the key
        {"[A]\r\nkey2=2\r\nkey=1\r\n", "A", "key", "1"},
        {"[A]\r\nk=first\r\nk=second\r\n", "A", "k", "first"},
        {"[A]\r\nBefore=1\r\nt=x[y\r\nNext=2\r\n", "A", "Before", "1"},
        {"[A]\r\nBefore=1\r\nt=x[y\r\nNext=2\r\n", "A", "Next", ""},  // "[" in a value hides the rest
        {"[A] \r\nk=1\r\n", "A", "k", ""},                            // a trailing space: no header
        {"[A]\r\nk=end", "A", "k", "end"},
        {"[A]\rk=1\rj=2", "A", "j", "2"},  // a lone CR ends a line, a lone LF does not
        {"[A]\nk=1\r\n", "A", "k", ""},
        {"[\xC9t\xE9]\r\n\xC0=\xC0\r\n", "\xE9T\xC9", "\xE0", "\xC0"},  // Windows-1252 letters
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(IniValueIn(c.content, c.section, c.key), c.expected)
            << ::testing::PrintToString(c.content) << " " << c.key;
    }
}

struct WriteCase {
    std::string content, section, key, value, expected;
};

TEST(IniWithValue, ReplacesOrInsertsTheKeyAndTidiesTheRest) {
    const WriteCase cases[] = {
        {"", "Main", "ShowSave", "1", "[Main]\r\nShowSave=1\r\n"},
        {"[A]\r\nx=1\r\n", "Main", "k", "0", "[A]\r\nx=1\r\n\r\n[Main]\r\nk=0\r\n"},
        {"[Main]\r\nOther=2\r\n", "Main", "ShowSave", "1", "[Main]\r\nShowSave=1\r\nOther=2\r\n"},
        {"[main]\r\nA=1\r\nshowsave=0\r\nB=2\r\n", "MAIN", "ShowSave", " On ",
         "[main]\r\nA=1\r\nShowSave= On \r\nB=2\r\n"},
        {"[A]\r\nk=1\r\n[B]\r\nj=2\r\n", "B", "k", "9", "[A]\r\nk=1\r\n[B]\r\nk=9\r\nj=2\r\n"},
        {"[A]\r\nj=1\r\nk=old", "A", "k", "new", "[A]\r\nj=1\r\nk=new\r\n"},
        {"\r\n\r\n[A]\r\nk=1\r\n\r\n\r\n\r\n[B]\r\nj=2\r\n\r\n\t\x01", "B", "j", "3",
         "[A]\r\nk=1\r\n\r\n[B]\r\nj=3\r\n"},
        {"[A]\r\nk=1\r\nz=\xFF", "A", "k", "2", "[A]\r\nk=2\r\nz=\xFF\r\n"},  // high characters stay
        {"[A]\r\nt=x[y\r\nk=1\r\n", "A", "k", "2", "[A]\r\nk=2\r\nt=x[y\r\nk=1\r\n"},
    };
    for (const WriteCase& c : cases) {
        EXPECT_EQ(IniWithValue(c.content, c.section, c.key, c.value), c.expected)
            << ::testing::PrintToString(c.content);
    }
}

// After any write: no empty lines at the start, no two in a row, exactly one CR LF at the end.
TEST(IniWithValue, TidyRulesHoldForMessyContent) {
    for (const std::string content : {"", "\r\n\r\n\r\n", "[A]", "k=1", "[A]\r\n\r\n\r\nk=1\r\n\r\n\r\n",
                                      "\t\r\n[A]\r\n\r\n\r\n[B]\r\n\r\n\r\n\r\n"}) {
        for (const char* section : {"A", "B"}) {
            SCOPED_TRACE(::testing::PrintToString(content) + " " + section);
            const std::string out = IniWithValue(content, section, "k", "v");
            ASSERT_GE(out.size(), 3u);
            EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
            EXPECT_NE(out[out.size() - 3], '\n');
            EXPECT_GT(static_cast<unsigned char>(out[0]), 13);
            EXPECT_EQ(out.find("\r\n\r\n\r\n"), std::string::npos);
            EXPECT_EQ(IniValueIn(out, section, "k"), "v");
        }
    }
}

// A missing file is made, a read-only one made writable, one over 32,000 characters read and rewritten
// whole; text files keep their bytes and get one line end.
TEST(IniFile, WritesReadsAndRewritesFilesOfAnySize) {
    testsupport::TempDir dir;
    const std::string ini = dir.File("Data.ini");
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "1"));
    EXPECT_EQ(FileContents(ini), "[Main]\r\nShowSave=1\r\n");
    EXPECT_EQ(ReadIniValue(ini, "main", "showsave"), "1");
    EXPECT_FALSE(WriteIniValue(dir.path().string(), "Main", "ShowSave", "1"));

    ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "0"));
    EXPECT_EQ(FileContents(ini), "[Main]\r\nShowSave=0\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(ini.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    std::string content = "[Main]\r\nShowSave=0\r\n";
    for (int i = 0; content.size() <= 40'000; ++i)
        content += "\r\n[S" + std::to_string(i) + "]\r\nKey=Value " + std::to_string(i) + "\r\n";
    content += "\r\n[Last]\r\nKey=old";
    dir.Write("Data.ini", content);
    EXPECT_EQ(ReadIniValue(ini, "Last", "Key"), "old");
    ASSERT_TRUE(WriteIniValue(ini, "Last", "Key", "new"));
    EXPECT_EQ(FileContents(ini), content.substr(0, content.size() - 3) + "new\r\n");

    EXPECT_EQ(ReadTextFile(dir.File("missing.txt")), "");
    const std::string bytes("Items\r\nPotion\r\n\x00\xFF\n\r", 19);
    EXPECT_EQ(ReadTextFile(dir.Write("list.txt", bytes)), bytes);
    ASSERT_TRUE(WriteTextFile(dir.File("list.txt"), "A\r\nB"));
    EXPECT_EQ(FileContents(dir.File("list.txt")), "A\r\nB\r\n");
}

}  // namespace
