#include "rom/BattleCheck.h"

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/EditorSession.h"
#include "rom/PointerSearch.h"
#include "rom/SectionKeys.h"

namespace {

namespace Sizes = SpeciesTableSizes;

// The opening's rule for the other tables: a few odd entries (placeholders, one hacked species) must not turn
// the part off.
constexpr int kPassPercent = 95;
constexpr int kTileSide = 8;  // the size byte counts 8-pixel tiles, a sprite has at most 8 a side

bool EnoughFit(int fitting) {
    return 100 * fitting >= kPassPercent * (Species::kCount - 1);
}

std::string Outside(const std::string& what, int64_t start, int64_t length, int64_t fileSize) {
    if (start + length <= fileSize) return {};
    return "The " + what + " at " + HexOffset(start) + " (" + std::to_string(length) +
           " bytes) runs beyond the end of the file, which has " + std::to_string(fileSize) + " bytes.";
}

// Species 0 is a placeholder, so its entry is not judged.
std::string CheckCoords(const std::string& romPath, const std::string& what, int32_t start) {
    const auto bytes =
        HexFunctions::ReadBytes(romPath, start, int64_t{Sizes::kCoordsEntry} * Species::kCount);
    if (!bytes) return "The " + what + " at " + HexOffset(start) + " cannot be read.";
    int fitting = 0;
    for (int species = 1; species < Species::kCount; ++species) {
        const int size = (*bytes)[static_cast<size_t>(Sizes::kCoordsEntry * species)];
        const int width = size >> 4, height = size & 0xF;
        if (width >= 1 && width <= kTileSide && height >= 1 && height <= kTileSide) ++fitting;
    }
    if (EnoughFit(fitting)) return {};
    return "The " + what + " at " + HexOffset(start) + " do not look like them: only " +
           std::to_string(fitting) + " of 411 species have a sprite size of 1 to 8 tiles a side.";
}

std::string CheckFootprints(const std::string& romPath, int32_t start, int64_t fileSize) {
    const auto bytes = HexFunctions::ReadBytes(romPath, start, int64_t{4} * Species::kCount);
    if (!bytes) return "The footprint pointers at " + HexOffset(start) + " cannot be read.";
    int pointing = 0;
    for (int species = 1; species < Species::kCount; ++species) {
        const int64_t target =
            int64_t{PointerSearch::WordAt(bytes->data() + 4 * species)} - PointerSearch::kRomBase;
        if (target >= 0 && target + Sizes::kFootprintBytes <= fileSize) ++pointing;
    }
    if (EnoughFit(pointing)) return {};
    return "The footprint pointers at " + HexOffset(start) + " do not look like them: only " +
           std::to_string(pointing) + " of 411 point at a footprint inside the file.";
}

}  // namespace

void CheckBattleTables(SpeciesTables& tables, const std::string& romPath, int64_t fileSize,
                       const GameSection& section, const LocatedTables& located) {
    TablePart<BattlePlace>& part = tables.battle;
    SectionKeys keys(section, located, &part.unavailable);
    const std::optional<int32_t> front = keys.Offset("FrontCoords");
    const std::optional<int32_t> back = keys.Offset("BackCoords");
    const std::optional<int32_t> elevation = keys.Offset("Elevation");
    const std::optional<int32_t> footprints = keys.Offset("Footprints");
    if (!front || !back || !elevation || !footprints) return;
    // Only Emerald keeps animation numbers; a section without the key has none rather than a problem.
    std::optional<int32_t> animations;
    if (!section.Value("FrontAnimIds").empty()) {
        animations = keys.Offset("FrontAnimIds");
        if (!animations) return;
    }
    const int64_t coords = int64_t{Sizes::kCoordsEntry} * Sizes::kSpriteEntries;
    const std::string problems[] = {
        Outside("front sprite coordinates", *front, coords, fileSize),
        Outside("back sprite coordinates", *back, coords, fileSize),
        Outside("elevation table", *elevation, Species::kCount, fileSize),
        Outside("footprint pointers", *footprints, int64_t{4} * Species::kCount, fileSize),
        animations ? Outside("front animation numbers", *animations, Species::kCount - 1, fileSize)
                   : std::string(),
    };
    for (const std::string& problem : problems) {
        if (!problem.empty()) {
            part.unavailable = problem;
            return;
        }
    }
    part.unavailable = CheckCoords(romPath, "front sprite coordinates", *front);
    if (part.unavailable.empty()) part.unavailable = CheckCoords(romPath, "back sprite coordinates", *back);
    if (part.unavailable.empty()) part.unavailable = CheckFootprints(romPath, *footprints, fileSize);
    if (part.unavailable.empty())
        part.where = BattlePlace{*front, *back, *elevation, *footprints, animations};
}
