#include "write/KnownTables.h"

#include <algorithm>

#include "HexFunctions.h"
#include "rom/RomPointer.h"

namespace {

// The cartridge appears at 0x08000000 in the console's memory.
constexpr int64_t kRomBase = 0x08000000;
constexpr int64_t kIconBytes = 0x400;       // two 32x32 frames of 4-bit pixels
constexpr int64_t kIconPaletteEntries = 3;  // the palettes the icon palette box offers, 8 bytes each

bool Inside(const std::vector<ByteRange>& ranges, int64_t offset) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [offset](const ByteRange& r) { return r.Contains(offset); });
}

}  // namespace

std::vector<std::optional<int64_t>> ReadPointerTargets(const std::string& romPath, int64_t entry,
                                                       int32_t count, int32_t stride, int64_t fileSize) {
    std::vector<std::optional<int64_t>> targets(static_cast<size_t>(std::max(count, 0)));
    if (count <= 0 || stride < 4) return targets;
    const std::optional<std::vector<uint8_t>> bytes =
        HexFunctions::ReadBytes(romPath, entry, int64_t{stride} * (count - 1) + 4);
    if (!bytes) return targets;
    for (size_t k = 0; k < targets.size(); ++k) {
        const uint8_t* p = bytes->data() + k * static_cast<size_t>(stride);
        const int64_t value = int64_t{p[0]} | int64_t{p[1]} << 8 | int64_t{p[2]} << 16 | int64_t{p[3]} << 24;
        if (value >= kRomBase && value - kRomBase < std::min<int64_t>(fileSize, RomPointer::kSpan))
            targets[k] = value - kRomBase;
    }
    return targets;
}

std::vector<ByteRange> KnownTables(const EditorSession& s, const std::vector<ByteRange>& within) {
    const int64_t n = Species::kCount;
    std::vector<ByteRange> known = {
        {s.NameOffset, s.NameOffset + n * Species::kNameSize},
        {s.DataOffset, s.DataOffset + n * Species::kRecordSize},
        {s.ImageOffset, s.ImageOffset + 8 * n},
        {s.BackImageOffset, s.BackImageOffset + 8 * n},
        {s.PaletteOffset, s.PaletteOffset + 8 * n},
        {s.ShinyPaletteOffset, s.ShinyPaletteOffset + 8 * n},
        {s.IconOffset, s.IconOffset + 4 * n},
        {s.IconPalette, s.IconPalette + n},
        {s.AttackTable, s.AttackTable + 4 * n},
    };
    if (s.IconPaletteTable)
        known.push_back({*s.IconPaletteTable, *s.IconPaletteTable + 8 * kIconPaletteEntries});
    // A footprint printed all over is 32 FF bytes, which a search would take for free space.
    if (const std::optional<BattlePlace>& battle = s.Tables.battle.where) {
        const int64_t coords = int64_t{SpeciesTableSizes::kSpriteEntries} * SpeciesTableSizes::kCoordsEntry;
        known.insert(known.end(), {{battle->frontCoords, battle->frontCoords + coords},
                                   {battle->backCoords, battle->backCoords + coords},
                                   {battle->elevation, battle->elevation + n},
                                   {battle->footprints, battle->footprints + 4 * n}});
        if (battle->frontAnimIds) known.push_back({*battle->frontAnimIds, *battle->frontAnimIds + n - 1});
        for (const std::optional<int64_t>& footprint :
             ReadPointerTargets(s.RomPath, battle->footprints, Species::kCount, 4, s.FileSize)) {
            if (footprint && Inside(within, *footprint))
                known.push_back({*footprint, *footprint + SpeciesTableSizes::kFootprintBytes});
        }
    }

    // Every row of an attack table holds a byte other than FF, which ends a run of free space, and the margin
    // of placed data keeps clear of a terminator at a run's edge; only a table without rows reads FF
    // throughout, so its two bytes are kept out. Nothing needs measuring.
    for (const std::optional<int64_t>& table :
         ReadPointerTargets(s.RomPath, s.AttackTable, Species::kCount, 4, s.FileSize)) {
        if (table && Inside(within, *table)) known.push_back({*table, *table + 2});
    }
    for (const std::optional<int64_t>& icon :
         ReadPointerTargets(s.RomPath, s.IconOffset, Species::kCount, 4, s.FileSize)) {
        if (icon && Inside(within, *icon)) known.push_back({*icon, *icon + kIconBytes});
    }
    return known;
}
