#include "EditorTest.h"
#include "text/ReferenceLists.h"

namespace {

using Entries = std::vector<std::string>;

TEST(SplitListFile, SplitsAtCarriageReturnLineFeedOnly) {
    const std::vector<std::pair<std::string, Entries>> cases = {{"A\r\nB\r\nC\r\n", {"A", "B", "C", ""}},
                                                                {"A\r\nB\r\nC", {"A", "B", "C"}},
                                                                {"A\nB\nC\n", {"A\nB\nC\n"}},
                                                                {"", {}},
                                                                {"\r\r\n\n", {"\r", "\n"}},
                                                                {"A\r\n\r\nB", {"A", "", "B"}}};
    for (const auto& [text, entries] : cases) EXPECT_EQ(SplitListFile(text), entries);
}

// NUL bytes are part of an entry, and a hundred thousand lines are read whole.
TEST(LoadListFile, ReadsTheFileAndGivesNothingForAMissingOne) {
    const TempDir dir;
    EXPECT_TRUE(LoadListFile(dir.File("Missing.txt")).empty());
    const std::string nul("None\r\nPo\0tion\r\n\0\0\0\r\nEther\0", 26);
    ASSERT_TRUE(WriteFileBytes(dir.File("Nul.txt"), Bytes(nul.begin(), nul.end())));
    EXPECT_EQ(LoadListFile(dir.File("Nul.txt")),
              (Entries{"None", std::string("Po\0tion", 7), std::string(3, '\0'), std::string("Ether\0", 6)}));
    std::string text;
    for (int line = 0; line < 100000; ++line) text += "Entry number " + std::to_string(line) + "\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("Attacks.txt"), Bytes(text.begin(), text.end())));
    const Entries entries = LoadListFile(dir.File("Attacks.txt"));
    ASSERT_EQ(entries.size(), 100001u);  // the final CR LF adds an empty entry
    EXPECT_EQ(entries[99999], "Entry number 99999");
}

TEST(ChoiceLists, GenderRatiosCutToFiveCharactersThenNoneAndStepsInMultiplesOf256) {
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "100% Male 0% Female "},         {1, "99.60% Male 0.393% Female "},
        {2, "99.21% Male 0.787% Female "},   {31, "87.79% Male 12.20% Female "},
        {63, "75.19% Male 24.80% Female "},  {127, "50% Male 50% Female "},
        {191, "24.80% Male 75.19% Female "}, {253, "0.393% Male 99.60% Female "},
        {254, "0% Male 100% Female "},       {255, "None"}};
    const Entries list = GenderRatioList();
    ASSERT_EQ(list.size(), 256u);
    for (const auto& [position, text] : cases) EXPECT_EQ(list[position], text) << position;
    EXPECT_EQ(GenderRatioList(',')[1], "99,60% Male 0,393% Female ");
    const Entries steps = StepsList();
    ASSERT_EQ(steps.size(), 256u);
    EXPECT_EQ(steps[1], "256");
    EXPECT_EQ(steps[255], "65280");
}

}  // namespace
