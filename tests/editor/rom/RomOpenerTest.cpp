#include <gtest/gtest.h>

// POSIX: FIFOs.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "RomBuilder.h"
#include "rom/RomNameTables.h"
#include "rom/RomOpener.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WithIniKey;
using testsupport::WriteFileBytes;

RomLayout Moved(RomLayout layout, int32_t by, uint8_t version = 0) {
    for (int32_t* offset :
         {&layout.NameOffset, &layout.DataOffset, &layout.ImageOffset, &layout.PaletteOffset,
          &layout.IconOffset, &layout.IconPalette, &layout.AttackTable, &layout.IconPaletteTable})
        *offset += by;
    layout.version = version;
    return layout;
}

// The offsets are written out here, in the order of the keys (names tables and item count last), so that a
// changed digit in Data.ini is caught. Ruby and Sapphire 1.2 keep every table of 1.1.
TEST(ShippedDataIniTest, EveryGameSectionOpensAFixtureOfItsLayoutAndRelease) {
    constexpr std::array<int32_t, 13> kRuby11 = {0x1F7184, 0x1FEC30, 0x1E836C, 0x1EA5CC, 0x3BBD3C,
                                                 0x3BC41C, 0x207BE0, 0x3BC5D4, 0x1F8338, 0x1FA260,
                                                 0x1F9888, 0x3C5580, 349};
    constexpr std::array<int32_t, 13> kSapphire11 = {0x1F7114, 0x1FEBC0, 0x1E82FC, 0x1EA55C, 0x3BBD98,
                                                     0x3BC478, 0x207B70, 0x3BC630, 0x1F82C8, 0x1FA1F0,
                                                     0x1F9818, 0x3C55DC, 349};
    const std::pair<std::string, std::array<int32_t, 13>> games[] = {
        {"BPRE",
         {0x245EE0, 0x254784, 0x2350AC, 0x23730C, 0x3D37A0, 0x3D3E80, 0x25D7B4, 0x3D4038, 0x247094, 0x24FC40,
          0x24F1A0, 0x3DB028, 375}},
        {"BPRE-1",
         {0x245F50, 0x2547F4, 0x23511C, 0x23737C, 0x3D3810, 0x3D3EF0, 0x25D824, 0x3D40A8, 0x247104, 0x24FCB0,
          0x24F210, 0x3DB098, 375}},
        {"BPGE",
         {0x245EBC, 0x254760, 0x235088, 0x2372E8, 0x3D35DC, 0x3D3CBC, 0x25D794, 0x3D3E74, 0x247070, 0x24FC1C,
          0x24F17C, 0x3DAE64, 375}},
        {"BPGE-1",
         {0x245F2C, 0x2547D0, 0x2350F8, 0x237358, 0x3D364C, 0x3D3D2C, 0x25D804, 0x3D3EE4, 0x2470E0, 0x24FC8C,
          0x24F1EC, 0x3DAED4, 375}},
        {"AXVE",
         {0x1F716C, 0x1FEC18, 0x1E8354, 0x1EA5B4, 0x3BBD20, 0x3BC400, 0x207BC8, 0x3BC5B8, 0x1F8320, 0x1FA248,
          0x1F9870, 0x3C5564, 349}},
        {"AXVE-1", kRuby11},
        {"AXVE-2", kRuby11},
        {"AXPE",
         {0x1F70FC, 0x1FEBA8, 0x1E82E4, 0x1EA544, 0x3BBD78, 0x3BC458, 0x207B58, 0x3BC610, 0x1F82B0, 0x1FA1D8,
          0x1F9800, 0x3C55BC, 349}},
        {"AXPE-1", kSapphire11},
        {"AXPE-2", kSapphire11},
        {"BPEE",
         {0x3185C8, 0x3203CC, 0x301418, 0x303678, 0x57BCA8, 0x57C388, 0x32937C, 0x57C540, 0x31977C, 0x31B6DB,
          0x31AE38, 0x5839A0, 377}}};
    TempDir dir;
    for (const auto& [section, o] : games) {
        RomLayout l = FireRedLayout();
        l.gameCode = section.substr(0, 4);
        l.version = section.size() > 4 ? static_cast<uint8_t>(section[5] - '0') : 0;
        l.NameOffset = o[0], l.DataOffset = o[1], l.ImageOffset = o[2], l.PaletteOffset = o[3];
        l.IconOffset = o[4], l.IconPalette = o[5], l.AttackTable = o[6], l.IconPaletteTable = o[7];
        l.MoveNames = o[8], l.AbilityNames = o[9], l.TypeNames = o[10], l.ItemTable = o[11],
        l.ItemCount = o[12];
        ASSERT_TRUE(RomBuilder(l).WriteTo(dir.File("game.gba")));
        const OpenRomResult opened = OpenRomFile(dir.File("game.gba"), VORNHAL_DATA_DIR "/Data.ini");
        ASSERT_TRUE(opened.session) << section << ": " << opened.error;
        const EditorSession& s = *opened.session;
        EXPECT_EQ(s.Section, section);
        EXPECT_NE(s.Title.find(section.size() > 4 ? "1." + section.substr(5) : ")"), std::string::npos)
            << s.Title;
        const std::array offsets = {
            s.NameOffset, s.DataOffset,  s.ImageOffset, s.PaletteOffset,
            s.IconOffset, s.IconPalette, s.AttackTable, s.IconPaletteTable.value_or(-1)};
        EXPECT_TRUE(std::equal(offsets.begin(), offsets.end(), o.begin())) << section;
        const RomNames::Names names = RomNames::ReadNames(s, true);
        EXPECT_EQ(RomNames::SourceText(names), "Names: moves, abilities, types and items from the ROM.")
            << section;
        EXPECT_EQ(names.lists[RomNames::kItems].names.size(), static_cast<size_t>(o[12])) << section;
    }
}

// One change to a demo ROM, its Data.ini or the path; a refusal names the path and the parts; nothing
// changes.
struct Fixture {
    TempDir dir;
    RomBuilder builder{DemoLayout()};
    std::string ini = "[Main]\r\nShowSave=1\r\n\r\n" + builder.IniSection();
    std::string path = dir.File("game.gba");
};

struct OpenCase {
    const char* name;
    void (*prepare)(Fixture&);
    std::vector<std::string> named;  // empty: the ROM opens
    friend void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.name; }
};

// The structure check allows 5% of the 411 checked entries to be odd, and pointers must target the file.
void SetIconEntries(Fixture& f, int count, uint32_t value) {
    for (int i = 1; i <= count; ++i)
        f.builder.SetPointer(DemoLayout().IconOffset + 4 * i, int32_t(value - 0x08000000u));
}

class RomOpenerTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(RomOpenerTest, OpensOrNamesFileAndProblemAndChangesNothing) {
    Fixture f;
    GetParam().prepare(f);
    ASSERT_TRUE(f.builder.WriteTo(f.dir.File("game.gba")));
    const std::string ini = f.dir.File("Data.ini");
    ASSERT_TRUE(WriteFileBytes(ini, {f.ini.begin(), f.ini.end()}));
    const std::vector<uint8_t> romBefore = ReadFileBytes(f.path), iniBefore = ReadFileBytes(ini);

    const OpenRomResult opened = OpenRomFile(f.path, ini);
    if (GetParam().named.empty()) {
        ASSERT_TRUE(opened.session) << opened.error;
        const EditorSession& s = *opened.session;
        EXPECT_EQ(WindowCaption(s), "Vornhal - [VRNH] - Demo (generated)");
        // The optional keys come through as well, with SameAs from the shared section.
        EXPECT_TRUE(s.Tables.evolutions.where && s.Tables.tmhm.where) << s.Tables.evolutions.unavailable;
        EXPECT_EQ(s.NameTables[3].count, "377");
    } else {
        EXPECT_FALSE(opened.session);
        EXPECT_NE(opened.error.find("\"" + f.path + "\""), std::string::npos) << opened.error;
    }
    for (const std::string& part : GetParam().named)
        EXPECT_NE(opened.error.find(part), std::string::npos) << part << " in: " << opened.error;
    EXPECT_EQ(ReadFileBytes(f.path), romBefore);
    EXPECT_EQ(ReadFileBytes(ini), iniBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RomOpenerTest,
    ::testing::ValuesIn(std::vector<OpenCase>{
        {"Missing", [](auto& f) { f.path = f.dir.File("none.gba"); }, {"cannot be opened or read"}},
        {"Folder", [](auto& f) { f.path = f.dir.path().string(); }, {"is a folder"}},
        {"Fifo", [](auto& f) { ::mkfifo((f.path += ".fifo").c_str(), 0644); }, {"cannot be opened or read"}},
        {"Empty", [](auto& f) { f.builder.bytes().clear(); }, {"only 0 bytes", "not a GBA ROM"}},
        {"HundredBytes", [](auto& f) { f.builder.bytes().resize(100); }, {"only 100 bytes", "not a GBA ROM"}},
        {"OneByteShortOfAHeader", [](auto& f) { f.builder.bytes().resize(191); }, {"191 bytes", "192"}},
        {"ThirtyTwoMiBOfFF", [](auto& f) { f.builder.bytes().assign(0x2000000, 0xFF); },
         {"no section [?\?\?\?-255] or [?\?\?\?]"}},
        {"UnknownCode", [](auto& f) { std::copy_n("ABCD", 4, f.builder.bytes().begin() + 0xAC); },
         {"no section [ABCD]"}},
        {"EmptyDataIni", [](auto& f) { f.ini.clear(); }, {"Data.ini", "[VRNH]"}},
        {"MissingKey", [](auto& f) { f.ini = WithIniKey(f.ini, "IconPalette", "", true); },
         {"[VRNH]", "no value for the key IconPalette"}},
        {"NonNumericKey", [](auto& f) { f.ini = WithIniKey(f.ini, "DataOffset", "12abc"); },
         {"[VRNH]", "key DataOffset", "\"12abc\"", "not a whole number"}},
        {"OffsetBeyond32Bits", [](auto& f) { f.ini = WithIniKey(f.ini, "IconOffset", "&H80000000"); },
         {"[VRNH]", "key IconOffset", "not a whole number"}},
        {"TableBeyondTheEnd", [](auto& f) { f.ini = WithIniKey(f.ini, "AttackTable", "&HFFF00"); },
         {"[VRNH]", "level-up attack pointer table", "beyond the end", "1048576 bytes"}},
        // A lone CR ends a line as CR LF does.
        {"CrOnlyDataIni", [](auto& f) { std::erase(f.ini, '\n'); }, {}},
        {"LowerCaseCode", [](auto& f) { std::copy_n("vrnh", 4, f.builder.bytes().begin() + 0xAC); }, {}},
        {"TwentyOddEntries", [](auto& f) { SetIconEntries(f, 20, 0); }, {}},
        {"TwentyOneOddEntries", [](auto& f) { SetIconEntries(f, 21, 0); }, {"icon pointer table"}},
        {"PointersToTheLastByte", [](auto& f) { SetIconEntries(f, 411, 0x080FFFFF); }, {}},
        {"PointersBeyondTheEnd", [](auto& f) { SetIconEntries(f, 411, 0x08100000); }, {"icon pointer table"}},
        {"PointersBelowTheCartridge", [](auto& f) { SetIconEntries(f, 411, 0x07FFFFFF); },
         {"icon pointer table"}},
        // A section sharing the keys of another one takes them from there, and only from there.
        {"SameAs",
         [](auto& f) { f.ini = "[VRNH]\r\nSameAs=DEMO\r\nTitle=Demo (generated)\r\n\r\n[DEMO]\r\n" + f.ini.substr(f.ini.find("NameOffset")); },
         {}},
        {"SameAsMissingSection", [](auto& f) { f.ini = "[VRNH]\r\nSameAs=NONE\r\n"; },
         {"[VRNH] (sharing the keys of [NONE])", "no value for the key NameOffset"}},
        {"TablesShiftedByTwoBytes", [](auto& f) { f.builder = RomBuilder(Moved(DemoLayout(), 2)); },
         {"[VRNH]", "another release"}},
        // Release 1.1 moved FireRed's tables; without [BPRE-1] the base section does not fit it.
        {"LaterReleaseWithoutItsSection",
         [](auto& f) {
             f.ini = RomBuilder(FireRedLayout()).IniSection();
             f.builder = RomBuilder(Moved(FireRedLayout(), 0x70, 1));
         },
         {"[BPRE]", "species name table", "another release"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
