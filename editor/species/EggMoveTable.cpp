#include "species/EggMoveTable.h"

#include <algorithm>
#include <cstdio>

#include "HexFunctions.h"
#include "HexOffset.h"

namespace {

namespace Limits = EggMoveLimits;

// Most tables end within the first read; a grown one takes a few more.
constexpr int64_t kFirstRead = 4096;
constexpr int kSpeciesCount = 412;

bool IsOpener(int word) {
    return word > Limits::kBlockBase && word != Limits::kEnd;
}

// The rest of a table from `at` for one species: its block and the terminator, or nothing when the bytes end
// first. Showing one species needs no more than that of the words in between.
std::optional<EggMoveTable> FindSpeciesAndEnd(const uint8_t* bytes, int64_t limit, int64_t at, int species,
                                              EggMoveTable table) {
    const int opener = Limits::kBlockBase + species;
    bool keeping = false;
    for (; at < limit; at += 2) {
        const int word = bytes[at] | bytes[at + 1] << 8;
        if (word == Limits::kEnd) {
            table.size = at + 2;
            return table;
        }
        if (IsOpener(word)) {
            keeping = word == opener && table.blocks.empty();
            if (keeping) table.blocks.push_back({word, {}});
        } else if (keeping) {
            table.blocks.back().moves.push_back(word);
        }
    }
    return std::nullopt;
}

}  // namespace

EggMoveTableRead ParseEggMoveTable(const uint8_t* bytes, int64_t available, int64_t offset, int onlySpecies) {
    EggMoveTableRead read;
    const int64_t limit = std::min(available, Limits::kLongestTable) / 2 * 2;
    EggMoveTable table;
    table.offset = offset;
    bool begun = false;
    for (int64_t at = 0; at < limit; at += 2) {
        const int word = bytes[at] | bytes[at + 1] << 8;
        if (word == Limits::kEnd) {
            table.size = at + 2;
            read.table = std::move(table);
            return read;
        }
        if (IsOpener(word)) {
            if (onlySpecies >= 0) {
                read.table = FindSpeciesAndEnd(bytes, limit, at, onlySpecies, std::move(table));
                if (read.table) return read;
                break;
            }
            if (word - Limits::kBlockBase >= kSpeciesCount) ++table.oddWords;
            begun = true;
            table.blocks.push_back({word, {}});
            continue;
        }
        if (!begun) {
            read.problem = "The egg move table at " + HexOffset(offset) +
                           " does not begin with a species (it "
                           "begins with " +
                           std::to_string(word) + ").";
            return read;
        }
        if (word < 1 || word > Limits::kLastMoveNumber) ++table.oddWords;
        table.blocks.back().moves.push_back(word);
    }
    read.problem = "The egg move table at " + HexOffset(offset) + " has no end (FFFF) within " +
                   std::to_string(limit) + " bytes.";
    read.endMissing = true;
    return read;
}

EggMoveTableRead ReadEggMoveTable(const std::string& romPath, int64_t offset, int onlySpecies) {
    const std::optional<int64_t> fileSize = HexFunctions::RomFileSize(romPath);
    if (!fileSize || offset < 0 || offset >= *fileSize) {
        return {std::nullopt, "The egg move table at " + HexOffset(offset) + " lies outside the file."};
    }
    const int64_t longest = std::min(*fileSize - offset, Limits::kLongestTable);
    for (int64_t length = std::min(kFirstRead, longest);; length = std::min(4 * length, longest)) {
        const std::optional<std::vector<uint8_t>> bytes = HexFunctions::ReadBytes(romPath, offset, length);
        if (!bytes) return {std::nullopt, "The egg move table at " + HexOffset(offset) + " cannot be read."};
        EggMoveTableRead read = ParseEggMoveTable(bytes->data(), length, offset, onlySpecies);
        if (!read.endMissing || length == longest) return read;
    }
}

std::optional<std::vector<int>> EggMovesOf(const EggMoveTable& table, int species) {
    for (const EggMoveBlock& block : table.blocks) {
        if (block.opener == Limits::kBlockBase + species) return block.moves;
    }
    return std::nullopt;
}

std::vector<EggMoveBlock> WithEggMoves(std::vector<EggMoveBlock> blocks, int species,
                                       const std::vector<int>& moves) {
    const int opener = Limits::kBlockBase + species;
    const auto found = std::find_if(blocks.begin(), blocks.end(),
                                    [opener](const EggMoveBlock& b) { return b.opener == opener; });
    if (found == blocks.end()) {
        if (!moves.empty()) blocks.push_back({opener, moves});
    } else if (moves.empty()) {
        blocks.erase(found);
    } else {
        found->moves = moves;
    }
    return blocks;
}

std::vector<uint8_t> EncodeEggMoveTable(const std::vector<EggMoveBlock>& blocks) {
    std::vector<uint8_t> bytes;
    const auto word = [&bytes](int value) {
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    };
    for (const EggMoveBlock& block : blocks) {
        word(block.opener);
        for (const int move : block.moves) word(move);
    }
    word(Limits::kEnd);
    return bytes;
}
