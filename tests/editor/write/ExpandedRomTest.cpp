#include "EditorTest.h"
#include "pictures/SpritePictures.h"
#include "rom/RomNameTables.h"
#include "rom/RomOpener.h"
#include "rom/RomPointer.h"
#include "species/AttackTable.h"
#include "species/SpeciesRecord.h"
#include "species/SpeciesSave.h"

namespace {

using Row = LevelUpAttackEntry;

constexpr int kIndex = 5;

// Built once: 32 MiB, its attack tables, pictures and move names above 16 MiB. Each test writes a copy.
const RomBuilder& Expanded() {
    static const RomBuilder builder(ExpandedLayout());
    return builder;
}

class ExpandedRomTest : public ::testing::Test {
protected:
    void Write() {
        // The save keeps no EV bits 12 to 15, which the builder sets for some species.
        builder_.bytes()[builder_.layout().DataOffset + 28 * kIndex + 11] &= 0x0F;
        files_ = WriteRomFiles(dir_, builder_);
        ASSERT_TRUE(files_.written);
        before_ = ReadFileBytes(files_.rom);
    }

    TempDir dir_;
    RomBuilder builder_ = Expanded();
    RomFiles files_;
    std::vector<uint8_t> before_;
};

TEST_F(ExpandedRomTest, OpensAndShowsWhatLiesAbove16MiB) {
    Write();
    const OpenRomResult opened = OpenRomFile(files_.rom, files_.ini);
    ASSERT_TRUE(opened.session) << opened.error;
    const EditorSession& session = *opened.session;

    const SpeciesValues v = ReadSpecies(session, kIndex);
    for (const std::string& shown :
         {v.attackTable, v.sprite, v.backSprite, v.palette, v.shinyPalette, v.icon})
        EXPECT_TRUE(shown.size() == 7 && shown[0] == '1') << shown;
    const int32_t table = *RomPointer::ParseTarget(v.attackTable);
    EXPECT_GE(table, 0x1800000);
    const std::vector<Row> rows = LoadAttackTable(session.RomPath, table);
    EXPECT_EQ(rows, EditsAsShown(session, kIndex).rows);
    EXPECT_FALSE(rows.empty());
    const Picture front = SpritePictures::ReadSprite(session.RomPath, *RomPointer::ParseTarget(v.sprite),
                                                     *RomPointer::ParseTarget(v.palette));
    EXPECT_TRUE(front.ok()) << front.problem;

    const RomNames::Names names = RomNames::ReadNames(session, true);
    EXPECT_TRUE(names.lists[RomNames::kMoves].FromRom()) << names.lists[RomNames::kMoves].fallback;
    EXPECT_EQ(names.lists[RomNames::kMoves].names.size(), 355u);
}

// Each pointer of one save in its own case: above 16 MiB staying there or coming down, below going up, null
// keeping its fourth byte. A target beyond what a pointer addresses refuses the whole save first.
TEST_F(ExpandedRomTest, WritesAPointersFourthByteOnlyWhenItMustChange) {
    const int32_t back = builder_.TableOffset("BackImageOffset") + 8 * kIndex;
    const int32_t shiny = builder_.TableOffset("ShinyPaletteOffset") + 8 * kIndex;
    builder_.Fill(back, {0x00, 0x00, 0x10, 0x08});
    builder_.Fill(shiny, {0, 0, 0, 0});
    Write();
    SpeciesEdits edits = EditsAsShown(files_.session, kIndex);
    edits.sprite = 0x1ABCDEF, edits.icon = 0x0ABCDE, edits.backSprite = 0x1100000, edits.shinyPalette = 0x10;
    RomWriter writer = QuietWriter(files_.session);
    SpeciesEdits beyond = edits;
    beyond.palette = 0x2000000;
    const SaveOutcome refused = SaveSpecies(writer, kIndex, beyond);
    EXPECT_NE(refused.error.find("Nothing was saved"), std::string::npos) << refused.error;
    EXPECT_EQ(Differences(before_, ReadFileBytes(files_.rom)), "");

    const SaveOutcome outcome = SaveSpecies(writer, kIndex, edits);
    ASSERT_TRUE(outcome.complete) << outcome.error;
    Bytes expected = before_;
    const std::pair<int32_t, Bytes> stored[] = {
        {builder_.layout().ImageOffset + 8 * kIndex, {0xEF, 0xCD, 0xAB, 0x09}},
        {builder_.layout().IconOffset + 4 * kIndex, {0xDE, 0xBC, 0x0A, 0x08}},
        {back, {0x00, 0x00, 0x10, 0x09}},
        {shiny, {0x10, 0, 0, 0}}};
    for (const auto& [entry, bytes] : stored) std::copy(bytes.begin(), bytes.end(), expected.begin() + entry);
    EXPECT_EQ(Differences(expected, ReadFileBytes(files_.rom)), "");
}

}  // namespace
