#include "EditorTest.h"
#include "species/AttackRowOrder.h"
#include "species/AttackTable.h"
#include "species/NewAttackTable.h"

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

constexpr char kBadStart[] = "Start Offset: must be 1 to 7 hexadecimal digits (0-9, A-F), at most 1FFFFFF.";
constexpr char kBadCount[] = "Num. of Attacks: must be a whole number from 0 upward.";
constexpr char kPastEnd[] = "The new table would end beyond the end of the ROM file.";
constexpr char kPastLastOffset[] = "The new table would end beyond the last offset a ROM file can have.";
constexpr int64_t kHugeFile = int64_t{1} << 40;

std::string ErrorFor(const std::string& start, const std::string& count, int64_t romSize) {
    const NewTableCheck check = CheckNewTableRequest(start, count, romSize);
    EXPECT_EQ(check.ok, check.error.empty());
    return check.error;
}

// The start is judged first, whatever the count; each table of 256 bytes has a neighbour one byte too long.
TEST(CheckNewTableRequest, RefusesEachBadInputNamingTheFieldAndAcceptsTheLimits) {
    const std::vector<std::tuple<std::string, std::string, const char*>> cases = {
        {"", "1", kBadStart},
        {"12G", "1", kBadStart},
        {"12345678", "1", kBadStart},
        {"2000000", "1", kBadStart},
        {"-12", "1", kBadStart},
        {"xyz", "abc", kBadStart},
        {"0", "-1", kBadCount},
        {"0", "1.5", kBadCount},
        {"0", "abc", kBadCount},
        {"0", "", kBadCount},
        {"FC", "1", ""},
        {"FD", "1", kPastEnd},
        {"0", "127", ""},
        {"0", "99", ""},
        {"0", "128", kPastEnd},
        {"100", "0", kPastEnd}};
    for (const auto& [start, count, error] : cases) {
        EXPECT_EQ(ErrorFor(start, count, 256), error) << '"' << start << "\" \"" << count << '"';
    }
    EXPECT_EQ(ErrorFor("0", "1073741824", kHugeFile), kPastLastOffset);
    EXPECT_EQ(ErrorFor("0", "1073741823", kHugeFile), "") << "the terminator ends on the last 32-bit offset";
    for (const auto& [text, start] : {std::pair{"1a0000", 0x1A0000}, {"1fffff0", 0x1FFFFF0}}) {
        const NewTableCheck check = CheckNewTableRequest(text, " 3 ", kHugeFile);
        EXPECT_EQ(std::pair(check.request.start, check.request.count), std::pair(start, 3)) << check.error;
    }
}

TEST(PlanNewAttackTable, PlaceholdersThenTheTerminator) {
    for (int32_t count : {0, 1, 3}) {
        const WritePlan plan = PlanNewAttackTable({0x1A0000, count});
        Bytes values;
        for (size_t k = 0; k < plan.bytes.size(); ++k) {
            EXPECT_EQ(plan.bytes[k].offset, 0x1A0000 + static_cast<int64_t>(k));
            values.push_back(plan.bytes[k].value);
        }
        Bytes expected;
        for (int32_t k = 0; k < count; ++k) expected.insert(expected.end(), {0x01, 0x02});
        expected.insert(expected.end(), {0xFF, 0xFF});
        EXPECT_EQ(values, expected) << count << " rows";
        EXPECT_EQ(plan.label, "Insert New Table at 1A0000");
    }
}

}  // namespace
