#include "SpeciesSave.h"

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

namespace {

std::string TwoDigits(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value) & 0xFFu);
    return text;
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

std::string HexOffset(int64_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(offset));
    return text;
}

struct ByteWrite {
    int64_t offset;
    std::string hex;
};

// Writes bytes one call each, in the order given, and stops for good at the first one that does not reach
// the file, remembering which field it belonged to.
class SpeciesWriter {
public:
    explicit SpeciesWriter(const std::string& path) : path_(path) {}

    bool Write(const std::string& field, std::initializer_list<ByteWrite> writes) {
        for (const ByteWrite& write : writes) {
            if (!Write(field, write.offset, write.hex)) return false;
        }
        return true;
    }

    bool Write(const std::string& field, int64_t offset, const std::string& hex) {
        if (failed_) return false;
        const bool inRange = offset >= 0 && offset <= std::numeric_limits<int32_t>::max();
        if (inRange && HexFunctions::WriteHexByte(path_, static_cast<int32_t>(offset), hex)) return true;
        failed_ = true;
        failedField_ = field;
        failedOffset_ = offset;
        return false;
    }

    // A record step: its bytes, then its report line naming the offset of the field's first byte.
    bool Step(const std::string& label, int64_t fieldOffset, std::initializer_list<ByteWrite> writes) {
        if (!Write(label, writes)) return false;
        report_ += "\r\n" + label + " Data Saved To: " + Decimal(fieldOffset);
        return true;
    }

    void StartReport(const std::string& firstLine) { report_ = firstLine; }

    SaveOutcome Outcome() const {
        SaveOutcome outcome;
        if (failed_) {
            outcome.error =
                "The save of \"" + path_ + "\" is incomplete: the byte for " + failedField_ + " at offset " +
                Decimal(failedOffset_) + " (" + HexOffset(failedOffset_) +
                ") could not be written. The bytes before it are in the file, none from it on; the "
                "species is saved only in part.";
            return outcome;
        }
        outcome.complete = true;
        outcome.report = report_;
        return outcome;
    }

private:
    const std::string& path_;
    bool failed_ = false;
    std::string failedField_;
    int64_t failedOffset_ = 0;
    std::string report_;
};

// The three stored bytes of a 24-bit pointer target: least significant first.
std::array<std::string, 3> PointerBytes(int32_t target) {
    const uint32_t value = static_cast<uint32_t>(target);
    return {TwoDigits(static_cast<int>(value & 0xFF)), TwoDigits(static_cast<int>((value >> 8) & 0xFF)),
            TwoDigits(static_cast<int>((value >> 16) & 0xFF))};
}

bool WritePointer(SpeciesWriter& writer, const std::string& field, int64_t entry, int32_t target) {
    const std::array<std::string, 3> b = PointerBytes(target);
    return writer.Write(field, {{entry + 2, b[2]}, {entry + 1, b[1]}, {entry, b[0]}});
}

SaveOutcome Save(SpeciesWriter& writer, const EditorSession& session, int32_t index, const SpeciesEdits& e) {
    const int64_t nameEntry = static_cast<int64_t>(session.NameOffset) + int64_t{Species::kNameSize} * index;
    const std::string codes = CharTable::EncodeName(e.name);
    for (size_t k = 0; 2 * k + 1 < codes.size(); ++k) {
        if (!writer.Write("the name", nameEntry + static_cast<int64_t>(k), codes.substr(2 * k, 2))) {
            return writer.Outcome();
        }
    }
    writer.StartReport("Name Saved To: " + Decimal(nameEntry));

    const int64_t r = static_cast<int64_t>(session.DataOffset) + int64_t{Species::kRecordSize} * index;
    const int item1 = PositionWord(e.item1);
    const int item2 = PositionWord(e.item2);
    // Each step runs only when the ones before it got through, so the EV conversion below shows its
    // messages (if any) after the earlier fields are in the file, as a field-by-field save does.
    const bool recordSaved =
        writer.Step("HP", r, {{r, NumberByte(e.hp)}}) &&
        writer.Step("Attack", r + 1, {{r + 1, NumberByte(e.attack)}}) &&
        writer.Step("Defense", r + 2, {{r + 2, NumberByte(e.defense)}}) &&
        writer.Step("Speed", r + 3, {{r + 3, NumberByte(e.speed)}}) &&
        writer.Step("Special Attack", r + 4, {{r + 4, NumberByte(e.spAttack)}}) &&
        writer.Step("Special Defense", r + 5, {{r + 5, NumberByte(e.spDefense)}}) &&
        writer.Step("Type 1", r + 6, {{r + 6, PositionByte(e.type1)}}) &&
        writer.Step("Type 2", r + 7, {{r + 7, PositionByte(e.type2)}}) &&
        writer.Step("Base XP", r + 9, {{r + 9, NumberByte(e.baseXp)}}) &&
        writer.Step("Catch Rate", r + 8, {{r + 8, NumberByte(e.catchRate)}}) &&
        [&] {
            const std::string ev = EvWordDigits(e);
            return writer.Step("EV", r + 10, {{r + 11, ev.substr(2, 2)}, {r + 10, ev.substr(0, 2)}});
        }() &&
        writer.Step("Held Item 1", r + 12,
                    {{r + 12, TwoDigits(item1 & 0xFF)}, {r + 13, TwoDigits(item1 >> 8)}}) &&
        writer.Step("Held Item 2", r + 14,
                    {{r + 14, TwoDigits(item2 & 0xFF)}, {r + 15, TwoDigits(item2 >> 8)}}) &&
        writer.Step("Gender", r + 16, {{r + 16, PositionByte(e.gender)}}) &&
        writer.Step("Steps To Hatch", r + 17, {{r + 17, PositionByte(e.steps)}}) &&
        writer.Step("Egg Type 1", r + 20, {{r + 20, PositionByte(e.eggType1)}}) &&
        writer.Step("Egg Type 2", r + 21, {{r + 21, PositionByte(e.eggType2)}}) &&
        writer.Step("Special Ability 1", r + 22, {{r + 22, PositionByte(e.ability1)}}) &&
        writer.Step("Special Ability 2", r + 23, {{r + 23, PositionByte(e.ability2)}}) &&
        writer.Step("Safari Zone (Run Chance)", r + 24, {{r + 24, NumberByte(e.safari)}});
    if (!recordSaved) return writer.Outcome();

    const int64_t i = index;
    const bool pointersSaved =
        WritePointer(writer, "the sprite pointer", session.ImageOffset + 8 * i, e.sprite) &&
        WritePointer(writer, "the back sprite pointer",
                     session.ImageOffset + Species::kBackSpriteDistance + 8 * i, e.backSprite) &&
        WritePointer(writer, "the palette pointer", session.PaletteOffset + 8 * i, e.palette) &&
        WritePointer(writer, "the shiny palette pointer",
                     session.PaletteOffset + Species::kShinyPaletteDistance + 8 * i, e.shinyPalette) &&
        WritePointer(writer, "the icon pointer", session.IconOffset + 4 * i, e.icon) &&
        writer.Write("the icon palette number", session.IconPalette + i, PositionByte(e.iconPalette));
    if (!pointersSaved) return writer.Outcome();

    // The attack table pointer goes out low, high, middle.
    const int64_t attackEntry = session.AttackTable + 4 * i;
    const std::array<std::string, 3> table = PointerBytes(e.attackTable);
    if (!writer.Write("the attack table pointer",
                      {{attackEntry, table[0]}, {attackEntry + 2, table[2]}, {attackEntry + 1, table[1]}})) {
        return writer.Outcome();
    }

    for (size_t row = 0; row < e.rows.size(); ++row) {
        const std::string digits = "0000" + EncodeAttackEntry(e.rows[row].attack, e.rows[row].level);
        const std::string entry = digits.substr(digits.size() - 4);
        const int64_t at = static_cast<int64_t>(e.attackTable) + 2 * static_cast<int64_t>(row);
        const std::string field = "attack row " + std::to_string(row + 1);
        if (!writer.Write(field, {{at, entry.substr(0, 2)}, {at + 1, entry.substr(2, 2)}}))
            return writer.Outcome();
    }
    return writer.Outcome();
}

// The bytes of one field that the save writes, first to last (the record leaves two bytes in between alone).
struct Extent {
    std::string field;
    int64_t first;
    int64_t last;
};

const char kRowsField[] = "the attack table rows";

std::vector<Extent> PlannedExtents(const EditorSession& session, int32_t index, const SpeciesEdits& e) {
    const int64_t i = index;
    const int64_t nameEntry = session.NameOffset + int64_t{Species::kNameSize} * i;
    const int64_t nameBytes = static_cast<int64_t>(CharTable::EncodeName(e.name).size() / 2);
    const int64_t record = session.DataOffset + int64_t{Species::kRecordSize} * i;
    const auto pointer = [](std::string field, int64_t entry) {
        return Extent{std::move(field), entry, entry + 2};
    };
    std::vector<Extent> extents = {
        {"the name entry", nameEntry, nameEntry + nameBytes - 1},
        {"the species record", record, record + 24},
        pointer("the sprite pointer", session.ImageOffset + 8 * i),
        pointer("the back sprite pointer", session.ImageOffset + Species::kBackSpriteDistance + 8 * i),
        pointer("the palette pointer", session.PaletteOffset + 8 * i),
        pointer("the shiny palette pointer", session.PaletteOffset + Species::kShinyPaletteDistance + 8 * i),
        pointer("the icon pointer", session.IconOffset + 4 * i),
        {"the icon palette number", session.IconPalette + i, session.IconPalette + i},
        pointer("the attack table pointer", session.AttackTable + 4 * i),
    };
    if (!e.rows.empty()) {
        const int64_t table = e.attackTable;
        extents.push_back({kRowsField, table, table + 2 * static_cast<int64_t>(e.rows.size()) - 1});
    }
    return extents;
}

// The fields with a byte outside a file of size bytes, for the message; empty when every byte fits.
std::string OutsideTheFile(const std::vector<Extent>& extents, int64_t size) {
    // WriteHexByte takes 32-bit offsets, so a byte past that range cannot be written whatever the file.
    const int64_t end = std::min<int64_t>(size, int64_t{std::numeric_limits<int32_t>::max()} + 1);
    std::vector<std::string> parts;
    for (const Extent& extent : extents) {
        if (extent.first >= 0 && extent.last < end) continue;
        std::string part = extent.field + " at " + HexOffset(extent.first);
        if (extent.last != extent.first) part += " to " + HexOffset(extent.last);
        if (extent.field == kRowsField && extent.first >= 0) {
            // Naming the rows that do not fit shows where the table leaves the file.
            const int64_t rows = (extent.last - extent.first + 1) / 2;
            const int64_t firstOutside = std::max<int64_t>(0, (end - extent.first) / 2) + 1;
            part += firstOutside == rows ? " (row " + Decimal(rows) + ")"
                                         : " (rows " + Decimal(firstOutside) + " to " + Decimal(rows) + ")";
        }
        parts.push_back(std::move(part));
    }
    std::string text;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) text += k + 1 == parts.size() ? " and " : ", ";
        text += parts[k];
    }
    return text;
}

}  // namespace

SaveOutcome SaveSpecies(const EditorSession& session, int32_t index, const SpeciesEdits& edits) {
    SaveOutcome refused;
    if (!HexFunctions::CanOpenForWriting(session.RomPath)) {
        refused.error =
            "The file \"" + session.RomPath +
            "\" cannot be opened for writing (it may be read-only, moved or removed). Nothing was "
            "saved.";
        return refused;
    }
    // Every byte is checked against the file's present length before the first one is written, so a file
    // cut since it was opened, or a table that runs past the end, is left as it was instead of half written.
    const std::optional<int64_t> size = HexFunctions::RomFileSize(session.RomPath);
    if (!size) {
        refused.error = "The length of the file \"" + session.RomPath +
                        "\" cannot be read, so the save cannot be checked to fit in it. Nothing was saved.";
        return refused;
    }
    const std::string outside = OutsideTheFile(PlannedExtents(session, index, edits), *size);
    if (!outside.empty()) {
        refused.error = "The file \"" + session.RomPath + "\" is too short for this save: it has " +
                        Decimal(*size) + " bytes (it may have been cut since it was opened), and " + outside +
                        " would lie beyond its end. Nothing was saved.";
        return refused;
    }
    SpeciesWriter writer(session.RomPath);
    return Save(writer, session, index, edits);
}
