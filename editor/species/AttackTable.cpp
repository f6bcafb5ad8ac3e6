#include "species/AttackTable.h"

#include <algorithm>
#include <limits>

#include "HexFunctions.h"

namespace {

using HexFunctions::HexDigitValue;

constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

void AppendByte(std::string& text, int byte) {
    text.push_back(kUpperHexDigits[(byte >> 4) & 0xF]);
    text.push_back(kUpperHexDigits[byte & 0xF]);
}

}  // namespace

std::optional<LevelUpAttackEntry> DecodeAttackEntry(const std::string& fourHexDigits) {
    // Anything but four digits cannot come from a read of two bytes; ending the table there is the one
    // answer that cannot make a load run on.
    if (fourHexDigits.size() != 4) return std::nullopt;
    const int b0 = HexFunctions::ByteAt(fourHexDigits, 0);
    const int b1 = HexFunctions::ByteAt(fourHexDigits, 1);
    if (b0 < 0 || b1 < 0) return std::nullopt;
    if (b0 == 0xFF && b1 == 0xFF) return std::nullopt;
    if (b1 % 2 == 1) return LevelUpAttackEntry{256 + b0, (b1 - 1) / 2};
    return LevelUpAttackEntry{b0, b1 / 2};
}

std::string EncodeAttackEntry(int attack, int level) {
    // Modulo on the unsigned value keeps negative inputs defined; real rows never hold them.
    const unsigned a = static_cast<unsigned>(attack);
    const unsigned b0 = a % 256;
    const unsigned b1 = (2 * static_cast<unsigned>(level) + (attack >= 256 ? 1 : 0)) % 256;
    std::string digits;
    AppendByte(digits, static_cast<int>(b0));
    AppendByte(digits, static_cast<int>(b1));
    return digits;
}

std::vector<LevelUpAttackEntry> LoadAttackTable(const std::string& romPath, int32_t start, int32_t maxRows) {
    std::vector<LevelUpAttackEntry> rows;
    // An entry must lie wholly inside the file: half an entry at its end is no row, and a file that cannot
    // be read has none.
    const std::optional<int64_t> size = HexFunctions::RomFileSize(romPath);
    if (start < 0 || !size) return rows;
    for (int32_t k = 0; k < maxRows; ++k) {
        const int64_t offset = static_cast<int64_t>(start) + 2 * static_cast<int64_t>(k);
        if (offset + 2 > *size) break;
        const std::optional<LevelUpAttackEntry> entry =
            DecodeAttackEntry(HexFunctions::ReadHexBytes(romPath, static_cast<int32_t>(offset), 2));
        if (!entry) break;
        rows.push_back(*entry);
    }
    return rows;
}

AttackTableExtent MeasureAttackTable(const std::string& romPath, int64_t start, int32_t maxRows) {
    AttackTableExtent extent{start, 0, false};
    const std::optional<int64_t> size = HexFunctions::RomFileSize(romPath);
    if (start < 0 || !size || *size - start < 2 || maxRows <= 0) return extent;
    // Whole entries only, and no further than the row limit and a terminator.
    const int64_t span = std::min<int64_t>(*size - start, 2 * int64_t{maxRows} + 2) & ~int64_t{1};
    const bool read = HexFunctions::VisitBytes(
        romPath, {{start, span}}, [&extent, maxRows](int64_t, const uint8_t* bytes, size_t count) {
            for (size_t k = 0; k + 1 < count; k += 2) {
                if (bytes[k] == 0xFF && bytes[k + 1] == 0xFF) {
                    extent.terminated = true;
                    return false;
                }
                if (++extent.rows == maxRows) return false;
            }
            return true;
        });
    if (!read) extent = {start, 0, false};
    return extent;
}

std::optional<int32_t> ParseHexOffset(const std::string& text, int maxDigits) {
    if (text.empty() || maxDigits <= 0 || text.size() > static_cast<size_t>(maxDigits)) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + digit;
        if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    }
    return static_cast<int32_t>(value);
}
