#include "species/SpeciesSave.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <optional>
#include <vector>

#include "CharTable.h"
#include "HexFunctions.h"
#include "modConv.h"
#include "rom/RomPointer.h"
#include "species/AttackTableSave.h"

namespace {

std::string TwoDigits(int value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const unsigned byte = static_cast<unsigned>(value) & 0xFFu;
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

// A typed number: rounded half to even as the window's conversion does, then wrapped into a byte, so 256
// stores 00 and -1 stores FF.
std::string NumberByte(double value) {
    if (!std::isfinite(value)) return "00";
    double wrapped = std::fmod(std::nearbyint(value), 256.0);
    if (wrapped < 0) wrapped += 256.0;
    return TwoDigits(static_cast<int>(wrapped));
}

// A list position; -1 (nothing selected) wraps to FF like any other.
std::string PositionByte(int position) {
    return TwoDigits(((position % 256) + 256) % 256);
}

int PositionWord(int position) {
    return ((position % 65536) + 65536) % 65536;
}

// The last two binary digits of a yield, "00" when the conversion refused it.
std::string YieldBits(double yield) {
    const std::string digits = "00" + modConv::DecToBin(yield);
    return digits.substr(digits.size() - 2);
}

std::string EvWordDigits(const SpeciesEdits& edits) {
    const std::string bits = YieldBits(edits.evSpeed) + YieldBits(edits.evDefense) +
                             YieldBits(edits.evAttack) + YieldBits(edits.evHp) + "0000" +
                             YieldBits(edits.evSpDefense) + YieldBits(edits.evSpAttack);
    const std::string hex = "0000" + modConv::BinToHex(bits);
    return hex.substr(hex.size() - 4);
}

std::string Decimal(int64_t offset) {
    return std::to_string(offset);
}

// Builds the species' bytes in the fixed field order, with the report line of each record step.
class SpeciesPlanner {
public:
    explicit SpeciesPlanner(WritePlan& plan) : plan_(plan) {}

    void Write(const std::string& field, std::initializer_list<std::pair<int64_t, std::string>> writes) {
        for (const auto& [offset, hex] : writes) Write(field, offset, hex);
    }
    void Write(const std::string& field, int64_t offset, const std::string& hex) {
        plan_.Add(field, offset, static_cast<uint8_t>(HexFunctions::ByteAt(hex, 0) & 0xFF));
    }
    // A record step: its bytes, then its report line naming the offset of the field's first byte.
    void Step(const std::string& label, int64_t fieldOffset,
              std::initializer_list<std::pair<int64_t, std::string>> writes) {
        Write(label, writes);
        report_ += "\r\n" + label + " Data Saved To: " + Decimal(fieldOffset);
    }
    void StartReport(const std::string& firstLine) { report_ = firstLine; }
    std::string Report() const { return report_; }

private:
    WritePlan& plan_;
    std::string report_;
};

// The three stored bytes of a 24-bit pointer target: least significant first.
std::array<std::string, 3> PointerBytes(int32_t target) {
    const uint32_t value = static_cast<uint32_t>(target);
    return {TwoDigits(static_cast<int>(value & 0xFF)), TwoDigits(static_cast<int>((value >> 8) & 0xFF)),
            TwoDigits(static_cast<int>((value >> 16) & 0xFF))};
}

// The fourth byte of a pointer is written only when it must change, and then first: it reads the byte that
// is there, so an unedited save leaves every pointer as it was.
void WriteFourthByte(SpeciesPlanner& planner, const std::string& romPath, const std::string& field,
                     int64_t entry, int32_t target) {
    const int64_t at = entry + 3;
    const bool readable = at >= 0 && at <= std::numeric_limits<int32_t>::max();
    const int current =
        readable ? HexFunctions::ByteAt(HexFunctions::ReadHexBytes(romPath, static_cast<int32_t>(at), 1), 0)
                 : -1;
    if (const std::optional<uint8_t> byte = RomPointer::FourthByteToWrite(target, current))
        planner.Write(field, at, TwoDigits(*byte));
}

void WritePointer(SpeciesPlanner& planner, const std::string& romPath, const std::string& field,
                  int64_t entry, int32_t target) {
    const std::array<std::string, 3> b = PointerBytes(target);
    WriteFourthByte(planner, romPath, field, entry, target);
    planner.Write(field, {{entry + 2, b[2]}, {entry + 1, b[1]}, {entry, b[0]}});
}

std::string PlanBytes(SpeciesPlanner& planner, const EditorSession& session, int32_t index,
                      const SpeciesEdits& e) {
    const int64_t nameEntry = static_cast<int64_t>(session.NameOffset) + int64_t{Species::kNameSize} * index;
    const std::string codes = CharTable::EncodeName(e.name);
    for (size_t k = 0; 2 * k + 1 < codes.size(); ++k)
        planner.Write("the name", nameEntry + static_cast<int64_t>(k), codes.substr(2 * k, 2));
    planner.StartReport("Name Saved To: " + Decimal(nameEntry));

    const int64_t r = static_cast<int64_t>(session.DataOffset) + int64_t{Species::kRecordSize} * index;
    const int item1 = PositionWord(e.item1);
    const int item2 = PositionWord(e.item2);
    planner.Step("HP", r, {{r, NumberByte(e.hp)}});
    planner.Step("Attack", r + 1, {{r + 1, NumberByte(e.attack)}});
    planner.Step("Defense", r + 2, {{r + 2, NumberByte(e.defense)}});
    planner.Step("Speed", r + 3, {{r + 3, NumberByte(e.speed)}});
    planner.Step("Special Attack", r + 4, {{r + 4, NumberByte(e.spAttack)}});
    planner.Step("Special Defense", r + 5, {{r + 5, NumberByte(e.spDefense)}});
    planner.Step("Type 1", r + 6, {{r + 6, PositionByte(e.type1)}});
    planner.Step("Type 2", r + 7, {{r + 7, PositionByte(e.type2)}});
    planner.Step("Base XP", r + 9, {{r + 9, NumberByte(e.baseXp)}});
    planner.Step("Catch Rate", r + 8, {{r + 8, NumberByte(e.catchRate)}});
    const std::string ev = EvWordDigits(e);
    planner.Step("EV", r + 10, {{r + 11, ev.substr(2, 2)}, {r + 10, ev.substr(0, 2)}});
    planner.Step("Held Item 1", r + 12, {{r + 12, TwoDigits(item1 & 0xFF)}, {r + 13, TwoDigits(item1 >> 8)}});
    planner.Step("Held Item 2", r + 14, {{r + 14, TwoDigits(item2 & 0xFF)}, {r + 15, TwoDigits(item2 >> 8)}});
    planner.Step("Gender", r + 16, {{r + 16, PositionByte(e.gender)}});
    planner.Step("Steps To Hatch", r + 17, {{r + 17, PositionByte(e.steps)}});
    planner.Step("Egg Type 1", r + 20, {{r + 20, PositionByte(e.eggType1)}});
    planner.Step("Egg Type 2", r + 21, {{r + 21, PositionByte(e.eggType2)}});
    planner.Step("Special Ability 1", r + 22, {{r + 22, PositionByte(e.ability1)}});
    planner.Step("Special Ability 2", r + 23, {{r + 23, PositionByte(e.ability2)}});
    planner.Step("Safari Zone (Run Chance)", r + 24, {{r + 24, NumberByte(e.safari)}});

    const int64_t i = index;
    const std::string& rom = session.RomPath;
    WritePointer(planner, rom, "the sprite pointer", session.ImageOffset + 8 * i, e.sprite);
    WritePointer(planner, rom, "the back sprite pointer", Species::BackSpriteEntry(session, i), e.backSprite);
    WritePointer(planner, rom, "the palette pointer", session.PaletteOffset + 8 * i, e.palette);
    WritePointer(planner, rom, "the shiny palette pointer", Species::ShinyPaletteEntry(session, i),
                 e.shinyPalette);
    WritePointer(planner, rom, "the icon pointer", session.IconOffset + 4 * i, e.icon);
    planner.Write("the icon palette number", session.IconPalette + i, PositionByte(e.iconPalette));

    // The attack table pointer goes out low, high, middle.
    const int64_t attackEntry = session.AttackTable + 4 * i;
    const std::array<std::string, 3> table = PointerBytes(e.attackTable);
    WriteFourthByte(planner, rom, "the attack table pointer", attackEntry, e.attackTable);
    planner.Write("the attack table pointer",
                  {{attackEntry, table[0]}, {attackEntry + 2, table[2]}, {attackEntry + 1, table[1]}});

    for (size_t row = 0; row < e.rows.size(); ++row) {
        const std::string entry = EncodeAttackEntry(e.rows[row].attack, e.rows[row].level);
        const int64_t at = static_cast<int64_t>(e.attackTable) + 2 * static_cast<int64_t>(row);
        const std::string field = "the attack table rows";
        planner.Write(field, {{at, entry.substr(0, 2)}, {at + 1, entry.substr(2, 2)}});
    }
    return planner.Report();
}

}  // namespace

SpeciesSavePlan PlanSpeciesSave(const EditorSession& session, int32_t index, const SpeciesEdits& edits) {
    SpeciesSavePlan planned;
    for (const auto& [target, field] : {std::pair{edits.sprite, "sprite"},
                                        {edits.backSprite, "back sprite"},
                                        {edits.palette, "palette"},
                                        {edits.shinyPalette, "shiny palette"},
                                        {edits.icon, "icon"},
                                        {edits.attackTable, "attack table"}}) {
        if (target >= 0 && target < RomPointer::kSpan) continue;
        char text[24];
        std::snprintf(text, sizeof text, "0x%llX",
                      static_cast<unsigned long long>(static_cast<uint32_t>(target)));
        planned.error = "The " + std::string(field) + " pointer cannot address " + text +
                        ": a ROM pointer reaches file offsets 0 to 0x1FFFFFF. Nothing was saved.";
        return planned;
    }
    planned.plan.label = "Save " + edits.name;
    planned.plan.species = index;
    SpeciesPlanner planner(planned.plan);
    planned.report = PlanBytes(planner, session, index, edits);
    return planned;
}

SaveOutcome SaveSpecies(RomWriter& writer, int32_t index, const SpeciesEdits& edits,
                        const std::vector<PlannedByte>& more) {
    FreeSpaceMap space(writer.Session());
    SpeciesTablePlan planned = PlanSpeciesWithAttackTable(writer.Session(), index, edits, space);
    SaveOutcome outcome;
    if (!planned.ok) {
        // A plan made from a file that changed means nothing: the writer's check tells what happened.
        const std::string changed = writer.ChangedSinceOpening();
        outcome.error = changed.empty() ? planned.error : changed;
        return outcome;
    }
    planned.planned.plan.Append(more);
    const WriteOutcome written = writer.Apply(planned.planned.plan);
    outcome.complete = written.complete;
    outcome.bytesWritten = written.bytesWritten;
    outcome.error = written.error;
    outcome.warning = written.warning;
    if (written.complete) {
        outcome.report = std::move(planned.planned.report);
        outcome.tableMovedTo = planned.movedTo;
    }
    return outcome;
}
