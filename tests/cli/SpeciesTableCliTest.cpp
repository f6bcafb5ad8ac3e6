// The command-line program: its commands driven in-process on builder ROMs, and once as the real executable.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "CliCommands.h"
#include "CsvText.h"
#include "JsonTable.h"
#include "ReadINI.h"
#include "RomBuilder.h"
#include "TestFiles.h"
#include "text/SpeciesFields.h"
#include "write/RomJournal.h"

namespace {

using Json = nlohmann::ordered_json;
using testsupport::Differences;
using Bytes = std::vector<uint8_t>;

struct CliRun {
    int code = -1;
    std::string out, err;
};

// The builder's ROM beside its Data.ini (backups off unless asked) and the shipped lists.
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
    // JSON is the default for a file not ending in .csv: CSV is asked for by --format.
    std::string Export(const std::string& format) const {
        std::vector<std::string> args = {"export", rom(), "-o", dir_.File("table." + format)};
        if (format == "csv") args.insert(args.end(), {"--format", "csv"});
        (void)Run(args);
        return ReadINI::ReadTextFile(dir_.File("table." + format));
    }
    Json ExportJson() const { return Json::parse(Export("json")); }
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

// Every layout's fields in either format; that an export plans nothing is SpeciesTableImportTest's.
TEST(CliRoundTripTest, ReportsNoChangesAndWritesNothing) {
    const std::pair<RomLayout (*)(), std::string> cases[] = {
        {DemoLayout, "json"},   {DemoLayout, "csv"},  {FireRedLayout, "json"},
        {EmeraldLayout, "csv"}, {RubyLayout, "json"}, {ExpandedLayout, "csv"}};
    for (const auto& [layout, format] : cases) {
        const CliRom rom(layout());
        SCOPED_TRACE(rom.layout().gameCode + " " + format);
        const std::vector<uint8_t> before = rom.Bytes();
        const std::string text = rom.Export(format);
        ASSERT_GT(text.size(), 100000u);
        if (format == "json") {
            EXPECT_EQ(FormatJsonTable(ParseJsonTable(text).table), text);
        }
        const CliRun run = rom.Import(text);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, "No changes.\n");
        EXPECT_EQ(Differences(before, rom.Bytes()), "");
        EXPECT_FALSE(std::filesystem::exists(rom.rom() + ".backups"));
        EXPECT_EQ(RomJournal::Inspect(rom.rom()).state, RomJournal::State::None);
    }
}

// Field k of the registry goes to species k, from the first species from 100 on that holds another value:
// those are not edited, so no two edits meet in a table.
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
            if (key == "attack_table") {
                species.erase("attacks");
                wanted["attacks"] = before["species"][donor]["attacks"];
            }
            // Evolutions name their target by its name.
            if (key == "name") {
                species[key] = wanted[key] = "Renamed";
                for (Json& other : expected["species"]) {
                    for (Json& row : other["evolutions"])
                        if (row[2] == before["species"][edited]["name"]) row[2] = "Renamed";
                }
            }
        }
    }
    // Two species grow the shared egg move table, which moves once with both.
    table["species"][300]["egg_moves"] = Json::parse("[1, 2, 3, 4, 5, 6, 7, 8, 9, 10]");
    table["species"][301]["egg_moves"] = Json::parse("[11, 12]");
    expected["species"][300]["egg_moves"] =
        Json::parse(R"(["POUND", "KARATE CHOP", "DOUBLESLAP", "COMET PUNCH",
        "MEGA PUNCH", "PAY DAY", "FIRE PUNCH", "ICE PUNCH", "THUNDERPUNCH", "SCRATCH"])");
    expected["species"][301]["egg_moves"] = Json::parse(R"(["VICEGRIP", "GUILLOTINE"])");
    const std::string older = " older than " + std::string(80, 'A');
    table["species"][300]["description"] = "A strange bulb, (×2) \"long\" / é…\nIt's {5E}" + older;
    expected["species"][300]["description"] = "A strange bulb, (×2) “long” / é…\nIt’s {5E}" + older;
    // Keys beside "species" are no concern of the import, whatever they hold.
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
    for (const char* moved : {"(egg move table)  egg move table", "  description moved into free space at 0x",
                              " (moved into free space)\n"})
        EXPECT_NE(run.out.find(moved), std::string::npos) << moved;
    const Json after = rom.ExportJson();
    const size_t grown = std::find(keys.begin(), keys.end(), "attacks") - keys.begin() + 1;
    expected["species"][grown]["attack_table"] = after["species"][grown]["attack_table"];
    EXPECT_EQ(Json::diff(expected, after), Json::array());
    const std::vector<std::filesystem::path> copies(
        std::filesystem::directory_iterator(rom.rom() + ".backups"), {});
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(Differences(bytes, testsupport::ReadFileBytes(copies[0].string())), "");
    EXPECT_EQ(RomJournal::Inspect(rom.rom()).state, RomJournal::State::None);
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

std::string Garbage(size_t size) {
    std::mt19937 random(17);
    std::string text(size, ' ');
    for (char& c : text) c = static_cast<char>(32 + random() % 95);
    return text;
}

// What a file's notation cannot say, and a value the import refuses (the others: SpeciesTableImportTest)
// after a valid edit, which is not written either.
TEST(CliImportTest, ARefusalWritesNothingAndSaysWhy) {
    const CliRom rom(DemoLayout());
    const std::vector<uint8_t> before = rom.Bytes();
    Json table = rom.ExportJson();
    table["species"][1]["hp"] = 3;
    table["species"][6].erase("index");
    const std::pair<std::string, const char*> cases[] = {
        {table.dump(1),
         "Species entry 7: the species has no \"index\", so it cannot be told which it is. Nothing"},
        {R"({"species": [{"index": 6, "attacks": [[5, [1]]]}]})", "a list is nested too deeply"},
        {R"({"species": [{"index": 6, "hp": true}]})", "is not a value a field takes"},
        {R"({"species": [{"index": 6, "hp": {"low": 1}}]})", "an object is not a value a field takes"},
        {R"({"species": [{"index": [6]}]})", "the index is a list"},
        {R"({"species": [{"index": 6, "hp": 80)", "not valid JSON"},
        {R"({"game": "VRNH"})", "the list \"species\""},
        {"index,hp\r\n6,\"80\r\n", "a quoted cell is never closed"},
        {"index,hp,speed\r\n6,80\r\n", "line 2 has 2 cells"},
        {"hp\r\n80\r\n", "The first line of the file must name the columns, \"index\" among them. Nothing"},
        {"index,name\r\n6,Caf\xE9\r\n", "not UTF-8 text"},
        {Garbage(10 << 20), ""}};
    for (const auto& [file, reason] : cases) {
        const CliRun run = rom.Import(file);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.err.ends_with(". Nothing was written.\n")) << run.err;
        // A reason given whole is all that is said.
        if (std::string_view(reason).ends_with(" Nothing")) {
            EXPECT_EQ(run.err, reason + std::string(" was written.\n"));
        }
        EXPECT_LT(run.err.size(), 1000u);
        EXPECT_EQ(Differences(before, rom.Bytes()), "");
    }
}

// "ROM" stands for the demo ROM, "BPRF" for a release Data.ini has no section for (a script is told how to
// ask for the search the window offers); the text is looked for on standard output for code 0, else standard
// error.
TEST(CliUsageTest, ExitsWithTheCodeAndSaysWhy) {
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{}, 2, "Usage:"},
        {{"--help"}, 0, "Exit codes: 0 done, 1 refused"},
        {{"frobnicate"}, 2, "there is no command \"frobnicate\""},
        {{"info", "--help"}, 0, "Usage: vornhal-cli info ROM"},
        {{"export", "-h"}, 0, "--format json|csv"},
        {{"import", "--help"}, 0, "--dry-run"},
        {{"export"}, 2, "it takes ROM"},
        {{"import", "ROM"}, 2, "it takes ROM and FILE"},
        {{"export", "ROM", "--format", "xml"}, 2, "--format takes json or csv"},
        {{"export", "ROM", "--format=csv"}, 0, "index,name,hp"},
        {{"export", "ROM", "--bogus"}, 2, "unknown option --bogus"},
        {{"export", "ROM", "-o"}, 2, "--output needs a value"},
        {{"export", "ROM", "--dry-run"}, 2, "unknown option --dry-run"},
        {{"info", "ROM"}, 0, "Game code     VRNH\nRelease       0\nSection       [VRNH]"},
        {{"info", "ROM"}, 0, "Names         from the list files (Names from the ROM is off"},
        {{"info", "/nonexistent.gba"}, 1, "cannot be opened"},
        {{"info", "ROM"}, 0, "Tables\n  species names           0x10000    Data.ini\n"},
        {{"info", "ROM", "--json"}, 0, "\"game_code\": \"VRNH\",\n  \"release\": 0,\n  \"editable\": true"},
        {{"info", "ROM", "--json"}, 0, "\"offset\": 65536,\n      \"found_by\": \"Data.ini\","},
        {{"export", "/nonexistent.gba"}, 1, "cannot be opened"},
        {{"export", "ROM", "-o", "/nonexistent/x.json"}, 1, "could not be written"},
        {{"import", "ROM", "/nonexistent.json"}, 1, "cannot be read"},
        {{"export", "BPRF"}, 1, "Search the ROM for its tables? Give --search to search it."},
        {{"info", "BPRF", "--search"}, 0, "BPRF (tables found by search)"},
    };
    const CliRom rom(DemoLayout());
    RomBuilder unknown(FireRedLayout());
    unknown.Fill(0xAC, {'B', 'P', 'R', 'F'});
    const CliRom release(unknown);
    for (auto [args, code, output] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        std::replace(args.begin(), args.end(), std::string("ROM"), rom.rom());
        std::replace(args.begin(), args.end(), std::string("BPRF"), release.rom());
        const CliRun run = rom.Run(args);
        EXPECT_EQ(run.code, code) << run.out << run.err;
        EXPECT_NE((code == 0 ? run.out : run.err).find(output), std::string::npos) << run.out << run.err;
    }
    // A game code is shown as the header holds it, each byte a terminal cannot show as "?".
    std::vector<uint8_t> bytes = rom.Bytes();
    const uint8_t code[] = {' ', 'Q', 0x7F, 0x1F};
    std::copy(std::begin(code), std::end(code), bytes.begin() + 0xAC);
    ASSERT_TRUE(testsupport::WriteFileBytes(rom.rom(), bytes));
    const CliRun run = rom.Run({"info", rom.rom()});
    EXPECT_NE(run.out.find("Game code      Q??\n"), std::string::npos) << run.out;
}

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
