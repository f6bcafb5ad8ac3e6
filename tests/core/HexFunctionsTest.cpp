#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <optional>
#include <string>

#include "HexFunctions.h"
#include "TempDir.h"
#include "Unwritable.h"

using namespace HexFunctions;
using testsupport::FileContents;

namespace {

// 00 0A FF, a pointer B4 D7 25, then bytes up to 7F.
const std::string kBytes("\x00\x0A\xFF\xB4\xD7\x25\x08\xA0\x1F\x10\x11\x12\x13\x14\x15\x7F", 16);

class HexFile : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string rom = dir.Write("rom.gba", kBytes);
};

TEST_F(HexFile, ReadsOfRegularFilesOnly) {
    const struct {
        int32_t offset, count;
        const char* expected;
    } cases[] = {{0, 3, "000AFF"}, {3, 3, "B4D725"},    {0, 0, ""},          {0, -1, ""},
                 {15, 1, "7F"},    {14, 4, "157FFFFF"}, {-2, 4, "FFFF000A"}, {INT32_MAX, 3, "FFFFFF"}};
    for (const auto& c : cases) EXPECT_EQ(ReadHexBytes(rom, c.offset, c.count), c.expected) << c.offset;
    EXPECT_EQ(RomFileSize(rom), 16);
    EXPECT_TRUE(CanOpenForWriting(rom));
    EXPECT_EQ(FileContents(rom), kBytes);
    for (const std::string& other : {dir.File("missing.gba"), dir.path().string()}) {
        EXPECT_EQ(ReadHexBytes(other, 0, 2), "0000") << other;
        EXPECT_EQ(RomFileSize(other), std::nullopt) << other;
        EXPECT_FALSE(CanOpenForWriting(other)) << other;
        EXPECT_EQ(ReadGameCode(other), std::nullopt) << other;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.gba")));

    std::string header(kGameCodeOffset + 4, '\0');
    header.replace(kGameCodeOffset, 4, "bPrE");
    EXPECT_EQ(ReadGameCode(dir.Write("exact.gba", header)), "bPrE");
    header.pop_back();
    EXPECT_EQ(ReadGameCode(dir.Write("short.gba", header)), std::nullopt);
}

TEST_F(HexFile, WriteHexByteTakesTheLastTwoCharactersAndTouchesNothingElse) {
    const std::pair<const char*, char> cases[] = {{"25D7B4", '\xB4'}, {"a5", '\xA5'}, {"F", '\x0F'},
                                                  {"", '\0'},         {"ZZ", '\0'},   {"5Z", '\0'}};
    for (const auto& [text, byte] : cases) {
        for (int32_t offset : {0, 15}) {
            dir.Write("rom.gba", kBytes);
            ASSERT_TRUE(WriteHexByte(rom, offset, text)) << text;
            std::string expected = kBytes;
            expected[offset] = byte;
            EXPECT_EQ(FileContents(rom), expected) << text << " at " << offset;
        }
    }
}

TEST_F(HexFile, WriteHexByteOutsideTheFileOrToAnUnwritableOneChangesNothing) {
    for (int32_t offset : {16, 1000, INT32_MAX, -1}) {
        EXPECT_FALSE(WriteHexByte(rom, offset, "AA")) << offset;
        EXPECT_EQ(FileContents(rom), kBytes) << offset;
    }
    EXPECT_FALSE(WriteHexByte(dir.File("missing.gba"), 0, "AA"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.gba")));

    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    ::chmod(rom.c_str(), 0444);
    // Root may write any file whatever its mode.
    const std::optional<std::string> written = testsupport::RunInChild(testsupport::BecomeNobody, [this] {
        return WriteHexByte(rom, 3, "AA") || CanOpenForWriting(rom) ? "written" : "";
    });
    if (!written) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(*written, "");
    EXPECT_EQ(FileContents(rom), kBytes);
}

TEST(ReverseHexBytes, ReversesGroupsAfterPaddingAnOddLengthOnTheLeft) {
    const std::pair<const char*, const char*> cases[] = {
        {"B4D725", "25D7B4"}, {"ABC", "BC0A"}, {"A", "0A"}, {"1A2", "A201"}, {"", ""}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(ReverseHexBytes(text), expected) << text;
}

}  // namespace
