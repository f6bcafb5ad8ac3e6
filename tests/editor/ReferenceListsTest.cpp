#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReferenceLists.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using Entries = std::vector<std::string>;

struct SplitCase {
    std::string text;
    Entries entries;
};

class SplitListFileTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitListFileTest, SplitsAtCarriageReturnLineFeedOnly) {
    EXPECT_EQ(SplitListFile(GetParam().text), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitListFileTest,
                         testing::Values(SplitCase{"A\r\nB\r\nC\r\n", {"A", "B", "C", ""}},
                                         SplitCase{"A\r\nB\r\nC", {"A", "B", "C"}},
                                         SplitCase{"A\nB\nC\n", {"A\nB\nC\n"}}, SplitCase{"", {}},
                                         SplitCase{"A", {"A"}}, SplitCase{"\r\n", {"", ""}},
                                         SplitCase{"A\r\n\r\nB", {"A", "", "B"}}, SplitCase{"A\rB", {"A\rB"}},
                                         SplitCase{"\r\r\n\n", {"\r", "\n"}},
                                         SplitCase{" A \r\n\tB", {" A ", "\tB"}},
                                         SplitCase{"Caf\xE9\r\n\x0B", {"Caf\xE9", "\x0B"}}));

TEST(LoadListFile, GivesOneEntryPerLineAndAnEmptyOneAfterAFinalLineEnd) {
    const testsupport::TempDir dir;
    const std::string path = dir.File("Items.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, {'A', '\r', '\n', 'B', '\r', '\n', 'C', '\r', '\n'}));
    EXPECT_EQ(LoadListFile(path), (Entries{"A", "B", "C", ""}));
}

TEST(LoadListFile, AMissingFileGivesNoEntries) {
    const testsupport::TempDir dir;
    EXPECT_TRUE(LoadListFile(dir.File("Items.txt")).empty());
}

struct GenderCase {
    int position;
    std::string text;
};

class GenderRatioTextTest : public testing::TestWithParam<GenderCase> {};

TEST_P(GenderRatioTextTest, CutsBothSharesToFiveCharacters) {
    EXPECT_EQ(GenderRatioText(GetParam().position), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, GenderRatioTextTest,
    testing::Values(GenderCase{0, "100% Male 0% Female "}, GenderCase{1, "99.60% Male 0.393% Female "},
                    GenderCase{2, "99.21% Male 0.787% Female "}, GenderCase{31, "87.79% Male 12.20% Female "},
                    GenderCase{63, "75.19% Male 24.80% Female "}, GenderCase{127, "50% Male 50% Female "},
                    GenderCase{191, "24.80% Male 75.19% Female "},
                    GenderCase{253, "0.393% Male 99.60% Female "}, GenderCase{254, "0% Male 100% Female "}));

TEST(GenderRatioText, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(GenderRatioText(1, ','), "99,60% Male 0,393% Female ");
    EXPECT_EQ(GenderRatioText(127, ','), "50% Male 50% Female ");
}

TEST(GenderRatioList, HoldsTheRatiosThenNone) {
    const Entries list = GenderRatioList();
    ASSERT_EQ(list.size(), 256u);
    for (int position = 0; position <= 254; ++position) {
        EXPECT_EQ(list[position], GenderRatioText(position)) << position;
    }
    EXPECT_EQ(list[127], "50% Male 50% Female ");
    EXPECT_EQ(list[255], "None");
    EXPECT_EQ(GenderRatioList(',')[1], "99,60% Male 0,393% Female ");
}

TEST(GenderRatioList, NoShareIsLongerThanFiveCharacters) {
    for (const std::string& entry : GenderRatioList()) {
        if (entry == "None") continue;
        const size_t male = entry.find("% Male ");
        const size_t female = entry.find("% Female ");
        ASSERT_NE(male, std::string::npos) << entry;
        ASSERT_NE(female, std::string::npos) << entry;
        EXPECT_LE(male, 5u) << entry;
        EXPECT_LE(female - (male + 7), 5u) << entry;
        EXPECT_EQ(entry.back(), ' ') << entry;
    }
}

TEST(StepsList, HoldsMultiplesOf256) {
    const Entries list = StepsList();
    ASSERT_EQ(list.size(), 256u);
    EXPECT_EQ(list[0], "0");
    EXPECT_EQ(list[1], "256");
    EXPECT_EQ(list[2], "512");
    EXPECT_EQ(list[3], "768");
    EXPECT_EQ(list[40], "10240");
    EXPECT_EQ(list[255], "65280");
}

TEST(IconPaletteList, HoldsThreePalettes) {
    EXPECT_EQ(IconPaletteList(), (Entries{"Pal 1", "Pal 2", "Pal 3"}));
}

}  // namespace
