#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>

#include "CliFixture.h"
#include "CsvText.h"
#include "JsonTable.h"
#include "ReadINI.h"
#include "write/RomJournal.h"

namespace {

using Json = nlohmann::ordered_json;
using testsupport::CliRom;
using testsupport::CliRun;
using testsupport::Differences;
using testsupport::ShippedList;

int64_t NumberOf(const std::string& list, const std::string& name) {
    const std::vector<std::string> names = ShippedList(list);
    return std::find(names.begin(), names.end(), name) - names.begin();
}

int64_t Hex(const Json& text) {
    return std::stoll(text.get<std::string>(), nullptr, 16);
}

// --- Export then import changes nothing --------------------------------------------------------------------

struct RoundTrip {
    const char* name;
    RomLayout (*layout)();
    const char* format;
};

class RoundTripTest : public testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, ReportsNoChangesAndWritesNothing) {
    const CliRom rom(GetParam().layout());
    const std::vector<uint8_t> before = rom.Bytes();
    const std::string text = rom.Export(GetParam().format);
    ASSERT_GT(text.size(), 100000u);
    const CliRun run = rom.Import(text);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "No changes.\n");
    EXPECT_EQ(Differences(before, rom.Bytes()), "");
    EXPECT_FALSE(std::filesystem::exists(rom.rom() + ".backups"));
    EXPECT_EQ(RomJournal::Inspect(rom.rom()).state, RomJournal::State::None);
}

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTripTest,
                         testing::Values(RoundTrip{"DemoJson", DemoLayout, "json"},
                                         RoundTrip{"DemoCsv", DemoLayout, "csv"},
                                         RoundTrip{"FireRedJson", FireRedLayout, "json"},
                                         RoundTrip{"EmeraldCsv", EmeraldLayout, "csv"},
                                         RoundTrip{"RubyJson", RubyLayout, "json"},
                                         RoundTrip{"ExpandedCsv", ExpandedLayout, "csv"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CliExportTest, WritesTheSameJsonAsTheTableItReadsBackAs) {
    const CliRom rom(DemoLayout());
    const std::string exported = rom.Export("json");
    EXPECT_EQ(exported, FormatJsonTable(rom.Table()));
    EXPECT_EQ(FormatJsonTable(ParseJsonTable(exported).table), exported);
}

// --- An edited export applies exactly its edits -----------------------------------------------------------

TEST(CliImportTest, AppliesExactlyTheEditsOfAnEditedJsonExport) {
    const CliRom rom(DemoLayout());
    const RomLayout& l = rom.builder().layout();
    Json table = Json::parse(rom.Export("json"));
    std::vector<uint8_t> expected = rom.Bytes();
    Json& s = table["species"][6];
    const int64_t r = l.DataOffset + 28 * 6;

    s["hp"] = 80, expected[r] = 80;
    s["type2"] = "FIRE", expected[r + 7] = static_cast<uint8_t>(NumberOf("Types.txt", "FIRE"));
    s["item1"] = 300, expected[r + 12] = 44, expected[r + 13] = 1;
    // The yields' word keeps bits 12 to 15 as the window's save does: cleared.
    s["ev_sp_defense"] = 3, expected[r + 11] = static_cast<uint8_t>((expected[r + 11] & 0x03) | 0x0C);
    std::string name = s["name"].get<std::string>();
    ASSERT_GE(name.size(), 5u);
    s["name"] = "Zed" + name.substr(3, name.size() - 4) + "\u2642";
    const int64_t n = l.NameOffset + 11 * 6;
    expected[n] = 0xD4, expected[n + 1] = 0xD9, expected[n + 2] = 0xD8, expected[n + name.size() - 1] = 0xB5;
    s["icon_palette"] = 2, expected[l.IconPalette + 6] = 2;
    s["sprite"] = "0abcde", expected[l.ImageOffset + 48] = 0xDE, expected[l.ImageOffset + 49] = 0xBC;
    expected[l.ImageOffset + 50] = 0x0A;
    // Row 2 gets level 30; the last row goes, and the end mark moves up.
    const int64_t at = Hex(s["attack_table"]);
    Json& rows = s["attacks"];
    rows[1][0] = 30, expected[at + 3] = static_cast<uint8_t>((expected[at + 3] & 1) | 60);
    rows.erase(rows.size() - 1);
    expected[at + 2 * rows.size()] = 0xFF, expected[at + 2 * rows.size() + 1] = 0xFF;
    // Species 7 takes species 6's table; its rows come along, nothing else of it is written.
    Json& other = table["species"][7];
    other["attack_table"] = s["attack_table"];
    other.erase("attacks");
    expected[l.AttackTable + 28] = static_cast<uint8_t>(at),
                             expected[l.AttackTable + 29] = static_cast<uint8_t>(at >> 8);
    expected[l.AttackTable + 30] = static_cast<uint8_t>(at >> 16);

    // One evolution, the other four entries emptied; their padding stays.
    s["evolutions"] = Json::parse(R"([["Level", 30, 7]])");
    for (int k = 0; k < 5; ++k) {
        const int64_t e = l.EvolutionTable + 40 * 6 + 8 * k;
        std::fill_n(expected.begin() + e, 6, 0);
        if (k == 0) expected[e] = 4, expected[e + 2] = 30, expected[e + 4] = 7;
    }
    // TM01 and HM08 alone, the tutors none; the bits beyond each list keep their value.
    s["tmhm"] = Json::parse(R"(["TM01", "hm08"])");
    const int64_t tm = l.TMHMTable + 8 * 6;
    expected[tm] = 1;
    std::fill_n(expected.begin() + tm + 1, 6, 0);
    expected[tm + 7] = static_cast<uint8_t>((expected[tm + 7] & 0xFC) | 0x02);
    s["tutors"] = Json::array();
    const int64_t tutor = l.TutorTable + 4 * 6;
    std::fill_n(expected.begin() + tutor, 3, 0);
    expected[tutor + 3] &= 0xC0;

    const CliRun run = rom.Import(table.dump(2));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Differences(expected, rom.Bytes()), "");
    EXPECT_NE(run.out.find("  hp "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  type2 "), std::string::npos) << run.out;
    EXPECT_EQ(rom.Import(table.dump(2)).out, "No changes.\n");
}

// Egg moves of two species grow the shared table, which moves once with both; a longer description moves.
TEST(CliImportTest, AppliesEggMovesOfSeveralSpeciesAndPokedexEdits) {
    const CliRom rom(DemoLayout());
    const RomLayout& l = rom.builder().layout();
    const std::vector<uint8_t> before = rom.Bytes();
    Json table = Json::parse(rom.Export("json"));
    table["species"][6]["egg_moves"] = Json::parse("[1, 2, 3, 4, 5, 6, 7, 8, 9, 10]");
    table["species"][7]["egg_moves"] = Json::parse("[11, 12]");
    Json& s = table["species"][6];
    s["category"] = "BULB", s["height"] = 7, s["weight"] = 1000;
    s["description"] = "A strange bulb, (×2) \"long\" / é…\nIt's {5E} older than " + std::string(80, 'A');

    const CliRun run = rom.Import(table.dump(1));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("(egg move table)  egg move table"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  description moved into free space at 0x"), std::string::npos) << run.out;
    EXPECT_EQ(rom.Import(table.dump(1)).out, "No changes.\n");
    const std::vector<uint8_t> after = rom.Bytes();
    EXPECT_EQ(after[l.EggMoves], 0xFF);
    EXPECT_NE(before[l.EggMoves], 0xFF);
}

TEST(CliImportTest, AppliesACsvEditWithNamesAndListNotation) {
    const CliRom rom(DemoLayout());
    const RomLayout& l = rom.builder().layout();
    CsvText::Parsed csv = CsvText::Parse(rom.Export("csv"));
    ASSERT_EQ(csv.error, "");
    const std::vector<std::string>& keys = csv.records[0];
    const auto column = [&keys](const char* key) {
        return std::find(keys.begin(), keys.end(), key) - keys.begin();
    };
    std::vector<std::string>& row = csv.records[10];  // species 9
    row[column("hp")] = "7";
    row[column("attacks")] = "1:POUND; 5 : growl";
    std::vector<uint8_t> expected = rom.Bytes();
    expected[l.DataOffset + 28 * 9] = 7;
    const int64_t at = std::stoll(row[column("attack_table")], nullptr, 16);
    const int64_t pound = NumberOf("Attacks.txt", "POUND"), growl = NumberOf("Attacks.txt", "GROWL");
    const uint8_t rows[] = {static_cast<uint8_t>(pound),
                            static_cast<uint8_t>(2 + (pound >> 8)),
                            static_cast<uint8_t>(growl),
                            static_cast<uint8_t>(10 + (growl >> 8)),
                            0xFF,
                            0xFF};
    std::copy(std::begin(rows), std::end(rows), expected.begin() + at);

    std::string text;
    for (const std::vector<std::string>& record : {csv.records[0], row}) text += CsvText::Record(record);
    const CliRun run = rom.Import(text);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Differences(expected, rom.Bytes()), "");
}

TEST(CliImportTest, PointsAboveSixteenMebibytesWithSevenDigits) {
    const CliRom rom(ExpandedLayout());
    const RomLayout& l = rom.builder().layout();
    Json table = Json::parse(rom.Export("json"));
    EXPECT_EQ(table["species"][1]["attack_table"].get<std::string>().size(), 7u);
    table["species"][6]["icon"] = "1000004";
    std::vector<uint8_t> expected = rom.Bytes();
    const uint8_t pointer[] = {0x04, 0x00, 0x00, 0x09};
    std::copy(std::begin(pointer), std::end(pointer), expected.begin() + l.IconOffset + 4 * 6);
    ASSERT_EQ(rom.Import(table.dump()).code, 0);
    EXPECT_EQ(Differences(expected, rom.Bytes()), "");
}

TEST(CliImportTest, TakesAndWritesTheRomsOwnNamesWhereItHasThem) {
    RomBuilder builder(DemoLayout());
    builder.SetListName(RomNames::kMoves, 33, "ZAPPER");
    const CliRom rom(std::move(builder), false, true);
    Json table = Json::parse(rom.Export("json"));
    table["species"][6]["attacks"][0][1] = "Zapper";
    ASSERT_EQ(rom.Import(table.dump()).code, 0);
    const int64_t at = Hex(table["species"][6]["attack_table"]);
    EXPECT_EQ(rom.Bytes()[at], 33);
    EXPECT_EQ(rom.Bytes()[at + 1] & 1, 0);
    EXPECT_NE(rom.Export("csv").find(":ZAPPER"), std::string::npos);
    EXPECT_NE(rom.Run({"info", rom.rom()}).out.find("moves, abilities, types and items from the ROM"),
              std::string::npos);
}

TEST(CliImportTest, AGrownTableMovesIntoFreeSpaceAndFreesItsOldPlace) {
    const CliRom rom(DemoLayout());
    const RomLayout& l = rom.builder().layout();
    Json table = Json::parse(rom.Export("json"));
    Json& rows = table["species"][2]["attacks"];
    const int64_t old = Hex(table["species"][2]["attack_table"]);
    const size_t had = rows.size();
    rows.push_back(Json::parse("[50, 1]"));
    const CliRun run = rom.Import(table.dump());
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("(moved into free space)"), std::string::npos) << run.out;

    const int64_t now = Hex(Json::parse(rom.Export("json"))["species"][2]["attack_table"]);
    std::vector<uint8_t> expected = rom.builder().bytes();
    std::fill_n(expected.begin() + old, 2 * had, 0xFF);
    for (size_t k = 0; k < had; ++k) {
        expected[now + 2 * k] = rom.builder().bytes()[old + 2 * k];
        expected[now + 2 * k + 1] = rom.builder().bytes()[old + 2 * k + 1];
    }
    const uint8_t added[] = {1, 100, 0xFF, 0xFF};  // attack 1 at level 50, the end mark
    std::copy(std::begin(added), std::end(added), expected.begin() + now + 2 * static_cast<int64_t>(had));
    for (int k = 0; k < 3; ++k) expected[l.AttackTable + 8 + k] = static_cast<uint8_t>(now >> (8 * k));
    EXPECT_EQ(Differences(expected, rom.Bytes()), "");
}

TEST(CliImportTest, DryRunPrintsTheChangesAndWritesNothing) {
    const CliRom rom(DemoLayout());
    Json table = Json::parse(rom.Export("json"));
    const std::string old = std::to_string(table["species"][3]["speed"].get<int>());
    table["species"][3]["speed"] = 201;
    const std::vector<uint8_t> before = rom.Bytes();
    const CliRun run = rom.Import(table.dump(), {"--dry-run"});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("  speed " + old + " -> 201\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Dry run: 1 bytes would be written"), std::string::npos) << run.out;
    EXPECT_EQ(Differences(before, rom.Bytes()), "");
}

TEST(CliImportTest, BacksTheRomUpBeforeWritingWhenDataIniSaysSo) {
    const CliRom rom(DemoLayout(), true);
    const std::vector<uint8_t> before = rom.Bytes();
    Json table = Json::parse(rom.Export("json"));
    table["species"][1]["hp"] = 1;
    ASSERT_EQ(rom.Import(table.dump()).code, 0);
    const std::vector<std::filesystem::path> copies(
        std::filesystem::directory_iterator(rom.rom() + ".backups"), {});
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(Differences(before, testsupport::ReadFileBytes(copies[0].string())), "");
    EXPECT_EQ(RomJournal::Inspect(rom.rom()).state, RomJournal::State::None);
}

// --- Refusals: the whole file, nothing written -------------------------------------------------------------

struct Refusal {
    const char* name;
    // The file to import, made from the demo ROM's JSON export.
    std::function<std::string(Json&)> file;
    const char* message;  // part of the reason; empty: any reason
};

std::string Edit(Json& table, int index, const char* key, Json value) {
    table["species"][index][key] = std::move(value);
    return table.dump(1);
}

std::string Garbage(size_t size, bool printable) {
    std::mt19937 random(17);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(printable ? 32 + random() % 95 : random() % 256);
    return bytes;
}

const Refusal kRefusals[] = {
    {"NotANumber", [](Json& t) { return Edit(t, 6, "hp", "12a"); },
     "field \"hp\": \"12a\" is not a whole number"},
    {"AboveTheLimit", [](Json& t) { return Edit(t, 6, "safari_run", 176); }, "\"176\" is above 175"},
    {"Negative", [](Json& t) { return Edit(t, 6, "attack", -1); },
     "\"-1\" is not a whole number from 0 to 255"},
    {"Fraction", [](Json& t) { return Edit(t, 6, "ev_hp", 1.5); }, "\"1.5\" is not a whole number"},
    {"UnknownName", [](Json& t) { return Edit(t, 6, "type1", "LASER"); }, "\"LASER\": no type has this name"},
    {"SharedName", [](Json& t) { return Edit(t, 6, "item1", "????????"); }, "68 entries of the item list"},
    {"BeyondTheList", [](Json& t) { return Edit(t, 6, "ability1", 200); }, "not in the ability list"},
    {"NameTooLong", [](Json& t) { return Edit(t, 6, "name", "ABCDEFGHIJK"); }, "longer than 10 characters"},
    {"NameCharacter", [](Json& t) { return Edit(t, 6, "name", "A#B"); },
     "the game's characters do not include"},
    {"PointerBeyondTheFile", [](Json& t) { return Edit(t, 6, "sprite", "FFFFFF"); },
     "beyond the end of the file"},
    {"PointerAsNumber", [](Json& t) { return Edit(t, 6, "icon", 123456); }, "hexadecimal digits"},
    {"UnknownField", [](Json& t) { return Edit(t, 6, "speed2", 1); }, "there is no field \"speed2\""},
    {"IndexBeyond", [](Json& t) { return Edit(t, 6, "index", 412); }, "\"412\" is not a species index"},
    {"NoIndex",
     [](Json& t) {
         t["species"][6].erase("index");
         return t.dump();
     },
     "has no \"index\""},
    {"DuplicatedSpecies",
     [](Json& t) {
         t["species"].push_back(t["species"][6]);
         return t.dump();
     },
     "Species 6 appears twice"},
    {"RowOfOnePart", [](Json& t) { return Edit(t, 6, "attacks", Json::parse("[[5]]")); }, "has 2 parts"},
    {"LevelAboveTheLimit", [](Json& t) { return Edit(t, 6, "attacks", Json::parse("[[100, 1]]")); },
     "\"100\" is above 99"},
    {"TableBeyondWhatALoadReads",
     [](Json& t) {
         t["species"][2]["attacks"] = Json::array();
         for (int k = 0; k < 4097; ++k) t["species"][2]["attacks"].push_back(Json::parse("[50, 1]"));
         return t.dump();
     },
     "reads at most 4096"},
    {"SharedTableChangedTwoWays",
     [](Json& t) {
         t["species"][6]["attacks"][0][0] = 9;
         t["species"][7]["attack_table"] = t["species"][6]["attack_table"];
         t["species"][7]["attacks"] = Json::parse("[[1, 1]]");
         return t.dump();
     },
     "both change the byte"},
    {"EvolutionTargetBeyond",
     [](Json& t) { return Edit(t, 6, "evolutions", Json::parse(R"([["Level", 5, 412]])")); },
     "not in the species list"},
    {"SixEvolutions",
     [](Json& t) {
         return Edit(t, 6, "evolutions",
                     Json::parse(R"([[4, 5, 1], [4, 5, 1], [4, 5, 1], [4, 5, 1], [4, 5, 1], [4, 5, 1]])"));
     },
     "6 rows, and this list holds at most 5"},
    {"UnknownTm", [](Json& t) { return Edit(t, 6, "tmhm", Json::parse(R"(["TM51"])")); },
     "no TM/HM has this name"},
    {"ElevenEggMoves",
     [](Json& t) { return Edit(t, 6, "egg_moves", Json::parse("[1,2,3,4,5,6,7,8,9,10,11]")); },
     "11 rows, and this list holds at most 10"},
    {"EggMovesForSpecies0", [](Json& t) { return Edit(t, 0, "egg_moves", Json::parse("[1]")); },
     "Species 0 can have no egg moves"},
    {"NationalNumberChanged", [](Json& t) { return Edit(t, 6, "national", 7); }, "shown for reference"},
    {"EntryForAPlaceholder",
     [](Json& t) {
         t["species"].push_back(Json::parse(R"({"index": 260, "category": "GHOST"})"));
         return t.dump();
     },
     "has no Pokédex entry"},
    {"CategoryTooLong", [](Json& t) { return Edit(t, 6, "category", "ABCDEFGHIJKL"); },
     "longer than 11 characters"},
    {"EndCodeInADescription", [](Json& t) { return Edit(t, 6, "description", "A{FF}B"); },
     "{FF} ends a text"},
    {"MalformedJson",
     [](Json& t) {
         const std::string text = t.dump();
         return text.substr(0, text.size() / 2);
     },
     "not valid JSON"},
    {"JsonWithoutSpecies", [](Json&) { return std::string("{\"game\": \"VRNH\"}"); }, "the list \"species\""},
    {"TrueAsAValue", [](Json& t) { return Edit(t, 6, "hp", true); }, "is not a value a field takes"},
    {"MalformedCsv", [](Json&) { return std::string("index,hp\r\n6,\"80\r\n"); },
     "a quoted cell is never closed"},
    {"CsvRowTooShort", [](Json&) { return std::string("index,hp,speed\r\n6,80\r\n"); }, "line 2 has 2 cells"},
    {"CsvWithoutIndex", [](Json&) { return std::string("hp\r\n80\r\n"); }, "\"index\" among them"},
    {"NotUtf8", [](Json&) { return std::string("index,name\r\n6,Caf\xE9\r\n"); }, "not UTF-8 text"},
    {"TenMegabytesOfBytes", [](Json&) { return Garbage(10 << 20, false); }, "not UTF-8 text"},
    {"TenMegabytesOfText", [](Json&) { return Garbage(10 << 20, true); }, ""},
};

class RefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(RefusalTest, RefusesTheWholeFileAndWritesNothing) {
    static const CliRom rom(DemoLayout());
    // The first ten species are enough for every case, and keep the file small (species left out stay).
    static const std::string exported = [] {
        TableText table = rom.Table();
        table.species.resize(10);
        return FormatJsonTable(table);
    }();
    const std::vector<uint8_t> before = rom.Bytes();
    Json table = Json::parse(exported);
    // A valid edit before the bad value: it must not reach the file either.
    table["species"][1]["hp"] = 3;
    const CliRun run = rom.Import(GetParam().file(table));
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Nothing was written."), std::string::npos) << run.err;
    EXPECT_LT(run.err.size(), 1000u);
    EXPECT_EQ(Differences(before, rom.Bytes()), "");
}

INSTANTIATE_TEST_SUITE_P(Files, RefusalTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Usage, help and info
// ------------------------------------------------------------------------------------

struct Usage {
    const char* name;
    std::vector<std::string> args;  // "ROM" stands for the demo ROM
    int code;
    const char* output;  // expected in standard output (code 0) or standard error
};

class UsageTest : public testing::TestWithParam<Usage> {};

TEST_P(UsageTest, ExitsWithTheCodeAndSaysWhy) {
    static const CliRom rom(DemoLayout());
    std::vector<std::string> args = GetParam().args;
    std::replace(args.begin(), args.end(), std::string("ROM"), rom.rom());
    const CliRun run = rom.Run(args);
    EXPECT_EQ(run.code, GetParam().code) << run.out << run.err;
    EXPECT_NE((GetParam().code == 0 ? run.out : run.err).find(GetParam().output), std::string::npos)
        << run.out << run.err;
}

const Usage kUsages[] = {
    {"Nothing", {}, 2, "Usage:"},
    {"Help", {"--help"}, 0, "Exit codes: 0 done, 1 refused"},
    {"UnknownCommand", {"frobnicate"}, 2, "there is no command \"frobnicate\""},
    {"InfoHelp", {"info", "--help"}, 0, "Usage: vornhal-cli info ROM"},
    {"ExportHelp", {"export", "-h"}, 0, "--format json|csv"},
    {"ImportHelp", {"import", "--help"}, 0, "--dry-run"},
    {"ExportWithoutRom", {"export"}, 2, "it takes ROM"},
    {"ImportWithoutFile", {"import", "ROM"}, 2, "it takes ROM and FILE"},
    {"UnknownFormat", {"export", "ROM", "--format", "xml"}, 2, "--format takes json or csv"},
    {"UnknownOption", {"export", "ROM", "--bogus"}, 2, "unknown option --bogus"},
    {"OutputWithoutFile", {"export", "ROM", "-o"}, 2, "--output needs a value"},
    {"DryRunOnExport", {"export", "ROM", "--dry-run"}, 2, "unknown option --dry-run"},
    {"Info", {"info", "ROM"}, 0, "Game code     VRNH\nRelease       0\nSection       [VRNH]"},
    {"InfoNamesSource", {"info", "ROM"}, 0, "Names         from the list files (Names from the ROM is off"},
    {"InfoOfNoRom", {"info", "/nonexistent.gba"}, 1, "cannot be opened"},
    {"ExportOfNoRom", {"export", "/nonexistent.gba"}, 1, "cannot be opened"},
    {"ExportToNowhere", {"export", "ROM", "-o", "/nonexistent/x.json"}, 1, "could not be written"},
    {"ImportOfNoFile", {"import", "ROM", "/nonexistent.json"}, 1, "cannot be read"},
};

INSTANTIATE_TEST_SUITE_P(CommandLines, UsageTest, testing::ValuesIn(kUsages),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The real executable
// -------------------------------------------------------------------------------------

TEST(CliExecutableTest, FindsDataBesideItselfAndRoundTrips) {
    testsupport::TempDir dir;
    const std::string rom = dir.File("demo.gba"), table = dir.File("demo.csv"), out = dir.File("out.txt");
    ASSERT_TRUE(RomBuilder(DemoLayout()).WriteTo(rom));
    // A home of its own, so the user's settings are not read.
    const std::string cli = "env HOME='" + dir.path().string() + "' XDG_CONFIG_HOME= '" + VORNHAL_CLI + "' ";
    const auto run = [&](const std::string& args) {
        const int status = std::system((cli + args + " >'" + out + "' 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("info '" + rom + "'"), 0) << ReadINI::ReadTextFile(out);
    EXPECT_EQ(run("export '" + rom + "' -o '" + table + "'"), 0) << ReadINI::ReadTextFile(out);
    EXPECT_EQ(run("import '" + rom + "' '" + table + "'"), 0);
    EXPECT_EQ(ReadINI::ReadTextFile(out), "No changes.\n");
    EXPECT_EQ(run("import"), 2);
}

}  // namespace
