#include "text/SpeciesFields.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "CharTable.h"
#include "HexFunctions.h"
#include "Windows1252.h"
#include "rom/RomPointer.h"
#include "species/AttackTableSave.h"
#include "species/EggMoveTable.h"
#include "species/SpeciesEggMoves.h"
#include "species/SpeciesSave.h"

namespace {

// --- Fields ---------------------------------------------------------------------------------------------

SpeciesField Number(const char* key, int64_t upper, int SpeciesValues::*member) {
    return {key,
            {{ValueKind::Number, upper}},
            false,
            0,
            [member](const SpeciesState& s) { return FieldValue{int64_t{s.values.*member}}; },
            [member](SpeciesState& s, const FieldValue& v) {
                s.values.*member = static_cast<int>(std::get<int64_t>(v));
            }};
}

SpeciesField Choice(const char* key, ChoiceList list, int64_t upper, int SpeciesValues::*member) {
    SpeciesField field = Number(key, upper, member);
    field.parts = {{ValueKind::Choice, upper, list}};
    return field;
}

SpeciesField Yield(const char* key, int EvYields::*member) {
    return {key,
            {{ValueKind::Number, 3}},
            false,
            0,
            [member](const SpeciesState& s) { return FieldValue{int64_t{s.values.ev.*member}}; },
            [member](SpeciesState& s, const FieldValue& v) {
                s.values.ev.*member = static_cast<int>(std::get<int64_t>(v));
            }};
}

SpeciesField Pointer(const char* key, std::string SpeciesValues::*member) {
    return {key,
            {{ValueKind::Offset}},
            false,
            0,
            // A text the read gave is always digits; -1 marks one that is not, and never equals a new value.
            [member](const SpeciesState& s) { return FieldValue{OffsetOf(s.values.*member).value_or(-1)}; },
            [member](SpeciesState& s, const FieldValue& v) {
                s.values.*member = PointerTextOf(std::get<int64_t>(v));
            }};
}

SpeciesField NameField() {
    return {"name",
            {{ValueKind::Text, 10}},
            false,
            0,
            [](const SpeciesState& s) { return FieldValue{s.name}; },
            [](SpeciesState& s, const FieldValue& v) { s.name = std::get<std::string>(v); }};
}

SpeciesField AttackRows() {
    return {"attacks",
            {{ValueKind::Number, 99}, {ValueKind::Choice, 511, ChoiceList::Attacks}},
            true,
            0,
            [](const SpeciesState& s) {
                ValueRows rows;
                rows.reserve(2 * s.attacks.size());
                for (const LevelUpAttackEntry& row : s.attacks)
                    rows.insert(rows.end(), {row.level, row.attack});
                return FieldValue{std::move(rows)};
            },
            [](SpeciesState& s, const FieldValue& v) {
                const ValueRows& rows = std::get<ValueRows>(v);
                s.attacks.clear();
                for (size_t k = 0; k + 1 < rows.size(); k += 2)
                    s.attacks.push_back({static_cast<int>(rows[k + 1]), static_cast<int>(rows[k])});
            }};
}

// Entries after the last one in use (method, parameter and target all 0) are left out; a file's rows fill the
// entries from the first, and the rest become unused.
SpeciesField EvolutionRows() {
    return {"evolutions",
            {{ValueKind::Choice, 65535, ChoiceList::EvolutionMethods},
             {ValueKind::Number, 65535},
             {ValueKind::Choice, 65535, ChoiceList::Species}},
            true,
            SpeciesTableSizes::kEvolutions,
            [](const SpeciesState& s) {
                ValueRows rows;
                if (!s.tables.evolutions) return FieldValue{rows};
                const Evolutions& entries = *s.tables.evolutions;
                size_t used = 0;
                for (size_t k = 0; k < entries.size(); ++k) {
                    if (!(entries[k] == EvolutionEntry{})) used = k + 1;
                }
                for (size_t k = 0; k < used; ++k)
                    rows.insert(rows.end(), {entries[k].method, entries[k].parameter, entries[k].target});
                return FieldValue{std::move(rows)};
            },
            [](SpeciesState& s, const FieldValue& v) {
                Evolutions entries{};
                const ValueRows& rows = std::get<ValueRows>(v);
                for (size_t k = 0; 3 * k + 2 < rows.size() && k < entries.size(); ++k)
                    entries[k] = {static_cast<int>(rows[3 * k]), static_cast<int>(rows[3 * k + 1]),
                                  static_cast<int>(rows[3 * k + 2])};
                s.tables.evolutions = entries;
            }};
}

// The moves of a compatibility list that the species learns, one row each; bits beyond the list keep their
// value.
SpeciesField CompatibilityRows(const char* key, ChoiceList list,
                               std::optional<Compatibility> SpeciesTableValues::*part) {
    return {key,
            {{ValueKind::Choice, 63, list}},
            true,
            0,
            [part](const SpeciesState& s) {
                ValueRows rows;
                const std::optional<Compatibility>& compatibility = s.tables.*part;
                if (!compatibility) return FieldValue{rows};
                for (size_t bit = 0; bit < compatibility->moves.size() && bit < 64; ++bit) {
                    if (compatibility->mask >> bit & 1) rows.push_back(static_cast<int64_t>(bit));
                }
                return FieldValue{std::move(rows)};
            },
            [part](SpeciesState& s, const FieldValue& v) {
                std::optional<Compatibility>& compatibility = s.tables.*part;
                if (!compatibility) return;
                std::vector<bool> learns(compatibility->moves.size(), false);
                for (const int64_t bit : std::get<ValueRows>(v)) {
                    if (bit >= 0 && static_cast<size_t>(bit) < learns.size())
                        learns[static_cast<size_t>(bit)] = true;
                }
                compatibility->mask = MaskWithRows(compatibility->mask, learns);
            }};
}

SpeciesField EggMoveRows() {
    return {"egg_moves",
            {{ValueKind::Choice, EggMoveLimits::kLastMoveNumber, ChoiceList::Attacks}},
            true,
            EggMoveLimits::kMostPerSpecies,
            [](const SpeciesState& s) {
                const std::optional<std::vector<int>>& moves = s.tables.eggMoves;
                return FieldValue{moves ? ValueRows(moves->begin(), moves->end()) : ValueRows{}};
            },
            [](SpeciesState& s, const FieldValue& v) {
                const ValueRows& rows = std::get<ValueRows>(v);
                // A species that shows none (species 0) keeps none unless a file gives some; the plan says
                // no.
                if (!s.tables.eggMoves && rows.empty()) return;
                s.tables.eggMoves = std::vector<int>(rows.begin(), rows.end());
            }};
}

// A species without an entry (species 0, the placeholders) exports empty values; a file may repeat those, and
// any other value makes an entry that the plan refuses.
DexEntryValues& EntryToSet(SpeciesState& s) {
    if (!s.tables.dex) s.tables.dex = DexEntryValues{};
    return *s.tables.dex;
}

SpeciesField DexNumber(const char* key, int DexEntryValues::*member) {
    return {key,
            {{ValueKind::Number, DexLimits::kLargestNumber}},
            false,
            0,
            [member](const SpeciesState& s) {
                return FieldValue{int64_t{s.tables.dex ? *s.tables.dex.*member : 0}};
            },
            [member](SpeciesState& s, const FieldValue& v) {
                const int value = static_cast<int>(std::get<int64_t>(v));
                if (!s.tables.dex && value == 0) return;
                EntryToSet(s).*member = value;
            }};
}

SpeciesField DexText(const char* key, int64_t upper, std::optional<std::string> DexEntryValues::*member) {
    return {key,
            {{ValueKind::GameText, upper}},
            false,
            0,
            [member](const SpeciesState& s) {
                return FieldValue{s.tables.dex ? (*s.tables.dex.*member).value_or("") : std::string()};
            },
            [member](SpeciesState& s, const FieldValue& v) {
                const std::string& text = std::get<std::string>(v);
                // A text the file cannot read shows as empty; empty again leaves it as it is.
                if (text.empty() && (!s.tables.dex || !(*s.tables.dex.*member))) return;
                EntryToSet(s).*member = text;
            }};
}

SpeciesField DexCategory() {
    return {"category",
            {{ValueKind::GameText, DexLimits::kCategoryLength}},
            false,
            0,
            [](const SpeciesState& s) {
                return FieldValue{s.tables.dex ? s.tables.dex->category : std::string()};
            },
            [](SpeciesState& s, const FieldValue& v) {
                const std::string& text = std::get<std::string>(v);
                if (text.empty() && !s.tables.dex) return;
                EntryToSet(s).category = text;
            }};
}

SpeciesField NationalNumber() {
    SpeciesField field = {"national",
                          {{ValueKind::Number, DexLimits::kLargestNumber}},
                          false,
                          0,
                          [](const SpeciesState& s) { return FieldValue{int64_t{s.national}}; },
                          [](SpeciesState&, const FieldValue&) {}};
    field.readOnly = true;
    return field;
}

// The numbers of how the species stands in battle; species 0 has no front animation number, which a file may
// give as 0 and nothing else.
SpeciesField BattleNumber(const char* key, int BattleValues::*member) {
    return {key,
            {{ValueKind::Number, BattleLimits::kLargestNumber}},
            false,
            0,
            [member](const SpeciesState& s) {
                return FieldValue{int64_t{s.tables.battle ? *s.tables.battle.*member : 0}};
            },
            [member](SpeciesState& s, const FieldValue& v) {
                if (s.tables.battle) *s.tables.battle.*member = static_cast<int>(std::get<int64_t>(v));
            }};
}

SpeciesField FrontAnimation() {
    return {"front_anim",
            {{ValueKind::Number, BattleLimits::kLargestNumber}},
            false,
            0,
            [](const SpeciesState& s) {
                return FieldValue{int64_t{s.tables.battle ? s.tables.battle->frontAnim.value_or(0) : 0}};
            },
            [](SpeciesState& s, const FieldValue& v) {
                const int value = static_cast<int>(std::get<int64_t>(v));
                if (!s.tables.battle || (!s.tables.battle->frontAnim && value == 0)) return;
                s.tables.battle->frontAnim = value;
            }};
}

// --- Reading --------------------------------------------------------------------------------------------

void ReadNameAndRecord(const EditorSession& session, int32_t index, SpeciesState& state) {
    state.name = CharTable::DecodeName(
        HexFunctions::ReadHexBytes(session.RomPath, Species::NameEntry(session, index), Species::kNameSize));
    state.values = ReadSpecies(session, index);
}

void ReadAttackRows(const EditorSession& session, int32_t /*index*/, SpeciesState& state) {
    const std::optional<int64_t> table = OffsetOf(state.values.attackTable);
    state.attacks = table ? LoadAttackTable(session.RomPath, static_cast<int32_t>(*table))
                          : std::vector<LevelUpAttackEntry>{};
}

void ReadEvolutionPart(const EditorSession& session, int32_t index, SpeciesState& state) {
    state.tables.evolutions = ReadEvolutions(session, index);
}

void ReadTmHmPart(const EditorSession& session, int32_t index, SpeciesState& state) {
    state.tables.tmhm = ReadTmHmCompatibility(session, index);
}

void ReadTutorPart(const EditorSession& session, int32_t index, SpeciesState& state) {
    state.tables.tutors = ReadTutorCompatibility(session, index);
}

void ReadEggMovePart(const EditorSession& session, int32_t index, SpeciesState& state) {
    state.tables.eggMoves = ReadSpeciesEggMoves(session, index).moves;
}

void ReadDexPart(const EditorSession& session, int32_t index, SpeciesState& state) {
    DexEntryRead read = ReadDexEntry(session, index);
    state.national = std::max(read.national, 0);
    state.tables.dex = std::move(read.values);
}

void ReadBattlePart(const EditorSession& session, int32_t index, SpeciesState& state) {
    state.tables.battle = ReadBattleValues(session, index).values;
}

// --- Planning -------------------------------------------------------------------------------------------

PlannedPart Bytes(std::vector<PlannedByte> bytes) {
    PlannedPart part;
    part.bytes = std::move(bytes);
    return part;
}

PlannedPart Failed(std::string error) {
    PlannedPart part;
    part.error = std::move(error);
    return part;
}

// The bytes of the second plan that the first does not put there already. Whole-entry writers (the window's
// save, the More Data tables) rewrite bytes whose field did not change; comparing the plans of the states
// before and after keeps only the bytes of the fields that did.
std::vector<PlannedByte> DifferenceOf(const std::vector<PlannedByte>& was, std::vector<PlannedByte> will) {
    // Plans of one writer for the same species put their bytes in the same order; only a plan of another
    // length (an empty name) needs the offsets looked up.
    const bool sameOrder = was.size() == will.size() &&
                           std::equal(was.begin(), was.end(), will.begin(),
                                      [](const auto& a, const auto& b) { return a.offset == b.offset; });
    if (sameOrder) {
        size_t k = 0;
        std::erase_if(will, [&was, &k](const PlannedByte& byte) { return was[k++].value == byte.value; });
        return will;
    }
    std::map<int64_t, uint8_t> previous;
    for (const PlannedByte& byte : was) previous[byte.offset] = byte.value;
    std::erase_if(will, [&previous](const PlannedByte& byte) {
        const auto found = previous.find(byte.offset);
        return found != previous.end() && found->second == byte.value;
    });
    return will;
}

SpeciesEdits EditsOf(const SpeciesState& s) {
    const SpeciesValues& v = s.values;
    SpeciesEdits e;
    e.name = s.name;
    e.hp = v.hp, e.attack = v.attack, e.defense = v.defense, e.speed = v.speed, e.spAttack = v.spAttack;
    e.spDefense = v.spDefense, e.baseXp = v.baseXp, e.catchRate = v.catchRate, e.safari = v.safari;
    e.evHp = v.ev.hp, e.evAttack = v.ev.attack, e.evDefense = v.ev.defense, e.evSpeed = v.ev.speed;
    e.evSpAttack = v.ev.spAttack, e.evSpDefense = v.ev.spDefense;
    e.type1 = v.type1, e.type2 = v.type2, e.item1 = v.item1, e.item2 = v.item2, e.gender = v.gender;
    e.steps = v.steps, e.eggType1 = v.eggType1, e.eggType2 = v.eggType2, e.ability1 = v.ability1;
    e.ability2 = v.ability2, e.iconPalette = v.iconPalette;
    const auto target = [](const std::string& text) {
        return static_cast<int32_t>(OffsetOf(text).value_or(0));
    };
    e.sprite = target(v.sprite), e.backSprite = target(v.backSprite), e.palette = target(v.palette);
    e.shinyPalette = target(v.shinyPalette), e.icon = target(v.icon), e.attackTable = target(v.attackTable);
    return e;  // no rows: the attack table group writes those
}

// The window's save also rewrites a few bytes it does not show (the name after its end mark, bits 12 to 15
// of the EV word); comparing two saves rather than a save and the file leaves those alone unless their field
// changes.
// Record fields whose bytes the window's save writes as the value itself, low byte first, at a fixed place.
struct DirectField {
    int SpeciesValues::*member;
    int offset;
    int width;
    const char* field;
};
constexpr DirectField kDirectFields[] = {
    {&SpeciesValues::hp, 0, 1, "HP"},
    {&SpeciesValues::attack, 1, 1, "Attack"},
    {&SpeciesValues::defense, 2, 1, "Defense"},
    {&SpeciesValues::speed, 3, 1, "Speed"},
    {&SpeciesValues::spAttack, 4, 1, "Special Attack"},
    {&SpeciesValues::spDefense, 5, 1, "Special Defense"},
    {&SpeciesValues::type1, 6, 1, "Type 1"},
    {&SpeciesValues::type2, 7, 1, "Type 2"},
    {&SpeciesValues::catchRate, 8, 1, "Catch Rate"},
    {&SpeciesValues::baseXp, 9, 1, "Base XP"},
    {&SpeciesValues::item1, 12, 2, "Held Item 1"},
    {&SpeciesValues::item2, 14, 2, "Held Item 2"},
    {&SpeciesValues::gender, 16, 1, "Gender"},
    {&SpeciesValues::steps, 17, 1, "Steps To Hatch"},
    {&SpeciesValues::eggType1, 20, 1, "Egg Type 1"},
    {&SpeciesValues::eggType2, 21, 1, "Egg Type 2"},
    {&SpeciesValues::ability1, 22, 1, "Special Ability 1"},
    {&SpeciesValues::ability2, 23, 1, "Special Ability 2"},
    {&SpeciesValues::safari, 24, 1, "Safari Zone (Run Chance)"},
};

// The bytes of a change that touches only those fields, without planning the whole save twice (the
// common edit of a file: numbers of the record); nothing when anything else changed too.
std::optional<std::vector<PlannedByte>> DirectRecordBytes(const EditorSession& session, int32_t index,
                                                          const SpeciesState& before,
                                                          const SpeciesState& after) {
    if (after.name != before.name) return std::nullopt;
    SpeciesValues rest = after.values;
    for (const DirectField& direct : kDirectFields) rest.*direct.member = before.values.*direct.member;
    if (!(rest == before.values)) return std::nullopt;
    const int64_t record = static_cast<int64_t>(session.DataOffset) + int64_t{Species::kRecordSize} * index;
    std::vector<PlannedByte> bytes;
    for (const DirectField& direct : kDirectFields) {
        const int value = after.values.*direct.member;
        if (value == before.values.*direct.member) continue;
        for (int k = 0; k < direct.width; ++k)
            bytes.push_back(
                {record + direct.offset + k, static_cast<uint8_t>(value >> (8 * k)), direct.field});
    }
    return bytes;
}

PlannedPart PlanSaveDifference(const EditorSession& session, int32_t index, const SpeciesState& before,
                               const SpeciesState& after, FreeSpaceMap& /*space*/) {
    if (std::optional<std::vector<PlannedByte>> direct = DirectRecordBytes(session, index, before, after))
        return Bytes(std::move(*direct));
    const SpeciesSavePlan was = PlanSpeciesSave(session, index, EditsOf(before));
    SpeciesSavePlan will = PlanSpeciesSave(session, index, EditsOf(after));
    if (!will.error.empty()) return Failed(will.error);
    return Bytes(DifferenceOf(was.plan.bytes, std::move(will.plan.bytes)));
}

PlannedPart PlanEvolutionDifference(const EditorSession& session, int32_t index, const SpeciesState& before,
                                    const SpeciesState& after, FreeSpaceMap& /*space*/) {
    if (!before.tables.evolutions || !after.tables.evolutions) return {};
    return Bytes(DifferenceOf(PlanEvolutionWrites(session, index, *before.tables.evolutions),
                              PlanEvolutionWrites(session, index, *after.tables.evolutions)));
}

PlannedPart PlanTmHmDifference(const EditorSession& session, int32_t index, const SpeciesState& before,
                               const SpeciesState& after, FreeSpaceMap& /*space*/) {
    if (!before.tables.tmhm || !after.tables.tmhm) return {};
    return Bytes(DifferenceOf(PlanTmHmWrites(session, index, before.tables.tmhm->mask),
                              PlanTmHmWrites(session, index, after.tables.tmhm->mask)));
}

PlannedPart PlanTutorDifference(const EditorSession& session, int32_t index, const SpeciesState& before,
                                const SpeciesState& after, FreeSpaceMap& /*space*/) {
    if (!before.tables.tutors || !after.tables.tutors) return {};
    return Bytes(DifferenceOf(PlanTutorWrites(session, index, before.tables.tutors->mask),
                              PlanTutorWrites(session, index, after.tables.tutors->mask)));
}

// The window's save of the species with its attack table: in place where the rows and an end mark fit in
// what the table holds, else moved into free space (the pointer follows; the old table becomes FF when no
// other species uses it). Of that plan only the bytes that change: compared with the save of the species as
// it was and with the table's bytes as they are.
PlannedPart PlanAttackTable(const EditorSession& session, int32_t index, const SpeciesState& before,
                            const SpeciesState& after, FreeSpaceMap& space) {
    const std::optional<int64_t> table = OffsetOf(after.values.attackTable);
    if (!table) return {};
    SpeciesEdits edits = EditsOf(after);
    edits.rows = after.attacks;
    const SpeciesTablePlan planned = PlanSpeciesWithAttackTable(session, index, edits, space);
    if (!planned.ok) {
        std::string error = planned.error;
        constexpr std::string_view kNothing = " Nothing was saved.";
        if (error.ends_with(kNothing)) error.resize(error.size() - kNothing.size());
        while (!error.empty() && error.back() == '.') error.pop_back();
        return Failed("\"attacks\": " + error);
    }
    std::vector<PlannedByte> was = PlanSpeciesSave(session, index, EditsOf(before)).plan.bytes;
    const std::vector<LevelUpAttackEntry> current =
        after.values.attackTable == before.values.attackTable
            ? before.attacks
            : LoadAttackTable(session.RomPath, static_cast<int32_t>(*table));
    int64_t at = *table;
    for (const LevelUpAttackEntry& row : current) {
        const std::string digits = EncodeAttackEntry(row.attack, row.level);
        was.push_back({at++, static_cast<uint8_t>(HexFunctions::ByteAt(digits, 0)), {}});
        was.push_back({at++, static_cast<uint8_t>(HexFunctions::ByteAt(digits, 1)), {}});
    }
    if (const auto end = HexFunctions::ReadBytes(session.RomPath, at, 2)) {
        was.push_back({at, (*end)[0], {}});
        was.push_back({at + 1, (*end)[1], {}});
    }
    PlannedPart part = Bytes(DifferenceOf(was, planned.planned.plan.bytes));
    if (planned.movedTo)
        part.moved.push_back({"attack_table", after.values.attackTable, PointerTextOf(*planned.movedTo)});
    return part;
}

// The planned bytes the file does not hold already: a table rewritten whole changes only where it differs.
std::vector<PlannedByte> OnlyChanging(const std::string& romPath, std::vector<PlannedByte> bytes) {
    if (bytes.empty()) return bytes;
    const auto [low, high] = std::minmax_element(
        bytes.begin(), bytes.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
    const int64_t first = low->offset;
    const int64_t span = high->offset - first + 1;
    // One read where the bytes lie together (a table in place); else one per byte (a table that moved, whose
    // references lie anywhere in the file, and whose new bytes are mostly new anyway).
    constexpr int64_t kOneRead = 1 << 16;
    std::optional<std::vector<uint8_t>> together;
    if (span <= kOneRead) together = HexFunctions::ReadBytes(romPath, first, static_cast<int32_t>(span));
    std::erase_if(bytes, [&](const PlannedByte& byte) {
        if (together) return (*together)[static_cast<size_t>(byte.offset - first)] == byte.value;
        const auto held = HexFunctions::ReadBytes(romPath, byte.offset, 1);
        return held && (*held)[0] == byte.value;
    });
    return bytes;
}

// A message as part of a longer one, which adds its own full stop.
std::string Clause(std::string sentences) {
    while (!sentences.empty() && (sentences.back() == '.' || sentences.back() == ' ')) sentences.pop_back();
    return sentences;
}

PlannedPart PlanEggMoveChanges(const EditorSession& session, const std::vector<StateChange>& changes,
                               FreeSpaceMap& space) {
    std::vector<EggMoveChange> asked;
    for (const StateChange& change : changes) {
        if (change.after.tables.eggMoves && change.after.tables.eggMoves != change.before.tables.eggMoves)
            asked.push_back({change.index, *change.after.tables.eggMoves});
    }
    if (asked.empty()) return {};
    const EggMoveSavePlan planned = PlanEggMoveSave(session, asked, space);
    if (!planned.ok) return Failed("\"egg_moves\": " + Clause(planned.error));
    PlannedPart part = Bytes(OnlyChanging(session.RomPath, planned.bytes));
    if (planned.movedTo)
        part.moved.push_back({"egg move table", PointerTextOf(session.Tables.eggMoves.where->table),
                              PointerTextOf(*planned.movedTo)});
    return part;
}

PlannedPart PlanDexDifference(const EditorSession& session, int32_t index, const SpeciesState& before,
                              const SpeciesState& after, FreeSpaceMap& space) {
    if (!after.tables.dex || after.tables.dex == before.tables.dex) return {};
    if (!before.tables.dex)
        return Failed("\"category\": species " + std::to_string(index) +
                      " has no Pokédex entry, so its category, height, weight and description cannot be set");
    const DexSavePlan planned = PlanDexEntrySave(session, index, *after.tables.dex, space);
    if (!planned.ok) return Failed("Pokédex entry: " + Clause(Windows1252::ToUtf8(planned.error)));
    PlannedPart part = Bytes(OnlyChanging(session.RomPath, planned.bytes));
    // "the description's second page moved to 0x71A240"
    for (const std::string& sentence : planned.moved) {
        const size_t to = sentence.find(" moved to ");
        const bool second = sentence.find("second page") != std::string::npos;
        part.moved.push_back({second ? "description2" : "description", "",
                              "moved into free space at " + sentence.substr(to + 10)});
    }
    return part;
}

PlannedPart PlanBattleDifference(const EditorSession& session, int32_t index, const SpeciesState& before,
                                 const SpeciesState& after, FreeSpaceMap& space) {
    if (!after.tables.battle || after.tables.battle == before.tables.battle) return {};
    BattleSavePlan planned = PlanBattleSave(session, index, *after.tables.battle, space);
    if (!planned.ok) return Failed("battle data: " + Clause(planned.error));
    return Bytes(std::move(planned.bytes));
}

// A file that moves the table without giving its rows takes the rows found at the new place.
void SettleAttackRows(const EditorSession& session, const SpeciesState& before, SpeciesState& after,
                      const std::vector<std::string>& given) {
    if (after.values.attackTable == before.values.attackTable) return;
    for (const std::string& key : given) {
        if (key == "attacks") return;
    }
    SpeciesState moved = after;
    ReadAttackRows(session, 0, moved);
    after.attacks = std::move(moved.attacks);
}

// Far beyond what a Pokédex page shows; a longer text is taken for a mistake.
constexpr int64_t kLongestText = 1000;

std::vector<FieldGroup> MakeGroups() {
    using V = SpeciesValues;
    using E = EvYields;
    std::vector<FieldGroup> groups;
    groups.push_back({"name", {NameField()}, {}, ReadNameAndRecord, PlanSaveDifference, nullptr});
    groups.push_back(
        {"record",
         {Number("hp", 255, &V::hp), Number("attack", 255, &V::attack), Number("defense", 255, &V::defense),
          Number("speed", 255, &V::speed), Number("sp_attack", 255, &V::spAttack),
          Number("sp_defense", 255, &V::spDefense), Choice("type1", ChoiceList::Types, 255, &V::type1),
          Choice("type2", ChoiceList::Types, 255, &V::type2), Number("catch_rate", 255, &V::catchRate),
          Number("base_xp", 255, &V::baseXp), Choice("item1", ChoiceList::Items, 65535, &V::item1),
          Choice("item2", ChoiceList::Items, 65535, &V::item2), Number("gender", 255, &V::gender),
          Number("steps_to_hatch", 255, &V::steps),
          Choice("egg_group1", ChoiceList::EggGroups, 255, &V::eggType1),
          Choice("egg_group2", ChoiceList::EggGroups, 255, &V::eggType2),
          Choice("ability1", ChoiceList::Abilities, 255, &V::ability1),
          Choice("ability2", ChoiceList::Abilities, 255, &V::ability2),
          Number("safari_run", 175, &V::safari)},
         {},
         ReadNameAndRecord,
         PlanSaveDifference,
         nullptr});
    groups.push_back({"EV yields",
                      {Yield("ev_hp", &E::hp), Yield("ev_attack", &E::attack),
                       Yield("ev_defense", &E::defense), Yield("ev_speed", &E::speed),
                       Yield("ev_sp_attack", &E::spAttack), Yield("ev_sp_defense", &E::spDefense)},
                      {},
                      ReadNameAndRecord,
                      PlanSaveDifference,
                      nullptr});
    groups.push_back({"graphics",
                      {Pointer("sprite", &V::sprite), Pointer("back_sprite", &V::backSprite),
                       Pointer("palette", &V::palette), Pointer("shiny_palette", &V::shinyPalette),
                       Pointer("icon", &V::icon)},
                      {},
                      ReadNameAndRecord,
                      PlanSaveDifference,
                      nullptr});
    groups.push_back({"icon palette",
                      {Number("icon_palette", 2, &V::iconPalette)},
                      {},
                      ReadNameAndRecord,
                      PlanSaveDifference,
                      nullptr});
    groups.push_back({"attack table",
                      {Pointer("attack_table", &V::attackTable), AttackRows()},
                      {},
                      ReadAttackRows,
                      PlanAttackTable,
                      SettleAttackRows});
    groups.push_back({"evolution table",
                      {EvolutionRows()},
                      [](const EditorSession& s) { return s.Tables.evolutions.where.has_value(); },
                      ReadEvolutionPart,
                      PlanEvolutionDifference,
                      nullptr});
    groups.push_back({"TM/HM compatibility table",
                      {CompatibilityRows("tmhm", ChoiceList::TmHm, &SpeciesTableValues::tmhm)},
                      [](const EditorSession& s) { return s.Tables.tmhm.where.has_value(); },
                      ReadTmHmPart,
                      PlanTmHmDifference,
                      nullptr});
    groups.push_back({"tutor compatibility table",
                      {CompatibilityRows("tutors", ChoiceList::Tutors, &SpeciesTableValues::tutors)},
                      [](const EditorSession& s) { return s.Tables.tutors.where.has_value(); },
                      ReadTutorPart,
                      PlanTutorDifference,
                      nullptr});
    FieldGroup eggMoves{"egg move table",
                        {EggMoveRows()},
                        [](const EditorSession& s) { return s.Tables.eggMoves.where.has_value(); },
                        ReadEggMovePart,
                        nullptr,
                        nullptr};
    eggMoves.planShared = PlanEggMoveChanges;
    groups.push_back(std::move(eggMoves));
    using D = DexEntryValues;
    groups.push_back(
        {"Pokédex",
         {NationalNumber(), DexCategory(), DexNumber("height", &D::height), DexNumber("weight", &D::weight),
          DexText("description", kLongestText, &D::description)},
         [](const EditorSession& s) { return s.Tables.dex.where.has_value(); },
         ReadDexPart,
         PlanDexDifference,
         nullptr});
    groups.push_back(
        {"Pokédex second page",
         {DexText("description2", kLongestText, &D::page2)},
         [](const EditorSession& s) { return s.Tables.dex.where && s.Tables.dex.where->twoPages; },
         ReadDexPart,
         PlanDexDifference,
         nullptr});
    using B = BattleValues;
    groups.push_back({"battle tables",
                      {BattleNumber("front_y", &B::frontY), BattleNumber("back_y", &B::backY),
                       BattleNumber("elevation", &B::elevation)},
                      [](const EditorSession& s) { return s.Tables.battle.where.has_value(); },
                      ReadBattlePart,
                      PlanBattleDifference,
                      nullptr});
    groups.push_back(
        {"front animation numbers",
         {FrontAnimation()},
         [](const EditorSession& s) { return s.Tables.battle.where && s.Tables.battle.where->frontAnimIds; },
         ReadBattlePart,
         PlanBattleDifference,
         nullptr});
    return groups;
}

}  // namespace

const std::vector<FieldGroup>& SpeciesFieldGroups() {
    static const std::vector<FieldGroup> groups = MakeGroups();
    return groups;
}

SpeciesState ReadSpeciesState(const EditorSession& session, int32_t index) {
    SpeciesState state;
    std::vector<void (*)(const EditorSession&, int32_t, SpeciesState&)> done;
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        if (group.available && !group.available(session)) continue;
        if (std::find(done.begin(), done.end(), group.read) != done.end()) continue;
        done.push_back(group.read);
        group.read(session, index, state);
    }
    return state;
}

std::optional<int64_t> OffsetOf(const std::string& pointerText) {
    return RomPointer::ParseTarget(pointerText);
}

std::string PointerTextOf(int64_t offset) {
    // Six digits, more when the offset needs them, as the pointer boxes show it.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint64_t rest = static_cast<uint64_t>(offset); rest > 0 || text.size() < 6; rest >>= 4)
        text.insert(text.begin(), kDigits[rest & 0xF]);
    return text;
}
