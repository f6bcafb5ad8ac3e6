// Saving a level-up table whose size changed: every case compares the whole file with the bytes it should
// hold, and takes the step back with Undo.

#include <gtest/gtest.h>

#include <optional>

#include "RomBuilder.h"
#include "species/SpeciesSave.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::Differences;
using testsupport::ReadFileBytes;
using Row = LevelUpAttackEntry;
using Writes = std::vector<std::pair<int64_t, std::vector<uint8_t>>>;

constexpr int kIndex = 40;
constexpr int32_t kTable = 0x23000;  // in the demo ROM's unused gap between its tables and its pictures
constexpr int32_t kPointer = 0x1AA00 + 4 * kIndex;
constexpr int32_t kKey = 0xF8000;  // the demo's FreeSpace key; the first place is 16 bytes on
const std::vector<Row> kRows = {{33, 5}, {289, 5}, {10, 9}};  // 21 0A 21 0B 0A 12, then FF FF
const std::vector<uint8_t> kFreed(8, 0xFF);

struct TableCase {
    const char* name;
    std::vector<Row> rows;  // saved
    Writes writes;          // what the file then holds beyond what it held
    std::optional<int64_t> movedTo;
    const char* error = nullptr;  // in the message of a refused save, which writes nothing
    int32_t key = kKey;           // 0: no FreeSpace key
    void (*prepare)(RomBuilder&) = [](RomBuilder&) {};
    int32_t size = 0x100000;
    friend void PrintTo(const TableCase& c, std::ostream* out) { *out << c.name; }
};

std::vector<Row> Plus(std::vector<Row> rows, const std::vector<Row>& more) {
    rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

class AttackTableSaveTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(AttackTableSaveTest, ChangesExactlyTheTableBytesAsOneStep) {
    const TableCase& c = GetParam();
    testsupport::TempDir dir;
    RomLayout layout = DemoLayout();
    layout.FreeSpaceKey = c.key;
    layout.size = c.size;
    RomBuilder builder(layout);
    builder.SetAttackTable(kIndex, kTable, kRows);
    c.prepare(builder);
    const auto files = testsupport::WriteRomFiles(dir, builder);
    ASSERT_TRUE(files.written);
    const std::vector<uint8_t> before = ReadFileBytes(files.rom);
    std::vector<uint8_t> expected = before;
    for (const auto& [offset, bytes] : c.writes)
        std::copy(bytes.begin(), bytes.end(), expected.begin() + offset);

    SpeciesEdits edits = testsupport::EditsAsShown(files.session, kIndex);
    edits.rows = c.rows;
    RomWriter writer = testsupport::QuietWriter(files.session);
    const SaveOutcome outcome = SaveSpecies(writer, kIndex, edits);
    EXPECT_EQ(Differences(expected, ReadFileBytes(files.rom)), "");
    if (c.error) {
        EXPECT_FALSE(outcome.complete);
        EXPECT_NE(outcome.error.find(c.error), std::string::npos) << outcome.error;
        return;
    }
    ASSERT_TRUE(outcome.complete) << outcome.error;
    EXPECT_EQ(outcome.tableMovedTo, c.movedTo);
    if (c.writes.empty()) return;
    ASSERT_TRUE(writer.Undo().complete);
    EXPECT_EQ(Differences(before, ReadFileBytes(files.rom)), "");
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, AttackTableSaveTest,
    ::testing::ValuesIn(std::vector<TableCase>{
        {"SameRowsChangeNothing", kRows, {}, std::nullopt},
        {"ShorterEndsAfterItsLastRow", {kRows[0], kRows[1]}, {{kTable + 4, {0xFF, 0xFF}}}, std::nullopt},
        {"EmptyIsATerminator", {}, {{kTable, {0xFF, 0xFF}}}, std::nullopt},
        {"LongerMovesAndFreesItsPlace",
         Plus(kRows, {{7, 20}}),
         {{kPointer, {0x10, 0x80, 0x0F, 0x08}},
          {kTable, kFreed},
          {kKey + 16, {0x21, 0x0A, 0x21, 0x0B, 0x0A, 0x12, 0x07, 0x28, 0xFF, 0xFF}}},
         kKey + 16},
        {"SharedStaysWhereItIs",
         Plus(kRows, {{7, 20}}),
         {{kPointer, {0x10, 0x80, 0x0F, 0x08}},
          {kKey + 16, {0x21, 0x0A, 0x21, 0x0B, 0x0A, 0x12, 0x07, 0x28, 0xFF, 0xFF}}},
         kKey + 16,
         nullptr,
         kKey,
         [](RomBuilder& b) { b.SetPointer(0x1AA00 + 4 * (kIndex + 1), kTable); }},
        // Another species' empty table is nothing but FF FF in the free space, yet it is a table.
        {"PastAnEmptyTableInFreeSpace",
         Plus(kRows, {{7, 20}}),
         {{kPointer, {0x24, 0x80, 0x0F, 0x08}},
          {kTable, kFreed},
          {kKey + 0x24, {0x21, 0x0A, 0x21, 0x0B, 0x0A, 0x12, 0x07, 0x28, 0xFF, 0xFF}}},
         kKey + 0x24,
         nullptr,
         kKey,
         [](RomBuilder& b) { b.SetPointer(0x1AA00 + 4 * (kIndex + 1), kKey + 16); }},
        // A table pointer at the last byte holds no row and no room for a terminator.
        {"AtTheLastByteUnchanged",
         {},
         {},
         std::nullopt,
         nullptr,
         kKey,
         [](RomBuilder& b) { b.SetPointer(kPointer, 0xFFFFF); }},
        {"AtTheLastByteMovesAndFreesNothing",
         {{7, 20}},
         {{kPointer, {0x10, 0x80, 0x0F, 0x08}}, {kKey + 16, {0x07, 0x28, 0xFF, 0xFF}}},
         kKey + 16,
         nullptr,
         kKey,
         [](RomBuilder& b) { b.SetPointer(kPointer, 0xFFFFF); }},
        {"NoRunLongEnough",
         Plus(kRows, {{7, 20}}),
         {},
         std::nullopt,
         "No run of 42 unused (FF) bytes",
         kKey,
         [](RomBuilder& b) {
             for (int32_t at = kKey; at < 0x100000; at += 32) b.Fill(at, {0x00});
         }},
        {"NoKey", Plus(kRows, {{7, 20}}), {}, std::nullopt, "has no FreeSpace key", 0},
        // Past 16 MiB everything is free space, behind pointers whose fourth byte is 09.
        {"NoKeyIn32MiBMovesAbove16MiB",
         Plus(kRows, {{7, 20}}),
         {{kPointer, {0x10, 0x00, 0x00, 0x09}},
          {kTable, kFreed},
          {0x1000010, {0x21, 0x0A, 0x21, 0x0B, 0x0A, 0x12, 0x07, 0x28, 0xFF, 0xFF}}},
         0x1000010,
         nullptr,
         0,
         [](RomBuilder&) {},
         0x2000000},
        {"KeyBeyondTheFile", Plus(kRows, {{7, 20}}), {}, std::nullopt, "0x100000, beyond the end", 0x100000},
        {"MoreRowsThanALoadReads", std::vector<Row>(4097, {1, 1}), {}, std::nullopt, "at most 4096"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
