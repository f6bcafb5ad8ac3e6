// Saving a level-up table whose size changed: every case compares the whole file with the bytes it should
// hold, and takes the step back with Undo.

#include "EditorTest.h"
#include "species/SpeciesSave.h"

namespace {

using Row = LevelUpAttackEntry;
using Writes = std::vector<std::pair<int64_t, std::vector<uint8_t>>>;

constexpr int kIndex = 40;
constexpr int32_t kTable = 0x23000;  // in the demo ROM's unused gap between its tables and its pictures
constexpr int32_t kPointer = 0x1AA00 + 4 * kIndex;
constexpr int32_t kKey = 0xF8000;  // the demo's FreeSpace key; the first place is 16 bytes on
const std::vector<Row> kRows = {{33, 5}, {289, 5}, {10, 9}};  // 21 0A 21 0B 0A 12, then FF FF
const Bytes kFreed(8, 0xFF);
const std::vector<Row> kLonger = {{33, 5}, {289, 5}, {10, 9}, {7, 20}};
const Bytes kLongerBytes = {0x21, 0x0A, 0x21, 0x0B, 0x0A, 0x12, 0x07, 0x28, 0xFF, 0xFF};

struct TableCase {
    const char* name;
    std::vector<Row> rows = {};  // saved
    Writes writes = {};          // what the file then holds beyond what it held
    std::optional<int64_t> movedTo = {};
    const char* error = nullptr;            // in the message of a refused save, which writes nothing
    int32_t key = kKey;                     // 0: no FreeSpace key
    std::pair<int32_t, int32_t> pointer{};  // a table pointer (entry, target) set before the save
    void (*prepare)(RomBuilder&) = nullptr;
    int32_t size = 0x100000;
    friend void PrintTo(const TableCase& c, std::ostream* out) { *out << c.name; }
};

class AttackTableSaveTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(AttackTableSaveTest, ChangesExactlyTheTableBytesAsOneStep) {
    const TableCase& c = GetParam();
    TempDir dir;
    RomLayout layout = DemoLayout();
    layout.FreeSpaceKey = c.key;
    layout.size = c.size;
    RomBuilder builder(layout);
    builder.SetAttackTable(kIndex, kTable, kRows);
    if (c.pointer.first) builder.SetPointer(c.pointer.first, c.pointer.second);
    if (c.prepare) c.prepare(builder);
    const auto files = WriteRomFiles(dir, builder);
    ASSERT_TRUE(files.written);
    const std::vector<uint8_t> before = ReadFileBytes(files.rom);
    std::vector<uint8_t> expected = before;
    for (const auto& [offset, bytes] : c.writes)
        std::copy(bytes.begin(), bytes.end(), expected.begin() + offset);

    SpeciesEdits edits = EditsAsShown(files.session, kIndex);
    edits.rows = c.rows;
    RomWriter writer = QuietWriter(files.session);
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
         kLonger,
         {{kPointer, {0x10, 0x80, 0x0F, 0x08}}, {kTable, kFreed}, {kKey + 16, kLongerBytes}},
         kKey + 16},
        {.name = "SharedStaysWhereItIs",
         .rows = kLonger,
         .writes = {{kPointer, {0x10, 0x80, 0x0F, 0x08}}, {kKey + 16, kLongerBytes}},
         .movedTo = kKey + 16,
         .pointer = {kPointer + 4, kTable}},
        // Another species' empty table is nothing but FF FF in the free space, yet it is a table.
        {.name = "PastAnEmptyTableInFreeSpace",
         .rows = kLonger,
         .writes = {{kPointer, {0x24, 0x80, 0x0F, 0x08}}, {kTable, kFreed}, {kKey + 0x24, kLongerBytes}},
         .movedTo = kKey + 0x24,
         .pointer = {kPointer + 4, kKey + 16}},
        // A table pointer at the last byte holds no row and no room for a terminator.
        {.name = "AtTheLastByteUnchanged", .pointer = {kPointer, 0xFFFFF}},
        {.name = "AtTheLastByteMovesAndFreesNothing",
         .rows = {{7, 20}},
         .writes = {{kPointer, {0x10, 0x80, 0x0F, 0x08}}, {kKey + 16, {0x07, 0x28, 0xFF, 0xFF}}},
         .movedTo = kKey + 16,
         .pointer = {kPointer, 0xFFFFF}},
        {.name = "NoRunLongEnough",
         .rows = kLonger,
         .error = "No run of 42 unused (FF) bytes",
         .prepare =
             [](RomBuilder& b) {
                 for (int32_t at = kKey; at < 0x100000; at += 32) b.Fill(at, {0x00});
             }},
        {.name = "NoKey", .rows = kLonger, .error = "has no FreeSpace key", .key = 0},
        // Past 16 MiB everything is free space, behind pointers whose fourth byte is 09.
        {.name = "NoKeyIn32MiBMovesAbove16MiB",
         .rows = kLonger,
         .writes = {{kPointer, {0x10, 0x00, 0x00, 0x09}}, {kTable, kFreed}, {0x1000010, kLongerBytes}},
         .movedTo = 0x1000010,
         .key = 0,
         .size = 0x2000000},
        {.name = "KeyBeyondTheFile", .rows = kLonger, .error = "0x100000, beyond the end", .key = 0x100000},
        {.name = "MoreRowsThanALoadReads", .rows = std::vector<Row>(4097, {1, 1}), .error = "at most 4096"}}),
    kCaseName);

}  // namespace
