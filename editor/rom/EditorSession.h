#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "GameText.h"
#include "rom/SpeciesTables.h"
#include "rom/TableLocator.h"

// The open ROM: its path and the table offsets of its game, where the game's own pointers or Data.ini put
// them.
struct EditorSession {
    std::string RomPath;
    int32_t NameOffset = 0;
    int32_t DataOffset = 0;
    int32_t ImageOffset = 0;
    int32_t PaletteOffset = 0;
    int32_t IconOffset = 0;
    int32_t IconPalette = 0;
    int32_t AttackTable = 0;
    // The back sprite and shiny palette tables: their own keys, or a fixed distance after the front ones.
    int32_t BackImageOffset = 0;
    int32_t ShinyPaletteOffset = 0;
    // Optional key: the table of icon palettes that the sprite preview uses.
    std::optional<int32_t> IconPaletteTable;
    // Optional keys: the game's own names tables of moves, abilities, types and items (RomNames::List order),
    // as Data.ini writes them (empty when missing). They are checked when the lists are made, so a bad value
    // lets a list file serve instead of refusing the ROM.
    struct NameTableKeys {
        std::string offset, count;
    };
    std::array<NameTableKeys, 4> NameTables;
    // Optional key: where the game's unused space starts; tables that outgrow their place move there.
    std::optional<int32_t> FreeSpace;
    // Optional key: Emerald's second front sprite table, whose two-frame sprites the game animates; the one
    // at ImageOffset holds the still pictures. A replaced front sprite goes into both.
    std::optional<int32_t> AnimatedImageOffset;

    std::string GameCode;  // as stored in the header
    int Version = 0;       // the release byte at 0xBC
    int64_t FileSize = 0;  // at opening: a write checks that the file still has it
    std::string Section;   // the Data.ini section the offsets came from
    std::string Title;
    // How the game draws its text's double quotes (the section's Language key).
    GameText::Language TextLanguage = GameText::Language::English;
    // A release Data.ini has no section for, whose tables a search found.
    bool FoundBySearch = false;

    // Evolutions, TM/HM and tutor compatibility: each part where the opening found it, or why not.
    SpeciesTables Tables;
    // Every table's offset and how it was found, for ROM Information.
    LocatedTables Located;
};

namespace Species {
inline constexpr int32_t kCount = 412;
inline constexpr int32_t kRecordSize = 28;
inline constexpr int32_t kNameSize = 11;

inline int32_t NameEntry(const EditorSession& s, int32_t i) {
    return s.NameOffset + kNameSize * i;
}
inline int32_t RecordBase(const EditorSession& s, int32_t i) {
    return s.DataOffset + kRecordSize * i;
}
inline int32_t SpriteEntry(const EditorSession& s, int32_t i) {
    return s.ImageOffset + 8 * i;
}
inline int32_t BackSpriteEntry(const EditorSession& s, int32_t i) {
    return s.BackImageOffset + 8 * i;
}
inline int32_t PaletteEntry(const EditorSession& s, int32_t i) {
    return s.PaletteOffset + 8 * i;
}
inline int32_t ShinyPaletteEntry(const EditorSession& s, int32_t i) {
    return s.ShinyPaletteOffset + 8 * i;
}
inline int32_t IconEntry(const EditorSession& s, int32_t i) {
    return s.IconOffset + 4 * i;
}
inline int32_t IconPaletteEntry(const EditorSession& s, int32_t i) {
    return s.IconPalette + i;
}
inline int32_t AttackTableEntry(const EditorSession& s, int32_t i) {
    return s.AttackTable + 4 * i;
}
}  // namespace Species
