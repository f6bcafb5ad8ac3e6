#include "species/NewAttackTable.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>

#include "HexFunctions.h"
#include "rom/RomPointer.h"
#include "species/AttackTable.h"
#include "write/FreeSpaceMap.h"

namespace {

constexpr int64_t kLastOffset = std::numeric_limits<int32_t>::max();
constexpr char kBadCount[] = "Num. of Attacks: must be a whole number from 0 upward.";

int64_t TableBytes(int64_t count) {
    return 2 * count + 2;
}

std::string SixDigits(int64_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "%06llX", static_cast<unsigned long long>(offset));
    return text;
}

// A plain decimal count, blanks around it allowed. Values too large for 32 bits come back as one more than
// the largest, so that the size check refuses them with the right reason.
std::optional<int64_t> ParseCount(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(" \t");
    const std::string_view digits = text.substr(first, last - first + 1);
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value <= kLastOffset) value = value * 10 + (c - '0');
    }
    return value <= kLastOffset ? value : kLastOffset + 1;
}

NewTableCheck Refused(std::string error) {
    NewTableCheck check;
    check.error = std::move(error);
    return check;
}

}  // namespace

NewTableCheck CheckNewTableRequest(const std::string& startText, const std::string& countText,
                                   int64_t romSize) {
    // The start becomes the species' attack table pointer when it is saved, so it must be one a pointer
    // holds.
    const std::optional<int32_t> start = RomPointer::ParseTarget(startText);
    if (!start)
        return Refused("Start Offset: must be 1 to 7 hexadecimal digits (0-9, A-F), at most 1FFFFFF.");
    const std::optional<int64_t> count = ParseCount(countText);
    if (!count) return Refused(kBadCount);

    const int64_t end = *start + TableBytes(*count);
    // Every offset travels as a signed 32-bit number, so a table cannot reach beyond the last of them even
    // in a file that is larger.
    if (end - 1 > kLastOffset)
        return Refused("The new table would end beyond the last offset a ROM file can have.");
    if (end > romSize) return Refused("The new table would end beyond the end of the ROM file.");

    NewTableCheck check;
    check.ok = true;
    check.request = {*start, static_cast<int32_t>(*count)};
    return check;
}

WritePlan PlanNewAttackTable(const NewTableRequest& request) {
    WritePlan plan;
    plan.label = "Insert New Table at " + SixDigits(request.start);
    for (int32_t k = 0; k < request.count; ++k) {
        const int64_t offset = static_cast<int64_t>(request.start) + 2 * static_cast<int64_t>(k);
        plan.Add("row " + std::to_string(k + 1) + " of the new table", offset, 0x01);
        plan.Add("row " + std::to_string(k + 1) + " of the new table", offset + 1, 0x02);
    }
    const int64_t end = static_cast<int64_t>(request.start) + 2 * static_cast<int64_t>(request.count);
    plan.AddBytes("the terminator of the new table", end, {0xFF, 0xFF});
    return plan;
}

FreeSpaceFound FindSpaceForNewTable(const EditorSession& session, const std::string& countText) {
    FreeSpaceFound found;
    const std::optional<int64_t> count = ParseCount(countText);
    if (!count) {
        found.error = kBadCount;
        return found;
    }
    if (TableBytes(*count) > session.FileSize) {
        found.error = "A table of " + std::to_string(*count) + " attacks needs " +
                      std::to_string(TableBytes(*count)) + " bytes, more than the whole ROM file holds (" +
                      std::to_string(session.FileSize) + ").";
        return found;
    }
    FreeSpaceMap space(session);
    return space.Take(TableBytes(*count));
}

std::string OverwriteQuestion(const std::string& romPath, const NewTableRequest& request) {
    const int64_t length = TableBytes(request.count);
    const std::optional<std::vector<uint8_t>> bytes = HexFunctions::ReadBytes(romPath, request.start, length);
    const bool free = bytes && std::all_of(bytes->begin(), bytes->end(), [](uint8_t b) { return b == 0xFF; });
    if (free) return {};
    return "The " + std::to_string(length) + " bytes at " + SixDigits(request.start) +
           " are not free space: they may hold other data. Write the table there anyway?";
}
