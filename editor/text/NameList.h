#pragma once

#include <string>
#include <vector>

#include "rom/EditorSession.h"

// The 412 decoded species names in ROM order; position i is species index i.
[[nodiscard]] std::vector<std::string> LoadNameList(const EditorSession& session);

// The same names from one read of the whole table, for passes over every species (the command line's export
// and import), where 412 openings would be most of the work.
[[nodiscard]] std::vector<std::string> ReadSpeciesNames(const EditorSession& session);

// The exported name list: every name followed by CR LF (the file writer adds one more line end).
[[nodiscard]] std::string NameListText(const std::vector<std::string>& names);
