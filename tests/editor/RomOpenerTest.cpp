#include <gtest/gtest.h>

#include <functional>

#include "RomBuilder.h"
#include "RomFiles.h"
#include "RomOpener.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WithIniKey;
using testsupport::WriteFileBytes;
using testsupport::WriteRomFiles;
using testsupport::WriteTestIni;

void ExpectSameSession(const EditorSession& actual, const EditorSession& expected) {
    EXPECT_EQ(actual.RomPath, expected.RomPath);
    EXPECT_EQ(actual.NameOffset, expected.NameOffset);
    EXPECT_EQ(actual.DataOffset, expected.DataOffset);
    EXPECT_EQ(actual.ImageOffset, expected.ImageOffset);
    EXPECT_EQ(actual.PaletteOffset, expected.PaletteOffset);
    EXPECT_EQ(actual.IconOffset, expected.IconOffset);
    EXPECT_EQ(actual.IconPalette, expected.IconPalette);
    EXPECT_EQ(actual.AttackTable, expected.AttackTable);
    EXPECT_EQ(actual.IconPaletteTable, expected.IconPaletteTable);
    EXPECT_EQ(actual.GameCode, expected.GameCode);
    EXPECT_EQ(actual.Section, expected.Section);
    EXPECT_EQ(actual.Title, expected.Title);
}

TEST(RomOpenerTest, BuilderRomsOpenAsTheirSessionsSay) {
    for (RomLayout (*make)() : {DemoLayout, FireRedLayout}) {
        TempDir dir;
        const RomBuilder builder(make());
        const auto files = WriteRomFiles(dir, builder);
        ASSERT_TRUE(files.written);
        const OpenRomResult result = OpenRomFile(files.rom, files.ini);
        ASSERT_TRUE(result.session.has_value()) << result.error;
        EXPECT_EQ(result.error, "");
        ExpectSameSession(*result.session, files.session);
    }
}

TEST(RomOpenerTest, ShippedDataFileOpensTheDemoRom) {
    TempDir dir;
    const RomBuilder builder(DemoLayout());
    ASSERT_TRUE(builder.WriteTo(dir.File("demo.gba")));
    const OpenRomResult result =
        OpenRomFile(dir.File("demo.gba"), std::string(VORNHAL_DATA_DIR) + "/Data.ini");
    ASSERT_TRUE(result.session.has_value()) << result.error;
    ExpectSameSession(*result.session, builder.Session(dir.File("demo.gba")));
}

TEST(RomOpenerTest, OpeningWritesNothing) {
    TempDir dir;
    const auto files = WriteRomFiles(dir, RomBuilder(DemoLayout()));
    const auto rom = ReadFileBytes(files.rom);
    const auto ini = ReadFileBytes(files.ini);
    ASSERT_TRUE(OpenRomFile(files.rom, files.ini).session.has_value());
    EXPECT_EQ(ReadFileBytes(files.rom), rom);
    EXPECT_EQ(ReadFileBytes(files.ini), ini);
}

// A refusal case prepares the files (from an unchanged demo ROM and its section) and names the parts the
// message must contain besides the ROM path.
struct RefusalCase {
    std::string name;
    std::function<void(RomBuilder& builder, std::string& section)> change;
    std::vector<std::string> expected;
    std::function<std::string(const TempDir& dir, const std::string& rom)> romPath = nullptr;
};

std::vector<RefusalCase> RefusalCases() {
    std::vector<RefusalCase> cases;
    cases.push_back(
        {"Missing", nullptr, {"cannot be opened or read"}, [](const TempDir& dir, const std::string&) {
             return dir.File("nothing-here.gba");
         }});
    cases.push_back({"Folder", nullptr, {"is a folder"}, [](const TempDir& dir, const std::string&) {
                         return dir.path().string();
                     }});
    cases.push_back({"ShortFile", nullptr, {"191 bytes", "192"}, [](const TempDir& dir, const std::string&) {
                         const std::string path = dir.File("short.gba");
                         if (!WriteFileBytes(path, std::vector<uint8_t>(0xBF, 0x41))) return std::string();
                         return path;
                     }});
    cases.push_back({"UnknownCode",
                     [](RomBuilder& builder, std::string&) {
                         builder.Fill(0xAC, {'A', 'B', 'C', 'D'});
                     },
                     {"no section [ABCD]", "\"ABCD\""}});
    cases.push_back({"UnprintableCode",
                     [](RomBuilder& builder, std::string&) {
                         builder.Fill(0xAC, {0, 'B', 0xFF, 'D'});
                     },
                     {"no section [?B?D]"}});
    for (const char* key : {"NameOffset", "DataOffset", "ImageOffset", "PaletteOffset", "IconOffset",
                            "IconPalette", "AttackTable"}) {
        cases.push_back(
            {std::string("Missing") + key,
             [key](RomBuilder&, std::string& section) { section = WithIniKey(section, key, "", true); },
             {"[VRNH]", std::string("no value for the key ") + key}});
    }
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"NameOffset", "&HXYZ"},
                                                          {"DataOffset", "12abc"},
                                                          {"ImageOffset", "-5"},
                                                          {"PaletteOffset", "&H80000000"},
                                                          {"IconOffset", "2147483648"},
                                                          {"IconPalette", "1.5"},
                                                          {"AttackTable", "&H"}}) {
        cases.push_back(
            {"NotANumber" + key,
             [key, value](RomBuilder&, std::string& section) { section = WithIniKey(section, key, value); },
             {"[VRNH]", "key " + key, "\"" + value + "\"", "not a whole number"}});
    }
    cases.push_back(
        {"NameTableBeyondEnd",
         [](RomBuilder&, std::string& section) { section = WithIniKey(section, "NameOffset", "&HFF000"); },
         {"[VRNH]", "species name table", "beyond the end", "1048576 bytes"}});
    cases.push_back(
        {"RecordTableBeyondEnd",
         [](RomBuilder&, std::string& section) { section = WithIniKey(section, "DataOffset", "1045000"); },
         {"[VRNH]", "species record table", "beyond the end"}});
    cases.push_back(
        {"AttackPointersBeyondEnd",
         [](RomBuilder&, std::string& section) { section = WithIniKey(section, "AttackTable", "&HFFF00"); },
         {"[VRNH]", "level-up attack pointer table", "beyond the end"}});
    cases.push_back({"NamesWithoutEnd",
                     [](RomBuilder& builder, std::string&) {
                         for (int i = 0; i < 412; ++i) builder.SetName(i, "Abcdefghijk");
                     },
                     {"[VRNH]", "species name table", "another release"}});
    const std::pair<const char*, const char*> shifted[] = {{"AttackTable", "level-up attack pointer table"},
                                                           {"ImageOffset", "front sprite pointer table"},
                                                           {"PaletteOffset", "palette pointer table"},
                                                           {"IconOffset", "icon pointer table"}};
    for (const auto& [key, table] : shifted) {
        cases.push_back({std::string("Shifted") + key,
                         [key = std::string(key)](RomBuilder& builder, std::string& section) {
                             const RomLayout& l = builder.layout();
                             const int32_t moved = (key == "AttackTable"     ? l.AttackTable
                                                    : key == "ImageOffset"   ? l.ImageOffset
                                                    : key == "PaletteOffset" ? l.PaletteOffset
                                                                             : l.IconOffset) +
                                                   1;
                             section = WithIniKey(section, key, std::to_string(moved));
                         },
                         {"[VRNH]", table, "may be another release"}});
    }
    return cases;
}

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class RomOpenerRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RomOpenerRefusalTest, RefusesNamingFileAndProblem) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    RomBuilder builder(DemoLayout());
    std::string section = builder.IniSection();
    if (c.change) c.change(builder, section);
    const std::string rom = dir.File("game.gba");
    ASSERT_TRUE(builder.WriteTo(rom));
    ASSERT_TRUE(WriteTestIni(dir.File("Data.ini"), {section}));
    const std::string path = c.romPath ? c.romPath(dir, rom) : rom;
    ASSERT_FALSE(path.empty());
    const auto before = ReadFileBytes(rom);

    const OpenRomResult result = OpenRomFile(path, dir.File("Data.ini"));
    EXPECT_FALSE(result.session.has_value());
    EXPECT_NE(result.error.find("\"" + path + "\""), std::string::npos) << result.error;
    for (const std::string& fragment : c.expected) {
        EXPECT_NE(result.error.find(fragment), std::string::npos)
            << "missing \"" << fragment << "\" in: " << result.error;
    }
    EXPECT_EQ(ReadFileBytes(rom), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, RomOpenerRefusalTest, ::testing::ValuesIn(RefusalCases()),
                         [](const auto& info) { return info.param.name; });

TEST(RomOpenerTest, MissingDataFileIsNamed) {
    TempDir dir;
    const auto files = WriteRomFiles(dir, RomBuilder(DemoLayout()));
    const OpenRomResult result = OpenRomFile(files.rom, dir.File("no/Data.ini"));
    EXPECT_FALSE(result.session.has_value());
    EXPECT_NE(result.error.find(dir.File("no/Data.ini")), std::string::npos) << result.error;
}

// Entries that do not hold a pointer: 5% of the 411 checked may be odd, one more is too many.
TEST(RomOpenerTest, StructureCheckToleratesAFewOddEntries) {
    for (const auto& [odd, opens] : {std::pair{20, true}, std::pair{21, false}}) {
        TempDir dir;
        RomBuilder builder(DemoLayout());
        for (int i = 1; i <= odd; ++i) builder.Fill(builder.layout().IconOffset + 4 * i, {0, 0, 0, 0});
        const auto files = WriteRomFiles(dir, builder);
        const OpenRomResult result = OpenRomFile(files.rom, files.ini);
        EXPECT_EQ(result.session.has_value(), opens) << odd << " odd entries: " << result.error;
    }
}

TEST(RomOpenerTest, PointersMustTargetTheFileInsideTheCartridgeWindow) {
    struct Case {
        uint32_t value;
        bool fits;
    };
    for (const Case& c : {Case{0x08000000, true}, Case{0x080FFFFF, true}, Case{0x08100000, false},
                          Case{0x07FFFFFF, false}, Case{0x0A000000, false}, Case{0x00012345, false}}) {
        TempDir dir;
        RomBuilder builder(DemoLayout());
        for (int i = 1; i < 412; ++i) {
            builder.Fill(builder.layout().AttackTable + 4 * i,
                         {static_cast<uint8_t>(c.value), static_cast<uint8_t>(c.value >> 8),
                          static_cast<uint8_t>(c.value >> 16), static_cast<uint8_t>(c.value >> 24)});
        }
        const auto files = WriteRomFiles(dir, builder);
        EXPECT_EQ(OpenRomFile(files.rom, files.ini).session.has_value(), c.fits) << std::hex << c.value;
    }
}

RomLayout FireRedRelease1() {
    RomLayout layout = FireRedLayout();
    layout.version = 1;
    // The later release moves every table by the same few bytes.
    for (int32_t* offset :
         {&layout.NameOffset, &layout.DataOffset, &layout.ImageOffset, &layout.PaletteOffset,
          &layout.IconOffset, &layout.IconPalette, &layout.AttackTable, &layout.IconPaletteTable}) {
        *offset += 0x70;
    }
    layout.title = "Pokemon FireRed (U) 1.1";
    return layout;
}

TEST(RomOpenerTest, LaterReleaseUsesItsOwnSectionFirst) {
    TempDir dir;
    const RomBuilder release1(FireRedRelease1());
    const RomBuilder release0(FireRedLayout());
    ASSERT_TRUE(release1.WriteTo(dir.File("firered11.gba")));
    ASSERT_TRUE(WriteTestIni(dir.File("Data.ini"), {release0.IniSection(), release1.IniSection()}));
    const OpenRomResult result = OpenRomFile(dir.File("firered11.gba"), dir.File("Data.ini"));
    ASSERT_TRUE(result.session.has_value()) << result.error;
    ExpectSameSession(*result.session, release1.Session(dir.File("firered11.gba")));
    EXPECT_EQ(result.session->Section, "BPRE-1");
    EXPECT_EQ(WindowCaption(*result.session), "Vornhal - [BPRE] - Pokemon FireRed (U) 1.1");
}

TEST(RomOpenerTest, LaterReleaseWithoutItsSectionIsRefusedWhenItsTablesMoved) {
    TempDir dir;
    const RomBuilder release1(FireRedRelease1());
    ASSERT_TRUE(release1.WriteTo(dir.File("firered11.gba")));
    ASSERT_TRUE(WriteTestIni(dir.File("Data.ini"), {RomBuilder(FireRedLayout()).IniSection()}));
    const OpenRomResult result = OpenRomFile(dir.File("firered11.gba"), dir.File("Data.ini"));
    EXPECT_FALSE(result.session.has_value());
    EXPECT_NE(result.error.find("[BPRE]"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("another release"), std::string::npos) << result.error;
}

TEST(RomOpenerTest, LaterReleaseWithUnmovedTablesUsesTheBaseSection) {
    TempDir dir;
    RomLayout layout = DemoLayout();
    layout.version = 2;
    const RomBuilder builder(layout);
    ASSERT_TRUE(builder.WriteTo(dir.File("demo.gba")));
    ASSERT_TRUE(WriteTestIni(dir.File("Data.ini"), {RomBuilder(DemoLayout()).IniSection()}));
    const OpenRomResult result = OpenRomFile(dir.File("demo.gba"), dir.File("Data.ini"));
    ASSERT_TRUE(result.session.has_value()) << result.error;
    EXPECT_EQ(result.session->Section, "VRNH");
}

TEST(RomOpenerTest, FirstReleaseIgnoresLaterReleaseSections) {
    TempDir dir;
    const RomBuilder release0(FireRedLayout());
    const auto files =
        WriteRomFiles(dir, release0, "firered.gba", {RomBuilder(FireRedRelease1()).IniSection()});
    const OpenRomResult result = OpenRomFile(files.rom, files.ini);
    ASSERT_TRUE(result.session.has_value()) << result.error;
    EXPECT_EQ(result.session->Section, "BPRE");
    EXPECT_EQ(result.session->NameOffset, 0x245EE0);
}

TEST(RomOpenerTest, UnknownLaterReleaseNamesBothSections) {
    TempDir dir;
    RomLayout layout = DemoLayout();
    layout.gameCode = "QQQQ";
    layout.version = 3;
    ASSERT_TRUE(RomBuilder(layout).WriteTo(dir.File("q.gba")));
    ASSERT_TRUE(WriteTestIni(dir.File("Data.ini"), {RomBuilder(DemoLayout()).IniSection()}));
    const OpenRomResult result = OpenRomFile(dir.File("q.gba"), dir.File("Data.ini"));
    EXPECT_NE(result.error.find("[QQQQ-3] or [QQQQ]"), std::string::npos) << result.error;
}

TEST(RomOpenerTest, CodeAndSectionMatchWhateverTheirCase) {
    struct Case {
        std::string romCode, sectionHeader;
    };
    for (const Case& c : {Case{"vrnh", "[VRNH]"}, Case{"VRNH", "[vrnh]"}, Case{"vRnH", "[VrNh]"}}) {
        TempDir dir;
        RomLayout layout = DemoLayout();
        layout.gameCode = c.romCode;
        const RomBuilder builder(layout);
        ASSERT_TRUE(builder.WriteTo(dir.File("demo.gba")));
        std::string section = RomBuilder(DemoLayout()).IniSection();
        section.replace(0, 6, c.sectionHeader);
        ASSERT_TRUE(WriteTestIni(dir.File("Data.ini"), {section}));
        const OpenRomResult result = OpenRomFile(dir.File("demo.gba"), dir.File("Data.ini"));
        ASSERT_TRUE(result.session.has_value())
            << c.romCode << " " << c.sectionHeader << ": " << result.error;
        EXPECT_EQ(result.session->GameCode, c.romCode);
        EXPECT_EQ(result.session->NameOffset, 0x10000);
        EXPECT_EQ(WindowCaption(*result.session), "Vornhal - [VRNH] - Demo (generated)");
    }
}

TEST(RomOpenerTest, OptionalKeys) {
    struct Case {
        const char* key;
        const char* value;  // nullptr: the key is removed
        std::string title;
        std::optional<int32_t> iconPalettes;
    };
    for (const Case& c :
         {Case{"Title", nullptr, "", 0x1B100}, Case{"Title", " Spaced  Title ", " Spaced  Title ", 0x1B100},
          Case{"IconPaletteTable", nullptr, "Demo (generated)", std::nullopt},
          Case{"IconPaletteTable", "none", "Demo (generated)", std::nullopt},
          Case{"IconPaletteTable", "512", "Demo (generated)", 512}}) {
        TempDir dir;
        const RomBuilder builder(DemoLayout());
        ASSERT_TRUE(builder.WriteTo(dir.File("demo.gba")));
        const std::string section =
            WithIniKey(builder.IniSection(), c.key, c.value ? c.value : "", c.value == nullptr);
        ASSERT_TRUE(WriteTestIni(dir.File("Data.ini"), {section}));
        const OpenRomResult result = OpenRomFile(dir.File("demo.gba"), dir.File("Data.ini"));
        ASSERT_TRUE(result.session.has_value()) << result.error;
        EXPECT_EQ(result.session->Title, c.title);
        EXPECT_EQ(result.session->IconPaletteTable, c.iconPalettes);
        EXPECT_EQ(WindowCaption(*result.session), "Vornhal - [VRNH] - " + c.title);
    }
}

TEST(RomOpenerTest, ParseIniOffset) {
    const std::pair<std::string, std::optional<int32_t>> cases[] = {
        {"0", 0},
        {"123", 123},
        {"0010", 10},
        {" 42 ", 42},
        {"\t7\t", 7},
        {"&H245EE0", 0x245EE0},
        {"&h10", 16},
        {"  &HabC ", 0xABC},
        {"2147483647", 2147483647},
        {"&H7FFFFFFF", 2147483647},
        {"2147483648", std::nullopt},
        {"&H80000000", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"-1", std::nullopt},
        {"+5", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"&H", std::nullopt},
        {"&H 10", std::nullopt},
        {"12a", std::nullopt},
        {"&HG1", std::nullopt},
        {"1 2", std::nullopt},
        {"1.0", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseIniOffset(text), expected) << "\"" << text << "\"";
}

TEST(RomOpenerTest, WindowCaptionUpperCasesOnlyTheCode) {
    EditorSession session;
    session.GameCode = "bpre";
    session.Title = "Pokemon  fireRed (u)";
    EXPECT_EQ(WindowCaption(session), "Vornhal - [BPRE] - Pokemon  fireRed (u)");
    session.Title.clear();
    EXPECT_EQ(WindowCaption(session), "Vornhal - [BPRE] - ");
}

}  // namespace
