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

struct PointerCase {
    const char* name;
    Bytes held;    // the icon pointer of kIndex before the save; empty: as built, above 16 MiB
    int32_t icon;  // the saved target
    Bytes stored;  // the entry afterwards; empty: the save is refused
    friend void PrintTo(const PointerCase& c, std::ostream* out) { *out << c.name; }
};

class ExpandedPointerTest : public ExpandedRomTest, public ::testing::WithParamInterface<PointerCase> {};

TEST_P(ExpandedPointerTest, WritesTheFourthByteOnlyWhenItMustChange) {
    const int32_t entry = builder_.layout().IconOffset + 4 * kIndex;
    if (!GetParam().held.empty()) builder_.Fill(entry, GetParam().held);
    Write();
    SpeciesEdits edits = EditsAsShown(files_.session, kIndex);
    edits.icon = GetParam().icon;
    RomWriter writer = QuietWriter(files_.session);
    const SaveOutcome outcome = SaveSpecies(writer, kIndex, edits);
    Bytes expected = before_;
    if (GetParam().stored.empty()) {
        EXPECT_NE(outcome.error.find("Nothing was saved"), std::string::npos) << outcome.error;
    } else {
        EXPECT_TRUE(outcome.complete) << outcome.error;
        std::copy(GetParam().stored.begin(), GetParam().stored.end(), expected.begin() + entry);
    }
    EXPECT_EQ(Differences(expected, ReadFileBytes(files_.rom)), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpandedPointerTest,
                         ::testing::ValuesIn(std::vector<PointerCase>{
                             {"UpperToUpper", {}, 0x1ABCDEF, {0xEF, 0xCD, 0xAB, 0x09}},
                             {"UpperToLower", {}, 0x0ABCDE, {0xDE, 0xBC, 0x0A, 0x08}},
                             {"LowerToUpper", {0x00, 0x00, 0x10, 0x08}, 0x1100000, {0x00, 0x00, 0x10, 0x09}},
                             {"NullPointerKeepsItsFourthByte", {0, 0, 0, 0}, 0x10, {0x10, 0, 0, 0}},
                             {"BeyondWhatAPointerAddresses", {}, 0x2000000, {}}}),
                         kCaseName);

}  // namespace
