#include "OperationBenchmarks.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "BenchRom.h"
#include "BenchRuns.h"
#include "CharTable.h"
#include "HexFunctions.h"
#include "SyscallFloor.h"
#include "pictures/BattleScene.h"
#include "pictures/SpritePictures.h"
#include "rom/RomNameTables.h"
#include "rom/RomPointer.h"
#include "species/AttackTable.h"
#include "species/BattleData.h"
#include "species/SpeciesRecord.h"
#include "species/SpeciesSave.h"
#include "species/SpeciesTableValues.h"
#include "text/NameList.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

using SyscallFloor::Access;
using SyscallFloor::Opening;

namespace {

using BenchRuns::Short;

// The 200,000-entry load takes about half a second per call.
constexpr int kLongRepetitions = 7;

// What showing a species does to the file: the record, six pointers and the icon palette number, one
// opening each; then the attack table load, which first asks for the file's size in an opening of its own.
std::vector<Opening> SpeciesOpenings(const BenchRom& rom, const BenchTable& table) {
    const EditorSession& s = rom.session;
    const int32_t i = BenchRom::kShownSpecies;
    std::vector<Access> fields = {{Species::RecordBase(s, i), Species::kRecordSize, 0}};
    for (int32_t entry :
         {Species::AttackTableEntry(s, i), Species::SpriteEntry(s, i), Species::BackSpriteEntry(s, i),
          Species::PaletteEntry(s, i), Species::ShinyPaletteEntry(s, i), Species::IconEntry(s, i)})
        fields.push_back({entry, 4, 0});
    fields.push_back({Species::IconPaletteEntry(s, i), 1, 0});
    std::vector<Opening> openings = SyscallFloor::OneEach(fields);
    openings.push_back({true, {}});
    for (const Opening& read :
         SyscallFloor::OneEach(SyscallFloor::AttackTableReads(table.offset, table.rows)))
        openings.push_back(read);
    return openings;
}

// How the species stands in battle: its two coordinates entries' y offsets, its elevation, its footprint
// pointer and the footprint: one opening each.
std::vector<Opening> BattleOpenings(const BenchRom& rom) {
    const std::optional<BattlePlace>& battle = rom.session.Tables.battle.where;
    const int32_t i = BenchRom::kShownSpecies;
    if (!battle) return {};
    const std::optional<std::vector<uint8_t>> pointer =
        HexFunctions::ReadBytes(rom.path, battle->footprints + 4 * i, 4);
    if (!pointer) return {};
    const int64_t footprint = int64_t{(*pointer)[0] | (*pointer)[1] << 8 | (*pointer)[2] << 16};
    return SyscallFloor::OneEach({{battle->frontCoords + 4 * i + 1, 1, 0},
                                  {battle->backCoords + 4 * i + 1, 1, 0},
                                  {battle->elevation + i, 1, 0},
                                  {battle->footprints + 4 * i, 4, 0},
                                  {footprint, 32, 0}});
}

// With the More Data window open, a selection also reads the species' evolutions, its TM/HM entry and move
// list, its tutor entry and move list, the egg move table (its size check, then the table in one read), its
// national number, its Pokédex entry and the description, and its battle data: one opening each.
std::vector<Opening> MoreDataOpenings(const BenchRom& rom) {
    const SpeciesTables& t = rom.session.Tables;
    const int32_t i = BenchRom::kShownSpecies;
    if (!t.evolutions.where || !t.tmhm.where || !t.tutors.where || !t.eggMoves.where || !t.dex.where)
        return {};
    const CompatibilityTable& tmhm = *t.tmhm.where;
    const CompatibilityTable& tutors = *t.tutors.where;
    const DexPlace& dex = *t.dex.where;
    const HexFunctions::HexByteString national =
        HexFunctions::ReadHexBytes(rom.path, dex.nationalNumbers + 2 * (i - 1), 2);
    const int64_t entry = dex.entries + int64_t{dex.entrySize} * (HexFunctions::ByteAt(national, 0) |
                                                                  HexFunctions::ByteAt(national, 1) << 8);
    const std::optional<std::vector<uint8_t>> pointer = HexFunctions::ReadBytes(rom.path, entry + 16, 4);
    if (!pointer) return {};
    const int64_t text = int64_t{(*pointer)[0] | (*pointer)[1] << 8 | (*pointer)[2] << 16};
    std::vector<Opening> openings =
        SyscallFloor::OneEach({{*t.evolutions.where + 40 * i, 40, 0},
                               {tmhm.table + tmhm.entrySize * i, tmhm.entrySize, 0},
                               {tmhm.moves, 2 * tmhm.count, 0},
                               {tutors.table + tutors.entrySize * i, tutors.entrySize, 0},
                               {tutors.moves, 2 * tutors.count, 0}});
    openings.push_back({true, {}});
    for (const Opening& read : SyscallFloor::OneEach({{t.eggMoves.where->table, 4096, 0},
                                                      {dex.nationalNumbers + 2 * (i - 1), 2, 0},
                                                      {entry, dex.entrySize, 0},
                                                      {text, 1024, 0}}))
        openings.push_back(read);
    for (const Opening& read : BattleOpenings(rom)) openings.push_back(read);
    return openings;
}

// The offsets the preview is given for the shown species, as the window's pointer boxes hold them.
struct ShownPictures {
    int32_t sprite = 0, back = 0, palette = 0, shiny = 0, icon = 0;
    int iconPalette = 0;
    std::optional<int32_t> paletteTable;
};

ShownPictures PicturesOf(const BenchRom& rom) {
    const SpeciesValues v = ReadSpecies(rom.session, BenchRom::kShownSpecies);
    ShownPictures p;
    p.sprite = RomPointer::ParseTarget(v.sprite).value_or(0);
    p.back = RomPointer::ParseTarget(v.backSprite).value_or(0);
    p.palette = RomPointer::ParseTarget(v.palette).value_or(0);
    p.shiny = RomPointer::ParseTarget(v.shinyPalette).value_or(0);
    p.icon = RomPointer::ParseTarget(v.icon).value_or(0);
    p.iconPalette = v.iconPalette;
    p.paletteTable = rom.session.IconPaletteTable;
    return p;
}

// The order the preview draws them in: front and back, each in the normal and the shiny palette, then the
// icon.
std::array<Picture, 5> ReadPictures(const std::string& path, const ShownPictures& p) {
    return {SpritePictures::ReadSprite(path, p.sprite, p.palette),
            SpritePictures::ReadSprite(path, p.sprite, p.shiny),
            SpritePictures::ReadSprite(path, p.back, p.palette),
            SpritePictures::ReadSprite(path, p.back, p.shiny),
            SpritePictures::ReadIcon(path, p.icon, p.iconPalette, p.paletteTable)};
}

constexpr int32_t kSpriteBytes = 2048;  // a 64x64 frame of 4-bit pixels
constexpr int32_t kIconBytes = 512;     // a 32x32 frame
constexpr int32_t kPaletteBytes = 32;
constexpr int32_t kLz77HeaderBytes = 4;
constexpr uint32_t kRomBase = 0x08000000;

// How much the picture reader asks for at the LZ77 data at offset: enough for the worst case of the format,
// the header and a flag byte for each eight literal bytes, cut where the file ends.
int32_t PackedSpan(int64_t offset, int32_t unpacked, int64_t fileSize) {
    const int64_t worst = kLz77HeaderBytes + unpacked + (unpacked + 7) / 8;
    return static_cast<int32_t>(std::clamp<int64_t>(fileSize - offset, 0, worst));
}

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path, const Access& read) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(read.count));
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), read.offset);
    ::close(fd);
    if (got != read.count) return std::nullopt;
    return bytes;
}

// Per picture one opening with its fstat: a sprite reads its compressed tiles and its compressed palette; the
// icon reads its first frame, the pointer that starts its palette table entry and the 32 palette bytes there.
// Empty when the pointer cannot be read.
std::vector<Opening> PictureOpenings(const BenchRom& rom, const ShownPictures& p) {
    const std::optional<int64_t> fileSize = HexFunctions::RomFileSize(rom.path);
    if (!fileSize) return {};
    const auto sprite = [&](int32_t tiles, int32_t colours) {
        return Opening{true,
                       {{tiles, PackedSpan(tiles, kSpriteBytes, *fileSize), 0},
                        {colours, PackedSpan(colours, kPaletteBytes, *fileSize), 0}}};
    };
    std::vector<Opening> openings = {sprite(p.sprite, p.palette), sprite(p.sprite, p.shiny),
                                     sprite(p.back, p.palette), sprite(p.back, p.shiny)};
    Opening icon{true, {{p.icon, kIconBytes, 0}}};
    if (p.paletteTable) {
        const Access entry{int64_t{*p.paletteTable} + 8 * int64_t{p.iconPalette}, 4, 0};
        const std::optional<std::vector<uint8_t>> pointer = ReadBytes(rom.path, entry);
        if (!pointer) return {};
        const uint32_t target =
            static_cast<uint32_t>((*pointer)[0]) | static_cast<uint32_t>((*pointer)[1]) << 8 |
            static_cast<uint32_t>((*pointer)[2]) << 16 | static_cast<uint32_t>((*pointer)[3]) << 24;
        icon.reads.push_back(entry);
        icon.reads.push_back({int64_t{target} - kRomBase, kPaletteBytes, 0});
    }
    openings.push_back(icon);
    return openings;
}

// The bytes of the pictures' openings, held in memory, so that decoding can be timed without the file.
struct PackedPictures {
    std::vector<std::vector<uint8_t>> spriteTiles, spriteColours;  // compressed, one per sprite
    std::vector<uint8_t> iconTiles, iconColours;                   // as stored
};

std::optional<PackedPictures> ReadPacked(const std::string& path, const std::vector<Opening>& openings) {
    if (openings.size() != 5 || openings[4].reads.size() != 3) return std::nullopt;
    PackedPictures packed;
    for (size_t k = 0; k < 4; ++k) {
        auto tiles = ReadBytes(path, openings[k].reads[0]);
        auto colours = ReadBytes(path, openings[k].reads[1]);
        if (!tiles || !colours) return std::nullopt;
        packed.spriteTiles.push_back(std::move(*tiles));
        packed.spriteColours.push_back(std::move(*colours));
    }
    auto tiles = ReadBytes(path, openings[4].reads[0]);
    auto colours = ReadBytes(path, openings[4].reads[2]);
    if (!tiles || !colours) return std::nullopt;
    packed.iconTiles = std::move(*tiles);
    packed.iconColours = std::move(*colours);
    return packed;
}

constexpr int kTileSide = 8;

// Sprite k of the packed ones (front and back in the normal palette, then in the shiny one) unpacked with its
// palette and its tiles turned into pixels.
Picture DecodeSprite(const PackedPictures& packed, size_t k) {
    constexpr int kSpriteTiles = SpritePictures::kSpriteSize / kTileSide;
    std::string problem;
    const auto tiles = SpritePictures::Decompress(packed.spriteTiles[k].data(), packed.spriteTiles[k].size(),
                                                  kSpriteBytes, &problem);
    const auto colours = SpritePictures::Decompress(packed.spriteColours[k].data(),
                                                    packed.spriteColours[k].size(), kPaletteBytes, &problem);
    if (!tiles || !colours) return Picture{0, 0, {}, problem};
    return SpritePictures::DecodeTiles(tiles->data(), tiles->size(), kSpriteTiles, kSpriteTiles,
                                       SpritePictures::DecodePalette(colours->data()));
}

// The battle screen of the shown species from its two sprites in the normal palette, as the More Data
// window's battle preview draws it.
Picture DrawBattle(const BattleValues& v, const Picture& front, const Picture& back) {
    return BattleScene::DrawSingleBattle(BattleScreen::PlaceSingleBattle(v.backY, v.frontY, v.elevation),
                                         front, back);
}

// The decoding the five reads do after their system calls: four sprites and four palettes unpacked and the
// tiles turned into pixels, then the icon's tiles in its palette.
std::array<Picture, 5> DecodePictures(const PackedPictures& packed) {
    std::array<Picture, 5> pictures;
    constexpr int kIconTiles = SpritePictures::kIconSize / kTileSide;
    for (size_t k = 0; k < 4; ++k) pictures[k] = DecodeSprite(packed, k);
    pictures[4] =
        SpritePictures::DecodeTiles(packed.iconTiles.data(), packed.iconTiles.size(), kIconTiles, kIconTiles,
                                    SpritePictures::DecodePalette(packed.iconColours.data()));
    return pictures;
}

// The first problem among the pictures, or empty when all five are there.
std::string FirstProblem(const std::array<Picture, 5>& pictures) {
    for (const Picture& picture : pictures) {
        if (!picture.ok())
            return picture.problem.empty() ? std::string("a picture is empty") : picture.problem;
    }
    return {};
}

// The bytes a save writes, one access each, in the order the save writes them.
std::vector<int64_t> SaveOffsets(const EditorSession& s, int32_t i, int64_t table, int32_t rows) {
    std::vector<int64_t> offsets;
    for (int k = 0; k < Species::kNameSize; ++k) offsets.push_back(int64_t{Species::NameEntry(s, i)} + k);
    const int64_t r = Species::RecordBase(s, i);
    for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 9, 8, 11, 10, 12, 13, 14, 15, 16, 17, 20, 21, 22, 23, 24})
        offsets.push_back(r + k);
    for (int64_t entry :
         {Species::SpriteEntry(s, i), Species::BackSpriteEntry(s, i), Species::PaletteEntry(s, i),
          Species::ShinyPaletteEntry(s, i), Species::IconEntry(s, i)}) {
        for (int k : {2, 1, 0}) offsets.push_back(entry + k);
    }
    offsets.push_back(Species::IconPaletteEntry(s, i));
    for (int k : {0, 2, 1}) offsets.push_back(int64_t{Species::AttackTableEntry(s, i)} + k);
    // The rows and the terminator after them.
    for (int64_t k = 0; k < 2 * int64_t{rows} + 2; ++k) offsets.push_back(table + k);
    return offsets;
}

// The floor puts back the bytes that are there, as the save of an unchanged species does.
std::vector<Access> SaveWrites(const BenchRom& rom, const BenchTable& table) {
    std::vector<Access> writes;
    const int fd = ::open(rom.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return writes;
    for (int64_t offset : SaveOffsets(rom.session, BenchRom::kShownSpecies, table.offset, table.rows)) {
        unsigned char byte = 0;
        if (::pread(fd, &byte, 1, offset) != 1) {
            writes.clear();
            break;
        }
        writes.push_back({offset, 1, byte});
    }
    ::close(fd);
    return writes;
}

// The four names tables as the listing reads them, held in memory so that their check and decoding can be
// timed alone. Empty when a read fails.
std::vector<std::vector<uint8_t>> ReadNameTables(const BenchRom& rom) {
    std::vector<std::vector<uint8_t>> tables;
    for (const Access& read : SyscallFloor::NameTableReads(rom.session).reads) {
        std::optional<std::vector<uint8_t>> bytes = ReadBytes(rom.path, read);
        if (!bytes) return {};
        tables.push_back(std::move(*bytes));
    }
    return tables;
}

template <class Reads>
void FloorRead(benchmark::State& state, const std::string& path, const Reads& reads) {
    if (reads.empty()) state.SkipWithError("the floor has no reads");
    for (auto _ : state) {
        if (!SyscallFloor::Read(path, reads)) {
            state.SkipWithError("a bare read of the ROM failed");
            break;
        }
    }
}

void PerEntry(benchmark::State& state, int32_t rows) {
    state.counters["per_entry"] =
        benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

void RegisterOperationBenchmarks(const BenchRom& rom) {
    const std::string& path = rom.path;
    const BenchTable& shownTable = rom.tables.front();

    Short(benchmark::RegisterBenchmark("names", [&rom](benchmark::State& state) {
        if (LoadNameList(rom.session).size() != static_cast<size_t>(Species::kCount))
            state.SkipWithError("the name list is not 412 entries long");
        for (auto _ : state) {
            std::vector<std::string> names = LoadNameList(rom.session);
            benchmark::DoNotOptimize(names);
        }
    }));
    Short(benchmark::RegisterBenchmark("names/floor", FloorRead<std::vector<Access>>, path,
                                       SyscallFloor::NameListReads(rom.session.NameOffset)));

    Short(benchmark::RegisterBenchmark("romnames", [&rom](benchmark::State& state) {
        const RomNames::Names names = RomNames::ReadNames(rom.session, true);
        if (RomNames::SourceText(names) != "Names: moves, abilities, types and items from the ROM.")
            state.SkipWithError(RomNames::SourceText(names).c_str());
        for (auto _ : state) {
            RomNames::Names read = RomNames::ReadNames(rom.session, true);
            benchmark::DoNotOptimize(read);
        }
    }));
    Short(benchmark::RegisterBenchmark("romnames/floor", FloorRead<std::vector<Opening>>, path,
                                       std::vector<Opening>{SyscallFloor::NameTableReads(rom.session)}));
    // The checking and decoding of the four tables read, from memory: what the listing does beyond its
    // system calls.
    const auto decodeNames = [](const std::vector<std::vector<uint8_t>>& tables) {
        for (int k = 0; k < RomNames::kListCount; ++k) {
            const auto count = static_cast<int32_t>(tables[k].size()) /
                               RomNames::Format(static_cast<RomNames::List>(k)).entrySize;
            RomNames::ListNames names =
                RomNames::NamesInTable(static_cast<RomNames::List>(k), tables[k].data(), count);
            benchmark::DoNotOptimize(names);
        }
    };
    const std::vector<std::vector<uint8_t>> nameTables = ReadNameTables(rom);
    Short(
        benchmark::RegisterBenchmark("romnames/decoding", [nameTables, decodeNames](benchmark::State& state) {
            if (nameTables.size() != RomNames::kListCount) {
                state.SkipWithError("the names tables could not be read");
                return;
            }
            for (auto _ : state) decodeNames(nameTables);
        }));
    Short(benchmark::RegisterBenchmark("romnames/rest", [&rom, nameTables,
                                                         decodeNames](benchmark::State& state) {
        if (nameTables.size() != RomNames::kListCount) {
            state.SkipWithError("the names tables could not be read");
            return;
        }
        BenchRuns::TimePairedRest(
            state,
            [&rom] {
                RomNames::Names read = RomNames::ReadNames(rom.session, true);
                benchmark::DoNotOptimize(read);
            },
            [&] { decodeNames(nameTables); });
    }))->UseManualTime();

    Short(benchmark::RegisterBenchmark("species", [&rom, shownTable](benchmark::State& state) {
        const auto show = [&rom] {
            SpeciesValues values = ReadSpecies(rom.session, BenchRom::kShownSpecies);
            const std::optional<int32_t> start = RomPointer::ParseTarget(values.attackTable);
            std::vector<LevelUpAttackEntry> rows;
            if (start) rows = LoadAttackTable(rom.session.RomPath, *start);
            benchmark::DoNotOptimize(values);
            return rows;
        };
        if (show().size() != static_cast<size_t>(shownTable.rows))
            state.SkipWithError("the shown species does not have the 20-row table");
        for (auto _ : state) {
            std::vector<LevelUpAttackEntry> rows = show();
            benchmark::DoNotOptimize(rows);
        }
    }));
    Short(benchmark::RegisterBenchmark("species/floor", FloorRead<std::vector<Opening>>, path,
                                       SpeciesOpenings(rom, shownTable)));

    Short(benchmark::RegisterBenchmark("species/more", [&rom, shownTable](benchmark::State& state) {
        const auto show = [&rom] {
            SpeciesValues values = ReadSpecies(rom.session, BenchRom::kShownSpecies);
            const std::optional<int32_t> start = ParseHexOffset(values.attackTable);
            std::vector<LevelUpAttackEntry> rows;
            if (start) rows = LoadAttackTable(rom.session.RomPath, *start);
            SpeciesTableValues more = ReadSpeciesTableValues(rom.session, BenchRom::kShownSpecies);
            benchmark::DoNotOptimize(values);
            return std::make_pair(rows.size(), more.tutors && more.eggMoves && more.dex &&
                                                   more.dex->description && more.battle);
        };
        if (show() != std::make_pair(static_cast<size_t>(shownTable.rows), true))
            state.SkipWithError("the shown species does not have the 20-row table and the More Data tables");
        for (auto _ : state) {
            auto shown = show();
            benchmark::DoNotOptimize(shown);
        }
    }));
    std::vector<Opening> moreOpenings = SpeciesOpenings(rom, shownTable);
    for (const Opening& opening : MoreDataOpenings(rom)) moreOpenings.push_back(opening);
    Short(benchmark::RegisterBenchmark("species/more/floor", FloorRead<std::vector<Opening>>, path,
                                       moreOpenings));

    Short(benchmark::RegisterBenchmark("battle", [&rom](benchmark::State& state) {
        if (!ReadBattleValues(rom.session, BenchRom::kShownSpecies).values)
            state.SkipWithError("the shown species has no battle data");
        for (auto _ : state) {
            BattleRead read = ReadBattleValues(rom.session, BenchRom::kShownSpecies);
            benchmark::DoNotOptimize(read);
        }
    }));
    Short(benchmark::RegisterBenchmark("battle/floor", FloorRead<std::vector<Opening>>, path,
                                       BattleOpenings(rom)));

    const ShownPictures shownPictures = PicturesOf(rom);
    const std::vector<Opening> pictureOpenings = PictureOpenings(rom, shownPictures);
    Short(benchmark::RegisterBenchmark("pictures", [&path, shownPictures](benchmark::State& state) {
        if (const std::string problem = FirstProblem(ReadPictures(path, shownPictures)); !problem.empty())
            state.SkipWithError(problem.c_str());
        for (auto _ : state) {
            std::array<Picture, 5> pictures = ReadPictures(path, shownPictures);
            benchmark::DoNotOptimize(pictures);
        }
    }));
    Short(benchmark::RegisterBenchmark("pictures/floor", FloorRead<std::vector<Opening>>, path,
                                       pictureOpenings));
    Short(benchmark::RegisterBenchmark(
        "pictures/decoding", [packed = ReadPacked(path, pictureOpenings)](benchmark::State& state) {
            if (!packed) {
                state.SkipWithError("the bytes of the pictures could not be read");
                return;
            }
            if (const std::string problem = FirstProblem(DecodePictures(*packed)); !problem.empty())
                state.SkipWithError(problem.c_str());
            for (auto _ : state) {
                std::array<Picture, 5> pictures = DecodePictures(*packed);
                benchmark::DoNotOptimize(pictures);
            }
        }));

    // With the battle tab open a selection also reads the battle data and draws the screen from the front
    // and back sprites in the normal palette (pictureOpenings 0 and 2).
    const auto showPreview = [&rom, shownPictures] {
        const BattleRead read = ReadBattleValues(rom.session, BenchRom::kShownSpecies);
        const Picture front =
            SpritePictures::ReadSprite(rom.path, shownPictures.sprite, shownPictures.palette);
        const Picture back = SpritePictures::ReadSprite(rom.path, shownPictures.back, shownPictures.palette);
        return DrawBattle(read.values.value_or(BattleValues{}), front, back);
    };
    // What the preview does beyond its system calls: the two sprites decoded from memory and the screen
    // drawn.
    const std::optional<PackedPictures> packedPictures = ReadPacked(path, pictureOpenings);
    const std::optional<BattleValues> shownBattle =
        ReadBattleValues(rom.session, BenchRom::kShownSpecies).values;
    const auto drawPreview = [packedPictures, shownBattle] {
        return DrawBattle(*shownBattle, DecodeSprite(*packedPictures, 0), DecodeSprite(*packedPictures, 2));
    };
    const bool previewReady = packedPictures && shownBattle && showPreview().ok();
    Short(
        benchmark::RegisterBenchmark("battle/preview", [showPreview, previewReady](benchmark::State& state) {
            if (!previewReady) state.SkipWithError("the battle screen was not drawn");
            for (auto _ : state) benchmark::DoNotOptimize(showPreview());
        }));
    std::vector<Opening> previewOpenings = BattleOpenings(rom);
    if (pictureOpenings.size() == 5) {
        previewOpenings.push_back(pictureOpenings[0]);
        previewOpenings.push_back(pictureOpenings[2]);
    }
    Short(benchmark::RegisterBenchmark("battle/preview/floor", FloorRead<std::vector<Opening>>, path,
                                       previewOpenings));
    Short(benchmark::RegisterBenchmark("battle/preview/drawing",
                                       [drawPreview, previewReady](benchmark::State& state) {
                                           if (!previewReady) {
                                               state.SkipWithError("the battle screen was not drawn");
                                               return;
                                           }
                                           for (auto _ : state) benchmark::DoNotOptimize(drawPreview());
                                       }));
    Short(benchmark::RegisterBenchmark("battle/preview/rest", [showPreview, drawPreview,
                                                               previewReady](benchmark::State& state) {
        if (!previewReady) {
            state.SkipWithError("the battle screen was not drawn");
            return;
        }
        BenchRuns::TimePairedRest(
            state, [&] { benchmark::DoNotOptimize(showPreview()); },
            [&] { benchmark::DoNotOptimize(drawPreview()); });
    }))->UseManualTime();

    Short(benchmark::RegisterBenchmark("save", [&rom](benchmark::State& state) {
        const SpeciesEdits edits = ShownSpeciesEdits(rom);
        // The backup is taken once per opening, not per save, so it stays out of the per-save time.
        RomWriter writer(rom.session);
        writer.SetBackupsEnabled(false);
        for (auto _ : state) {
            SaveOutcome outcome = SaveSpecies(writer, BenchRom::kShownSpecies, edits);
            if (!outcome.complete) {
                state.SkipWithError(outcome.error.c_str());
                break;
            }
            benchmark::DoNotOptimize(outcome);
        }
    }));
    for (const bool sync : {true, false}) {
        Short(benchmark::RegisterBenchmark(
            sync ? "save/floor" : "save/floor-without-fsync",
            [&rom, shownTable, sync](benchmark::State& state) {
                const std::vector<Access> writes = SaveWrites(rom, shownTable);
                std::vector<Opening> reads = SyscallFloor::OneEach(
                    SyscallFloor::FourthByteReads(rom.session, BenchRom::kShownSpecies));
                for (const Opening& check : SyscallFloor::WriterReads(rom.session, writes))
                    reads.push_back(check);
                if (writes.size() != static_cast<size_t>(55 + 2 * shownTable.rows))
                    state.SkipWithError("the bytes of the save could not be read");
                RomJournal::Journal journal{static_cast<int64_t>(rom.session.FileSize), {}};
                for (const Access& write : writes) journal.entries.push_back({write.offset, write.byte});
                const std::vector<uint8_t> journalBytes = RomJournal::Encode(journal);
                for (auto _ : state) {
                    if (!SyscallFloor::Read(rom.path, reads) ||
                        !SyscallFloor::JournaledWrite(rom.path, writes, journalBytes, sync)) {
                        state.SkipWithError(
                            "a bare read of the ROM, or a write to it or its journal, failed");
                        break;
                    }
                }
            }));
    }

    for (const BenchTable& table : rom.tables) {
        const std::string name = "attacks/" + std::to_string(table.rows);
        auto* load = benchmark::RegisterBenchmark(name.c_str(), [&path, table](benchmark::State& state) {
            // Large enough that only the terminator ends the load.
            const int32_t maxRows = table.rows + 1;
            if (LoadAttackTable(path, table.offset, maxRows).size() != static_cast<size_t>(table.rows))
                state.SkipWithError("the table does not end where it was written to end");
            for (auto _ : state) {
                std::vector<LevelUpAttackEntry> rows = LoadAttackTable(path, table.offset, maxRows);
                benchmark::DoNotOptimize(rows);
            }
            PerEntry(state, table.rows);
        });
        auto* floor = benchmark::RegisterBenchmark(
            (name + "/floor").c_str(),
            [&path, table,
             reads = SyscallFloor::AttackTableReads(table.offset, table.rows)](benchmark::State& state) {
                FloorRead(state, path, reads);
                PerEntry(state, table.rows);
            });
        for (auto* b : {load, floor}) {
            Short(b);
            if (table.rows > 10000) b->Repetitions(kLongRepetitions)->Unit(benchmark::kMillisecond);
        }
    }
}
