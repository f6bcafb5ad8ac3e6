#include <gtest/gtest.h>

#include "NameList.h"
#include "RomBuilder.h"
#include "RomFiles.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::TempDir;
using testsupport::WriteRomFiles;

TEST(NameListTest, PositionIsTheSpeciesIndex) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    for (int i = 0; i < 412; ++i) builder.SetName(i, "No" + std::to_string(i));
    const auto files = WriteRomFiles(dir, builder);
    const std::vector<std::string> names = LoadNameList(files.session);
    ASSERT_EQ(names.size(), 412u);
    for (int i = 0; i < 412; ++i) EXPECT_EQ(names[i], "No" + std::to_string(i));
}

TEST(NameListTest, EntriesDecodeUpToTheirEnd) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    const int32_t names = builder.layout().NameOffset;
    builder.SetName(1, "Farfetch'd");
    builder.SetName(2, "Nidoran\x0C");
    builder.SetName(3, "Mr. Mime");
    builder.SetName(4, "");
    builder.SetName(5, "Elevenchars");                             // no room for the end marker
    builder.Fill(names + 6 * 11, {0xBB, 0xFF, 0xBC, 0xBD, 0xFF});  // what follows FF is not part of the name
    builder.Fill(names + 7 * 11, {0xC3, 0x00, 0xD5, 0xFF});
    const auto files = WriteRomFiles(dir, builder);

    const std::vector<std::string> list = LoadNameList(files.session);
    EXPECT_EQ(list[0], "??????????");
    EXPECT_EQ(list[1], "Farfetch'd");
    EXPECT_EQ(list[2], "Nidoran\x0C");
    EXPECT_EQ(list[3], "Mr. Mime");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list[5], "Elevenchars");
    EXPECT_EQ(list[6], "A");
    EXPECT_EQ(list[7], "I a");
}

TEST(NameListTest, EveryCallReadsTheFileAgain) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    builder.SetName(9, "Before");
    const auto files = WriteRomFiles(dir, builder);
    EXPECT_EQ(LoadNameList(files.session)[9], "Before");

    builder.SetName(9, "After");
    ASSERT_TRUE(builder.WriteTo(files.rom));
    EXPECT_EQ(LoadNameList(files.session)[9], "After");
}

TEST(NameListTest, TextEndsEveryNameWithCrLf) {
    EXPECT_EQ(NameListText({}), "");
    EXPECT_EQ(NameListText({"Abc"}), "Abc\r\n");
    EXPECT_EQ(NameListText({"A", "", "B\x0B"}), "A\r\n\r\nB\x0B\r\n");
}

}  // namespace
