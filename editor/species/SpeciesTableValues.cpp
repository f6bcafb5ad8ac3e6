#include "species/SpeciesTableValues.h"

#include <algorithm>

#include "species/SpeciesEggMoves.h"

namespace {

// Each field of a part names it its own way ("evolution 2 target", "the old place of the egg move table").
std::string PartOf(const std::string& field) {
    if (field.starts_with("evolution ")) return "evolutions";
    if (field.starts_with("the battle ")) return "battle data";
    if (field.find("egg move") != std::string::npos) return "egg moves";
    if (field.find("Pok\xE9"
                   "dex") != std::string::npos)
        return "Pok\xE9"
               "dex entry";
    return field;
}

}  // namespace

SpeciesTableValues ReadSpeciesTableValues(const EditorSession& session, int32_t index,
                                          SpeciesTableNotes* notes) {
    SpeciesEggMoves eggMoves = ReadSpeciesEggMoves(session, index);
    DexEntryRead dex = ReadDexEntry(session, index);
    BattleRead battle = ReadBattleValues(session, index);
    if (notes) {
        *notes = {std::move(eggMoves.unavailable),   std::move(dex.unavailable),
                  std::move(dex.descriptionProblem), std::move(dex.page2Problem),
                  std::move(battle.unavailable),     dex.national};
    }
    return {ReadEvolutions(session, index),
            ReadTmHmCompatibility(session, index),
            ReadTutorCompatibility(session, index),
            std::move(eggMoves.moves),
            std::move(dex.values),
            std::move(battle.values)};
}

std::vector<PlannedByte> PlanSpeciesTableWrites(const EditorSession& session, int32_t index,
                                                const SpeciesTableValues& values) {
    std::vector<PlannedByte> bytes;
    const auto append = [&bytes](std::vector<PlannedByte> part) {
        std::move(part.begin(), part.end(), std::back_inserter(bytes));
    };
    if (values.evolutions) append(PlanEvolutionWrites(session, index, *values.evolutions));
    if (values.tmhm) append(PlanTmHmWrites(session, index, values.tmhm->mask));
    if (values.tutors) append(PlanTutorWrites(session, index, values.tutors->mask));
    return bytes;
}

std::string PlannedPartsText(const std::vector<PlannedByte>& bytes) {
    std::vector<std::string> parts;
    for (const PlannedByte& byte : bytes) {
        const std::string part = PartOf(byte.field);
        if (std::find(parts.begin(), parts.end(), part) == parts.end()) parts.push_back(part);
    }
    std::string text;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) text += k + 1 == parts.size() ? " and " : ", ";
        text += parts[k];
    }
    return text;
}
