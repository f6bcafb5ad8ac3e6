#pragma once

#include <optional>
#include <string>

#include "rom/EditorSession.h"

struct OpenRomResult {
    std::optional<EditorSession> session;  // set when the ROM can be edited
    std::string error;                     // otherwise: what is wrong, naming the file and the section or key
    // The ROM is a release Data.ini has no section for of a game it knows: error is the question whether to
    // search the ROM for its tables, which opening again with UnknownRelease::Search does.
    bool searchOffered = false;
};

// What opening does with a release of a known game that Data.ini has no section for: offer a search (it
// reads the whole file, and its tables are the search's judgement, not measured offsets), or search.
enum class UnknownRelease { Offer, Search };

// Identifies the game of the ROM at romPath and reads its offsets from the INI file at iniPath. A ROM is
// accepted only when its section and all seven offsets exist and its tables lie inside the file and look like
// what they are; nothing is written either way.
[[nodiscard]] OpenRomResult OpenRomFile(const std::string& romPath, const std::string& iniPath,
                                        UnknownRelease unknown = UnknownRelease::Offer);

// Why the ROM's tables do not look like what the session's section says they are (names that end within
// their entries, pointer tables that point into the file), or empty when they do. Opening refuses such a ROM,
// and every write checks again that the file under the editor is still the ROM it opened.
[[nodiscard]] std::string StructureProblem(const EditorSession& session);

// "Vornhal - [CODE] - Title", the code upper-cased.
[[nodiscard]] std::string WindowCaption(const EditorSession& session);
