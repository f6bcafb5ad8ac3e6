#include "rom/TableLocator.h"

#include <algorithm>
#include <cstdio>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "ReadINI.h"
#include "rom/PointerSearch.h"
#include "rom/TableSearch.h"
#include "rom/TableShapes.h"

namespace {

// Data.ini's offset of a table, or for the back sprites and shiny palettes without a key of their own the
// distance from the table they have always followed.
std::optional<int32_t> IniOffset(const GameSection& keys, const std::string& key) {
    if (std::optional<int32_t> own = ParseIniOffset(keys.IniValue(key))) return own;
    const auto after = [&keys](const char* base, int32_t distance) -> std::optional<int32_t> {
        const std::optional<int32_t> start = ParseIniOffset(keys.IniValue(base));
        if (!start) return std::nullopt;
        return *start + distance;
    };
    if (key == "BackImageOffset") return after("ImageOffset", TableShapes::kBackSpriteDistance);
    if (key == "ShinyPaletteOffset") return after("PaletteOffset", TableShapes::kShinyPaletteDistance);
    return std::nullopt;
}

// The file offset each reference leads to, read through one opening of the file; nothing for a reference
// outside the file or a word that is no pointer into it.
std::vector<std::optional<int64_t>> ReferenceTargets(const std::string& romPath, int64_t fileSize,
                                                     const std::vector<std::optional<int32_t>>& references) {
    std::vector<std::optional<int64_t>> targets(references.size());
    std::vector<HexFunctions::ByteSpan> spans;
    for (const std::optional<int32_t>& at : references) {
        if (at && *at + 4 <= fileSize) spans.push_back({*at, 4});
    }
    if (spans.empty()) return targets;
    std::sort(
        spans.begin(), spans.end(),
        [](const HexFunctions::ByteSpan& a, const HexFunctions::ByteSpan& b) { return a.offset < b.offset; });
    std::vector<std::pair<int64_t, uint32_t>> words;
    std::vector<uint8_t> word;
    const bool read =
        HexFunctions::VisitBytes(romPath, spans, [&](int64_t offset, const uint8_t* bytes, size_t count) {
            for (size_t k = 0; k < count; ++k) {
                if (word.empty()) words.emplace_back(offset + static_cast<int64_t>(k), 0);
                word.push_back(bytes[k]);
                if (word.size() == 4) {
                    words.back().second = PointerSearch::WordAt(word.data());
                    word.clear();
                }
            }
            return true;
        });
    if (!read) return targets;
    for (size_t t = 0; t < references.size(); ++t) {
        if (!references[t]) continue;
        for (const auto& [at, value] : words) {
            const int64_t target = int64_t{value} - PointerSearch::kRomBase;
            if (at == *references[t] && target >= 0 && target < fileSize) targets[t] = target;
        }
    }
    return targets;
}

// The back sprites and shiny palettes that nothing else placed (a release whose section gives no offsets)
// are where the games keep them: at their distances after the front sprites and palettes found.
void FollowFoundTables(LocatedTables& located) {
    const struct {
        const char* key;
        const char* leader;
        int32_t distance;
    } followers[] = {{"BackImageOffset", "ImageOffset", TableShapes::kBackSpriteDistance},
                     {"ShinyPaletteOffset", "PaletteOffset", TableShapes::kShinyPaletteDistance}};
    for (const auto& [key, leaderKey, distance] : followers) {
        const LocatedTable* leader = located.Find(leaderKey);
        const auto follower = std::find_if(located.tables.begin(), located.tables.end(),
                                           [key](const LocatedTable& t) { return t.key == key; });
        if (!leader || !leader->offset || follower == located.tables.end() || follower->offset) continue;
        follower->offset = *leader->offset + distance;
        follower->how = std::to_string(distance) + " bytes after the " + leader->name;
        follower->problem.clear();
    }
}

}  // namespace

std::string LocatedTable::NotFound() const {
    if (offset || problem.empty()) return {};
    return "The " + name +
           " are not where Data.ini or the game's pointer says, and a search of the file found " + problem +
           ".";
}

std::string LocatedTable::HowShown() const {
    if (offset) return how;
    return problem.empty() ? "not found" : "not found: " + problem;
}

const LocatedTable* LocatedTables::Find(const std::string& key) const {
    for (const LocatedTable& table : tables) {
        if (table.key == key) return &table;
    }
    return nullptr;
}

std::optional<int32_t> LocatedTables::Offset(const std::string& key) const {
    const LocatedTable* table = Find(key);
    return table ? table->offset : std::nullopt;
}

int LocatedTables::MovedCount() const {
    return static_cast<int>(
        std::count_if(tables.begin(), tables.end(), [](const LocatedTable& t) { return t.Moved(); }));
}

std::string LocatedTables::MovedText() const {
    const int moved = MovedCount();
    if (moved == 0) return {};
    return ": " + std::to_string(moved) + (moved == 1 ? " table" : " tables") +
           " moved, read where the game's pointers lead";
}

LocatedTables LocateTables(const std::string& romPath, int64_t fileSize, const GameSection& keys) {
    const std::vector<TableShapes::Shape>& shapes = TableShapes::All();
    std::vector<std::optional<int32_t>> references;
    references.reserve(shapes.size());
    for (const TableShapes::Shape& shape : shapes)
        references.push_back(ParseIniOffset(keys.Value(shape.refKey)));
    const std::vector<std::optional<int64_t>> targets = ReferenceTargets(romPath, fileSize, references);

    const TableShapes::Context context{romPath, fileSize,
                                       [&keys](const std::string& key) { return keys.Value(key); }};
    LocatedTables located;
    std::vector<size_t> sought;
    for (size_t k = 0; k < shapes.size(); ++k) {
        const TableShapes::Shape& shape = shapes[k];
        LocatedTable table{shape.key, shape.name, std::nullopt, IniOffset(keys, shape.key), {}, {}};
        if (keys.InSettings(shape.key)) {
            table.offset = ParseIniOffset(keys.Value(shape.key));
            table.how = keys.SettingsName();
        } else if (const std::optional<int64_t> target = targets[k];
                   target && (target == table.iniOffset || shape.fits(context, *target))) {
            // A pointer that agrees with Data.ini is not checked twice: the tables' own checks follow.
            table.offset = static_cast<int32_t>(*target);
            table.how = "reference at " + HexOffset(*references[k]);
        } else if (table.iniOffset) {
            table.offset = table.iniOffset;
            table.how = "Data.ini";
            if (!shape.fits(context, *table.iniOffset)) sought.push_back(k);
        } else if (!shape.searched && keys.Searched()) {
            // No search could place it, so the file is not read for it.
            table.problem = TableSearch::kUnsearched;
        } else if (references[k] || keys.Searched()) {
            sought.push_back(k);
        }
        located.tables.push_back(std::move(table));
    }
    // A table the section does not describe at all (Emerald's animated sprites in FireRed) is not this
    // game's: it is left out rather than listed as missing.
    const auto described = [&located] {
        FollowFoundTables(located);
        std::erase_if(located.tables, [](const LocatedTable& t) { return !t.offset && t.problem.empty(); });
        return std::move(located);
    };
    if (sought.empty()) return described();
    const std::optional<TableSearch> search = TableSearch::Read(romPath, fileSize);
    std::vector<int64_t> claimed;
    for (size_t k = 0; k < located.tables.size(); ++k) {
        if (located.tables[k].offset && std::find(sought.begin(), sought.end(), k) == sought.end())
            claimed.push_back(*located.tables[k].offset);
    }
    for (const size_t k : sought) {
        LocatedTable& table = located.tables[k];
        if (!search) {
            table.offset.reset();
            table.how.clear();
            table.problem = "the file could not be read for a search";
            continue;
        }
        const TableSearch::Found found = search->Find(shapes[k], context, claimed);
        if (found.offset) {
            claimed.push_back(*found.offset);
            table.offset = found.offset;
            table.how = "search: " + std::to_string(found.pointers) +
                        (found.pointers == 1 ? " pointer" : " pointers");
        } else if (found.ambiguous) {
            // Either place may be the one the game reads: taking one would write where the game may not read.
            table.offset.reset();
            table.how.clear();
            table.problem = found.problem;
        } else {
            // Nothing else looks like it: Data.ini's offset stays, for the tables' checks to judge as before.
            table.problem = found.problem;
        }
    }
    return described();
}

bool SaveLocatedOffsets(const std::string& romPath, const LocatedTables& located) {
    const std::string path = RomSettingsPath(romPath);
    for (const LocatedTable& table : located.tables) {
        if (!table.offset) continue;
        char text[16];
        std::snprintf(text, sizeof text, "&H%X", static_cast<unsigned>(*table.offset));
        if (!ReadINI::WriteIniValue(path, kRomSettingsSection, table.key, text)) return false;
    }
    return true;
}
