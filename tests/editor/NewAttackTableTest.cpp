#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AttackTable.h"
#include "NewAttackTable.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

// A ROM of the given bytes in a folder of its own.
class ScratchRom {
public:
    explicit ScratchRom(const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(testsupport::WriteFileBytes(path_, bytes));
    }
    const std::string& path() const { return path_; }
    std::vector<uint8_t> bytes() const { return testsupport::ReadFileBytes(path_); }

private:
    testsupport::TempDir dir_;
    std::string path_ = dir_.File("rom.gba");
};

constexpr char kBadStart[] = "Start Offset: must be 1 to 6 hexadecimal digits (0-9, A-F).";
constexpr char kBadCount[] = "Num. of Attacks: must be a whole number from 0 upward.";
constexpr char kPastEnd[] = "The new table would end beyond the end of the ROM file.";
constexpr char kPastLastOffset[] = "The new table would end beyond the last offset a ROM file can have.";

struct RefusedCase {
    std::string start;
    std::string count;
    int64_t romSize;
    std::string error;
};

class RefusedRequestTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedRequestTest, SaysWhichFieldIsWrong) {
    const NewTableCheck check = CheckNewTableRequest(GetParam().start, GetParam().count, GetParam().romSize);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.error, GetParam().error) << '"' << GetParam().start << "\" \"" << GetParam().count << '"';
}

constexpr int64_t kHugeFile = int64_t{1} << 40;

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedRequestTest,
    testing::Values(
        RefusedCase{"", "1", 0x1000000, kBadStart}, RefusedCase{"1234567", "1", kHugeFile, kBadStart},
        RefusedCase{"12G", "1", 0x1000000, kBadStart}, RefusedCase{" 12", "1", 0x1000000, kBadStart},
        RefusedCase{"&H12", "1", 0x1000000, kBadStart}, RefusedCase{"-12", "1", 0x1000000, kBadStart},
        // The start is judged first, whatever the count.
        RefusedCase{"xyz", "abc", 0x1000000, kBadStart}, RefusedCase{"0", "-1", 0x1000000, kBadCount},
        RefusedCase{"0", "1.5", 0x1000000, kBadCount}, RefusedCase{"0", "abc", 0x1000000, kBadCount},
        RefusedCase{"0", "", 0x1000000, kBadCount}, RefusedCase{"0", "   ", 0x1000000, kBadCount},
        RefusedCase{"0", "+1", 0x1000000, kBadCount}, RefusedCase{"0", "1 2", 0x1000000, kBadCount},
        RefusedCase{"0", "&H1", 0x1000000, kBadCount}, RefusedCase{"FD", "1", 256, kPastEnd},
        RefusedCase{"0", "128", 256, kPastEnd}, RefusedCase{"100", "0", 256, kPastEnd},
        RefusedCase{"0", "0", 0, kPastEnd}, RefusedCase{"0", "0", -5, kPastEnd},
        RefusedCase{"FFFFFF", "1073741823", kHugeFile, kPastLastOffset},
        RefusedCase{"0", "1073741824", kHugeFile, kPastLastOffset},
        RefusedCase{"0", "99999999999999999999", kHugeFile, kPastLastOffset}));

struct AcceptedCase {
    std::string start;
    std::string count;
    int64_t romSize;
    int32_t startValue;
    int32_t countValue;
};

class AcceptedRequestTest : public testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedRequestTest, GivesTheNumbers) {
    const NewTableCheck check = CheckNewTableRequest(GetParam().start, GetParam().count, GetParam().romSize);
    ASSERT_TRUE(check.ok) << check.error;
    EXPECT_EQ(check.request.start, GetParam().startValue);
    EXPECT_EQ(check.request.count, GetParam().countValue);
    EXPECT_TRUE(check.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, AcceptedRequestTest,
    testing::Values(AcceptedCase{"1A0000", "1", 0x1000000, 0x1A0000, 1},
                    AcceptedCase{"1a0000", " 3 ", 0x1000000, 0x1A0000, 3},
                    AcceptedCase{"000000", "0", 2, 0, 0}, AcceptedCase{"FC", "1", 256, 252, 1},
                    AcceptedCase{"0", "127", 256, 0, 127}, AcceptedCase{"0", "\t007", 256, 0, 7},
                    AcceptedCase{"FFFFFF", "1065353214", kHugeFile, 0xFFFFFF, 1065353214},
                    // The terminator's second byte lands on the last 32-bit offset.
                    AcceptedCase{"0", "1073741823", kHugeFile, 0, 1073741823}));

struct InsertCase {
    int32_t start;
    int32_t count;
    std::vector<uint8_t> expected;
};

class InsertAttackTableTest : public testing::TestWithParam<InsertCase> {};

TEST_P(InsertAttackTableTest, WritesPlaceholdersAndTerminatorOnly) {
    const ScratchRom rom(std::vector<uint8_t>(16, 0xAA));
    ASSERT_TRUE(InsertAttackTable(rom.path(), {GetParam().start, GetParam().count}));
    EXPECT_EQ(rom.bytes(), GetParam().expected);
    EXPECT_EQ(
        LoadAttackTable(rom.path(), GetParam().start),
        std::vector<LevelUpAttackEntry>(static_cast<size_t>(GetParam().count), LevelUpAttackEntry{1, 1}));
}

INSTANTIATE_TEST_SUITE_P(Counts, InsertAttackTableTest,
                         testing::Values(InsertCase{4,
                                                    0,
                                                    {0xAA, 0xAA, 0xAA, 0xAA, 0xFF, 0xFF, 0xAA, 0xAA, 0xAA,
                                                     0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
                                         InsertCase{4,
                                                    1,
                                                    {0xAA, 0xAA, 0xAA, 0xAA, 0x01, 0x02, 0xFF, 0xFF, 0xAA,
                                                     0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
                                         InsertCase{3,
                                                    3,
                                                    {0xAA, 0xAA, 0xAA, 0x01, 0x02, 0x01, 0x02, 0x01, 0x02,
                                                     0xFF, 0xFF, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
                                         InsertCase{8,
                                                    3,
                                                    {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x01,
                                                     0x02, 0x01, 0x02, 0x01, 0x02, 0xFF, 0xFF}}));

TEST(InsertAttackTable, StopsAtTheFirstByteBeyondTheFileWithoutGrowingIt) {
    const ScratchRom rom(std::vector<uint8_t>(8, 0xAA));
    EXPECT_FALSE(InsertAttackTable(rom.path(), {4, 2}));
    EXPECT_EQ(rom.bytes(), (std::vector<uint8_t>{0xAA, 0xAA, 0xAA, 0xAA, 0x01, 0x02, 0x01, 0x02}));
}

TEST(InsertAttackTable, FailsForAFileThatCannotBeOpened) {
    const testsupport::TempDir dir;
    EXPECT_FALSE(InsertAttackTable(dir.File("missing") + "/missing.gba", {0, 1}));
}

TEST(InsertAttackTable, RefusesRequestsThatNoCheckWouldPassBeforeWriting) {
    const ScratchRom rom(std::vector<uint8_t>(8, 0xAA));
    EXPECT_FALSE(InsertAttackTable(rom.path(), {-2, 1}));
    EXPECT_FALSE(InsertAttackTable(rom.path(), {0, -1}));
    EXPECT_FALSE(InsertAttackTable(rom.path(), {0x7FFFFFF0, 0x7FFFFFF0}));
    EXPECT_EQ(rom.bytes(), std::vector<uint8_t>(8, 0xAA));
}

}  // namespace
