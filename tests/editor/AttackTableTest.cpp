#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "AttackTable.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

// Each test writes its ROM into a folder of its own.
class LoadAttackTableTest : public testing::Test {
protected:
    std::string Rom(const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(testsupport::WriteFileBytes(path_, bytes));
        return path_;
    }
    std::string MissingPath() const { return dir_.File("missing") + "/missing.gba"; }

private:
    testsupport::TempDir dir_;
    std::string path_ = dir_.File("rom.gba");
};

struct DecodeCase {
    std::string digits;
    std::optional<LevelUpAttackEntry> entry;
};

class DecodeAttackEntryTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeAttackEntryTest, GivesLevelAndAttackOrTheEnd) {
    EXPECT_EQ(DecodeAttackEntry(GetParam().digits), GetParam().entry) << GetParam().digits;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DecodeAttackEntryTest,
    testing::Values(
        DecodeCase{"210A", LevelUpAttackEntry{33, 5}}, DecodeCase{"210B", LevelUpAttackEntry{289, 5}},
        DecodeCase{"0000", LevelUpAttackEntry{0, 0}},
        // Only FF FF ends a table; its two neighbours are ordinary entries.
        DecodeCase{"FFFE", LevelUpAttackEntry{255, 127}}, DecodeCase{"FEFF", LevelUpAttackEntry{510, 127}},
        DecodeCase{"FFFF", std::nullopt}, DecodeCase{"ffff", std::nullopt},
        DecodeCase{"fe01", LevelUpAttackEntry{510, 0}}, DecodeCase{"0102", LevelUpAttackEntry{1, 1}},
        DecodeCase{"00FE", LevelUpAttackEntry{0, 127}}, DecodeCase{"0001", LevelUpAttackEntry{256, 0}},
        // Texts a two-byte read never gives end the table instead of making up an entry.
        DecodeCase{"", std::nullopt}, DecodeCase{"123", std::nullopt}, DecodeCase{"12345", std::nullopt},
        DecodeCase{"12G4", std::nullopt}, DecodeCase{" 123", std::nullopt},
        DecodeCase{"-1FF", std::nullopt}));

struct EncodeCase {
    int attack;
    int level;
    std::string digits;
};

class EncodeAttackEntryTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeAttackEntryTest, WritesB0ThenB1InUpperCase) {
    EXPECT_EQ(EncodeAttackEntry(GetParam().attack, GetParam().level), GetParam().digits);
}

INSTANTIATE_TEST_SUITE_P(Entries, EncodeAttackEntryTest,
                         testing::Values(EncodeCase{33, 5, "210A"}, EncodeCase{289, 5, "210B"},
                                         EncodeCase{0, 0, "0000"}, EncodeCase{1, 1, "0102"},
                                         EncodeCase{255, 127, "FFFE"}, EncodeCase{510, 127, "FEFF"},
                                         EncodeCase{171, 23, "AB2E"}, EncodeCase{256, 0, "0001"},
                                         // Out of range values keep only what fits the two bytes.
                                         EncodeCase{600, 1, "5803"}, EncodeCase{0, 128, "0000"},
                                         EncodeCase{1, 200, "0190"}));

TEST(EncodeAttackEntryRoundTrip, EveryAttackAtSeveralLevelsDecodesToItself) {
    for (int attack = 0; attack <= 511; ++attack) {
        for (int level : {0, 1, 5, 64, 99, 100, 126, 127}) {
            const std::optional<LevelUpAttackEntry> entry =
                DecodeAttackEntry(EncodeAttackEntry(attack, level));
            if (attack == 511 && level == 127) {
                // The one value the format cannot hold: its bytes are the terminator.
                EXPECT_FALSE(entry.has_value());
            } else {
                EXPECT_EQ(entry, (LevelUpAttackEntry{attack, level})) << attack << " at " << level;
            }
        }
    }
}

TEST_F(LoadAttackTableTest, ReadsEntriesUpToTheTerminator) {
    const std::string rom = Rom({0xAA, 0xAA, 0xAA, 0x21, 0x0A, 0x21, 0x0B, 0xFF, 0xFE, 0xFE, 0xFF, 0x00, 0x00,
                                 0xFF, 0xFF, 0x01, 0x02});
    const std::vector<LevelUpAttackEntry> expected = {{33, 5}, {289, 5}, {255, 127}, {510, 127}, {0, 0}};
    EXPECT_EQ(LoadAttackTable(rom, 3), expected);
}

TEST_F(LoadAttackTableTest, ATerminatorFirstGivesNoRows) {
    const std::string rom = Rom({0x01, 0x02, 0xFF, 0xFF, 0x01, 0x02});
    EXPECT_TRUE(LoadAttackTable(rom, 2).empty());
}

TEST_F(LoadAttackTableTest, ATableWithoutTerminatorStopsAtTheEndOfTheFile) {
    const std::string rom = Rom({0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    const std::vector<LevelUpAttackEntry> expected = {{1, 1}, {3, 2}, {5, 3}};
    EXPECT_EQ(LoadAttackTable(rom, 0), expected);
}

TEST_F(LoadAttackTableTest, HalfAnEntryAtTheEndOfTheFileIsNoRow) {
    const std::string rom = Rom({0x01, 0x02, 0x05});
    const std::vector<LevelUpAttackEntry> expected = {{1, 1}};
    EXPECT_EQ(LoadAttackTable(rom, 0), expected);
}

TEST_F(LoadAttackTableTest, AStartBeyondTheEndOrBelowZeroGivesNoRows) {
    const std::string rom = Rom({0x01, 0x02, 0x01, 0x02});
    EXPECT_TRUE(LoadAttackTable(rom, 4).empty());
    EXPECT_TRUE(LoadAttackTable(rom, 1000).empty());
    EXPECT_TRUE(LoadAttackTable(rom, -2).empty());
}

TEST_F(LoadAttackTableTest, StopsAtMaxRows) {
    const std::string rom = Rom(std::vector<uint8_t>(100, 0x00));
    EXPECT_EQ(LoadAttackTable(rom, 0, 7).size(), 7u);
    EXPECT_TRUE(LoadAttackTable(rom, 0, 0).empty());
}

TEST_F(LoadAttackTableTest, AFileThatCannotBeOpenedHasNoRows) {
    EXPECT_TRUE(LoadAttackTable(MissingPath(), 0, 10).empty());
}

TEST_F(LoadAttackTableTest, AWholeRomOfZerosEndsAtTheDefaultLimitQuickly) {
    const std::string rom = Rom(std::vector<uint8_t>(16 * 1024 * 1024, 0x00));
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(LoadAttackTable(rom, 0).size(), static_cast<size_t>(kMaxAttackRows));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
}

struct OffsetCase {
    std::string text;
    int maxDigits;
    std::optional<int32_t> value;
};

class ParseHexOffsetTest : public testing::TestWithParam<OffsetCase> {};

TEST_P(ParseHexOffsetTest, AcceptsOnlyBareHexDigits) {
    EXPECT_EQ(ParseHexOffset(GetParam().text, GetParam().maxDigits), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseHexOffsetTest,
    testing::Values(OffsetCase{"1A2B3C", 6, 0x1A2B3C}, OffsetCase{"1a2b3c", 6, 0x1A2B3C},
                    OffsetCase{"0", 6, 0}, OffsetCase{"000000", 6, 0}, OffsetCase{"FFFFFF", 6, 0xFFFFFF},
                    OffsetCase{"a", 6, 10}, OffsetCase{"", 6, std::nullopt},
                    OffsetCase{"1234567", 6, std::nullopt}, OffsetCase{"0000000", 6, std::nullopt},
                    OffsetCase{" 12", 6, std::nullopt}, OffsetCase{"12 ", 6, std::nullopt},
                    OffsetCase{"&H12", 6, std::nullopt}, OffsetCase{"0x12", 6, std::nullopt},
                    OffsetCase{"G", 6, std::nullopt}, OffsetCase{"-1", 6, std::nullopt},
                    OffsetCase{"+1", 6, std::nullopt}, OffsetCase{"7FFFFFFF", 8, 0x7FFFFFFF},
                    OffsetCase{"80000000", 8, std::nullopt}, OffsetCase{"FFFFFFFFFF", 10, std::nullopt},
                    OffsetCase{"1", 0, std::nullopt}, OffsetCase{"12345678", 7, std::nullopt}));

}  // namespace
