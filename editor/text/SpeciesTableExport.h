#pragma once

#include "rom/EditorSession.h"
#include "text/ChoiceNames.h"
#include "text/SpeciesFields.h"
#include "text/SpeciesTableText.h"

// Takes an export species by species, each field's value as read, so that a format can write it as it comes.
class SpeciesTableSink {
public:
    virtual ~SpeciesTableSink() = default;
    virtual void Species(int32_t index) = 0;  // the fields that follow are this species'
    virtual void Field(const SpeciesField& field, const FieldValue& value) = 0;
};

// Every species of the open ROM with every field the game has, in index order and field order.
void ExportSpeciesTable(const EditorSession& session, SpeciesTableSink& sink);
// The same as the text values a file holds.
[[nodiscard]] TableText ExportSpeciesTable(const EditorSession& session, const ChoiceNames& names);

// The keys of the fields the game has, in the order export writes them ("index" first).
[[nodiscard]] std::vector<std::string> ExportedKeys(const EditorSession& session);
