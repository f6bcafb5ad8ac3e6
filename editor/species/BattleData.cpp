#include "species/BattleData.h"

#include <algorithm>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/PointerSearch.h"
#include "rom/RomPointer.h"
#include "write/Repoint.h"

namespace {

namespace Sizes = SpeciesTableSizes;

struct Places {
    int64_t frontY, backY, elevation, footprintPointer;
    std::optional<int64_t> frontAnim;  // Emerald, from species 1
};

Places PlacesOf(const BattlePlace& where, int32_t index) {
    Places places{int64_t{where.frontCoords} + Sizes::kCoordsEntry * index + BattleLimits::kYOffsetByte,
                  int64_t{where.backCoords} + Sizes::kCoordsEntry * index + BattleLimits::kYOffsetByte,
                  int64_t{where.elevation} + index, int64_t{where.footprints} + 4 * index, std::nullopt};
    if (where.frontAnimIds && index > 0) places.frontAnim = int64_t{*where.frontAnimIds} + index - 1;
    return places;
}

std::optional<int> ByteAt(const std::string& romPath, int64_t offset) {
    const auto bytes = HexFunctions::ReadBytes(romPath, offset, 1);
    if (!bytes) return std::nullopt;
    return (*bytes)[0];
}

// The file offset a pointer's word addresses when a footprint fits there.
std::optional<int64_t> FootprintAt(uint32_t word, int64_t fileSize) {
    const int64_t target = int64_t{word} - PointerSearch::kRomBase;
    if (target < 0 || target + Sizes::kFootprintBytes > fileSize) return std::nullopt;
    return target;
}

struct Now {
    BattleValues values;
    uint32_t footprintWord = 0;
    std::optional<int64_t> footprintAt;
};

std::optional<Now> ReadNow(const EditorSession& session, const Places& places, std::string* problem) {
    const std::string& path = session.RomPath;
    Now now;
    const std::optional<int> front = ByteAt(path, places.frontY), back = ByteAt(path, places.backY),
                             elevation = ByteAt(path, places.elevation);
    const auto pointer = HexFunctions::ReadBytes(path, places.footprintPointer, 4);
    if (!front || !back || !elevation || !pointer) {
        *problem = "The battle tables cannot be read.";
        return std::nullopt;
    }
    now.values.frontY = *front, now.values.backY = *back, now.values.elevation = *elevation;
    if (places.frontAnim) {
        now.values.frontAnim = ByteAt(path, *places.frontAnim);
        if (!now.values.frontAnim) {
            *problem = "The front animation numbers cannot be read.";
            return std::nullopt;
        }
    }
    now.footprintWord = PointerSearch::WordAt(pointer->data());
    now.footprintAt = FootprintAt(now.footprintWord, session.FileSize);
    if (now.footprintAt) {
        if (const auto bytes = HexFunctions::ReadBytes(path, *now.footprintAt, Sizes::kFootprintBytes)) {
            now.values.footprint.emplace();
            std::copy(bytes->begin(), bytes->end(), now.values.footprint->begin());
        }
    }
    return now;
}

// Whether a species other than index points at the same footprint.
bool Shared(const EditorSession& session, int32_t index, uint32_t word) {
    const auto table = HexFunctions::ReadBytes(session.RomPath, session.Tables.battle.where->footprints,
                                               int64_t{4} * Species::kCount);
    if (!table) return true;  // unknown: moving it is safe, writing over it might not be
    for (int32_t other = 0; other < Species::kCount; ++other) {
        if (other != index && PointerSearch::WordAt(table->data() + 4 * other) == word) return true;
    }
    return false;
}

// The fourth byte RepointBytes compares with: the pointer's own; where the word was no pointer, one that
// makes it write the fourth byte as well.
int FourthByteToCompare(uint32_t word, int64_t target) {
    const int fourth = static_cast<int>(word >> 24);
    if (fourth == RomPointer::kLowerHalfByte || fourth == RomPointer::kUpperHalfByte) return fourth;
    return target >= RomPointer::kUpperHalf ? RomPointer::kLowerHalfByte : RomPointer::kUpperHalfByte;
}

}  // namespace

BattleRead ReadBattleValues(const EditorSession& session, int32_t index) {
    BattleRead read;
    const TablePart<BattlePlace>& part = session.Tables.battle;
    if (!part.where) {
        read.unavailable = part.unavailable;
        return read;
    }
    if (const std::optional<Now> now = ReadNow(session, PlacesOf(*part.where, index), &read.unavailable))
        read.values = now->values;
    return read;
}

BattleSavePlan PlanBattleSave(const EditorSession& session, int32_t index, const BattleValues& edited,
                              FreeSpaceMap& space) {
    BattleSavePlan plan;
    const TablePart<BattlePlace>& part = session.Tables.battle;
    if (!part.where) {
        plan.error = "The battle data cannot be saved. " + part.unavailable;
        return plan;
    }
    const Places places = PlacesOf(*part.where, index);
    std::string problem;
    const std::optional<Now> now = ReadNow(session, places, &problem);
    if (!now) {
        plan.error = "The battle data cannot be saved. " + problem;
        return plan;
    }
    const BattleValues& current = now->values;
    if (edited.frontAnim && !places.frontAnim) {
        plan.error = index == 0 ? "Species 0 has no front animation number."
                                : "This game keeps no front animation numbers.";
        return plan;
    }
    struct Number {
        int value, old;
        std::optional<int64_t> at;
        const char* field;
    };
    const Number numbers[] = {
        {edited.frontY, current.frontY, places.frontY, "the battle front y offset"},
        {edited.backY, current.backY, places.backY, "the battle back y offset"},
        {edited.elevation, current.elevation, places.elevation, "the battle elevation"},
        // Values that leave the number out keep it.
        {edited.frontAnim.value_or(current.frontAnim.value_or(0)), current.frontAnim.value_or(0),
         places.frontAnim, "the battle front animation number"},
    };
    for (const Number& number : numbers) {
        if (number.value == number.old || !number.at) continue;
        if (number.value < 0 || number.value > BattleLimits::kLargestNumber) {
            plan.error = "The " + std::string(number.field).substr(4) + " must be a whole number from 0 to " +
                         std::to_string(BattleLimits::kLargestNumber) + "; it is " +
                         std::to_string(number.value) + ".";
            plan.bytes.clear();
            return plan;
        }
        plan.bytes.push_back({*number.at, static_cast<uint8_t>(number.value), number.field});
    }

    if (edited.footprint && edited.footprint != current.footprint) {
        const Footprint::Bytes& data = *edited.footprint;
        int64_t to = now->footprintAt.value_or(-1);
        if (!now->footprintAt || Shared(session, index, now->footprintWord)) {
            const FreeSpaceFound found = space.Take(Sizes::kFootprintBytes);
            if (!found.offset) {
                plan.error =
                    std::string("The footprint must go into free space: ") +
                    (now->footprintAt ? "another species shares it. " : "its pointer leads nowhere. ") +
                    found.error;
                plan.bytes.clear();
                return plan;
            }
            to = *found.offset;
            plan.footprintMovedTo = to;
        }
        for (std::size_t k = 0; k < data.size(); ++k) {
            // Bytes the footprint already holds in place stay untouched.
            if (!plan.footprintMovedTo && current.footprint && (*current.footprint)[k] == data[k]) continue;
            plan.bytes.push_back({to + static_cast<int64_t>(k), data[k], "the battle footprint"});
        }
        if (plan.footprintMovedTo) {
            for (const PlannedByte& byte :
                 RepointBytes("the battle footprint pointer", places.footprintPointer,
                              FourthByteToCompare(now->footprintWord, to), to))
                plan.bytes.push_back(byte);
        }
    }
    plan.ok = true;
    return plan;
}
