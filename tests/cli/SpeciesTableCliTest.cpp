// The command-line program: its commands driven in-process on builder ROMs, and once as the real executable.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "CliCommands.h"
#include "CsvText.h"
#include "JsonTable.h"
#include "ReadINI.h"
#include "RomBuilder.h"
#include "TestFiles.h"
#include "text/ChoiceNames.h"
#include "text/SpeciesFields.h"
#include "text/SpeciesTableExport.h"
#include "write/RomJournal.h"

namespace {

using Json = nlohmann::ordered_json;
using testsupport::Differences;
using Bytes = std::vector<uint8_t>;

struct CliRun {
    int code = -1;
    std::string out, err;
};

// A ROM from the builder in a folder of its own, with a data folder beside it as the program finds one:
// Data.ini with the builder's section (backups off unless asked) and the shipped list files, which serve
// unless namesFromRom, as the window's setting would say.
class CliRom {
public:
    explicit CliRom(RomBuilder builder, bool backups = false, bool namesFromRom = false)
        : builder_(std::move(builder)), files_(testsupport::WriteRomFiles(dir_, builder_)) {
        for (const char* list : {"Types.txt", "Items.txt", "Abilities.txt", "EggTypes.txt", "Attacks.txt"})
            std::filesystem::copy_file(std::string(VORNHAL_DATA_DIR) + "/" + list, dir_.File(list));
        if (!backups) (void)ReadINI::WriteIniValue(files_.ini, "Main", "BackupBeforeSave", "0");
        if (!namesFromRom) (void)ReadINI::WriteIniValue(files_.ini, "Main", "NamesFromRom", "0");
        environment_ = {dir_.path().string(), dir_.File("user-settings.ini")};
    }
    explicit CliRom(const RomLayout& layout) : CliRom(RomBuilder(layout)) {}

    CliRun Run(const std::vector<std::string>& args) const {
        std::ostringstream out, err;
        const int code = RunCli(args, out, err, environment_);
        return {code, out.str(), err.str()};
    }
    // Export to a file of the folder, then the text of that file: JSON as the default for a file not ending
    // in .csv, CSV by --format.
    std::string Export(const std::string& format) const {
        std::vector<std::string> args = {"export", rom(), "-o", dir_.File("table." + format)};
        if (format == "csv") args.insert(args.end(), {"--format", "csv"});
        (void)Run(args);
        return ReadINI::ReadTextFile(dir_.File("table." + format));
    }
    Json ExportJson() const { return Json::parse(Export("json")); }
    // The export as the library gives it, before any format.
    TableText Table() const {
        const bool namesFromRom = ReadINI::ReadIniValue(files_.ini, "Main", "NamesFromRom") != "0";
        return ExportSpeciesTable(files_.session,
                                  LoadChoiceNames(files_.session, environment_.dataFolder, namesFromRom));
    }
    // Writes the text to a file of the folder and imports it.
    CliRun Import(const std::string& text, const std::vector<std::string>& more = {}) const {
        (void)testsupport::WriteFileBytes(dir_.File("edited.txt"), {text.begin(), text.end()});
        std::vector<std::string> args = {"import", rom(), dir_.File("edited.txt")};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }
    const std::string& rom() const { return files_.rom; }
    const EditorSession& session() const { return files_.session; }
    const RomLayout& layout() const { return builder_.layout(); }
    std::vector<uint8_t> Bytes() const { return testsupport::ReadFileBytes(files_.rom); }

private:
    testsupport::TempDir dir_;
    RomBuilder builder_;
    testsupport::RomFiles files_;
    CliEnvironment environment_;
};

int64_t Hex(const Json& text) {
    return std::stoll(text.get<std::string>(), nullptr, 16);
}

// --- Export then import changes nothing; the JSON is the library's table and reads back as itself -------

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
    if (GetParam().format == std::string("json")) {
        EXPECT_EQ(text, FormatJsonTable(rom.Table()));
        EXPECT_EQ(FormatJsonTable(ParseJsonTable(text).table), text);
    }
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

// --- An import gives each field the value of the file, and changes nothing else ---------------------------

// Every field of the registry goes to a species of its own (1, 2, ...), which takes the value of the first
// species from 100 on that holds another one; those are not edited, so no two edits meet in a table. A dry
// run first: it names the changes and counts the bytes that the import then writes, and writes none. The
// import backs the ROM up once, as Data.ini says.
TEST(CliImportTest, EveryFieldTakesTheValueOfTheFileAndADryRunCountsItsBytes) {
    const CliRom rom(RomBuilder(DemoLayout()), true);
    const Json before = rom.ExportJson();
    Json table = before, expected = before;
    std::vector<std::string> keys;
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        if (group.available && !group.available(rom.session())) continue;
        for (const SpeciesField& field : group.fields) {
            if (field.readOnly) continue;
            const std::string& key = field.key;
            keys.push_back(key);
            const size_t edited = keys.size();
            Json& species = table["species"][edited];
            Json& wanted = expected["species"][edited];
            size_t donor = 100;
            while (before["species"].at(donor).at(key) == species.at(key)) ++donor;
            species[key] = wanted[key] = before["species"][donor][key];
            // Another species' table comes with its rows.
            if (key == "attack_table") {
                species.erase("attacks");
                wanted["attacks"] = before["species"][donor]["attacks"];
            }
            // A name of its own, as evolutions name their target by it.
            if (key == "name") {
                species[key] = wanted[key] = "Renamed";
                for (Json& other : expected["species"]) {
                    for (Json& row : other["evolutions"])
                        if (row[2] == before["species"][edited]["name"]) row[2] = "Renamed";
                }
            }
        }
    }
    // Keys beside "species" are no concern of the import, whatever they hold and wherever they stand.
    Json file = Json::parse(R"({"exported by": {"program": ["Vornhal"]}})");
    file.update(table);
    const std::vector<uint8_t> bytes = rom.Bytes();
    const CliRun dry = rom.Import(file.dump(), {"--dry-run"});
    EXPECT_TRUE(dry.out.ends_with(" bytes would be written. Nothing was written.\n")) << dry.out;
    EXPECT_EQ(Differences(bytes, rom.Bytes()), "");
    EXPECT_FALSE(std::filesystem::exists(rom.rom() + ".backups"));
    const CliRun run = rom.Import(file.dump());
    ASSERT_EQ(run.code, 0) << run.err;
    const size_t dryCount = dry.out.find("Dry run: "), count = run.out.find("Wrote ");
    EXPECT_EQ(dry.out.substr(0, dryCount), run.out.substr(0, count));
    EXPECT_EQ(std::stoi(dry.out.substr(dryCount + 9)), std::stoi(run.out.substr(count + 6))) << dry.out;
    for (const std::string& key : keys) EXPECT_NE(run.out.find("  " + key), std::string::npos) << key;
    const Json after = rom.ExportJson();
    // Rows that no longer fit move their table (AGrownTableMovesIntoFreeSpaceAndFreesItsOldPlace).
    const size_t grown = std::find(keys.begin(), keys.end(), "attacks") - keys.begin() + 1;
    expected["species"][grown]["attack_table"] = after["species"][grown]["attack_table"];
    EXPECT_EQ(Json::diff(expected, after), Json::array());
    const std::vector<std::filesystem::path> copies(
        std::filesystem::directory_iterator(rom.rom() + ".backups"), {});
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(Differences(bytes, testsupport::ReadFileBytes(copies[0].string())), "");
    EXPECT_EQ(RomJournal::Inspect(rom.rom()).state, RomJournal::State::None);
}

// Egg moves of two species grow the shared table, which moves once with both; a longer description moves.
TEST(CliImportTest, AppliesEggMovesOfSeveralSpeciesAndPokedexEdits) {
    const CliRom rom(DemoLayout());
    const std::vector<uint8_t> before = rom.Bytes();
    Json table = rom.ExportJson();
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
    EXPECT_EQ(rom.Bytes()[rom.layout().EggMoves], 0xFF);
    EXPECT_NE(before[rom.layout().EggMoves], 0xFF);
}

// What a CSV cell may say and what the export then shows: names in any case, lists in the list notation,
// numbers for choices, hexadecimal digits in either case, the symbols of the names.
TEST(CliImportTest, ReadsTheNotationsOfACsvFile) {
    const struct {
        const char *key, *cell, *exported;
    } typed[] = {
        {"hp", "7", "7"},
        {"type2", "fire", R"("FIRE")"},
        {"item1", "300", R"("TM12")"},
        {"name", "Zed\u2642", "\"Zed\u2642\""},
        {"sprite", "0abcde", R"("0ABCDE")"},
        {"attacks", "1:POUND; 5 : growl", R"([[1, "POUND"], [5, "GROWL"]])"},
        {"evolutions", "level:30:7", R"([["Level", 30, "Kothochais"]])"},
        {"tmhm", "TM01;hm08", R"(["TM01", "HM08"])"},
        {"tutors", "", "[]"},
    };
    const CliRom rom(DemoLayout());
    CsvText::Parsed csv = CsvText::Parse(rom.Export("csv"));
    ASSERT_EQ(csv.error, "");
    Json expected = rom.ExportJson();
    const std::vector<std::string>& keys = csv.records[0];
    std::vector<std::string>& row = csv.records[10];  // species 9
    for (const auto& [key, cell, exported] : typed) {
        row[std::find(keys.begin(), keys.end(), key) - keys.begin()] = cell;
        expected["species"][9][key] = Json::parse(exported);
    }
    const CliRun run = rom.Import(CsvText::Record(keys) + CsvText::Record(row));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Json::diff(expected, rom.ExportJson()), Json::array());
}

TEST(CliImportTest, PointsAboveSixteenMebibytesWithSevenDigits) {
    const CliRom rom(ExpandedLayout());
    Json table = rom.ExportJson();
    EXPECT_EQ(table["species"][1]["attack_table"].get<std::string>().size(), 7u);
    table["species"][6]["icon"] = "1000004";
    std::vector<uint8_t> expected = rom.Bytes();
    const uint8_t pointer[] = {0x04, 0x00, 0x00, 0x09};
    std::copy(std::begin(pointer), std::end(pointer), expected.begin() + rom.layout().IconOffset + 4 * 6);
    ASSERT_EQ(rom.Import(table.dump()).code, 0);
    EXPECT_EQ(Differences(expected, rom.Bytes()), "");
}

// Emerald's battle numbers, its front animation number among them, each written as the one byte it is.
TEST(CliImportTest, WritesTheBattleNumbersWhereTheyLie) {
    const CliRom rom(EmeraldLayout());
    Json table = rom.ExportJson();
    Json& species = table["species"][7];
    const std::pair<const char*, int64_t> fields[] = {
        {"front_y", rom.layout().battle.FrontCoords + 4 * 7 + 1},
        {"back_y", rom.layout().battle.BackCoords + 4 * 7 + 1},
        {"elevation", rom.layout().battle.Elevation + 7},
        {"front_anim", rom.layout().battle.FrontAnimIds + 6}};
    std::vector<uint8_t> expected = rom.Bytes();
    for (const auto& [key, at] : fields) {
        species[key] = 255 - species[key].get<int>();
        expected[size_t(at)] = species[key].get<uint8_t>();
    }
    const CliRun run = rom.Import(table.dump());
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Wrote 4 bytes"), std::string::npos) << run.out;
    EXPECT_EQ(Differences(expected, rom.Bytes()), "");
}

TEST(CliImportTest, TakesAndWritesTheRomsOwnNamesWhereItHasThem) {
    RomBuilder builder(DemoLayout());
    builder.SetListName(RomNames::kMoves, 33, "ZAPPER");
    const CliRom rom(std::move(builder), false, true);
    Json table = rom.ExportJson();
    table["species"][6]["attacks"][0][1] = "Zapper";
    ASSERT_EQ(rom.Import(table.dump()).code, 0);
    EXPECT_EQ(rom.ExportJson()["species"][6]["attacks"][0][1], "ZAPPER");
    EXPECT_NE(rom.Run({"info", rom.rom()}).out.find("moves, abilities, types and items from the ROM"),
              std::string::npos);
}

TEST(CliImportTest, AGrownTableMovesIntoFreeSpaceAndFreesItsOldPlace) {
    const CliRom rom(DemoLayout());
    Json table = rom.ExportJson();
    Json& rows = table["species"][2]["attacks"];
    const int64_t old = Hex(table["species"][2]["attack_table"]);
    const size_t had = rows.size();
    rows.push_back(Json::parse("[50, 1]"));
    const std::vector<uint8_t> before = rom.Bytes();
    const CliRun run = rom.Import(table.dump());
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("(moved into free space)"), std::string::npos) << run.out;
    const int64_t now = Hex(rom.ExportJson()["species"][2]["attack_table"]);
    std::vector<uint8_t> expected = before;
    std::fill_n(expected.begin() + old, 2 * had, 0xFF);
    std::copy_n(before.begin() + old, 2 * had, expected.begin() + now);
    const uint8_t added[] = {1, 100, 0xFF, 0xFF};  // attack 1 at level 50, the end mark
    std::copy(std::begin(added), std::end(added), expected.begin() + now + 2 * static_cast<int64_t>(had));
    for (int k = 0; k < 3; ++k)
        expected[rom.layout().AttackTable + 8 + k] = static_cast<uint8_t>(now >> (8 * k));
    EXPECT_EQ(Differences(expected, rom.Bytes()), "");
}

// --- Refusals: the whole file, nothing written -------------------------------------------------------------

struct Refusal {
    const char* name;
    // Species, field and JSON value set in the demo ROM's JSON export; species -1: value is the whole file;
    // or, when file is given, the file it makes from that export.
    int species;
    const char* field;
    const char* value;
    const char* message;  // part of the reason; empty: any reason
    std::function<std::string(Json&)> file = {};
};

std::string Garbage(size_t size) {
    std::mt19937 random(17);
    std::string text(size, ' ');
    for (char& c : text) c = static_cast<char>(32 + random() % 95);
    return text;
}

const Refusal kRefusals[] = {
    {"NotANumber", 6, "hp", "\"12a\"", "field \"hp\": \"12a\" is not a whole number"},
    {"AboveTheLimit", 6, "safari_run", "176", "\"176\" is above 175"},
    {"Negative", 6, "attack", "-1", "\"-1\" is not a whole number from 0 to 255"},
    {"Fraction", 6, "ev_hp", "1.5", "\"1.5\" is not a whole number"},
    {"UnknownName", 6, "type1", "\"LASER\"", "\"LASER\": no type has this name"},
    {"SharedName", 6, "item1", "\"????????\"", "68 entries of the item list"},
    {"BeyondTheList", 6, "ability1", "200", "not in the ability list"},
    {"ChoiceNumberTooLarge", 6, "item1", "\"99999999999999999999\"", "is too large for a"},
    {"NameTooLong", 6, "name", "\"ABCDEFGHIJK\"", "longer than 10 characters"},
    {"NameCharacter", 6, "name", "\"A#B\"", "the game's characters do not include"},
    {"PointerBeyondTheFile", 6, "sprite", "\"FFFFFF\"", "beyond the end of the file"},
    {"PointerAsNumber", 6, "icon", "123456", "hexadecimal digits"},
    {"UnknownField", 6, "speed2", "1", "there is no field \"speed2\""},
    {"IndexBeyond", 6, "index", "412", "\"412\" is not a species index"},
    {"RowOfOnePart", 6, "attacks", "[[5]]", "has 2 parts"},
    {"ListInARow", 6, "attacks", "[[5, [1]]]", "a list is nested too deeply"},
    {"LevelAboveTheLimit", 6, "attacks", "[[100, 1]]", "\"100\" is above 99"},
    {"EvolutionTargetBeyond", 6, "evolutions", R"([["Level", 5, 412]])", "not in the species list"},
    {"SixEvolutions", 6, "evolutions", "[[4, 5, 1], [4, 5, 1], [4, 5, 1], [4, 5, 1], [4, 5, 1], [4, 5, 1]]",
     "6 rows, and this list holds at most 5"},
    {"UnknownTm", 6, "tmhm", R"(["TM51"])", "no TM/HM has this name"},
    {"ElevenEggMoves", 6, "egg_moves", "[1,2,3,4,5,6,7,8,9,10,11]",
     "11 rows, and this list holds at most 10"},
    {"EggMovesForSpecies0", 0, "egg_moves", "[1]", "as a move of the block before it. Nothing was written."},
    {"NationalNumberChanged", 6, "national", "7", "shown for reference"},
    {"CategoryTooLong", 6, "category", "\"ABCDEFGHIJKL\"", "longer than 11 characters"},
    {"EndCodeInADescription", 6, "description", "\"A{FF}B\"", "{FF} ends a text"},
    {"TrueAsAValue", 6, "hp", "true", "is not a value a field takes"},
    {"NoIndex", 0, "", "", "Species entry 7: the species has no \"index\"",
     [](Json& t) { return t["species"][6].erase("index"), t.dump(); }},
    {"DuplicatedSpecies", 0, "", "", "Species 6 appears twice",
     [](Json& t) { return t["species"].push_back(t["species"][6]), t.dump(); }},
    {"TableBeyondWhatALoadReads", 0, "", "", "reads at most 4096",
     [](Json& t) {
         t["species"][2]["attacks"] = Json::array();
         for (int k = 0; k < 4097; ++k) t["species"][2]["attacks"].push_back(Json::parse("[50, 1]"));
         return t.dump();
     }},
    {"SharedTableChangedTwoWays", 0, "", "", "both change the byte",
     [](Json& t) {
         t["species"][6]["attacks"][0][0] = 9;
         t["species"][7]["attack_table"] = t["species"][6]["attack_table"];
         t["species"][7]["attacks"] = Json::parse("[[1, 1]]");
         return t.dump();
     }},
    {"EntryForAPlaceholder", 0, "", "", "has no Pokédex entry",
     [](Json& t) {
         return t["species"].push_back(Json::parse(R"({"index": 260, "category": "GHOST"})")), t.dump();
     }},
    {"MalformedJson", 0, "", "", "not valid JSON",
     [](Json& t) { return t.dump().substr(0, t.dump().size() / 2); }},
    {"JsonWithoutSpecies", -1, "", R"({"game": "VRNH"})", "the list \"species\""},
    {"MalformedCsv", -1, "", "index,hp\r\n6,\"80\r\n", "a quoted cell is never closed"},
    {"CsvRowTooShort", -1, "", "index,hp,speed\r\n6,80\r\n", "line 2 has 2 cells"},
    {"CsvWithoutIndex", -1, "", "hp\r\n80\r\n", "\"index\" among them"},
    {"NotUtf8", -1, "", "index,name\r\n6,Caf\xE9\r\n", "not UTF-8 text"},
    {"TenMegabytesOfText", 0, "", "", "", [](Json&) { return Garbage(10 << 20); }},
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
    const Refusal& c = GetParam();
    if (!c.file && c.species >= 0) table["species"][c.species][c.field] = Json::parse(c.value);
    const CliRun run = rom.Import(c.file ? c.file(table) : c.species < 0 ? c.value : table.dump(1));
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.ends_with(" Nothing was written.\n")) << run.err;
    EXPECT_LT(run.err.size(), 1000u);
    EXPECT_EQ(Differences(before, rom.Bytes()), "");
}

INSTANTIATE_TEST_SUITE_P(Files, RefusalTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Usage, help and info
// ------------------------------------------------------------------------------------

// German names and quotes go out as UTF-8 and come back as the game's codes.
TEST(CliImportTest, GermanTextsTravelAsUtf8) {
    RomBuilder builder(RubyGermanLayout());
    builder.SetName(5, "B\xE4r");
    const CliRom rom(builder);
    Json table = rom.ExportJson();
    EXPECT_EQ(table["species"][5]["name"], "B\u00e4r");
    table["species"][5]["name"] = "\u00d6l\u00df";
    table["species"][5]["description"] = "\u201eHi\u201c";
    const CliRun run = rom.Import(table.dump());
    ASSERT_EQ(run.code, 0) << run.err;
    const Bytes bytes = rom.Bytes();
    const auto name = bytes.begin() + rom.layout().NameOffset + 11 * 5;
    EXPECT_EQ(Bytes(name, name + 4), Bytes({0xF2, 0xE0, 0x15, 0xFF}));
    EXPECT_EQ(rom.ExportJson()["species"][5]["description"], "\u201eHi\u201c");
}

// A release Data.ini has no section for: a script is told how to ask for the search the window offers.
TEST(CliInfoTest, AnUnknownReleaseOpensWithSearch) {
    RomBuilder builder(FireRedLayout());
    builder.Fill(0xAC, {'B', 'P', 'R', 'F'});
    const CliRom rom(builder);
    const CliRun offered = rom.Run({"export", rom.rom()});
    EXPECT_EQ(offered.code, 1);
    EXPECT_NE(offered.err.find("Search the ROM for its tables? Give --search to search it."),
              std::string::npos)
        << offered.err;
    const CliRun searched = rom.Run({"info", rom.rom(), "--search"});
    EXPECT_EQ(searched.code, 0) << searched.err;
    EXPECT_NE(searched.out.find("BPRF (tables found by search)"), std::string::npos) << searched.out;
}

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
    {"FormatAfterEquals", {"export", "ROM", "--format=csv"}, 0, "index,name,hp"},
    {"UnknownOption", {"export", "ROM", "--bogus"}, 2, "unknown option --bogus"},
    {"OutputWithoutFile", {"export", "ROM", "-o"}, 2, "--output needs a value"},
    {"DryRunOnExport", {"export", "ROM", "--dry-run"}, 2, "unknown option --dry-run"},
    {"Info", {"info", "ROM"}, 0, "Game code     VRNH\nRelease       0\nSection       [VRNH]"},
    {"InfoNamesSource", {"info", "ROM"}, 0, "Names         from the list files (Names from the ROM is off"},
    {"InfoOfNoRom", {"info", "/nonexistent.gba"}, 1, "cannot be opened"},
    {"InfoTables", {"info", "ROM"}, 0, "Tables\n  species names           0x10000    Data.ini\n"},
    {"InfoJson",
     {"info", "ROM", "--json"},
     0,
     "\"game_code\": \"VRNH\",\n  \"release\": 0,\n  \"editable\": true"},
    {"InfoJsonTables", {"info", "ROM", "--json"}, 0, "\"offset\": 65536,\n      \"found_by\": \"Data.ini\","},
    {"ExportOfNoRom", {"export", "/nonexistent.gba"}, 1, "cannot be opened"},
    {"ExportToNowhere", {"export", "ROM", "-o", "/nonexistent/x.json"}, 1, "could not be written"},
    {"ImportOfNoFile", {"import", "ROM", "/nonexistent.json"}, 1, "cannot be read"},
};

INSTANTIATE_TEST_SUITE_P(CommandLines, UsageTest, testing::ValuesIn(kUsages),
                         [](const auto& info) { return std::string(info.param.name); });

// A game code is shown as the header holds it, each byte a terminal cannot show as "?".
TEST(CliInfoTest, ShowsAnUnknownGameCodeWithWhatCannotBeShownReplaced) {
    const CliRom rom(DemoLayout());
    std::vector<uint8_t> bytes = rom.Bytes();
    const uint8_t code[] = {' ', 'Q', 0x7F, 0x1F};
    std::copy(std::begin(code), std::end(code), bytes.begin() + 0xAC);
    ASSERT_TRUE(testsupport::WriteFileBytes(rom.rom(), bytes));
    const CliRun run = rom.Run({"info", rom.rom()});
    EXPECT_NE(run.out.find("Game code      Q??\n"), std::string::npos) << run.out;
}

// --- The real executable
// ------------------------------------------------------------------------------------

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
