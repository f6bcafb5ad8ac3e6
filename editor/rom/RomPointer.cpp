#include "rom/RomPointer.h"

#include "HexFunctions.h"
#include "species/AttackTable.h"

namespace RomPointer {

std::string TargetText(const std::string& lowByteFirstDigits) {
    const std::string low = HexFunctions::ReverseHexBytes(lowByteFirstDigits.substr(0, 6));
    return HexFunctions::ByteAt(lowByteFirstDigits, 3) == kUpperHalfByte ? "1" + low : low;
}

std::optional<int32_t> ParseTarget(const std::string& text) {
    const std::optional<int32_t> value = ParseHexOffset(text, kMaxDigits);
    if (!value || *value >= kSpan) return std::nullopt;
    return value;
}

std::optional<uint8_t> FourthByteToWrite(int32_t target, int current) {
    if (target >= kUpperHalf) {
        if (current == kUpperHalfByte) return std::nullopt;
        return kUpperHalfByte;
    }
    if (current == kUpperHalfByte) return kLowerHalfByte;
    return std::nullopt;
}

}  // namespace RomPointer
