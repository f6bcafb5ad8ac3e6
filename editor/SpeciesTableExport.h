#pragma once

#include "ChoiceNames.h"
#include "EditorSession.h"
#include "SpeciesTableText.h"

// Every species of the open ROM with every field the game has, in index order and field order.
[[nodiscard]] TableText ExportSpeciesTable(const EditorSession& session, const ChoiceNames& names);

// The keys of the fields the game has, in the order export writes them ("index" first).
[[nodiscard]] std::vector<std::string> ExportedKeys(const EditorSession& session);
