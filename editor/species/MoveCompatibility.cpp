#include "species/MoveCompatibility.h"

#include <cstdio>

#include "HexFunctions.h"

namespace {

constexpr int kTmCount = 50;

int64_t EntryOf(const CompatibilityTable& table, int32_t index) {
    return int64_t{table.table} + int64_t{table.entrySize} * index;
}

std::optional<Compatibility> Read(const std::string& romPath, const std::optional<CompatibilityTable>& table,
                                  int32_t index) {
    if (!table) return std::nullopt;
    Compatibility read;
    const HexFunctions::HexByteString entry =
        HexFunctions::ReadHexBytes(romPath, static_cast<int32_t>(EntryOf(*table, index)), table->entrySize);
    for (int k = table->entrySize - 1; k >= 0; --k)
        read.mask =
            read.mask << 8 | static_cast<uint64_t>(HexFunctions::ByteAt(entry, static_cast<size_t>(k)));
    const HexFunctions::HexByteString list =
        HexFunctions::ReadHexBytes(romPath, table->moves, 2 * table->count);
    for (int k = 0; k < table->count; ++k) {
        const auto at = static_cast<size_t>(2 * k);
        read.moves.push_back(HexFunctions::ByteAt(list, at) | HexFunctions::ByteAt(list, at + 1) << 8);
    }
    return read;
}

std::vector<PlannedByte> Plan(const std::optional<CompatibilityTable>& table, int32_t index, uint64_t mask,
                              const std::string& field) {
    std::vector<PlannedByte> bytes;
    if (!table) return bytes;
    const int64_t entry = EntryOf(*table, index);
    for (int k = 0; k < table->entrySize; ++k)
        bytes.push_back({entry + k, static_cast<uint8_t>(mask >> (8 * k)), field});
    return bytes;
}

}  // namespace

std::optional<Compatibility> ReadTmHmCompatibility(const EditorSession& session, int32_t index) {
    return Read(session.RomPath, session.Tables.tmhm.where, index);
}

std::optional<Compatibility> ReadTutorCompatibility(const EditorSession& session, int32_t index) {
    return Read(session.RomPath, session.Tables.tutors.where, index);
}

uint64_t MaskWithRows(uint64_t stored, const std::vector<bool>& rows) {
    for (size_t n = 0; n < rows.size() && n < 64; ++n) {
        const uint64_t bit = uint64_t{1} << n;
        stored = rows[n] ? stored | bit : stored & ~bit;
    }
    return stored;
}

std::vector<PlannedByte> PlanTmHmWrites(const EditorSession& session, int32_t index, uint64_t mask) {
    return Plan(session.Tables.tmhm.where, index, mask, "TM/HM compatibility");
}

std::vector<PlannedByte> PlanTutorWrites(const EditorSession& session, int32_t index, uint64_t mask) {
    return Plan(session.Tables.tutors.where, index, mask, "tutor compatibility");
}

std::string TmHmName(int bit) {
    char text[16];
    if (bit < kTmCount)
        std::snprintf(text, sizeof text, "TM%02d", bit + 1);
    else
        std::snprintf(text, sizeof text, "HM%02d", bit - kTmCount + 1);
    return text;
}
