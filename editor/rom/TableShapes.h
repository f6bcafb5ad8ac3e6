#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What each table of the species data looks like, told from its bytes alone: the test a place must pass
// before a pointer of the game's that leads there is believed, and before a search takes it. A hack moves
// tables and rewrites the game's pointers to them, so those pointers are where the game reads; a pointer that
// leads into unrelated data (a hack rebuilt with other code) must fail here.
namespace TableShapes {

// Where a shape's check gets its bytes and the counts its section gives (TutorCount, ItemCount, ...).
struct Context {
    std::string romPath;
    int64_t fileSize = 0;
    std::function<std::string(const std::string& key)> value;
    // The whole file when a search has read it: checks then read from memory.
    const std::vector<uint8_t>* image = nullptr;

    // The length bytes at offset (in the image, or read into buffer), or nullptr when they do not all lie
    // inside the file or cannot be read.
    [[nodiscard]] const uint8_t* Bytes(int64_t offset, int64_t length, std::vector<uint8_t>& buffer) const;
};

using Check = bool (*)(const Context& context, int64_t offset);

struct Shape {
    const char* key;     // the offset's Data.ini key
    const char* refKey;  // the key of the offset of a pointer to it
    const char* name;    // as messages and ROM Information show it
    int alignment;       // a table of this kind starts on a multiple of it
    // True when the table at offset looks like one of this kind.
    Check fits;
    // What a search asks beyond fits, so that tables of one form (pointer tables, lists of numbers) are told
    // apart by what the games keep in them; nullptr when fits is enough. A pointer of the game's is believed
    // without it, so that a hack's own entries never hide a table the game reads.
    Check sharpened;
    // False where no search can tell this table from other data of the same form (back and animated sprites
    // hold the same entries as the front ones; rows of bits and short lists of move numbers start inside
    // many a table): only a pointer of the game's or the ROM's settings file can say where it is.
    bool searched = true;
};

// Every table the program reads or writes, the seven that no species can be shown without first.
[[nodiscard]] const std::vector<Shape>& All();
[[nodiscard]] const Shape* Find(const std::string& key);

// The back sprites and shiny palettes follow the front sprites and normal palettes at these distances unless
// their own keys say otherwise.
inline constexpr int32_t kBackSpriteDistance = 5280;
inline constexpr int32_t kShinyPaletteDistance = 3520;

// The counts behind the species tables' checks, which the opener's own messages quote.
// Species 1 to 411 whose name entries end (FF) within their 11 bytes.
[[nodiscard]] int NameEntriesThatEnd(const uint8_t* names);
// Species 1 to 411 whose names are not empty. A user may clear a few; a table cleared whole (a hack's old
// copy filled with FF) ends every entry at once and holds no names at all.
[[nodiscard]] int NamedEntries(const uint8_t* names);
// Species 1 to 411 whose entry (stride bytes from species 0's) holds a pointer into a file of fileSize.
[[nodiscard]] int PointerEntriesInFile(const uint8_t* table, int stride, int64_t fileSize);
// The share a table must reach: a few odd entries (placeholders, one hacked species) must not count.
[[nodiscard]] bool EnoughFit(int fitting, int of);

}  // namespace TableShapes
