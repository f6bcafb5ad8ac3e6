#include "write/ByteWriter.h"

#include <cstdint>

#include "HexFunctions.h"

bool WriteRomByte(const std::string& path, int64_t offset, uint8_t value) {
    if (offset < 0 || offset > INT32_MAX) return false;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const char hex[3] = {kDigits[value >> 4], kDigits[value & 0xF], '\0'};
    return HexFunctions::WriteHexByte(path, static_cast<int32_t>(offset), hex);
}
