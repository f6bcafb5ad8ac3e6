#include "EditorTest.h"

// POSIX: FIFOs.
#include <sys/stat.h>

#include <sstream>

#include "ReadINI.h"
#include "Unwritable.h"
#include "rom/RomNameTables.h"

namespace {

using testsupport::WithIniKey;

RomLayout Moved(RomLayout layout, int32_t by, uint8_t version = 0) {
    for (int32_t* offset :
         {&layout.NameOffset, &layout.DataOffset, &layout.ImageOffset, &layout.PaletteOffset,
          &layout.IconOffset, &layout.IconPalette, &layout.AttackTable, &layout.IconPaletteTable})
        *offset += by;
    layout.version = version;
    return layout;
}

// Data.ini's values for each game written out here, so that a changed digit there is caught ("-": no key; a
// later release of Ruby and Sapphire shares the keys of the one before: nullptr).
const char* const kKeys[] = {
    "NameOffset",  "DataOffset",       "ImageOffset", "PaletteOffset", "IconOffset", "IconPalette",
    "AttackTable", "IconPaletteTable", "MoveNames",   "AbilityNames",  "TypeNames",  "ItemTable",
    "ItemCount",   "EvolutionTable",   "TMHMTable",   "TMHMMoves",     "TutorTable", "TutorMoves",
    "TutorCount",  "EggMoves",         "EggMoveRefs", "NationalDex",   "DexEntries", "DexEntrySize"};
const std::pair<std::string, const char*> kGames[] = {
    {"BPRE",
     "&H245EE0 &H254784 &H2350AC &H23730C &H3D37A0 &H3D3E80 &H25D7B4 &H3D4038 &H247094 &H24FC40 "
     "&H24F1A0 &H3DB028 375 &H259754 &H252BC8 &H45A80C &H459B7E &H459B60 15 &H25EF0C 2 &H251FEE "
     "&H44E850 36"},
    {"BPRE-1",
     "&H245F50 &H2547F4 &H23511C &H23737C &H3D3810 &H3D3EF0 &H25D824 &H3D40A8 &H247104 &H24FCB0 "
     "&H24F210 &H3DB098 375 &H2597C4 &H252C38 &H45A86C &H459BDE &H459BC0 15 &H25EF7C 2 &H25205E "
     "&H44E8B0 36"},
    {"BPGE",
     "&H245EBC &H254760 &H235088 &H2372E8 &H3D35DC &H3D3CBC &H25D794 &H3D3E74 &H247070 &H24FC1C "
     "&H24F17C &H3DAE64 375 &H259734 &H252BA4 &H45A22C &H45959E &H459580 15 &H25EEEC 2 &H251FCA "
     "&H44E270 36"},
    {"BPGE-1",
     "&H245F2C &H2547D0 &H2350F8 &H237358 &H3D364C &H3D3D2C &H25D804 &H3D3EE4 &H2470E0 &H24FC8C "
     "&H24F1EC &H3DAED4 375 &H2597A4 &H252C14 &H45A29C &H45960E &H4595F0 15 &H25EF5C 2 &H25203A "
     "&H44E2E0 36"},
    {"AXVE",
     "&H1F716C &H1FEC18 &H1E8354 &H1EA5B4 &H3BBD20 &H3BC400 &H207BC8 &H3BC5B8 &H1F8320 &H1FA248 "
     "&H1F9870 &H3C5564 349 &H203B68 &H1FD0F0 &H376504 - - 0 &H2091DC 2 &H1FC516 &H3B1858 36"},
    {"AXVE-1",
     "&H1F7184 &H1FEC30 &H1E836C &H1EA5CC &H3BBD3C &H3BC41C &H207BE0 &H3BC5D4 &H1F8338 &H1FA260 "
     "&H1F9888 &H3C5580 349 &H203B80 &H1FD108 &H37651C - - 0 &H2091F4 2 &H1FC52E &H3B1874 36"},
    {"AXVE-2", nullptr},
    {"AXPE",
     "&H1F70FC &H1FEBA8 &H1E82E4 &H1EA544 &H3BBD78 &H3BC458 &H207B58 &H3BC610 &H1F82B0 &H1FA1D8 "
     "&H1F9800 &H3C55BC 349 &H203AF8 &H1FD080 &H376494 - - 0 &H20916C 2 &H1FC4A6 &H3B18B0 36"},
    {"AXPE-1",
     "&H1F7114 &H1FEBC0 &H1E82FC &H1EA55C &H3BBD98 &H3BC478 &H207B70 &H3BC630 &H1F82C8 &H1FA1F0 "
     "&H1F9818 &H3C55DC 349 &H203B10 &H1FD098 &H3764AC - - 0 &H209184 2 &H1FC4BE &H3B18D0 36"},
    {"AXPE-2", nullptr},
    {"BPEE",
     "&H3185C8 &H3203CC &H301418 &H303678 &H57BCA8 &H57C388 &H32937C &H57C540 &H31977C &H31B6DB "
     "&H31AE38 &H5839A0 377 &H32531C &H31E898 &H616040 &H615048 &H61500C 30 &H32ADD8 2 &H31DC82 "
     "&H56B5B0 32"}};

// Each section opens a fixture of its layout and release, its names tables read from the ROM; every fixture
// comes from the builder, so that its ROMs must also never vary.
TEST(ShippedDataIniTest, EveryGameSectionOpensAFixtureOfItsLayoutAndRelease) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout}) {
        EXPECT_EQ(RomBuilder(make()).bytes(), RomBuilder(make()).bytes());
        EXPECT_NE(RomBuilder(make()).bytes(), RomBuilder(make(), 2).bytes());
        const OpenedRom opened{RomBuilder(make())};
        EXPECT_EQ(std::tuple(opened.session.Section, opened.session.DataOffset, opened.session.AttackTable),
                  std::tuple(make().gameCode, make().DataOffset, make().AttackTable));
    }
    const char* values = nullptr;
    for (const auto& [section, own] : kGames) {
        SCOPED_TRACE(section);
        values = own ? own : values;
        std::istringstream words(values);
        std::vector<int32_t> o;
        for (const char* key : kKeys) {
            std::string value;
            words >> value;
            if (own) {
                EXPECT_EQ(ReadINI::ReadIniValue(VORNHAL_DATA_DIR "/Data.ini", section, key),
                          value == "-" ? "" : value)
                    << key;
            }
            o.push_back(value == "-" ? 0
                                     : std::stoi(value.substr(value[0] == '&' ? 2 : 0), nullptr,
                                                 value[0] == '&' ? 16 : 10));
        }
        RomLayout l = FireRedLayout();
        l.gameCode = section.substr(0, 4);
        l.version = section.size() > 4 ? static_cast<uint8_t>(section[5] - '0') : 0;
        l.NameOffset = o[0], l.DataOffset = o[1], l.ImageOffset = o[2], l.PaletteOffset = o[3];
        l.IconOffset = o[4], l.IconPalette = o[5], l.AttackTable = o[6], l.IconPaletteTable = o[7];
        l.MoveNames = o[8], l.AbilityNames = o[9], l.TypeNames = o[10], l.ItemTable = o[11],
        l.ItemCount = o[12];
        const OpenedRom opened{RomBuilder(l)};
        const EditorSession& s = opened.session;
        EXPECT_EQ(s.Section, section);
        EXPECT_NE(s.Title.find(section.size() > 4 ? "1." + section.substr(5) : ")"), std::string::npos)
            << s.Title;
        const std::array offsets = {
            s.NameOffset, s.DataOffset,  s.ImageOffset, s.PaletteOffset,
            s.IconOffset, s.IconPalette, s.AttackTable, s.IconPaletteTable.value_or(-1)};
        EXPECT_TRUE(std::equal(offsets.begin(), offsets.end(), o.begin()));
        const RomNames::Names names = RomNames::ReadNames(s, true);
        EXPECT_EQ(RomNames::SourceText(names), "Names: moves, abilities, types and items from the ROM.");
        EXPECT_EQ(names.lists[RomNames::kItems].names.size(), static_cast<size_t>(o[12]));
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
        // Release 1.1 moved FireRed's tables; without [BPRE-1], and without pointers of its own where the
        // base section's references are, the base section does not fit it.
        {"LaterReleaseWithoutItsSection",
         [](auto& f) {
             f.ini = RomBuilder(FireRedLayout()).IniSection();
             RomLayout later = Moved(FireRedLayout(), 0x70, 1);
             later.references.clear();
             f.builder = RomBuilder(later);
         },
         {"[BPRE]", "species name table", "another release"}}}),
    kCaseName);

// Root ignores permission bits, so the check runs in a child that has become the user nobody.
TEST(HostileInputTest, ARomWithoutReadPermissionIsRefused) {
    TempDir dir;
    const auto files = WriteRomFiles(dir, RomBuilder(DemoLayout()));
    // Only the ROM's own mode may stand in the way.
    fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(files.ini, fs::perms::others_read, fs::perm_options::add);
    fs::permissions(files.rom, fs::perms::others_write);
    const auto error = testsupport::RunInChild(testsupport::BecomeNobody, [&files] {
        const OpenRomResult opened = OpenRomFile(files.rom, files.ini);
        return opened.session ? std::string("opened") : opened.error;
    });
    if (!error) GTEST_SKIP() << "the check cannot run as the user nobody";
    for (const std::string& part :
         {"\"" + files.rom + "\"", std::string("cannot be opened or read"), std::string("may read it")})
        EXPECT_NE(error->find(part), std::string::npos) << part << " in: " << *error;
}

}  // namespace
