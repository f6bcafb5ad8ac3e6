#include "SpeciesTableValues.h"

#include <algorithm>

SpeciesTableValues ReadSpeciesTableValues(const EditorSession& session, int32_t index) {
    return {ReadEvolutions(session, index), ReadTmHmCompatibility(session, index),
            ReadTutorCompatibility(session, index)};
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
        const std::string part = byte.field.starts_with("evolution ") ? "evolutions" : byte.field;
        if (std::find(parts.begin(), parts.end(), part) == parts.end()) parts.push_back(part);
    }
    std::string text;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) text += k + 1 == parts.size() ? " and " : ", ";
        text += parts[k];
    }
    return text;
}
