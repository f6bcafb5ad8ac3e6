#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pictures/PictureImport.h"
#include "rom/EditorSession.h"
#include "species/SpeciesSave.h"
#include "write/FreeSpaceFinder.h"
#include "write/WritePlan.h"

// The pictures of the shown species that the user has replaced and not saved yet, uncompressed as the
// imports made them. The preview shows them in place of what the pointers hold; the species' save writes
// them into free space.
struct PictureReplacements {
    std::optional<std::vector<uint8_t>> front;          // tiles of the 64x64 front sprite (2048 bytes)
    std::optional<std::vector<uint8_t>> animatedFront;  // both frames for Emerald's animated table (4096)
    std::optional<std::vector<uint8_t>> palette;        // the normal palette (32 bytes)
    std::optional<std::vector<uint8_t>> back;           // tiles of the back sprite (2048 bytes)
    std::optional<std::vector<uint8_t>> shinyPalette;   // 32 bytes
    std::optional<std::vector<uint8_t>> icon;           // both 32x32 frames (1024 bytes)

    [[nodiscard]] bool empty() const {
        return !front && !animatedFront && !palette && !back && !shinyPalette && !icon;
    }
};

// The offsets the window's pointer boxes hold: the pictures an import builds on, unless replaced already.
struct ShownPictures {
    std::optional<int32_t> sprite, palette, shinyPalette;
};

struct ReplaceOutcome {
    std::string error;               // set when nothing was replaced
    int colours = 0;                 // a front sprite's colours
    bool rounded = false;            // a colour had to be rounded to 15 bits
    std::optional<int> iconPalette;  // the icon palette that holds an icon's colours
};

// Takes the picture in as the species' `kind`, checked against what it builds on: a back sprite against the
// normal palette, a shiny palette against the front sprite's colour numbers, an icon against the icon
// palettes. A front sprite replaces the normal palette too, and in Emerald the animated sprite as well.
[[nodiscard]] ReplaceOutcome ReplacePicture(PictureImport::Kind kind, const PixelImage& image,
                                            const EditorSession& session, int32_t index,
                                            const ShownPictures& shown, PictureReplacements& replaced);

// Room for new data: an offset where `length` bytes may go that nothing uses and that the same write has not
// handed out already, or why there is none. The save's FreeSpaceMap answers it.
using TakeSpace = std::function<FreeSpaceFound(int64_t length)>;

// Empty when the entry of species index in Emerald's animated front sprite table points at two-frame LZ77
// data, as the game's own entries do; otherwise why a front sprite cannot be replaced there.
[[nodiscard]] std::string AnimatedEntryProblem(const EditorSession& session, int32_t index);

struct PicturesPlan {
    std::vector<PlannedByte> bytes;        // the data, and the pointer of the animated table's entry
    std::vector<std::string> reportLines;  // "Front Sprite Saved To: 8388608", one per part
    std::string error;                     // set when nothing can be written
};

// Compresses the replaced sprites and palettes with LZ77 as the games store them (the icon stays as it is),
// takes free space for each, and points the edits' pointer fields at the new data, so that the species' save
// writes the pointers as it writes every pointer. The old data stays where it is: other species or a hack
// may share it.
[[nodiscard]] PicturesPlan PlanPictureReplacements(const EditorSession& session, int32_t index,
                                                   const PictureReplacements& replaced,
                                                   const TakeSpace& takeSpace, SpeciesEdits& edits);
