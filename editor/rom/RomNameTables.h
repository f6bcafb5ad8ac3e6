#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rom/EditorSession.h"

// The names of moves, abilities, types and items as the game holds them in its ROM. Hacks rename and add
// them there, so a game whose Data.ini section gives a table's offset takes that list's names from the ROM;
// the list files serve when the setting is off, a key is missing or bad, or the table does not hold names.
// Egg groups have no table in the games and keep their list file.
namespace RomNames {

enum List { kMoves, kAbilities, kTypes, kItems };
inline constexpr int kListCount = 4;

struct TableFormat {
    const char* offsetKey;  // Data.ini key of the table's file offset
    const char* countKey;   // Data.ini key of its number of entries
    const char* listFile;   // the list file that serves without the table
    const char* what;       // "move", "ability", ... for messages
    int32_t entrySize;      // bytes from one entry to the next
    int32_t nameWidth;      // bytes at the start of an entry that hold the name and its FF
    int32_t defaultCount;   // entries when the count key is missing; 0: the key is needed
    int32_t maxCount;       // the stored numbers the list stands for (9 bits for moves, a byte, 16 bits)
};
[[nodiscard]] const TableFormat& Format(List list);

struct ListNames {
    std::vector<std::string> names;  // decoded, entry n the name of stored number n; empty when a file serves
    std::string fallback;            // why the list file serves; empty when the names came from the ROM
    bool keyed = false;              // the section gives the table's offset key

    [[nodiscard]] bool FromRom() const { return fallback.empty(); }
};

struct Names {
    bool enabled = true;  // "Names from the ROM" in the settings
    std::string section;  // the Data.ini section the keys came from
    std::array<ListNames, kListCount> lists;
};

// With fromRom on, reads every table the session names with one read each, all in one opening of the file,
// and keeps the names of each table in which 95% of the entries are names: not empty, and ending with FF
// within their width. Codes outside the character table are skipped, as in species names.
[[nodiscard]] Names ReadNames(const EditorSession& session, bool fromRom);

// The work on a table read whole (count entries at bytes): the 95% check, then the names. A table that fails
// the check says why ("does not hold names (...)"); the caller names the table. Apart from the reads, this is
// all that ReadNames does, so it can be timed alone.
[[nodiscard]] ListNames NamesInTable(List list, const unsigned char* bytes, int32_t count);

// One line saying where the lists came from and, for every list file that serves, why.
[[nodiscard]] std::string SourceText(const Names& names);

}  // namespace RomNames
