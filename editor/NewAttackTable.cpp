#include "NewAttackTable.h"

#include <limits>
#include <optional>
#include <string_view>

#include "AttackTable.h"
#include "HexFunctions.h"

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
    const std::optional<int32_t> start = ParseHexOffset(startText, 6);
    if (!start) return Refused("Start Offset: must be 1 to 6 hexadecimal digits (0-9, A-F).");
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

bool InsertAttackTable(const std::string& romPath, const NewTableRequest& request) {
    if (request.start < 0 || request.count < 0) return false;
    const int64_t terminator = static_cast<int64_t>(request.start) + 2 * static_cast<int64_t>(request.count);
    if (terminator + 1 > kLastOffset) return false;

    for (int32_t k = 0; k < request.count; ++k) {
        const int32_t offset = request.start + 2 * k;
        if (!HexFunctions::WriteHexByte(romPath, offset, "01")) return false;
        if (!HexFunctions::WriteHexByte(romPath, offset + 1, "02")) return false;
    }
    const int32_t end = static_cast<int32_t>(terminator);
    return HexFunctions::WriteHexByte(romPath, end, "FF") &&
           HexFunctions::WriteHexByte(romPath, end + 1, "FF");
}
