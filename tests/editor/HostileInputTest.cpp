// Files that are not what the editor expects: each is refused with a message that names it, or read without
// harm, and no file is changed by a refusal.

#include <gtest/gtest.h>

// POSIX: FIFOs, file modes, and a child process that runs as an unprivileged user.
#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AttackTable.h"
#include "HexFunctions.h"
#include "ReadINI.h"
#include "ReferenceLists.h"
#include "RomBuilder.h"
#include "RomFiles.h"
#include "RomOpener.h"
#include "SpeciesDataFile.h"
#include "SpeciesSave.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;
using testsupport::WriteRomFiles;

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void ExpectContainsAll(const std::string& text, const std::vector<std::string>& parts) {
    for (const std::string& part : parts)
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

// ---- Files chosen as a ROM that are none.

struct NotARomCase {
    std::string name;
    // Makes the path in dir; the shipped demo ROM's Data.ini section is there as game.ini.
    std::function<std::string(const TempDir& dir)> make;
    std::vector<std::string> named;  // key words of the message besides the file's name
};

void PrintTo(const NotARomCase& c, std::ostream* out) {
    *out << c.name;
}

class NotARomTest : public ::testing::TestWithParam<NotARomCase> {};

TEST_P(NotARomTest, IsRefusedWithItsNameAndLeftAlone) {
    TempDir dir;
    const RomBuilder demo(DemoLayout());
    const auto files = WriteRomFiles(dir, demo, "demo.gba");
    ASSERT_TRUE(files.written);
    const std::string path = GetParam().make(dir);
    const bool regular = fs::is_regular_file(fs::symlink_status(path));
    const std::vector<uint8_t> before = regular ? ReadFileBytes(path) : std::vector<uint8_t>{};

    const auto begin = std::chrono::steady_clock::now();
    const OpenRomResult opened = OpenRomFile(path, files.ini);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));

    EXPECT_FALSE(opened.session);
    std::vector<std::string> parts = {"\"" + path + "\""};
    parts.insert(parts.end(), GetParam().named.begin(), GetParam().named.end());
    ExpectContainsAll(opened.error, parts);
    if (regular) {
        EXPECT_EQ(ReadFileBytes(path), before);
    }
    EXPECT_TRUE(fs::exists(fs::symlink_status(path)));
}

std::string WriteFile(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir.File(name);
    if (!WriteFileBytes(path, bytes)) ADD_FAILURE() << "cannot write " << path;
    return path;
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotARomTest,
    ::testing::Values(NotARomCase{"Empty",
                                  [](const TempDir& d) { return WriteFile(d, "empty.gba", {}); },
                                  {"only 0 bytes", "not a GBA ROM"}},
                      NotARomCase{"HundredBytes",
                                  [](const TempDir& d) {
                                      return WriteFile(d, "tiny.gba", std::vector<uint8_t>(100, 0x41));
                                  },
                                  {"only 100 bytes", "not a GBA ROM"}},
                      NotARomCase{"HeaderOnly",
                                  [](const TempDir& d) {
                                      std::vector<uint8_t> header = RomBuilder(DemoLayout()).bytes();
                                      header.resize(HexFunctions::kHeaderSize);
                                      return WriteFile(d, "header.gba", header);
                                  },
                                  {"too short for section [VRNH]", "192 bytes"}},
                      NotARomCase{"TextFile",
                                  [](const TempDir& d) {
                                      std::string text;
                                      while (text.size() < 4096) text += "This is not a ROM.\r\n";
                                      return WriteFile(d, "notes.gba", Bytes(text));
                                  },
                                  {"no section"}},
                      NotARomCase{"Folder",
                                  [](const TempDir& d) {
                                      fs::create_directory(d.File("folder.gba"));
                                      return d.File("folder.gba");
                                  },
                                  {"is a folder"}},
                      NotARomCase{"Fifo",
                                  [](const TempDir& d) {
                                      if (::mkfifo(d.File("pipe.gba").c_str(), 0644) != 0)
                                          ADD_FAILURE() << "no FIFO";
                                      return d.File("pipe.gba");
                                  },
                                  {"cannot be opened or read"}},
                      NotARomCase{"DanglingLink",
                                  [](const TempDir& d) {
                                      fs::create_symlink(d.File("nowhere.gba"), d.File("link.gba"));
                                      return d.File("link.gba");
                                  },
                                  {"cannot be opened or read"}}),
    [](const auto& info) { return info.param.name; });

// ---- Permissions. Root ignores permission bits, so the checks run in a child process that has become the
// user nobody; they are skipped only when that change is refused.

struct ChildResult {
    bool ran = false;  // false: the child could not become nobody
    std::string text;  // what the check sent back
};

ChildResult RunAsNobody(const std::function<std::string()>& check) {
    int channel[2];
    if (::pipe(channel) != 0) return {};
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return {};
    }
    if (child == 0) {
        ::close(channel[0]);
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(4);
        }
        // A process that changed its user is no longer dumpable, which would hide /proc/self from the
        // sanitizer's own reads.
        ::prctl(PR_SET_DUMPABLE, 1);
        const std::string text = check();
        const bool sent = ::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    ChildResult result;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
        result.text.append(buffer, static_cast<size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

struct PermissionCase {
    std::string name;
    fs::perms mode;
    bool opens;
};

void PrintTo(const PermissionCase& c, std::ostream* out) {
    *out << c.name;
}

class RomPermissionTest : public ::testing::TestWithParam<PermissionCase> {};

TEST_P(RomPermissionTest, OpeningNeedsReadPermission) {
    TempDir dir;
    const auto files = WriteRomFiles(dir, RomBuilder(DemoLayout()), "locked.gba");
    ASSERT_TRUE(files.written);
    // Only the ROM's own mode may stand in the way: the folder and Data.ini are open to everyone.
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(files.ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                   fs::perms::others_read);
    fs::permissions(files.rom, GetParam().mode);
    const std::vector<uint8_t> before = ReadFileBytes(files.rom);

    const ChildResult result = RunAsNobody([&files] {
        const OpenRomResult opened = OpenRomFile(files.rom, files.ini);
        return opened.session ? std::string("opened") : opened.error;
    });
    if (!result.ran) GTEST_SKIP() << "the check cannot run as the user nobody";
    if (GetParam().opens) {
        EXPECT_EQ(result.text, "opened");
    } else {
        ExpectContainsAll(result.text, {"\"" + files.rom + "\"", "cannot be opened or read", "may read it"});
    }
    fs::permissions(files.rom, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFileBytes(files.rom), before);
}

INSTANTIATE_TEST_SUITE_P(Modes, RomPermissionTest,
                         ::testing::Values(PermissionCase{"ReadableByAll",
                                                          fs::perms::owner_read | fs::perms::owner_write |
                                                              fs::perms::group_read | fs::perms::others_read,
                                                          true},
                                           PermissionCase{"WriteOnly", fs::perms::others_write, false},
                                           PermissionCase{"NoPermissions", fs::perms::none, false}),
                         [](const auto& info) { return info.param.name; });

// A file that may be written but not read: its length cannot be checked, so the save writes nothing.
TEST(HostileSaveTest, AFileThatCannotBeReadIsNotSaved) {
    TempDir dir;
    const auto files = WriteRomFiles(dir, RomBuilder(DemoLayout()), "writeonly.gba");
    ASSERT_TRUE(files.written);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(files.rom, fs::perms::others_write);
    const std::vector<uint8_t> before = ReadFileBytes(files.rom);

    SpeciesEdits edits;
    edits.name = "Changed";
    const ChildResult result = RunAsNobody([&files, &edits] {
        const SaveOutcome outcome = SaveSpecies(files.session, 5, edits);
        return outcome.complete ? std::string("saved") : outcome.error;
    });
    if (!result.ran) GTEST_SKIP() << "the check cannot run as the user nobody";
    ExpectContainsAll(result.text, {"\"" + files.rom + "\"", "cannot be read", "Nothing was saved."});
    EXPECT_EQ(ReadFileBytes(files.rom), before);
}

// ---- Data.ini.

struct IniCase {
    std::string name;
    std::function<std::string(const std::string& shipped)> content;
    bool opens;
    std::vector<std::string> named;
};

void PrintTo(const IniCase& c, std::ostream* out) {
    *out << c.name;
}

class HostileIniTest : public ::testing::TestWithParam<IniCase> {};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST_P(HostileIniTest, OpensOrNamesTheSection) {
    TempDir dir;
    const RomBuilder demo(DemoLayout());
    const auto files = WriteRomFiles(dir, demo, "demo.gba");
    ASSERT_TRUE(files.written);
    const std::string shipped = ReadINI::ReadTextFile(std::string(VORNHAL_DATA_DIR) + "/Data.ini");
    ASSERT_NE(shipped.find("[VRNH]\r\n"), std::string::npos);
    ASSERT_TRUE(WriteFileBytes(files.ini, Bytes(GetParam().content(shipped))));
    const std::vector<uint8_t> rom = ReadFileBytes(files.rom);
    const std::vector<uint8_t> ini = ReadFileBytes(files.ini);

    const OpenRomResult opened = OpenRomFile(files.rom, files.ini);
    if (GetParam().opens) {
        ASSERT_TRUE(opened.session) << opened.error;
        EXPECT_EQ(opened.session->DataOffset, DemoLayout().DataOffset);
        EXPECT_EQ(opened.session->AttackTable, DemoLayout().AttackTable);
        EXPECT_EQ(opened.session->Title, DemoLayout().title);
    } else {
        EXPECT_FALSE(opened.session);
        std::vector<std::string> parts = {"\"" + files.rom + "\""};
        parts.insert(parts.end(), GetParam().named.begin(), GetParam().named.end());
        ExpectContainsAll(opened.error, parts);
    }
    EXPECT_EQ(ReadFileBytes(files.rom), rom);
    EXPECT_EQ(ReadFileBytes(files.ini), ini);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, HostileIniTest,
    ::testing::Values(
        IniCase{"Empty", [](const std::string&) { return std::string(); }, false, {"Data.ini", "[VRNH]"}},
        IniCase{
            "OnlyLineEnds", [](const std::string&) { return std::string(5000, '\r'); }, false, {"[VRNH]"}},
        // A lone CR ends a line as CR LF does.
        IniCase{"CrOnlyLineEnds", [](const std::string& s) { return Replaced(s, "\r\n", "\r"); }, true, {}},
        // A lone LF stays inside its line: the whole file is one line, and the section is not found rather
        // than read wrongly.
        IniCase{"LfOnlyLineEnds",
                [](const std::string& s) { return Replaced(s, "\r\n", "\n"); },
                false,
                {"[VRNH]"}},
        IniCase{"NulBytesInsideTheSection",
                [](const std::string& s) {
                    return Replaced(s, "[VRNH]\r\n", std::string("[VRNH]\r\n\0\0\r\n", 12));
                },
                true,
                {}},
        IniCase{"SectionWithoutKeys",
                [](const std::string& s) { return Replaced(s, "[VRNH]\r\n", "[VRNH]\r\n[AFTER]\r\n"); },
                false,
                {"[VRNH]"}}),
    [](const auto& info) { return info.param.name; });

// ---- Name files.

TEST(HostileNameFileTest, NulBytesInsideEntriesDoNotCutTheList) {
    constexpr char kText[] = "None\r\nPo\0tion\r\n\0\r\n\0\0\0\r\nEther\0";
    const std::string text(kText, sizeof kText - 1);
    const std::vector<std::string> expected = {"None", std::string("Po\0tion", 7), std::string(1, '\0'),
                                               std::string(3, '\0'), std::string("Ether\0", 6)};
    EXPECT_EQ(SplitListFile(text), expected);

    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("Items.txt"), Bytes(text)));
    EXPECT_EQ(LoadListFile(dir.File("Items.txt")), expected);
}

TEST(HostileNameFileTest, AFileOfNulBytesWithoutLineEndsIsOneEntry) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("Types.txt"), std::vector<uint8_t>(100000, 0x00)));
    const std::vector<std::string> entries = LoadListFile(dir.File("Types.txt"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], std::string(100000, '\0'));
}

TEST(HostileNameFileTest, AHundredThousandLinesLoadQuickly) {
    std::string text;
    for (int line = 0; line < 100000; ++line) text += "Entry number " + std::to_string(line) + "\r\n";
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("Attacks.txt"), Bytes(text)));
    const auto begin = std::chrono::steady_clock::now();
    const std::vector<std::string> entries = LoadListFile(dir.File("Attacks.txt"));
    const auto took = std::chrono::steady_clock::now() - begin;
    ASSERT_EQ(entries.size(), 100001u);  // the final CR LF adds an empty entry
    EXPECT_EQ(entries[99999], "Entry number 99999");
    EXPECT_EQ(entries[100000], "");
    EXPECT_LT(took, std::chrono::seconds(2));
}

// ---- Species data files of a megabyte on one line.

struct LongLineCase {
    std::string name;
    std::function<std::string()> text;
    bool imports;
    std::string named;  // in the error, or the name field's first bytes
};

void PrintTo(const LongLineCase& c, std::ostream* out) {
    *out << c.name;
}

class LongSpeciesLineTest : public ::testing::TestWithParam<LongLineCase> {};

constexpr size_t kMegabyte = 1 << 20;
const std::string kNineteenFields = "|1|2|3|4|5|6|7|8|0|0|0|0|0|0|9|0|0|0|0";

TEST_P(LongSpeciesLineTest, IsReadWithoutHanging) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("long.pkmn"), Bytes(GetParam().text())));
    SpeciesListSizes sizes;
    sizes.types = 18, sizes.items = 377, sizes.abilities = 78, sizes.eggTypes = 16;

    const auto begin = std::chrono::steady_clock::now();
    const SpeciesFileParse parse = ParseSpeciesFile(ReadINI::ReadTextFile(dir.File("long.pkmn")), sizes);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    EXPECT_EQ(parse.values.has_value(), GetParam().imports) << parse.error;
    if (parse.values) {
        EXPECT_EQ(parse.values->name.substr(0, GetParam().named.size()), GetParam().named);
        EXPECT_EQ(parse.values->safari, "9");
    } else {
        EXPECT_NE(parse.error.find(GetParam().named), std::string::npos) << parse.error;
        // The message goes into a message box: it quotes the file's fields only in part.
        EXPECT_LT(parse.error.size(), 200u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LongSpeciesLineTest,
    ::testing::Values(
        LongLineCase{"OneLongField", [] { return std::string(kMegabyte, 'A'); }, false, "only 1 field"},
        LongLineCase{"OnlyBars", [] { return std::string(kMegabyte, '|'); }, false, "Field 10 (type 1)"},
        LongLineCase{"LongName", [] { return std::string(kMegabyte, 'N') + kNineteenFields; }, true, "NNNN"},
        LongLineCase{"LongNumber",
                     [] {
                         return "Abc" + kNineteenFields.substr(0, 17) + std::string(kMegabyte, '9') +
                                kNineteenFields.substr(18);
                     },
                     false,
                     "Field 10 (type 1) is 99999999999999999999999999999999... (1048576 characters), "
                     "outside its list of 18 entries."},
        LongLineCase{"LongTrailingField",
                     [] { return "Abc" + kNineteenFields + "|" + std::string(kMegabyte, 'x'); }, true, "Abc"},
        LongLineCase{"ManyTrailingFields",
                     [] { return "Abc" + kNineteenFields + std::string(kMegabyte, '|'); }, true, "Abc"}),
    [](const auto& info) { return info.param.name; });

// ---- An attack table that starts at the file's last byte.

struct LastByteCase {
    std::string name;
    uint8_t lastByte;
    std::vector<LevelUpAttackEntry> rows;  // what a load gives
};

void PrintTo(const LastByteCase& c, std::ostream* out) {
    *out << c.name;
}

class TableAtTheLastByteTest : public ::testing::TestWithParam<LastByteCase> {};

TEST_P(TableAtTheLastByteTest, LoadsToTheEndAndIsNotSavedBeyondIt) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    builder.bytes().back() = GetParam().lastByte;
    const auto files = WriteRomFiles(dir, builder);
    ASSERT_TRUE(files.written);
    const int32_t last = DemoLayout().size - 1;

    // Half an entry is no row, whatever the last byte holds.
    const std::vector<LevelUpAttackEntry> rows = LoadAttackTable(files.rom, last);
    EXPECT_EQ(rows, GetParam().rows);

    // Saved as loaded, with one row more the user has added: the rows would run past the end.
    SpeciesEdits edits;
    edits.name = "Changed";
    edits.attackTable = last;
    edits.rows = rows;
    edits.rows.push_back({1, 1});
    const std::vector<uint8_t> before = ReadFileBytes(files.rom);
    const SaveOutcome outcome = SaveSpecies(files.session, 3, edits);
    EXPECT_FALSE(outcome.complete);
    const std::string lastRow = std::to_string(edits.rows.size());
    const std::string rowsText = edits.rows.size() == 1 ? "(row 1)" : "(rows 1 to " + lastRow + ")";
    EXPECT_EQ(outcome.error,
              "The file \"" + files.rom +
                  "\" is too short for this save: it has 1048576 bytes (it may have been cut since it "
                  "was opened), and the attack table rows at 0xFFFFF to " +
                  (edits.rows.size() == 1 ? std::string("0x100000") : std::string("0x100002")) + " " +
                  rowsText + " would lie beyond its end. Nothing was saved.");
    EXPECT_EQ(ReadFileBytes(files.rom), before);
}

INSTANTIATE_TEST_SUITE_P(LastBytes, TableAtTheLastByteTest,
                         ::testing::Values(LastByteCase{"Terminator", 0xFF, {}},
                                           LastByteCase{"CutEntry", 0x05, {}}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
