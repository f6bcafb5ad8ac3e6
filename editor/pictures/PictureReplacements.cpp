#include "pictures/PictureReplacements.h"

#include <cstdio>

#include "HexFunctions.h"
#include "pictures/Lz77Compressor.h"
#include "pictures/SpritePictures.h"
#include "rom/RomPointer.h"

namespace {

constexpr int64_t kRomBase = 0x08000000;
constexpr std::size_t kTwoFrames = 4096;
// The icon palettes a species can choose: the window's "Pal 1" to "Pal 3".
constexpr int kIconPalettes = 3;

std::string Hex(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

// Up to four bytes from the file, low byte first; nothing where the file ends before them.
std::optional<uint32_t> ReadWord(const std::string& romPath, int64_t offset) {
    if (offset < 0 || offset > INT32_MAX) return std::nullopt;
    const HexFunctions::HexByteString hex =
        HexFunctions::ReadHexBytes(romPath, static_cast<int32_t>(offset), 4);
    uint32_t word = 0;
    for (int k = 3; k >= 0; --k) {
        const int byte = HexFunctions::ByteAt(hex, static_cast<std::size_t>(k));
        if (byte < 0) return std::nullopt;
        word = word << 8 | static_cast<uint32_t>(byte);
    }
    return word;
}

// The pointer at entry aimed at target as the species' save writes its pointers (RomPointer's rule): the
// three low bytes, and the fourth only when it must change.
void PlanPointer(std::vector<PlannedByte>& bytes, const std::string& field, int64_t entry, int64_t target,
                 std::optional<uint32_t> current) {
    const uint32_t value = static_cast<uint32_t>(kRomBase + target);
    const int fourth = current ? static_cast<int>(*current >> 24) : -1;
    if (const std::optional<uint8_t> byte =
            RomPointer::FourthByteToWrite(static_cast<int32_t>(target), fourth))
        bytes.push_back({entry + 3, *byte, field});
    for (int k = 0; k < 3; ++k) bytes.push_back({entry + k, static_cast<uint8_t>(value >> (8 * k)), field});
}

struct Part {
    const std::optional<std::vector<uint8_t>>& data;
    bool compressed;
    const char* field;               // for messages and the status line
    const char* report;              // the report line's start
    int32_t SpeciesEdits::*pointer;  // the species' pointer to it; none for the animated table's
};

// What an import builds on: the replacement when there is one, else the ROM's data at the box's offset.
std::optional<std::vector<uint8_t>> Current(const std::optional<std::vector<uint8_t>>& replaced,
                                            const EditorSession& session, std::optional<int32_t> offset,
                                            std::size_t size, const char* what, std::string* error) {
    if (replaced) return replaced;
    std::string problem = std::string("its pointer box does not hold an offset");
    std::optional<std::vector<uint8_t>> data;
    if (offset) data = SpritePictures::ReadUnpacked(session.RomPath, *offset, size, &problem);
    if (!data && error) *error = std::string("The ") + what + " cannot be read: " + problem;
    return data;
}

}  // namespace

ReplaceOutcome ReplacePicture(PictureImport::Kind kind, const PixelImage& image, const EditorSession& session,
                              int32_t index, const ShownPictures& shown, PictureReplacements& replaced) {
    using namespace PictureImport;
    ReplaceOutcome outcome;
    switch (kind) {
        case Kind::FrontSprite: {
            const bool twoFrames = session.AnimatedImageOffset.has_value();
            if (twoFrames) outcome.error = AnimatedEntryProblem(session, index);
            if (!outcome.error.empty()) return outcome;
            FrontSprite front = ImportFrontSprite(image, twoFrames);
            outcome.error = front.error;
            if (!outcome.error.empty()) return outcome;
            outcome.colours = front.colours;
            outcome.rounded = front.rounded;
            replaced.front = std::move(front.tiles);
            replaced.palette = PaletteBytes(front.palette);
            if (twoFrames) replaced.animatedFront = std::move(front.animated);
            return outcome;
        }
        case Kind::BackSprite: {
            const auto normal = Current(replaced.palette, session, shown.palette, kPaletteBytes,
                                        "normal palette", &outcome.error);
            if (!normal) return outcome;
            BackSprite back = ImportBackSprite(image, PaletteFromBytes(normal->data()));
            outcome.error = back.error;
            if (outcome.error.empty()) replaced.back = std::move(back.tiles);
            return outcome;
        }
        case Kind::ShinyPalette: {
            const auto front = Current(replaced.front, session, shown.sprite, kSpriteTileBytes,
                                       "front sprite", &outcome.error);
            if (!front) return outcome;
            // Colour numbers the picture does not show keep their shiny colour, or take the normal one when
            // the shiny palette cannot be read.
            auto start =
                Current(replaced.shinyPalette, session, shown.shinyPalette, kPaletteBytes, "", nullptr);
            if (!start) start = Current(replaced.palette, session, shown.palette, kPaletteBytes, "", nullptr);
            const PaletteWords current = start ? PaletteFromBytes(start->data()) : PaletteWords{};
            ShinyPalette shiny = ImportShinyPalette(image, *front, current);
            outcome.error = shiny.error;
            outcome.rounded = shiny.rounded;
            if (outcome.error.empty()) replaced.shinyPalette = PaletteBytes(shiny.palette);
            return outcome;
        }
        case Kind::Icon: {
            std::vector<PaletteWords> palettes;
            for (int number = 0; session.IconPaletteTable && number < kIconPalettes; ++number) {
                std::string problem;
                const auto colours = SpritePictures::ReadIconPalette(
                    session.RomPath, *session.IconPaletteTable, number, &problem);
                if (!colours) {
                    outcome.error =
                        "Icon palette " + std::to_string(number + 1) + " cannot be read: " + problem;
                    return outcome;
                }
                palettes.push_back(PaletteFromBytes(colours->data()));
            }
            Icon icon = ImportIcon(image, palettes);
            outcome.error = icon.error;
            if (!outcome.error.empty()) return outcome;
            replaced.icon = std::move(icon.tiles);
            outcome.iconPalette = icon.palette;
            return outcome;
        }
    }
    return outcome;
}

std::string AnimatedEntryProblem(const EditorSession& session, int32_t index) {
    if (!session.AnimatedImageOffset) return {};
    const int64_t entry = int64_t{*session.AnimatedImageOffset} + 8 * int64_t{index};
    const std::string table = "The animated front sprite table at " + Hex(*session.AnimatedImageOffset) +
                              " (AnimatedImageOffset of section [" + session.Section + "])";
    const std::optional<uint32_t> pointer = ReadWord(session.RomPath, entry);
    if (!pointer) return table + " ends with the file before the entry of this species.";
    const int64_t target = int64_t{*pointer} - kRomBase;
    if (target < 0 || target >= RomPointer::kSpan)
        return table + " holds no ROM pointer for this species (" + Hex(*pointer) + ").";
    const std::optional<uint32_t> header = ReadWord(session.RomPath, target);
    if (!header) return table + " points beyond the end of the file for this species (" + Hex(target) + ").";
    if ((*header & 0xFF) != 0x10 || (*header >> 8) < kTwoFrames) {
        return table + " does not point at a two-frame sprite for this species: the data at " + Hex(target) +
               " is not LZ77 data of 4096 bytes.";
    }
    return {};
}

PicturesPlan PlanPictureReplacements(const EditorSession& session, int32_t index,
                                     const PictureReplacements& replaced, const TakeSpace& takeSpace,
                                     SpeciesEdits& edits) {
    PicturesPlan plan;
    if (replaced.animatedFront) {
        plan.error = AnimatedEntryProblem(session, index);
        if (!session.AnimatedImageOffset) plan.error = "The game has no animated front sprite table.";
        if (!plan.error.empty()) return plan;
    }
    const int64_t animatedEntry = session.AnimatedImageOffset.value_or(0) + 8 * int64_t{index};
    const Part parts[] = {
        {replaced.front, true, "front sprite", "Front Sprite", &SpeciesEdits::sprite},
        {replaced.animatedFront, true, "animated front sprite", "Animated Front Sprite", nullptr},
        {replaced.palette, true, "palette", "Palette", &SpeciesEdits::palette},
        {replaced.back, true, "back sprite", "Back Sprite", &SpeciesEdits::backSprite},
        {replaced.shinyPalette, true, "shiny palette", "Shiny Palette", &SpeciesEdits::shinyPalette},
        {replaced.icon, false, "icon", "Icon", &SpeciesEdits::icon},
    };
    SpeciesEdits pointed = edits;
    for (const Part& part : parts) {
        if (!part.data) continue;
        const std::vector<uint8_t> stored = part.compressed ? Lz77::Compress(*part.data) : *part.data;
        const FreeSpaceFound space = takeSpace(static_cast<int64_t>(stored.size()));
        if (!space.offset) {
            plan = PicturesPlan{};
            plan.error = "No free space for the " + std::string(part.field) + " (" +
                         std::to_string(stored.size()) + " bytes): " + space.error;
            return plan;
        }
        const int64_t at = *space.offset;
        if (at < 0 || at + static_cast<int64_t>(stored.size()) > RomPointer::kSpan) {
            plan = PicturesPlan{};
            plan.error = "The free space for the " + std::string(part.field) + " at " + Hex(at) +
                         " lies where no ROM pointer reaches.";
            return plan;
        }
        for (std::size_t k = 0; k < stored.size(); ++k)
            plan.bytes.push_back({at + static_cast<int64_t>(k), stored[k], part.field});
        // The species' own pointers are the save's to write, as it writes every pointer.
        if (part.pointer)
            pointed.*part.pointer = static_cast<int32_t>(at);
        else
            PlanPointer(plan.bytes, part.field, animatedEntry, at, ReadWord(session.RomPath, animatedEntry));
        plan.reportLines.push_back(std::string(part.report) + " Saved To: " + std::to_string(at));
    }
    edits = pointed;
    return plan;
}
