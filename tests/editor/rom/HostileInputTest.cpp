// Input files that are not what the editor expects; those chosen as a ROM or Data.ini are opening cases.

#include <gtest/gtest.h>

// POSIX: a child process that runs as an unprivileged user.
#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <filesystem>

#include "ReadINI.h"
#include "text/ReferenceLists.h"
#include "RomBuilder.h"
#include "rom/RomOpener.h"
#include "text/SpeciesDataFile.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "Unwritable.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteFileBytes;
using testsupport::WriteRomFiles;

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// Root ignores permission bits, so the check runs in a child that has become the user nobody.
TEST(HostileInputTest, ARomWithoutReadPermissionIsRefused) {
    TempDir dir;
    const auto files = WriteRomFiles(dir, RomBuilder(DemoLayout()));
    // Only the ROM's own mode may stand in the way.
    fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(files.ini, fs::perms::others_read, fs::perm_options::add);
    fs::permissions(files.rom, fs::perms::others_write);
    const auto error = testsupport::RunInChild(testsupport::BecomeNobody, [&files] {
        const OpenRomResult opened = OpenRomFile(files.rom, files.ini);
        return opened.session ? std::string("opened") : opened.error;
    });
    if (!error) GTEST_SKIP() << "the check cannot run as the user nobody";
    for (const std::string& part :
         {"\"" + files.rom + "\"", std::string("cannot be opened or read"), std::string("may read it")})
        EXPECT_NE(error->find(part), std::string::npos) << part << " in: " << *error;
}

TEST(HostileInputTest, NameFilesWithNulBytesAndAHundredThousandLines) {
    TempDir dir;
    constexpr char kText[] = "None\r\nPo\0tion\r\n\0\0\0\r\nEther\0";
    ASSERT_TRUE(WriteFileBytes(dir.File("Items.txt"), Bytes(std::string(kText, sizeof kText - 1))));
    EXPECT_EQ(LoadListFile(dir.File("Items.txt")),
              (std::vector<std::string>{"None", std::string("Po\0tion", 7), std::string(3, '\0'),
                                        std::string("Ether\0", 6)}));

    std::string text;
    for (int line = 0; line < 100000; ++line) text += "Entry number " + std::to_string(line) + "\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("Attacks.txt"), Bytes(text)));
    const std::vector<std::string> entries = LoadListFile(dir.File("Attacks.txt"));
    ASSERT_EQ(entries.size(), 100001u);  // the final CR LF adds an empty entry
    EXPECT_EQ(entries[99999], "Entry number 99999");
}

// The message goes into a message box: it quotes a megabyte-long field only in part.
TEST(HostileInputTest, AMegabyteSpeciesFileIsRefusedWithAShortMessage) {
    TempDir dir;
    const std::string line = "Abc|1|2|3|4|5|6|7|8|" + std::string(1 << 20, '9') + "|0|0|0|0|0|9|0|0|0|0";
    ASSERT_TRUE(WriteFileBytes(dir.File("long.pkmn"), Bytes(line)));
    SpeciesListSizes sizes;
    sizes.types = 18, sizes.items = 377, sizes.abilities = 78, sizes.eggTypes = 16;
    const SpeciesFileParse parse = ParseSpeciesFile(ReadINI::ReadTextFile(dir.File("long.pkmn")), sizes);
    EXPECT_FALSE(parse.values);
    EXPECT_EQ(
        parse.error,
        "Field 10 (type 1) is 99999999999999999999999999999999... (1048576 characters), outside its list of "
        "18 entries.");
}

}  // namespace
