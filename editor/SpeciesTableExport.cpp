#include "SpeciesTableExport.h"

#include "Windows1252.h"

std::vector<std::string> ExportedKeys(const EditorSession& session) {
    std::vector<std::string> keys = {"index"};
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        if (group.available && !group.available(session)) continue;
        for (const SpeciesField& field : group.fields) keys.push_back(field.key);
    }
    return keys;
}

TableText ExportSpeciesTable(const EditorSession& session, const ChoiceNames& names) {
    TableText table;
    table.game = Windows1252::ToUtf8(session.GameCode);
    table.species.reserve(Species::kCount);
    for (int32_t index = 0; index < Species::kCount; ++index) {
        const SpeciesState state = ReadSpeciesState(session, index);
        SpeciesText species;
        species.index = TextPart{std::to_string(index), true};
        for (const FieldGroup& group : SpeciesFieldGroups()) {
            if (group.available && !group.available(session)) continue;
            for (const SpeciesField& field : group.fields)
                species.fields.push_back({field.key, ValueText(field, field.get(state), names)});
        }
        table.species.push_back(std::move(species));
    }
    return table;
}
