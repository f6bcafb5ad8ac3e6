#include "rom/TableShapes.h"

#include <algorithm>
#include <optional>

#include "HexFunctions.h"
#include "rom/EditorSession.h"
#include "rom/PointerSearch.h"
#include "rom/RomNameTables.h"
#include "rom/SectionValues.h"
#include "rom/SpeciesTables.h"
#include "species/EggMoveLocator.h"
#include "species/EggMoveTable.h"
#include "species/PokedexEntry.h"

namespace TableShapes {
namespace {

namespace Sizes = SpeciesTableSizes;

constexpr int kPassPercent = 95;
constexpr int kOthers = Species::kCount - 1;  // species 0 is a placeholder in every table
// A retail game has three icon palettes; hacks add a few, never sixteen.
constexpr int kIconPalettes = 16;
constexpr int kIconPaletteEntries = 3;

int Word(const uint8_t* at) {
    return at[0] | at[1] << 8;
}

bool InFile(uint32_t pointer, int64_t fileSize) {
    const int64_t target = int64_t{pointer} - PointerSearch::kRomBase;
    return target >= 0 && target < fileSize;
}

// True when at least 95% of count cases pass; gives up as soon as too many have failed, so that each of a
// search's many wrong places costs a few entries.
template <class Pass>
bool MostOf(int count, Pass pass) {
    const int allowed = count - (kPassPercent * count + 99) / 100;
    int misses = 0;
    for (int k = 0; k < count; ++k) {
        if (!pass(k) && ++misses > allowed) return false;
    }
    return true;
}

// The same over species 1 to 411 of a table of stride bytes an entry: pass gets the species and its entry.
template <class Pass>
bool MostSpecies(const uint8_t* table, int stride, Pass pass) {
    return MostOf(kOthers, [&](int k) { return pass(k + 1, table + (k + 1) * stride); });
}

// A count its section gives (or its default): nothing when the key is bad.
std::optional<int32_t> CountOf(const Context& context, const char* key, int32_t byDefault) {
    const std::string text = context.value(key);
    if (text.empty()) return byDefault > 0 ? std::optional<int32_t>(byDefault) : std::nullopt;
    return ParseIniOffset(text);
}

bool Names(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* names = context.Bytes(offset, int64_t{Species::kNameSize} * Species::kCount, buffer);
    if (!names) return false;
    const bool ending = MostSpecies(names, Species::kNameSize, [](int, const uint8_t* name) {
        return std::find(name, name + Species::kNameSize, 0xFF) != name + Species::kNameSize;
    });
    return ending && 2 * NamedEntries(names) >= kOthers;
}

// Growth rates run 0-5 and egg groups 0-15 in every game; placeholders are all zero, so half the species
// must at least have hit points for the table not to be any run of zeros.
bool Records(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* records = context.Bytes(offset, int64_t{Species::kRecordSize} * Species::kCount, buffer);
    if (!records || !MostSpecies(records, Species::kRecordSize, [](int, const uint8_t* r) {
            return r[19] <= 5 && r[20] <= 15 && r[21] <= 15;
        }))
        return false;
    int alive = 0;
    for (int species = 1; species < Species::kCount; ++species)
        alive += records[species * Species::kRecordSize] != 0;
    return 2 * alive >= kOthers;
}

template <int kStride>
bool Pointers(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, int64_t{kStride} * Species::kCount, buffer);
    return table && MostSpecies(table, kStride, [&context](int, const uint8_t* entry) {
               return InFile(PointerSearch::WordAt(entry), context.fileSize);
           });
}

// Sprite entries carry the species after the pointer and the data size, palette entries right after the
// pointer (the shiny ones 500 on), as the games' graphics code looks them up.
template <int kTagAt, int kTagBase>
bool Tagged(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, 8 * int64_t{Species::kCount}, buffer);
    return table && MostSpecies(table, 8, [](int species, const uint8_t* entry) {
               return Word(entry + kTagAt) == species + kTagBase;
           });
}

// The front and back sprite tables hold entries of one form, so a search tells the front table by the back
// table the games keep at a fixed distance after it.
bool FollowedByBackSprites(const Context& context, int64_t offset) {
    const int64_t back = offset + kBackSpriteDistance;
    return Tagged<6, 0>(context, offset) && Pointers<8>(context, back) && Tagged<6, 0>(context, back);
}

// How many of the first species' pointers lead to a level-up entry (a level from 1 to 100 and a move) or to
// an empty list: an attack table's all do, an icon table's few.
constexpr int kSampledLists = 32;
int LevelUpListsAmongFirst(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, 4 * int64_t{kSampledLists + 1}, buffer);
    if (!table) return 0;
    int lists = 0;
    std::vector<uint8_t> entry;
    for (int species = 1; species <= kSampledLists; ++species) {
        const int64_t target = int64_t{PointerSearch::WordAt(table + 4 * species)} - PointerSearch::kRomBase;
        const uint8_t* first = context.Bytes(target, 2, entry);
        if (!first) continue;
        const int word = Word(first);
        const int level = word >> 9;
        const int move = word & 0x1FF;
        if (word == 0xFFFF || (level >= 1 && level <= 100 && move >= 1)) ++lists;
    }
    return lists;
}

bool AttackLists(const Context& context, int64_t offset) {
    return LevelUpListsAmongFirst(context, offset) >= kSampledLists - 1;
}

bool NoAttackLists(const Context& context, int64_t offset) {
    return LevelUpListsAmongFirst(context, offset) < kSampledLists / 2;
}

bool IconPaletteNumbers(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* numbers = context.Bytes(offset, Species::kCount, buffer);
    if (!numbers || !MostSpecies(numbers, 1, [](int, const uint8_t* n) { return *n < kIconPalettes; }))
        return false;
    return std::any_of(numbers + 2, numbers + Species::kCount,
                       [numbers](uint8_t n) { return n != numbers[1]; });
}

// The games use three palettes, hacks a few more, and no palette serves four species in five.
bool IconPalettesSpread(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* numbers = context.Bytes(offset, Species::kCount, buffer);
    if (!numbers || !MostSpecies(numbers, 1, [](int, const uint8_t* n) { return *n < 6; })) return false;
    int uses[256] = {};
    for (int species = 1; species < Species::kCount; ++species) ++uses[numbers[species]];
    return 5 * *std::max_element(uses, uses + 256) <= 4 * kOthers;
}

bool IconPalettes(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, 8 * kIconPaletteEntries, buffer);
    if (!table) return false;
    for (int k = 0; k < kIconPaletteEntries; ++k) {
        if (!InFile(PointerSearch::WordAt(table + 8 * k), context.fileSize)) return false;
    }
    return true;
}

// The palettes' tags follow one another, above those of the species' own palettes (species, shiny 500 on).
bool IconPaletteTags(const Context& context, int64_t offset) {
    constexpr int kSpeciesTags = 1000;
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, 8 * kIconPaletteEntries, buffer);
    if (!table || Word(table + 4) < kSpeciesTags) return false;
    for (int k = 1; k < kIconPaletteEntries; ++k) {
        if (Word(table + 8 * k + 4) != Word(table + 4) + k) return false;
    }
    return true;
}

constexpr int32_t kEvolutionsSize = Sizes::kEvolutions * Sizes::kEvolutionEntry;

bool Evolutions(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, int64_t{kEvolutionsSize} * Species::kCount, buffer);
    return table && MostSpecies(table, kEvolutionsSize, [](int, const uint8_t* entries) {
               for (int k = 0; k < Sizes::kEvolutions; ++k) {
                   const uint8_t* entry = entries + k * Sizes::kEvolutionEntry;
                   if (Word(entry) >= Sizes::kEvolutionMethods || Word(entry + 4) >= Species::kCount)
                       return false;
               }
               return true;
           });
}

// A run of zeros is no evolution table: in every game some species evolve.
bool SomeEvolve(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, int64_t{kEvolutionsSize} * Species::kCount, buffer);
    if (!table) return false;
    int evolving = 0;
    for (int species = 1; species < Species::kCount; ++species)
        evolving += Word(table + species * kEvolutionsSize) != 0;
    return 20 * evolving >= kOthers;
}

uint64_t Mask(const uint8_t* entry, int32_t entrySize) {
    uint64_t mask = 0;
    for (int k = entrySize - 1; k >= 0; --k) mask = mask << 8 | entry[k];
    return mask;
}

// The bits above the list's moves are never set: 58 of 64 for TM/HM, 15 of 16 or 30 of 32 for tutors.
bool Compatibility(const Context& context, int64_t offset, int32_t count, int32_t entrySize) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, int64_t{entrySize} * Species::kCount, buffer);
    return table && MostSpecies(table, entrySize, [count, entrySize](int, const uint8_t* entry) {
               return count >= 64 || (Mask(entry, entrySize) >> count) == 0;
           });
}

// At least percent of the species learn one of the moves, and the entries are bits, not the pointers that
// start every entry of a sprite or palette table.
bool SomeLearn(const Context& context, int64_t offset, int32_t entrySize, int percent) {
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, int64_t{entrySize} * Species::kCount, buffer);
    if (!table) return false;
    int learning = 0;
    int pointers = 0;
    for (int species = 1; species < Species::kCount; ++species) {
        const uint8_t* entry = table + species * entrySize;
        learning += Mask(entry, entrySize) != 0;
        pointers += entrySize >= 4 && InFile(PointerSearch::WordAt(entry), context.fileSize);
    }
    return 100 * learning >= percent * kOthers && 2 * pointers < kOthers;
}

// Move numbers from 1 to 511; in the search, each once and not counting up one by one (the national numbers
// of the first species), as a list of what is taught has them.
bool MoveList(const Context& context, int64_t offset, int32_t count, bool distinct) {
    std::vector<uint8_t> buffer;
    const uint8_t* list = count >= 1 ? context.Bytes(offset, 2 * int64_t{count}, buffer) : nullptr;
    if (!list) return false;
    std::vector<bool> seen(Sizes::kLastMoveNumber + 1);
    int countingUp = 0;
    for (int32_t k = 0; k < count; ++k) {
        const int move = Word(list + 2 * k);
        if (move < 1 || move > Sizes::kLastMoveNumber || (distinct && seen[static_cast<size_t>(move)]))
            return false;
        seen[static_cast<size_t>(move)] = true;
        countingUp += k > 0 && move == Word(list + 2 * k - 2) + 1;
    }
    return !distinct || 2 * countingUp < count;
}

std::optional<int32_t> TutorCount(const Context& context) {
    const std::optional<int32_t> count = CountOf(context, "TutorCount", 0);
    if (!count || *count < 1 || *count > Sizes::kMaxTutors) return std::nullopt;
    return count;
}

int32_t TutorEntrySize(int32_t count) {
    return count <= 16 ? 2 : 4;
}

bool TmHmTable(const Context& context, int64_t offset) {
    return Compatibility(context, offset, Sizes::kTmHmMoves, Sizes::kTmHmEntry);
}

bool TmHmLearned(const Context& context, int64_t offset) {
    return SomeLearn(context, offset, Sizes::kTmHmEntry, 50);
}

bool TmHmMoves(const Context& context, int64_t offset) {
    return MoveList(context, offset, Sizes::kTmHmMoves, false);
}

bool TmHmMovesOnce(const Context& context, int64_t offset) {
    return MoveList(context, offset, Sizes::kTmHmMoves, true);
}

bool TutorTable(const Context& context, int64_t offset) {
    const std::optional<int32_t> count = TutorCount(context);
    return count && Compatibility(context, offset, *count, TutorEntrySize(*count));
}

bool TutorsLearned(const Context& context, int64_t offset) {
    const std::optional<int32_t> count = TutorCount(context);
    return count && SomeLearn(context, offset, TutorEntrySize(*count), 10);
}

bool TutorMoves(const Context& context, int64_t offset) {
    const std::optional<int32_t> count = TutorCount(context);
    return count && MoveList(context, offset, *count, false);
}

bool TutorMovesOnce(const Context& context, int64_t offset) {
    const std::optional<int32_t> count = TutorCount(context);
    return count && MoveList(context, offset, *count, true);
}

template <RomNames::List kList>
bool NameList(const Context& context, int64_t offset) {
    const RomNames::TableFormat& format = RomNames::Format(kList);
    const std::optional<int32_t> count = CountOf(context, format.countKey, format.defaultCount);
    if (!count || *count < 1 || *count > format.maxCount) return false;
    std::vector<uint8_t> buffer;
    const uint8_t* table = context.Bytes(offset, int64_t{format.entrySize} * *count, buffer);
    // The ends first: a wrong place fails there after a few entries, before any name is decoded.
    if (!table || !MostOf(*count, [&](int k) {
            const uint8_t* name = table + int64_t{k} * format.entrySize;
            return std::find(name, name + format.nameWidth, 0xFF) != name + format.nameWidth;
        }))
        return false;
    return RomNames::NamesInTable(kList, table, *count).FromRom();
}

bool EggMoves(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* first = context.Bytes(offset, 2, buffer);
    if (!first || Word(first) <= EggMoveLimits::kBlockBase ||
        Word(first) >= EggMoveLimits::kBlockBase + Species::kCount)
        return false;
    if (!context.image) {
        std::string ignored;
        return EggMoveTableAt(context.romPath, offset, &ignored);
    }
    const EggMoveTableRead read =
        ParseEggMoveTable(context.image->data() + offset, context.fileSize - offset, offset);
    if (!read.table || read.table->blocks.empty()) return false;
    const int64_t words = read.table->size / 2;
    return 100 * (words - read.table->oddWords) >= kPassPercent * words;
}

// Numbers run up to the species count; zeros alone (a cleared area) are no table.
bool NationalNumbers(const Context& context, int64_t offset) {
    std::vector<uint8_t> buffer;
    const uint8_t* numbers = context.Bytes(offset, 2 * int64_t{kOthers}, buffer);
    if (!numbers || !MostOf(kOthers, [numbers](int k) { return Word(numbers + 2 * k) < Species::kCount; }))
        return false;
    int nonZero = 0;
    for (int k = 0; k < kOthers; ++k) nonZero += Word(numbers + 2 * k) != 0;
    return 2 * nonZero >= kOthers;
}

// The first 251 species keep their national numbers in every game; the Hoenn numbers do not.
bool NationalOrder(const Context& context, int64_t offset) {
    constexpr int kFirstGenerations = 251;
    std::vector<uint8_t> buffer;
    const uint8_t* numbers = context.Bytes(offset, 2 * int64_t{kFirstGenerations}, buffer);
    return numbers && MostOf(kFirstGenerations, [numbers](int k) { return Word(numbers + 2 * k) == k + 1; });
}

bool DexEntries(const Context& context, int64_t offset) {
    const std::optional<int32_t> size = CountOf(context, "DexEntrySize", 0);
    if (!size || *size < DexLimits::kDescriptionPointer + 4 || *size > DexLimits::kLargestEntry) return false;
    std::vector<uint8_t> buffer;
    const uint8_t* entries = context.Bytes(offset, int64_t{*size} * (DexLimits::kLastEntry + 1), buffer);
    return entries && MostOf(DexLimits::kLastEntry, [&](int k) {
               const uint8_t* entry = entries + static_cast<size_t>(k + 1) * static_cast<size_t>(*size);
               return InFile(PointerSearch::WordAt(entry + DexLimits::kDescriptionPointer), context.fileSize);
           });
}

const std::vector<Shape> kShapes = {
    {"NameOffset", "NameOffsetRef", "species names", 1, Names, nullptr},
    {"DataOffset", "DataOffsetRef", "species records", 4, Records, nullptr},
    {"ImageOffset", "ImageOffsetRef", "front sprites", 4, Pointers<8>, FollowedByBackSprites},
    {"PaletteOffset", "PaletteOffsetRef", "palettes", 4, Pointers<8>, Tagged<4, 0>},
    {"IconOffset", "IconOffsetRef", "icons", 4, Pointers<4>, NoAttackLists},
    {"IconPalette", "IconPaletteRef", "icon palette numbers", 1, IconPaletteNumbers, IconPalettesSpread},
    {"AttackTable", "AttackTableRef", "level-up attacks", 4, Pointers<4>, AttackLists},
    {"BackImageOffset", "BackImageRef", "back sprites", 4, Pointers<8>, Tagged<6, 0>, false},
    {"ShinyPaletteOffset", "ShinyPaletteRef", "shiny palettes", 4, Pointers<8>, Tagged<4, 500>},
    {"IconPaletteTable", "IconPaletteTableRef", "icon palettes", 4, IconPalettes, IconPaletteTags},
    {"AnimatedImageOffset", "AnimatedImageOffsetRef", "animated front sprites", 4, Pointers<8>, Tagged<6, 0>,
     false},
    {"EvolutionTable", "EvolutionTableRef", "evolutions", 4, Evolutions, SomeEvolve},
    {"TMHMTable", "TMHMTableRef", "TM/HM compatibility", 4, TmHmTable, TmHmLearned, false},
    {"TMHMMoves", "TMHMMovesRef", "TM/HM moves", 2, TmHmMoves, TmHmMovesOnce, false},
    {"TutorTable", "TutorTableRef", "tutor compatibility", 2, TutorTable, TutorsLearned, false},
    {"TutorMoves", "TutorMovesRef", "tutor moves", 2, TutorMoves, TutorMovesOnce, false},
    {"MoveNames", "MoveNamesRef", "move names", 1, NameList<RomNames::kMoves>, nullptr},
    {"AbilityNames", "AbilityNamesRef", "ability names", 1, NameList<RomNames::kAbilities>, nullptr},
    {"TypeNames", "TypeNamesRef", "type names", 1, NameList<RomNames::kTypes>, nullptr},
    {"ItemTable", "ItemTableRef", "items", 4, NameList<RomNames::kItems>, nullptr},
    {"EggMoves", "EggMovesRef", "egg moves", 2, EggMoves, nullptr},
    {"NationalDex", "NationalDexRef", "national numbers", 2, NationalNumbers, NationalOrder},
    {"DexEntries", "DexEntriesRef",
     "Pok\xE9"
     "dex entries",
     4, DexEntries, nullptr},
};

}  // namespace

const uint8_t* Context::Bytes(int64_t offset, int64_t length, std::vector<uint8_t>& buffer) const {
    if (offset < 0 || length < 0 || offset + length > fileSize) return nullptr;
    if (image)
        return offset + length <= static_cast<int64_t>(image->size()) ? image->data() + offset : nullptr;
    std::optional<std::vector<uint8_t>> read = HexFunctions::ReadBytes(romPath, offset, length);
    if (!read) return nullptr;
    buffer = std::move(*read);
    return buffer.data();
}

const std::vector<Shape>& All() {
    return kShapes;
}

const Shape* Find(const std::string& key) {
    for (const Shape& shape : kShapes) {
        if (key == shape.key) return &shape;
    }
    return nullptr;
}

int NameEntriesThatEnd(const uint8_t* names) {
    int ending = 0;
    for (int species = 1; species < Species::kCount; ++species) {
        for (int k = 0; k < Species::kNameSize; ++k) {
            if (names[species * Species::kNameSize + k] == 0xFF) {
                ++ending;
                break;
            }
        }
    }
    return ending;
}

int PointerEntriesInFile(const uint8_t* table, int stride, int64_t fileSize) {
    int inFile = 0;
    for (int species = 1; species < Species::kCount; ++species) {
        if (InFile(PointerSearch::WordAt(table + species * stride), fileSize)) ++inFile;
    }
    return inFile;
}

int NamedEntries(const uint8_t* names) {
    int named = 0;
    for (int species = 1; species < Species::kCount; ++species) {
        if (names[species * Species::kNameSize] != 0xFF) ++named;
    }
    return named;
}

bool EnoughFit(int fitting, int of) {
    return 100 * fitting >= kPassPercent * of;
}

}  // namespace TableShapes
