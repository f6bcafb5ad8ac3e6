#include "EditorTest.h"
#include "species/AttackRowOrder.h"
#include "species/AttackTable.h"

namespace {

using E = LevelUpAttackEntry;
using Rows = std::vector<E>;

// Texts a two-byte read never gives ("", "123", ...) end the table instead of making up an entry.
TEST(DecodeAttackEntry, GivesLevelAndAttackAndOnlyFFFFEndsTheTable) {
    const std::optional<E> end;
    const std::vector<std::pair<std::string, std::optional<E>>> cases = {
        {"210A", E{33, 5}},    {"210B", E{289, 5}},   {"0000", E{0, 0}},
        {"FFFE", E{255, 127}}, {"FEFF", E{510, 127}}, {"fe01", E{510, 0}},
        {"FFFF", end},         {"ffff", end},         {"", end},
        {"123", end},          {"12345", end},        {"12G4", end}};
    for (const auto& [digits, entry] : cases) EXPECT_EQ(DecodeAttackEntry(digits), entry) << digits;
}

TEST(EncodeAttackEntry, WritesUpperCaseB0ThenB1AndEveryAttackAtSeveralLevelsDecodesToItself) {
    EXPECT_EQ(EncodeAttackEntry(171, 23), "AB2E");
    EXPECT_EQ(EncodeAttackEntry(600, 1), "5803");  // only what fits the two bytes
    for (int attack = 0; attack <= 511; ++attack) {
        for (int level : {0, 1, 64, 127}) {
            const auto entry = DecodeAttackEntry(EncodeAttackEntry(attack, level));
            // 511 at 127 is the one value the format cannot hold: its bytes are the terminator.
            if (attack == 511 && level == 127) {
                EXPECT_FALSE(entry.has_value());
            } else {
                EXPECT_EQ(entry, (E{attack, level})) << attack << " at " << level;
            }
        }
    }
}

// A measure agrees with a load and tells whether the terminator ended it.
TEST(LoadAttackTable, StopsAtTerminatorEndOfFileOrMaxRowsQuickly) {
    constexpr int32_t kAll = kMaxAttackRows;
    const struct {
        std::vector<uint8_t> bytes;
        int32_t start, maxRows;
        Rows rows;
        bool terminated = false;
    } cases[] = {
        {{0xAA, 0x21, 0x0A, 0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x02}, 1, kAll, {{33, 5}, {255, 127}}, true},
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, 0, kAll, {{1, 1}, {3, 2}, {5, 3}}},
        {{0x01, 0x02, 0x05}, 0, kAll, {{1, 1}}},
        {{0x01, 0x02, 0x01, 0x02}, 4, kAll, {}},
        {{0x01, 0x02, 0x01, 0x02}, 1000, kAll, {}},
        {{0x01, 0x02, 0x01, 0x02}, -2, kAll, {}},
        {std::vector<uint8_t>(100, 0x00), 0, 7, Rows(7, {0, 0})},
        {std::vector<uint8_t>(100, 0x00), 0, 0, {}}};
    const TempDir dir;
    const std::string rom = dir.File("rom.gba");
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileBytes(rom, c.bytes));
        EXPECT_EQ(LoadAttackTable(rom, c.start, c.maxRows), c.rows) << "start " << c.start;
        const AttackTableExtent extent = MeasureAttackTable(rom, c.start, c.maxRows);
        EXPECT_EQ(extent.rows, static_cast<int32_t>(c.rows.size())) << "start " << c.start;
        EXPECT_EQ(extent.terminated, c.terminated) << "start " << c.start;
    }
    EXPECT_TRUE(LoadAttackTable(dir.File("missing") + "/missing.gba", 0, 10).empty());

    ASSERT_TRUE(WriteFileBytes(rom, std::vector<uint8_t>(16 * 1024 * 1024, 0x00)));
    EXPECT_EQ(LoadAttackTable(rom, 0).size(), static_cast<size_t>(kMaxAttackRows)) << "a whole ROM of zeros";
}

TEST(AddedRowPosition, KeepsAscendingLevelsAndOtherwiseFollowsTheSelection) {
    const std::vector<int> ordered = {1, 5, 5, 9};
    const std::vector<std::tuple<std::vector<int>, int, int, int>> cases = {
        {ordered, -1, 5, 3},  {ordered, 1, 5, 2}, {ordered, 0, 5, 1}, {ordered, 3, 0, 0}, {ordered, 0, 7, 3},
        {ordered, -1, 99, 4}, {{}, -1, 3, 0},     {{9, 1}, 0, 5, 1},  {{9, 1}, -1, 5, 2}};
    for (const auto& [levels, selected, level, position] : cases)
        EXPECT_EQ(AddedRowPosition(levels, selected, level), position) << selected << " " << level;
}

TEST(ParseHexOffset, AcceptsOnlyBareHexDigitsUpToTheLimit) {
    const std::optional<int32_t> none;
    const std::vector<std::tuple<std::string, int, std::optional<int32_t>>> cases = {
        {"1A2B3C", 6, 0x1A2B3C}, {"1a2b3c", 6, 0x1A2B3C},     {"000000", 6, 0},     {"", 6, none},
        {"G", 6, none},          {"1234567", 6, none},        {" 12", 6, none},     {"0x12", 6, none},
        {"-1", 6, none},         {"7FFFFFFF", 8, 0x7FFFFFFF}, {"80000000", 8, none}};
    for (const auto& [text, digits, value] : cases) EXPECT_EQ(ParseHexOffset(text, digits), value) << text;
}

}  // namespace
