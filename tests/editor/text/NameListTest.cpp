#include "EditorTest.h"
#include "text/NameList.h"

namespace {

TEST(NameListTest, AllEntriesAtTheirSpeciesPositionUpToTheirEnd) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    for (int i = 0; i < 412; ++i) builder.SetName(i, "No" + std::to_string(i));
    builder.SetName(1, "Farfetch'd");
    builder.SetName(2, "");
    builder.SetName(3, "Elevenchars");  // no room for the end marker
    builder.Fill(builder.layout().NameOffset + 4 * 11,
                 {0xBB, 0xFF, 0xBC});  // bytes after FF are no part of it
    const std::vector<std::string> names = LoadNameList(WriteRomFiles(dir, builder).session);
    ASSERT_EQ(names.size(), 412u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 6),
              (std::vector<std::string>{"No0", "Farfetch'd", "", "Elevenchars", "A", "No5"}));
    EXPECT_EQ(names[411], "No411");
}

}  // namespace
