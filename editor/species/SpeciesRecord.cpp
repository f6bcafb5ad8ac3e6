#include "species/SpeciesRecord.h"

#include <algorithm>

#include "HexFunctions.h"
#include "modConv.h"
#include "rom/RomPointer.h"

namespace {

// Byte k of the record; a read always gives digits, so -1 cannot reach the window.
int ByteAt(const std::string& hex, size_t k) {
    return std::max(HexFunctions::ByteAt(hex, k), 0);
}

// A 16-bit field: the high byte's digits followed by the low byte's, read as one number.
int WordAt(const std::string& hex, size_t lowByte) {
    return ByteAt(hex, lowByte + 1) * 256 + ByteAt(hex, lowByte);
}

// Characters first and first + 1 (0-based) of the binary digits as a yield of 0 to 3.
int PairAt(const std::string& bits, size_t first) {
    return (bits[first] == '1' ? 2 : 0) + (bits[first + 1] == '1' ? 1 : 0);
}

std::string PointerAt(const std::string& romPath, int32_t entry) {
    return RomPointer::TargetText(HexFunctions::ReadHexBytes(romPath, entry, 4));
}

}  // namespace

EvYields DecodeEvYields(const std::string& fourHexDigits) {
    EvYields yields;
    const std::string bits = modConv::HexToBin(fourHexDigits);
    // HexToBin has already told the user about digits it could not take; the yields then stay 0.
    if (bits.size() != 16) return yields;
    yields.speed = PairAt(bits, 0);
    yields.defense = PairAt(bits, 2);
    yields.attack = PairAt(bits, 4);
    yields.hp = PairAt(bits, 6);
    yields.spDefense = PairAt(bits, 12);
    yields.spAttack = PairAt(bits, 14);
    return yields;
}

SpeciesValues ReadSpecies(const EditorSession& session, int32_t index) {
    const std::string& path = session.RomPath;
    const std::string record =
        HexFunctions::ReadHexBytes(path, Species::RecordBase(session, index), Species::kRecordSize);

    SpeciesValues values;
    values.hp = ByteAt(record, 0);
    values.attack = ByteAt(record, 1);
    values.defense = ByteAt(record, 2);
    values.speed = ByteAt(record, 3);
    values.spAttack = ByteAt(record, 4);
    values.spDefense = ByteAt(record, 5);
    values.type1 = ByteAt(record, 6);
    values.type2 = ByteAt(record, 7);
    values.catchRate = ByteAt(record, 8);
    values.baseXp = ByteAt(record, 9);
    values.item1 = WordAt(record, 12);
    values.item2 = WordAt(record, 14);
    values.gender = ByteAt(record, 16);
    values.steps = ByteAt(record, 17);
    values.eggType1 = ByteAt(record, 20);
    values.eggType2 = ByteAt(record, 21);
    values.ability1 = ByteAt(record, 22);
    values.ability2 = ByteAt(record, 23);
    values.safari = ByteAt(record, 24);

    values.attackTable = PointerAt(path, Species::AttackTableEntry(session, index));
    values.sprite = PointerAt(path, Species::SpriteEntry(session, index));
    values.backSprite = PointerAt(path, Species::BackSpriteEntry(session, index));
    values.palette = PointerAt(path, Species::PaletteEntry(session, index));
    values.shinyPalette = PointerAt(path, Species::ShinyPaletteEntry(session, index));
    values.icon = PointerAt(path, Species::IconEntry(session, index));
    values.iconPalette =
        ByteAt(HexFunctions::ReadHexBytes(path, Species::IconPaletteEntry(session, index), 1), 0);

    values.ev = DecodeEvYields(record.size() >= 24 ? record.substr(20, 4) : std::string());
    return values;
}
