#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "ReadINI.h"
#include "TempDir.h"

using namespace ReadINI;

namespace {

// ReadIniValue on content in memory

struct ReadCase {
    const char* name;
    std::string content;
    std::string section;
    std::string key;
    std::string expected;
};

class IniValueInCase : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniValueInCase, FindsTheFirstKeyLineOfTheSection) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniValueIn(c.content, c.section, c.key), c.expected);
}

const char* const kData = "[BPRE]\r\nNameOffset=&H245EE0\r\nTitle=Fire Red\r\n\r\n[Main]\r\nShowSave=1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rules, IniValueInCase,
    ::testing::Values(
        ReadCase{"plain", kData, "Main", "ShowSave", "1"},
        ReadCase{"other_section", kData, "BPRE", "Title", "Fire Red"},
        ReadCase{"value_keeps_case_and_spaces", "[A]\r\nk= Mixed Case \r\n", "A", "k", " Mixed Case "},
        ReadCase{"names_ignore_case", "[main]\r\nshowsave=On\r\n", "MAIN", "ShowSave", "On"},
        ReadCase{"names_ignore_case_other_way", "[MAIN]\r\nSHOWSAVE=On\r\n", "main", "showsave", "On"},
        ReadCase{"missing_section", kData, "AXVE", "Title", ""},
        ReadCase{"key_of_another_section", kData, "Main", "Title", ""},
        ReadCase{"missing_key", kData, "Main", "Nothing", ""},
        ReadCase{"space_before_key", "[A]\r\n k=1\r\n", "A", "k", ""},
        ReadCase{"spaces_around_equals", "[A]\r\nk = 1\r\n", "A", "k", ""},
        ReadCase{"space_after_equals_is_value", "[A]\r\nk= 1\r\n", "A", "k", " 1"},
        ReadCase{"key_without_equals", "[A]\r\nk\r\nk2=2\r\n", "A", "k", ""},
        ReadCase{"key_is_a_prefix_of_another", "[A]\r\nkey2=2\r\nkey=1\r\n", "A", "key", "1"},
        ReadCase{"value_with_equals", "[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        ReadCase{"bracket_in_value_hides_the_line", "[A]\r\nTitle=x[y\r\n", "A", "Title", ""},
        ReadCase{"bracket_in_value_hides_the_rest", "[A]\r\nTitle=x[y\r\nNext=2\r\n", "A", "Next", ""},
        ReadCase{"bracket_hides_only_below", "[A]\r\nBefore=1\r\nTitle=x]y[\r\n", "A", "Before", "1"},
        ReadCase{"first_of_two_wins", "[A]\r\nk=first\r\nk=second\r\n", "A", "k", "first"},
        ReadCase{"section_twice", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nk=late\r\n", "A", "k", "late"},
        ReadCase{"header_with_trailing_space", "[A] \r\nk=1\r\n", "A", "k", ""},
        ReadCase{"header_with_leading_space", " [A]\r\nk=1\r\n", "A", "k", ""},
        ReadCase{"lone_cr_ends_a_line", "[A]\rk=1\rj=2", "A", "j", "2"},
        ReadCase{"lone_lf_does_not", "[A]\nk=1\r\n", "A", "k", ""},
        ReadCase{"lone_lf_stays_in_the_value", "[A]\r\nk=1\nj=2\r\n", "A", "k", "1\nj=2"},
        ReadCase{"last_line_without_line_end", "[A]\r\nk=end", "A", "k", "end"},
        ReadCase{"empty_value", "[A]\r\nk=\r\nk=2\r\n", "A", "k", ""},
        ReadCase{"empty_content", "", "A", "k", ""},
        ReadCase{"key_before_any_section", "k=1\r\n[A]\r\n", "A", "k", ""},
        ReadCase{"windows_1252_letters", "[\xC9t\xE9]\r\n\xC0=\xC0\r\n", "\xE9T\xC9", "\xE0", "\xC0"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// WriteIniValue on content in memory

struct WriteCase {
    const char* name;
    std::string content;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};

class IniWithValueCase : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWithValueCase, RewritesAsSpecified) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(IniWithValue(c.content, c.section, c.key, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniWithValueCase,
    ::testing::Values(
        WriteCase{"empty_file", "", "Main", "ShowSave", "1", "[Main]\r\nShowSave=1\r\n"},
        WriteCase{"section_appended_after_one_empty_line", "[A]\r\nx=1\r\n", "Main", "ShowSave", "0",
                  "[A]\r\nx=1\r\n\r\n[Main]\r\nShowSave=0\r\n"},
        WriteCase{"key_inserted_first_below_header", "[Main]\r\nOther=2\r\n", "Main", "ShowSave", "1",
                  "[Main]\r\nShowSave=1\r\nOther=2\r\n"},
        WriteCase{"key_replaced_in_place", "[Main]\r\nA=1\r\nShowSave=0\r\nB=2\r\n", "Main", "ShowSave", "1",
                  "[Main]\r\nA=1\r\nShowSave=1\r\nB=2\r\n"},
        WriteCase{"caller_spelling_replaces_old", "[main]\r\nshowsave=0\r\n", "MAIN", "ShowSave", "1",
                  "[main]\r\nShowSave=1\r\n"},
        WriteCase{"key_of_another_section_untouched", "[A]\r\nk=1\r\n[B]\r\nj=2\r\n", "B", "k", "9",
                  "[A]\r\nk=1\r\n[B]\r\nk=9\r\nj=2\r\n"},
        WriteCase{"key_in_a_later_section_untouched", "[A]\r\nj=1\r\n[B]\r\nk=2\r\n", "A", "k", "9",
                  "[A]\r\nk=9\r\nj=1\r\n[B]\r\nk=2\r\n"},
        WriteCase{"last_line_without_line_end", "[A]\r\nj=1\r\nk=old", "A", "k", "new",
                  "[A]\r\nj=1\r\nk=new\r\n"},
        WriteCase{"header_without_line_end_is_not_found", "[A]", "A", "k", "1", "[A]\r\n\r\n[A]\r\nk=1\r\n"},
        WriteCase{"empty_lines_at_start_removed", "\r\n\r\n\r\n[A]\r\nk=1\r\n", "A", "k", "2",
                  "[A]\r\nk=2\r\n"},
        WriteCase{"runs_of_empty_lines_collapsed", "[A]\r\nk=1\r\n\r\n\r\n\r\n\r\n[B]\r\nj=2\r\n", "B", "j",
                  "3", "[A]\r\nk=1\r\n\r\n[B]\r\nj=3\r\n"},
        WriteCase{"one_empty_line_kept", "[A]\r\nk=1\r\n\r\n[B]\r\nj=2\r\n", "A", "k", "5",
                  "[A]\r\nk=5\r\n\r\n[B]\r\nj=2\r\n"},
        WriteCase{"trailing_control_characters_trimmed", "[A]\r\nk=1\r\n\r\n\t\r\n\x01", "A", "k", "2",
                  "[A]\r\nk=2\r\n"},
        WriteCase{"leading_control_characters_trimmed", "\t\x0B[A]\r\nk=1\r\n", "A", "k", "2",
                  "[A]\r\nk=1\r\n\r\n[A]\r\nk=2\r\n"},  // the header is not at a line start
        WriteCase{"high_characters_not_trimmed", "[A]\r\nk=1\r\nz=\xFF", "A", "k", "2",
                  "[A]\r\nk=2\r\nz=\xFF\r\n"},
        WriteCase{"value_keeps_case_and_spaces", "[A]\r\n", "A", "k", " Two Words ",
                  "[A]\r\nk= Two Words \r\n"},
        WriteCase{"section_at_end_without_keys", "[A]\r\nx=1\r\n[B]\r\n", "B", "k", "1",
                  "[A]\r\nx=1\r\n[B]\r\nk=1\r\n"},
        WriteCase{"key_found_after_bracket_line_in_section", "[A]\r\nt=x[y\r\nk=1\r\n", "A", "k", "2",
                  "[A]\r\nk=2\r\nt=x[y\r\nk=1\r\n"},  // "[" in a value ends the section for the writer too
        WriteCase{"header_ended_by_lone_cr", "[A]\rk=1\r", "A", "k", "2", "[A]\rk=2\r\nk=1\r\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(IniWithValue, EveryWriteReadsBackAndKeepsTheOtherKeys) {
    std::string content = "[BPRE]\r\nNameOffset=&H245EE0\r\nTitle=Fire Red\r\n\r\n[Main]\r\nShowSave=1\r\n";
    content = IniWithValue(content, "Main", "ShowSave", "0");
    content = IniWithValue(content, "BPRE", "DataOffset", "&H254784");
    content = IniWithValue(content, "AXVE", "Title", "Ruby");
    content = IniWithValue(content, "bpre", "title", "Fire Red 1.0");
    EXPECT_EQ(IniValueIn(content, "Main", "ShowSave"), "0");
    EXPECT_EQ(IniValueIn(content, "BPRE", "DataOffset"), "&H254784");
    EXPECT_EQ(IniValueIn(content, "BPRE", "NameOffset"), "&H245EE0");
    EXPECT_EQ(IniValueIn(content, "BPRE", "Title"), "Fire Red 1.0");
    EXPECT_EQ(IniValueIn(content, "AXVE", "Title"), "Ruby");
    EXPECT_EQ(content,
              "[BPRE]\r\nDataOffset=&H254784\r\nNameOffset=&H245EE0\r\ntitle=Fire Red 1.0\r\n\r\n[Main]\r\n"
              "ShowSave=0\r\n\r\n[AXVE]\r\nTitle=Ruby\r\n");
}

// The tidy rules hold after any write: no empty lines at the start, no two in a row, one CR LF at the end.
TEST(IniWithValue, TidyRulesHoldForMessyContent) {
    const std::string messy[] = {"",
                                 "\r\n",
                                 "\r\n\r\n\r\n\r\n",
                                 "[A]",
                                 "k=1",
                                 "[A]\r\n\r\n\r\n\r\nk=1\r\n\r\n\r\n",
                                 "\r\n\r\n[B]\r\n\r\n\r\nj=2",
                                 "\t\r\n[A]\r\n\r\n\r\n[B]\r\n\r\n\r\n\r\n"};
    for (const std::string& content : messy) {
        for (const char* section : {"A", "B", "C"}) {
            const std::string out = IniWithValue(content, section, "k", "v");
            SCOPED_TRACE(::testing::PrintToString(content) + " " + section);
            ASSERT_GE(out.size(), 2u);
            EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
            EXPECT_NE(static_cast<unsigned char>(out[out.size() - 3]), '\n');
            EXPECT_GT(static_cast<unsigned char>(out[0]), 13);
            EXPECT_EQ(out.find("\r\n\r\n\r\n"), std::string::npos);
            EXPECT_EQ(IniValueIn(out, section, "k"), "v");
        }
    }
}

// Files

class IniFile : public ::testing::Test {
protected:
    TempDir dir;
    std::string ini = dir.File("Data.ini");
};

TEST_F(IniFile, WriteToAMissingFileCreatesTwoLines) {
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "1"));
    EXPECT_EQ(Slurp(ini), "[Main]\r\nShowSave=1\r\n");
    EXPECT_EQ(ReadIniValue(ini, "main", "showsave"), "1");
}

TEST_F(IniFile, RoundTripKeepsTheOtherLines) {
    const std::string original =
        "[BPRE]\r\nNameOffset=&H245EE0\r\nTitle=Fire Red\r\n\r\n[Main]\r\nShowSave=1\r\nExtra=Keep Me\r\n";
    dir.Write("Data.ini", original);
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "0"));
    EXPECT_EQ(ReadIniValue(ini, "Main", "ShowSave"), "0");
    EXPECT_EQ(ReadIniValue(ini, "Main", "Extra"), "Keep Me");
    EXPECT_EQ(ReadIniValue(ini, "BPRE", "NameOffset"), "&H245EE0");
    std::string expected = original;
    expected.replace(expected.find("ShowSave=1"), 10, "ShowSave=0");
    EXPECT_EQ(Slurp(ini), expected);

    ASSERT_TRUE(WriteIniValue(ini, "main", "NEW", "x"));
    EXPECT_EQ(ReadIniValue(ini, "Main", "new"), "x");
    EXPECT_EQ(ReadIniValue(ini, "Main", "ShowSave"), "0");
}

TEST_F(IniFile, LowerCaseHeaderAndKeyAreFoundAndReplaced) {
    dir.Write("Data.ini", "[main]\r\nshowsave=0\r\n");
    EXPECT_EQ(ReadIniValue(ini, "Main", "ShowSave"), "0");
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "1"));
    EXPECT_EQ(Slurp(ini), "[main]\r\nShowSave=1\r\n");
}

TEST_F(IniFile, LastLineWithoutLineEnd) {
    dir.Write("Data.ini", "[Main]\r\nOther=1\r\nShowSave=0");
    EXPECT_EQ(ReadIniValue(ini, "Main", "ShowSave"), "0");
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "1"));
    EXPECT_EQ(Slurp(ini), "[Main]\r\nOther=1\r\nShowSave=1\r\n");
}

TEST_F(IniFile, BracketInAValueHidesTheRestOfTheSection) {
    dir.Write("Data.ini", "[BPRE]\r\nTitle=Fire [Red]\r\nNameOffset=100\r\n");
    EXPECT_EQ(ReadIniValue(ini, "BPRE", "Title"), "");
    EXPECT_EQ(ReadIniValue(ini, "BPRE", "NameOffset"), "");
}

TEST_F(IniFile, FilesLargerThan40000CharactersWork) {
    std::string content = "[Main]\r\nShowSave=0\r\n";
    for (int i = 0; content.size() <= 40'000; ++i) {
        content += "\r\n[S" + std::to_string(i) + "]\r\nKey=Value " + std::to_string(i) + "\r\n";
    }
    content += "\r\n[Last]\r\nKey=old";
    dir.Write("Data.ini", content);
    ASSERT_TRUE(WriteIniValue(ini, "Last", "Key", "new"));
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "1"));
    ASSERT_TRUE(WriteIniValue(ini, "S500", "Key", "changed"));
    EXPECT_EQ(ReadIniValue(ini, "Last", "Key"), "new");
    EXPECT_EQ(ReadIniValue(ini, "Main", "ShowSave"), "1");
    EXPECT_EQ(ReadIniValue(ini, "S500", "Key"), "changed");
    EXPECT_EQ(ReadIniValue(ini, "S499", "Key"), "Value 499");
    std::string expected = content;
    expected.replace(expected.find("ShowSave=0"), 10, "ShowSave=1");
    expected.replace(expected.find("Key=Value 500\r"), 13, "Key=changed");
    expected.replace(expected.size() - 3, 3, "new\r\n");
    EXPECT_EQ(Slurp(ini), expected);
}

TEST_F(IniFile, ReadOnlyFileIsMadeWritableAndRewritten) {
    dir.Write("Data.ini", "[Main]\r\nShowSave=0\r\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "1"));
    EXPECT_EQ(Slurp(ini), "[Main]\r\nShowSave=1\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(ini.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(IniFile, WriteLeavesNoTemporaryFileBehind) {
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "1"));
    ASSERT_TRUE(WriteIniValue(ini, "Main", "ShowSave", "0"));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(IniFile, WriteThroughALinkChangesTheFileItNames) {
    dir.Write("Data.ini", "[Main]\r\nShowSave=0\r\n");
    const std::string link = dir.File("link.ini");
    std::filesystem::create_symlink(ini, link);
    ASSERT_TRUE(WriteIniValue(link, "Main", "ShowSave", "1"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Slurp(ini), "[Main]\r\nShowSave=1\r\n");
}

TEST_F(IniFile, WriteFailuresReturnFalse) {
    EXPECT_FALSE(WriteIniValue(dir.File("no/such/folder/Data.ini"), "Main", "ShowSave", "1"));
    EXPECT_FALSE(WriteIniValue(dir.path().string(), "Main", "ShowSave", "1"));
}

TEST_F(IniFile, ReadOfAMissingFileIsEmpty) {
    EXPECT_EQ(ReadIniValue(ini, "Main", "ShowSave"), "");
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(IniFile, ReadTextFileReturnsTheBytesAsStored) {
    EXPECT_EQ(ReadTextFile(dir.File("missing.txt")), "");
    EXPECT_EQ(ReadTextFile(dir.path().string()), "");
    const std::string bytes("Items\r\nPotion\r\n\x00\xFF\n\r", 19);
    EXPECT_EQ(ReadTextFile(dir.Write("list.txt", bytes)), bytes);
    EXPECT_EQ(ReadTextFile(dir.Write("empty.txt", "")), "");
    std::string large(100'000, 'x');
    EXPECT_EQ(ReadTextFile(dir.Write("large.txt", large)), large);
}

TEST_F(IniFile, WriteTextFileAddsOneLineEnd) {
    const std::string file = dir.File("names.txt");
    ASSERT_TRUE(WriteTextFile(file, "BULBASAUR\r\nIVYSAUR"));
    EXPECT_EQ(Slurp(file), "BULBASAUR\r\nIVYSAUR\r\n");
    ASSERT_TRUE(WriteTextFile(file, ""));  // a shorter text replaces the whole content
    EXPECT_EQ(Slurp(file), "\r\n");
    ASSERT_TRUE(WriteTextFile(file, std::string("a\nb\x00\xE9", 5)));
    EXPECT_EQ(Slurp(file), std::string("a\nb\x00\xE9\r\n", 7));
    EXPECT_FALSE(WriteTextFile(dir.File("no/such/folder/names.txt"), "x"));
    EXPECT_FALSE(WriteTextFile(dir.path().string(), "x"));
}

}  // namespace
