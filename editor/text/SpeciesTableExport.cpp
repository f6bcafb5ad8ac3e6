#include "text/SpeciesTableExport.h"

#include "Windows1252.h"

namespace {

bool Available(const FieldGroup& group, const EditorSession& session) {
    return !group.available || group.available(session);
}

class TextCollector : public SpeciesTableSink {
public:
    TextCollector(TableText& table, const ChoiceNames& names) : table_(table), names_(names) {}

    void Species(int32_t index) override {
        SpeciesText& species = table_.species.emplace_back();
        species.index = TextPart{std::to_string(index), true};
    }
    void Field(const SpeciesField& field, const FieldValue& value) override {
        table_.species.back().fields.push_back({field.key, ValueText(field, value, names_)});
    }

private:
    TableText& table_;
    const ChoiceNames& names_;
};

}  // namespace

std::vector<std::string> ExportedKeys(const EditorSession& session) {
    std::vector<std::string> keys = {"index"};
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        if (!Available(group, session)) continue;
        for (const SpeciesField& field : group.fields) keys.push_back(field.key);
    }
    return keys;
}

void ExportSpeciesTable(const EditorSession& session, SpeciesTableSink& sink) {
    std::vector<const SpeciesField*> fields;
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        if (!Available(group, session)) continue;
        for (const SpeciesField& field : group.fields) fields.push_back(&field);
    }
    for (int32_t index = 0; index < Species::kCount; ++index) {
        const SpeciesState state = ReadSpeciesState(session, index);
        sink.Species(index);
        for (const SpeciesField* field : fields) sink.Field(*field, field->get(state));
    }
}

TableText ExportSpeciesTable(const EditorSession& session, const ChoiceNames& names) {
    TableText table;
    table.game = Windows1252::ToUtf8(session.GameCode);
    table.species.reserve(Species::kCount);
    TextCollector collector(table, names);
    ExportSpeciesTable(session, collector);
    return table;
}
