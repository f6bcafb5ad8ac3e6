#include "NewAttackTable.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>

#include "AttackTable.h"
#include "HexFunctions.h"
#include "RomPointer.h"

namespace {

constexpr int64_t kLastOffset = std::numeric_limits<int32_t>::max();

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
    if (!count) return Refused("Num. of Attacks: must be a whole number from 0 upward.");

    const int64_t end = *start + 2 * *count + 2;
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
    char start[16];
    std::snprintf(start, sizeof start, "%06X", static_cast<unsigned>(request.start));
    WritePlan plan;
    plan.label = std::string("Insert New Table at ") + start;
    for (int32_t k = 0; k < request.count; ++k) {
        const int64_t offset = static_cast<int64_t>(request.start) + 2 * static_cast<int64_t>(k);
        plan.Add("row " + std::to_string(k + 1) + " of the new table", offset, 0x01);
        plan.Add("row " + std::to_string(k + 1) + " of the new table", offset + 1, 0x02);
    }
    const int64_t end = static_cast<int64_t>(request.start) + 2 * static_cast<int64_t>(request.count);
    plan.AddBytes("the terminator of the new table", end, {0xFF, 0xFF});
    return plan;
}
