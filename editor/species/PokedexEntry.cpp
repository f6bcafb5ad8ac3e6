#include "species/PokedexEntry.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "GameText.h"
#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/PointerSearch.h"
#include "write/Repoint.h"

namespace {

// The games' descriptions are a few hundred bytes at most; a text without an end this soon is not one.
constexpr int64_t kLongestText = 1024;

int WordAt(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8;
}

struct TextAt {
    uint32_t pointer = 0;
    int64_t at = -1;
    std::vector<uint8_t> codes;  // up to the FF
    std::string problem;
};

TextAt ReadText(const std::string& romPath, int64_t fileSize, uint32_t pointer) {
    TextAt text;
    text.pointer = pointer;
    const int64_t target = int64_t{pointer} - PointerSearch::kRomBase;
    char value[16];
    std::snprintf(value, sizeof value, "%08X", pointer);
    if (target < 0 || target >= fileSize) {
        text.problem = std::string("Its pointer (") + value + ") leads outside the file.";
        return text;
    }
    const int64_t length = std::min(kLongestText, fileSize - target);
    const std::optional<std::vector<uint8_t>> bytes = HexFunctions::ReadBytes(romPath, target, length);
    if (!bytes) {
        text.problem = "The text at " + HexOffset(target) + " cannot be read.";
        return text;
    }
    const auto end = std::find(bytes->begin(), bytes->end(), GameText::kEnd);
    if (end == bytes->end()) {
        text.problem = "The text at " + HexOffset(target) + " has no end (FF) within " +
                       std::to_string(length) + " bytes.";
        return text;
    }
    text.at = target;
    text.codes.assign(bytes->begin(), end);
    return text;
}

struct Entry {
    DexEntryRead read;
    int64_t at = 0;  // the entry's offset
    TextAt description, page2;
};

Entry ReadEntry(const EditorSession& session, int32_t index) {
    Entry entry;
    DexEntryRead& read = entry.read;
    const std::optional<DexPlace>& dex = session.Tables.dex.where;
    if (!dex) {
        read.unavailable = session.Tables.dex.unavailable;
        return entry;
    }
    if (index <= 0 || index >= Species::kCount) {
        read.unavailable =
            "Species 0 has no national number and no Pok\xE9"
            "dex entry.";
        return entry;
    }
    const std::optional<std::vector<uint8_t>> number =
        HexFunctions::ReadBytes(session.RomPath, dex->nationalNumbers + 2 * int64_t{index - 1}, 2);
    if (!number) {
        read.unavailable = "The national number cannot be read.";
        return entry;
    }
    read.national = WordAt(*number, 0);
    if (read.national == 0 || read.national > DexLimits::kLastEntry) {
        read.unavailable = "National number " + std::to_string(read.national) +
                           " has no Pok\xE9"
                           "dex entry: the games have entries for 1 to 386.";
        return entry;
    }
    entry.at = dex->entries + int64_t{dex->entrySize} * read.national;
    const std::optional<std::vector<uint8_t>> bytes =
        HexFunctions::ReadBytes(session.RomPath, entry.at, dex->entrySize);
    if (!bytes) {
        read.unavailable =
            "The Pok\xE9"
            "dex entry at " +
            HexOffset(entry.at) + " cannot be read.";
        return entry;
    }
    DexEntryValues values;
    values.category = GameText::Decode(bytes->data(), DexLimits::kCategorySize, session.TextLanguage);
    values.height = WordAt(*bytes, DexLimits::kHeight);
    values.weight = WordAt(*bytes, DexLimits::kWeight);
    entry.description = ReadText(session.RomPath, session.FileSize,
                                 PointerSearch::WordAt(bytes->data() + DexLimits::kDescriptionPointer));
    if (entry.description.at >= 0) values.description = GameText::Decode(entry.description.codes, session.TextLanguage);
    read.descriptionProblem = entry.description.problem;
    if (dex->twoPages) {
        entry.page2 = ReadText(session.RomPath, session.FileSize,
                               PointerSearch::WordAt(bytes->data() + DexLimits::kSecondPointer));
        if (entry.page2.at >= 0) values.page2 = GameText::Decode(entry.page2.codes, session.TextLanguage);
        read.page2Problem = entry.page2.problem;
    }
    read.values = values;
    return entry;
}

// True when a pointer of the entries other than the one at `own` holds pointer: writing that text in place
// would change another entry's text too.
bool Shared(const EditorSession& session, int64_t own, uint32_t pointer) {
    const DexPlace& dex = *session.Tables.dex.where;
    const int64_t count = DexLimits::kLastEntry + 1;
    const std::optional<std::vector<uint8_t>> entries =
        HexFunctions::ReadBytes(session.RomPath, dex.entries, count * dex.entrySize);
    if (!entries) return true;
    for (int64_t n = 0; n < count; ++n) {
        for (const int32_t slot : {DexLimits::kDescriptionPointer, DexLimits::kSecondPointer}) {
            if (slot + 4 > dex.entrySize) continue;
            const int64_t at = n * dex.entrySize + slot;
            if (dex.entries + at != own &&
                PointerSearch::WordAt(entries->data() + static_cast<size_t>(at)) == pointer)
                return true;
        }
    }
    return false;
}

// Plans one description: in place when it fits and is its own, else moved. False, with *error, when it
// cannot be.
bool PlanText(const EditorSession& session, const std::string& name, int64_t pointerAt, const TextAt& now,
              const std::string& text, FreeSpaceMap& space, DexSavePlan& plan) {
    const GameText::Encoded encoded = GameText::Encode(text, session.TextLanguage);
    if (!encoded.ok()) {
        plan.error = "The " + name + " cannot be saved. " + encoded.error;
        return false;
    }
    std::vector<uint8_t> data = encoded.codes;
    data.push_back(GameText::kEnd);
    const std::string field =
        "the Pok\xE9"
        "dex " +
        name;
    int64_t to = now.at;
    if (encoded.codes.size() > now.codes.size() || Shared(session, pointerAt, now.pointer)) {
        const FreeSpaceFound found = space.Take(static_cast<int64_t>(data.size()));
        if (!found.offset) {
            plan.error =
                "The " + name + " at " + HexOffset(now.at) + " must move into free space. " + found.error;
            return false;
        }
        to = *found.offset;
        plan.moved.push_back("the " + name + " moved to " + HexOffset(to));
    }
    for (size_t k = 0; k < data.size(); ++k)
        plan.bytes.push_back({to + static_cast<int64_t>(k), data[k], field});
    if (to != now.at) {
        for (const PlannedByte& byte :
             RepointBytes(field + " pointer", pointerAt, static_cast<int>(now.pointer >> 24), to))
            plan.bytes.push_back(byte);
    }
    return true;
}

void AddWord(DexSavePlan& plan, const std::string& field, int64_t at, int value) {
    plan.bytes.push_back({at, static_cast<uint8_t>(value & 0xFF), field});
    plan.bytes.push_back({at + 1, static_cast<uint8_t>((value >> 8) & 0xFF), field});
}

}  // namespace

DexEntryRead ReadDexEntry(const EditorSession& session, int32_t index) {
    return ReadEntry(session, index).read;
}

DexSavePlan PlanDexEntrySave(const EditorSession& session, int32_t index, const DexEntryValues& edited,
                             FreeSpaceMap& space) {
    DexSavePlan plan;
    const Entry now = ReadEntry(session, index);
    if (!now.read.values) {
        plan.error =
            "The Pok\xE9"
            "dex entry cannot be saved. " +
            now.read.unavailable;
        return plan;
    }
    const DexEntryValues& current = *now.read.values;
    if (edited.category != current.category) {
        const GameText::Encoded encoded = GameText::Encode(edited.category, session.TextLanguage);
        if (!encoded.ok() || encoded.codes.size() > static_cast<size_t>(DexLimits::kCategoryLength)) {
            plan.error = "The category cannot be saved. " +
                         (encoded.ok() ? "It has " + std::to_string(encoded.codes.size()) +
                                             " characters; the entry holds " +
                                             std::to_string(DexLimits::kCategoryLength) + "."
                                       : encoded.error);
            return plan;
        }
        std::vector<uint8_t> data = encoded.codes;
        data.push_back(GameText::kEnd);
        for (size_t k = 0; k < data.size(); ++k)
            plan.bytes.push_back({now.at + static_cast<int64_t>(k), data[k],
                                  "the Pok\xE9"
                                  "dex category"});
    }
    for (const auto& [value, old, offset, field] :
         {std::tuple{edited.height, current.height, DexLimits::kHeight,
                     "the Pok\xE9"
                     "dex height"},
          std::tuple{edited.weight, current.weight, DexLimits::kWeight,
                     "the Pok\xE9"
                     "dex weight"}}) {
        if (value < 0 || value > DexLimits::kLargestNumber) {
            plan.error = std::string("The ") + (offset == DexLimits::kHeight ? "height" : "weight") +
                         " must be a whole number from 0 to 65535.";
            return plan;
        }
        if (value != old) AddWord(plan, field, now.at + offset, value);
    }
    const std::pair<const std::optional<std::string>&, const std::optional<std::string>&> descriptions[] = {
        {edited.description, current.description}, {edited.page2, current.page2}};
    for (int page = 0; page < 2; ++page) {
        const auto& [text, old] = descriptions[page];
        if (!text || !old || *text == *old) continue;
        const int32_t slot = page == 0 ? DexLimits::kDescriptionPointer : DexLimits::kSecondPointer;
        const std::string name = page == 0 ? "description" : "description's second page";
        if (!PlanText(session, name, now.at + slot, page == 0 ? now.description : now.page2, *text, space,
                      plan))
            return plan;
    }
    plan.ok = true;
    return plan;
}
