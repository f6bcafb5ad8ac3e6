#include <gtest/gtest.h>

#include "RomBuilder.h"
#include "rom/RomOpener.h"
#include "TempDir.h"

namespace {

// Every fixture comes from the builder, so its ROMs must open with the shipped Data.ini and never vary.
TEST(RomBuilderTest, DemoAndFireRedBuildsOpenWithTheShippedDataIniAndAreDeterministic) {
    testsupport::TempDir dir;
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout}) {
        const RomBuilder builder(make());
        EXPECT_EQ(builder.bytes(), RomBuilder(make()).bytes());
        EXPECT_NE(builder.bytes(), RomBuilder(make(), 2).bytes());
        ASSERT_TRUE(builder.WriteTo(dir.File("rom.gba")));
        const OpenRomResult opened = OpenRomFile(dir.File("rom.gba"), VORNHAL_DATA_DIR "/Data.ini");
        ASSERT_TRUE(opened.session) << opened.error;
        EXPECT_EQ(opened.session->Section, builder.layout().gameCode);
        EXPECT_EQ(opened.session->DataOffset, builder.layout().DataOffset);
        EXPECT_EQ(opened.session->AttackTable, builder.layout().AttackTable);
    }
}

}  // namespace
