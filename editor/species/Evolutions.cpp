#include "species/Evolutions.h"

#include "HexFunctions.h"

namespace {

namespace Sizes = SpeciesTableSizes;

constexpr int32_t kSpeciesEntry = Sizes::kEvolutions * Sizes::kEvolutionEntry;

int64_t EntryOf(int32_t table, int32_t index, int k) {
    return int64_t{table} + int64_t{kSpeciesEntry} * index + int64_t{Sizes::kEvolutionEntry} * k;
}

}  // namespace

const std::vector<std::string>& EvolutionMethodNames() {
    static const std::vector<std::string> names = {"None",
                                                   "Friendship",
                                                   "Friendship (day)",
                                                   "Friendship (night)",
                                                   "Level",
                                                   "Trade",
                                                   "Trade holding an item",
                                                   "Use an item",
                                                   "Level, Attack > Defense",
                                                   "Level, Attack = Defense",
                                                   "Level, Attack < Defense",
                                                   "Level, personality (one half)",
                                                   "Level, personality (other half)",
                                                   "Level (first of a pair)",
                                                   "Level (extra of a pair)",
                                                   "Beauty"};
    return names;
}

EvolutionParameter ParameterOf(int method) {
    if (method == 4 || (method >= 8 && method <= 14)) return EvolutionParameter::Level;
    if (method == 6 || method == 7) return EvolutionParameter::Item;
    if (method == 15) return EvolutionParameter::Beauty;
    return EvolutionParameter::Unused;
}

std::optional<Evolutions> ReadEvolutions(const EditorSession& session, int32_t index) {
    const std::optional<int32_t>& table = session.Tables.evolutions.where;
    if (!table) return std::nullopt;
    const HexFunctions::HexByteString hex = HexFunctions::ReadHexBytes(
        session.RomPath, static_cast<int32_t>(EntryOf(*table, index, 0)), kSpeciesEntry);
    // A read gives two digits for every byte, so no word below comes out negative.
    const auto word = [&hex](int byte) {
        return HexFunctions::ByteAt(hex, static_cast<size_t>(byte)) |
               HexFunctions::ByteAt(hex, static_cast<size_t>(byte + 1)) << 8;
    };
    Evolutions evolutions;
    for (int k = 0; k < Sizes::kEvolutions; ++k) {
        const int at = k * Sizes::kEvolutionEntry;
        evolutions[static_cast<size_t>(k)] = {word(at), word(at + 2), word(at + 4)};
    }
    return evolutions;
}

std::vector<PlannedByte> PlanEvolutionWrites(const EditorSession& session, int32_t index,
                                             const Evolutions& evolutions) {
    std::vector<PlannedByte> bytes;
    const std::optional<int32_t>& table = session.Tables.evolutions.where;
    if (!table) return bytes;
    for (int k = 0; k < Sizes::kEvolutions; ++k) {
        const EvolutionEntry& e = evolutions[static_cast<size_t>(k)];
        const int64_t entry = EntryOf(*table, index, k);
        const std::string prefix = "evolution " + std::to_string(k + 1) + " ";
        const std::pair<const char*, int> fields[] = {
            {"method", e.method}, {"parameter", e.parameter}, {"target", e.target}};
        for (int f = 0; f < 3; ++f) {
            const auto value = static_cast<uint16_t>(fields[f].second);
            bytes.push_back({entry + 2 * f, static_cast<uint8_t>(value & 0xFF), prefix + fields[f].first});
            bytes.push_back({entry + 2 * f + 1, static_cast<uint8_t>(value >> 8), prefix + fields[f].first});
        }
    }
    return bytes;
}
