#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/SectionValues.h"

// Where each table of the open ROM is, and how that was decided. A hack moves tables and rewrites the game's
// pointers to them, so the game's own pointer is asked first and Data.ini's offset serves when it leads
// nowhere useful: a table is read and written where the game reads it.
struct LocatedTable {
    std::string key;                   // the offset's Data.ini key
    std::string name;                  // "species names"
    std::optional<int32_t> offset;     // where it is read and written; nothing when nothing gives one
    std::optional<int32_t> iniOffset;  // Data.ini's offset (or the default distance), for telling a move
    std::string how;      // "reference at 0x144", "Data.ini", "search: 3 pointers", "hack.gba.ini"
    std::string problem;  // why a search found no single place, when one was needed

    // "The species names are not where Data.ini or the game's pointer says, and a search ...", for a table
    // without an offset; empty otherwise.
    [[nodiscard]] std::string NotFound() const;
    // How it was found, or "not found" and why, as ROM Information shows it.
    [[nodiscard]] std::string HowShown() const;

    // Found somewhere other than Data.ini says: a hack moved it.
    [[nodiscard]] bool Moved() const { return offset && iniOffset && *offset != *iniOffset; }
};

struct LocatedTables {
    std::vector<LocatedTable> tables;

    [[nodiscard]] const LocatedTable* Find(const std::string& key) const;
    // The table's offset when something gave one.
    [[nodiscard]] std::optional<int32_t> Offset(const std::string& key) const;
    [[nodiscard]] int MovedCount() const;
    // ": 3 tables moved, read where the game's pointers lead" after the word that names the ROM; empty when
    // nothing moved.
    [[nodiscard]] std::string MovedText() const;
};

// For every table: an offset the ROM's settings file gives is used as it stands; else the pointer at the
// table's reference (read in one pass for all tables) when it leads into the file and the table there looks
// like one; else Data.ini's offset when its table does; else, for a table the section describes, a search of
// the file (read once for all such tables). When two places tie the table has no offset and a problem that
// names both; when none looks like it Data.ini's offset stays. The tables' own checks then judge every offset
// chosen.
[[nodiscard]] LocatedTables LocateTables(const std::string& romPath, int64_t fileSize,
                                         const GameSection& keys);

// Writes every table's offset into the ROM's settings file (section [ROM], "&H" numbers), creating it when
// missing, so that the next opening takes them as they stand. False when the file could not be written.
[[nodiscard]] bool SaveLocatedOffsets(const std::string& romPath, const LocatedTables& located);
