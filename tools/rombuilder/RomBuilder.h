#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "rom/RomNameTables.h"
#include "species/AttackTable.h"

// Where a synthetic ROM keeps its tables; the offsets are those Data.ini holds for the game.
struct RomLayout {
    std::string gameCode;  // four characters at 0xAC
    uint8_t version = 0;   // byte at 0xBC
    int32_t size = 0;      // file length in bytes
    int32_t NameOffset = 0, DataOffset = 0, ImageOffset = 0, PaletteOffset = 0, IconOffset = 0,
            IconPalette = 0, AttackTable = 0, IconPaletteTable = 0;
    // Emerald's second front sprite table (two frames each, animated); 0 for the games without one.
    int32_t AnimatedImageOffset = 0;
    int32_t freeSpace = 0;  // first byte of the area where the builder places attack tables and graphics
    // The Data.ini key FreeSpace: where the unused space after all of that starts (0: no key).
    int32_t FreeSpaceKey = 0;
    std::string title;
    std::string language;  // the Data.ini key Language ("de"); empty: no key. German names get umlauts.

    // Evolutions, TM/HM and tutor compatibility; an offset of 0 leaves the table and its key out.
    int32_t EvolutionTable = 0, TMHMTable = 0, TMHMMoves = 0, TutorTable = 0, TutorMoves = 0;
    int32_t TutorCount = -1;  // -1: no key; 0: the game has no tutors
    // The game's own names tables (0: none) and its number of items.
    int32_t MoveNames = 0, AbilityNames = 0, TypeNames = 0, ItemTable = 0, ItemCount = 0;

    // Egg moves and the Pokédex; an offset of 0 leaves the table and its keys out.
    int32_t EggMoves = 0, NationalDex = 0, DexEntries = 0, DexEntrySize = 0;
    std::array<int32_t, 2> eggMoveReferences{};  // words of the "code" that point at the egg move table
    int32_t dexTexts = 0, dexTextsEnd = 0;       // where the builder writes the descriptions

    // Where the game's own pointers to its tables are: the table's offset key and the offset of one pointer
    // to it (the header at 0x100 and words of the "code"). The egg move table has its own two references.
    std::vector<std::pair<std::string, int32_t>> references;

    // How the species stand in battle; an offset of 0 leaves the table and its key out. The builder draws the
    // footprints' pictures from footprintArt to footprintArtEnd and lets species share them once that is
    // full.
    struct BattleTables {
        int32_t FrontCoords = 0, BackCoords = 0, Elevation = 0, Footprints = 0;
        int32_t FrontAnimIds = 0;  // Emerald: species 1-411
        int32_t footprintArt = 0, footprintArtEnd = 0;
    } battle;
};

// The national number the builder gives species index: species 1-251 keep their index, the 25 placeholders
// 252-276 get 387-411 (no entry), the rest follow on from 252.
[[nodiscard]] int MadeUpNationalNumber(int index);

// The demo game (code "VRNH", 1 MiB, 30 tutors) and the FireRed 1.0 layout (16 MiB, 15 tutors).
[[nodiscard]] RomLayout DemoLayout();
[[nodiscard]] RomLayout FireRedLayout();
// Emerald (30 tutors) and Ruby 1.0 (no tutors), 16 MiB each.
[[nodiscard]] RomLayout EmeraldLayout();
[[nodiscard]] RomLayout RubyLayout();
// German Ruby and Sapphire (AXVD, AXPD; Language=de), their names spelled with umlauts and ß.
[[nodiscard]] RomLayout RubyGermanLayout();
[[nodiscard]] RomLayout SapphireGermanLayout();
// FireRed 1.0 expanded to 32 MiB as hacks have it: the attack tables, the pictures and the move names table
// lie above 16 MiB.
[[nodiscard]] RomLayout ExpandedLayout();

// Builds a ROM in memory whose tables hold plausible made-up species: names, records, a short attack table
// and pictures each (LZ77-compressed front and back sprites, normal and shiny palettes, a two-frame icon in
// one of three icon palettes), evolutions, TM/HM and tutor compatibility, made-up names in the layout's
// names tables, egg moves (the table and its two references), Pokédex entries with their descriptions
// (two pages in Ruby and Sapphire) and how each species stands in battle, the same for the same variety.
class RomBuilder {
public:
    explicit RomBuilder(RomLayout layout, uint32_t variety = 1);

    const RomLayout& layout() const { return layout_; }
    std::vector<uint8_t>& bytes() { return bytes_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

    void SetName(int index, const std::string& name);  // encoded with the game's characters, FF-terminated
    void SetRecord(int index, const std::array<uint8_t, 28>& record);
    std::array<uint8_t, 28> Record(int index) const;
    void SetPointer(int32_t entryOffset, int32_t target);  // 4 bytes, 0x08000000 + target, little-endian
    // Writes the rows and FF FF at offset and points the species at it.
    void SetAttackTable(int index, int32_t offset, const std::vector<LevelUpAttackEntry>& rows);
    void Fill(int32_t offset, const std::vector<uint8_t>& data);
    // What a repointing tool does: copies the length bytes at from to to and rewrites every aligned pointer
    // to from, then fills the old place with FF unless the old copy is to stay (stale) where it was.
    void MoveTable(int32_t from, int32_t to, int32_t length, bool leaveOldCopy = false);
    // The offset of the layout's table of key (a Data.ini key), 0 when it has none.
    [[nodiscard]] int32_t TableOffset(const std::string& key) const;
    // Entry index of the layout's names table of list: encoded, FF-terminated, cut to fit its width.
    void SetListName(RomNames::List list, int index, const std::string& name);
    // Where the layout keeps that table (0: nowhere) and how many entries it has.
    [[nodiscard]] int32_t ListTable(RomNames::List list) const;
    [[nodiscard]] int32_t ListCount(RomNames::List list) const;

    // An EditorSession for this layout at path, as opening the file would give it.
    [[nodiscard]] EditorSession Session(const std::string& path) const;
    // "CODE", or "CODE-n" for release n > 0: the name of the Data.ini section for this layout.
    [[nodiscard]] std::string SectionName() const;
    // The Data.ini section for this layout ("[CODE]" or "[CODE-n]" for a later release), every offset as an
    // "&H" number, CR LF after each line.
    [[nodiscard]] std::string IniSection() const;

    [[nodiscard]] bool WriteTo(const std::string& path) const;

private:
    void WriteNameTables(uint32_t variety);
    void PlaceAnimatedFronts(uint32_t variety, int32_t cursor);

    RomLayout layout_;
    std::vector<uint8_t> bytes_;
};
