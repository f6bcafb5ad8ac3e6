// A species table read back against the ROM: a change is named and planned, a value the ROM cannot take
// refuses the whole table.

#include "EditorTest.h"
#include "text/SpeciesTableExport.h"
#include "text/SpeciesTableImport.h"

namespace {

// A value as a cell holds it: one text, lists in the list notation ("5:1;9:2").
TextValue Cell(const std::string& text, bool number = false) {
    return {false, {text, number}, {}};
}

// The species' value of the field, given anew when the species has none.
TextValue& FieldOf(SpeciesText& species, const std::string& key) {
    for (TextField& field : species.fields) {
        if (field.key == key) return field.value;
    }
    return species.fields.emplace_back(TextField{key, {}}).value;
}

// A change names its species as the ROM does, by number where it has no name; its bytes are the field's own.
TEST(SpeciesTableImport, AChangeIsNamedAndPlanned) {
    const WrittenRom rom(DemoLayout(), [](RomBuilder& builder) { builder.SetName(0, ""); });
    const EditorSession& session = rom.files.session;
    const ChoiceNames names = LoadChoiceNames(session, VORNHAL_DATA_DIR, false);
    TableText table = ExportSpeciesTable(session, names);
    table.species.resize(1);
    const std::string was = ListNotation(FieldOf(table.species[0], "hp"));
    FieldOf(table.species[0], "hp") = Cell("77", true);
    const ImportPlan plan = PlanSpeciesTableImport(session, names, table, "Import");
    ASSERT_EQ(plan.changes.size(), 1u) << plan.error;
    EXPECT_EQ(plan.changes[0].species, "#0");
    EXPECT_EQ(plan.changes[0].field + " " + plan.changes[0].before + " " + plan.changes[0].after,
              "hp " + was + " 77");
    ASSERT_EQ(plan.plan.bytes.size(), 1u);
    EXPECT_EQ(plan.plan.bytes[0].offset, session.DataOffset);
    EXPECT_EQ(plan.plan.bytes[0].value, 77);
}

// On each layout whose tables differ in shape the export plans nothing; then what a cell may say and what the
// export shows of it, the species' other fields as they were (each field's exported values: the command
// line's import test).
TEST(SpeciesTableImport, ACellReadsBackAsTheExportWritesIt) {
    const struct {
        RomLayout (*layout)();
        int species;
        const char *key, *cell, *exported;
    } cases[] = {
        {DemoLayout, 9, "type2", "fire", "FIRE"},
        {DemoLayout, 9, "item1", "300", "TM12"},
        {DemoLayout, 9, "name", "Zed\u2642", "Zed\u2642"},
        {DemoLayout, 9, "sprite", "0abcde", "0ABCDE"},
        {DemoLayout, 9, "attacks", "1:POUND; 5 : growl", "1:POUND;5:GROWL"},
        {DemoLayout, 9, "evolutions", "level:30:7", "Level:30:Kothochais"},
        {DemoLayout, 9, "tmhm", "TM01;hm08", "TM01;HM08"},
        {DemoLayout, 9, "tutors", "", ""},
        {FireRedLayout, 9, "type2", "fire", "FIRE"},
        {RubyLayout, 9, "name", "zed", "zed"},
        {ExpandedLayout, 6, "icon", "1000004", "1000004"},
        {EmeraldLayout, 7, "front_anim", "204", "204"},
        {RubyGermanLayout, 5, "name", "\u00d6l\u00df", "\u00d6l\u00df"},
        {RubyGermanLayout, 5, "description", "\u201eHi\u201c", "\u201eHi\u201c"},
    };
    for (const auto& [layout, species, key, cell, exported] : cases) {
        SCOPED_TRACE(key);
        const WrittenRom rom(layout());
        const EditorSession& session = rom.files.session;
        const ChoiceNames names = LoadChoiceNames(session, VORNHAL_DATA_DIR, false);
        TableText before = ExportSpeciesTable(session, names), table = before;
        const ImportPlan none = PlanSpeciesTableImport(session, names, before, "");
        EXPECT_TRUE(none.error.empty() && none.changes.empty() && none.plan.bytes.empty()) << none.error;
        ASSERT_NE(ListNotation(FieldOf(before.species[species], key)), exported)
            << "the case would prove nothing";
        FieldOf(table.species[species], key) = Cell(cell);
        const ImportPlan plan = PlanSpeciesTableImport(session, names, table, "");
        ASSERT_EQ(plan.error, "");
        ASSERT_TRUE(WriteFileBytes(rom.files.rom, Applied(rom.rom.bytes(), plan.plan.bytes)));
        const TableText after = ExportSpeciesTable(session, names);
        for (const TextField& field : after.species[species].fields) {
            const std::string was = ListNotation(FieldOf(before.species[species], field.key));
            EXPECT_EQ(ListNotation(field.value), field.key == key ? exported : was) << field.key;
        }
    }
}

// A value that one field of one of the demo ROM's first ten species cannot take, and a piece of the reason.
struct Refusal {
    int species;
    const char* key;
    TextValue value;
    const char* reason;
};

const Refusal kRefusals[] = {
    {6, "hp", Cell("12a"), "field \"hp\": \"12a\" is not a whole number"},
    {6, "safari_run", Cell("176", true), "\"176\" is above 175"},
    {6, "base_xp", Cell("256", true), "\"256\" is above 255"},
    {6, "attack", Cell("-1", true), "\"-1\" is not a whole number from 0 to 255"},
    {6, "ev_hp", Cell("1.5", true), "\"1.5\" is not a whole number"},
    {6, "type1", Cell("LASER"), "\"LASER\": no type has this name"},
    {6, "item1", Cell("????????"), "68 entries of the item list"},
    {6, "ability1", Cell("200", true), "not in the ability list"},
    {6, "item1", Cell("99999999999999999999"), "is too large for a"},
    {6, "item1", Cell("65536", true), "is stored as a number up to 65535"},
    {6, "name", Cell("ABCDEFGHIJK"), "longer than 10 characters"},
    {6, "name", Cell("A#B"), "the game's characters do not include"},
    {6, "sprite", Cell("FFFFFF"), "beyond the end of the file"},
    {6, "icon", Cell("123456", true), "hexadecimal digits"},
    {6, "speed2", Cell("1", true), "there is no field \"speed2\""},
    {6, "hp", {true, {}, {{{"1", true}}}}, "a list where one value belongs"},
    {6, "attacks", Cell("5"), "has 2 parts"},
    {6, "attacks", Cell("100:1"), "\"100\" is above 99"},
    {6, "evolutions", Cell("Level:5:412"), "not in the species list"},
    {6, "evolutions", Cell("4:5:1;4:5:1;4:5:1;4:5:1;4:5:1;4:5:1"), "6 rows, and this list holds at most 5"},
    {6, "tmhm", Cell("TM51"), "no TM/HM has this name"},
    {6, "egg_moves", Cell("1;2;3;4;5;6;7;8;9;10;11"), "11 rows, and this list holds at most 10"},
    {0, "egg_moves", Cell("1"), "as a move of the block before it."},
    {6, "national", Cell("7", true), "shown for reference"},
    {6, "category", Cell("ABCDEFGHIJKL"), "longer than 11 characters"},
    {6, "description", Cell("A{FF}B"), "{FF} ends a text"},
};

// And the species of a table: each has an index below 412 and appears once; two that share a table change it
// one way; a placeholder has no Pokédex entry; no table holds more rows than a load reads.
const std::pair<const char*, void (*)(TableText&)> kTableRefusals[] = {
    {"\"412\" is not a species index",
     [](TableText& t) {
         t.species[6].index = TextPart{"412", true};
     }},
    {"the species has no \"index\"", [](TableText& t) { t.species[6].index.reset(); }},
    {"Species 6 appears twice", [](TableText& t) { t.species.push_back(t.species[6]); }},
    {"both change the byte",
     [](TableText& t) {
         FieldOf(t.species[6], "attacks").rows.at(0).at(0) = {"9", true};
         FieldOf(t.species[7], "attack_table") = FieldOf(t.species[6], "attack_table");
         FieldOf(t.species[7], "attacks") = Cell("1:1");
     }},
    {"has no Pokédex entry",
     [](TableText& t) {
         SpeciesText& placeholder = t.species.emplace_back();
         placeholder.index = TextPart{"260", true};
         FieldOf(placeholder, "category") = Cell("GHOST");
     }},
    {"reads at most 4096",
     [](TableText& t) {
         std::string rows = "50:1";
         for (int k = 1; k < 4097; ++k) rows += ";50:1";
         FieldOf(t.species[2], "attacks") = Cell(rows);
     }},
};

TEST(SpeciesTableImport, RefusesTheWholeTableNamingWhy) {
    const WrittenRom rom(DemoLayout());
    const EditorSession& session = rom.files.session;
    const ChoiceNames names = LoadChoiceNames(session, VORNHAL_DATA_DIR, false);
    TableText exported = ExportSpeciesTable(session, names);
    exported.species.resize(10);  // those left out stay as they are
    // A valid edit before the bad value, which must not be planned either.
    FieldOf(exported.species[1], "hp") = Cell("3", true);
    const auto expectRefused = [&](const TableText& table, const std::string& reason) {
        const ImportPlan plan = PlanSpeciesTableImport(session, names, table, "");
        EXPECT_NE(plan.error.find(reason), std::string::npos) << reason << ": " << plan.error;
        EXPECT_TRUE(plan.changes.empty() && plan.plan.bytes.empty());
    };
    for (const auto& [species, key, value, reason] : kRefusals) {
        TableText table = exported;
        FieldOf(table.species[size_t(species)], key) = value;
        expectRefused(table, reason);
    }
    for (const auto& [reason, change] : kTableRefusals) {
        TableText table = exported;
        change(table);
        expectRefused(table, reason);
    }
}

}  // namespace
