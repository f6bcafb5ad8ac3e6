#include <random>

#include "EditorTest.h"
#include "write/FreeSpaceFinder.h"
#include "write/FreeSpaceMap.h"
#include "write/KnownTables.h"

namespace {

// A file of `size` bytes of data (00) with the given runs of FF.
std::vector<uint8_t> WithRuns(int64_t size, const std::vector<ByteRange>& runs) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size), 0x00);
    for (const ByteRange& run : runs) std::fill(bytes.begin() + run.start, bytes.begin() + run.end, 0xFF);
    return bytes;
}

struct FinderCase {
    const char* name;
    int64_t size;
    std::vector<ByteRange> runs, searchIn, avoid;
    int64_t length;
    std::optional<int64_t> found;
    friend void PrintTo(const FinderCase& c, std::ostream* out) { *out << c.name; }
};

class FreeSpaceFinderTest : public ::testing::TestWithParam<FinderCase> {};

TEST_P(FreeSpaceFinderTest, FindsTheLowestPlaceWithItsMarginsOrNone) {
    const FinderCase& c = GetParam();
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("rom"), WithRuns(c.size, c.runs)));
    const FreeSpaceFound result = FindFreeSpace(dir.File("rom"), {c.length, c.searchIn, c.avoid});
    EXPECT_EQ(result.offset, c.found) << result.error;
    EXPECT_EQ(result.error.empty(), c.found.has_value());
}

// The margin is 16 bytes on either side, the alignment 4.
INSTANTIATE_TEST_SUITE_P(
    Edges, FreeSpaceFinderTest,
    ::testing::ValuesIn(std::vector<FinderCase>{
        {"AlignedPastTheMargin", 0x400, {{0x101, 0x400}}, {{0, 0x400}}, {}, 4, 0x114},
        {"RunOfExactlyDataAndMargins", 0x400, {{0x100, 0x110}, {0x200, 0x224}}, {{0, 0x400}}, {}, 4, 0x210},
        {"RunOneByteShort", 0x400, {{0x200, 0x223}}, {{0, 0x400}}, {}, 4, std::nullopt},
        // The first byte looked at, 35 on for 4 bytes and their margins, is the last before a run that just
        // fits.
        {"RunRightAfterTheByteLookedAt", 0x400, {{0x24, 0x4C}}, {{0, 0x400}}, {}, 4, 0x34},
        {"RunToTheEndOfTheFile", 0x400, {{0x3C0, 0x400}}, {{0, 0x400}}, {}, 32, 0x3D0},
        {"RunToTheEndOfTheFileOneByteShort", 0x400, {{0x3C0, 0x400}}, {{0, 0x400}}, {}, 33, std::nullopt},
        {"SearchedRangeOnly", 0x400, {{0, 0x400}}, {{0x180, 0x300}}, {}, 8, 0x190},
        {"KnownTableInsideARun", 0x400, {{0x100, 0x400}}, {{0, 0x400}}, {{0x120, 0x122}}, 8, 0x134},
        {"RunAcrossTheFirstReadPiece", 0x3000, {{0xFF0, 0x1100}}, {{0, 0x3000}}, {}, 64, 0x1000},
        {"NothingInsideTheFile", 0x400, {{0, 0x400}}, {{0x400, 0x800}}, {}, 4, std::nullopt},
        {"NoLength", 0x400, {{0, 0x400}}, {{0, 0x400}}, {}, 0, std::nullopt}}),
    kCaseName);

// The same answer as a plain search over every aligned offset, on files of random runs spanning the finder's
// first three read pieces.
TEST(FreeSpaceFinderRandomTest, AgreesWithATrialOfEveryOffset) {
    TempDir dir;
    std::mt19937 engine(13u);
    auto random = [&engine](int low, int high) { return std::uniform_int_distribution(low, high)(engine); };
    for (int trial = 0; trial < 150; ++trial) {
        std::vector<uint8_t> bytes(20000);
        for (size_t at = 0; at < bytes.size();) {
            const auto length = static_cast<size_t>(random(1, trial % 2 ? 3000 : 80));
            std::fill_n(bytes.begin() + at, std::min(length, bytes.size() - at), random(0, 2) ? 0xFF : 0x00);
            at += length;
        }
        const int64_t length = random(1, 120);
        const std::vector<ByteRange> searchIn = {{random(0, 500), 20000}};
        const std::vector<ByteRange> avoid = {{random(0, 20000), 0}};
        std::optional<int64_t> expected;
        const auto usable = [&](int64_t at) {
            return at >= searchIn[0].start && at < searchIn[0].end && !avoid[0].Contains(at) &&
                   bytes[at] == 0xFF;
        };
        for (int64_t place = 16; !expected && place + length + 16 <= 20000; place += 4) {
            bool all = true;
            for (int64_t at = place - 16; all && at < place + length + 16; ++at) all = usable(at);
            if (all) expected = place;
        }
        ASSERT_TRUE(WriteFileBytes(dir.File("rom"), bytes));
        EXPECT_EQ(FindFreeSpace(dir.File("rom"), {length, searchIn, avoid}).offset, expected)
            << "trial " << trial;
    }
}

TEST(FreeSpaceMapTest, TwoTablesOfOneWriteNeverShareBytes) {
    TempDir dir;
    const auto files = WriteRomFiles(dir, RomBuilder(DemoLayout()));
    ASSERT_TRUE(files.written);
    FreeSpaceMap space(files.session);
    const FreeSpaceFound first = space.Take(100);
    const FreeSpaceFound second = space.Take(100);
    ASSERT_TRUE(first.offset && second.offset);
    EXPECT_EQ(*first.offset, 0xF8010);
    EXPECT_EQ(*second.offset, 0xF8010 + 100 + 16);
}

// The fixed tables at their whole length; a level-up table only where the search looks, as its FF FF
// terminator is all of it that could pass for free space.
TEST(FreeSpaceMapTest, KeepsClearOfTheFixedTablesWholeAndOfLevelUpTablesWhereItLooks) {
    const RomBuilder rom(EmeraldLayout());
    const OpenedRom opened(rom, rom.IniSection());
    const EditorSession& s = opened.session;
    const int64_t rows = PointerTarget(opened.bytes, s.AttackTable + 4), n = 412;
    const std::vector<ByteRange> all = KnownTables(s, {{0, s.FileSize}});
    const std::vector<ByteRange> expected = {
        {s.AttackTable, s.AttackTable + 4 * n},
        {*s.IconPaletteTable, *s.IconPaletteTable + 24},
        {rom.layout().battle.FrontAnimIds, rom.layout().battle.FrontAnimIds + n - 1},
        {rows, rows + 2}};
    for (const ByteRange& range : expected)
        EXPECT_EQ(std::count(all.begin(), all.end(), range), 1) << range.start;
    const std::vector<ByteRange> elsewhere = KnownTables(s, {{0, rows}});
    EXPECT_EQ(std::count(elsewhere.begin(), elsewhere.end(), ByteRange{rows, rows + 2}), 0);
}

}  // namespace
