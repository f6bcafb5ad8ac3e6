#pragma once

#include <cstdint>
#include <optional>
#include <string>

// ROM pointers as the pointer boxes show them. A pointer is 4 bytes, low byte first; 08000000 to 09FFFFFF
// address file offsets 0 to 1FFFFFF, so ROMs expanded to 32 MiB keep data above 16 MiB behind a fourth byte
// of 09.
namespace RomPointer {

inline constexpr int32_t kUpperHalf = 0x1000000;  // the first offset whose pointer has the fourth byte 09
inline constexpr int32_t kSpan = 0x2000000;       // offsets a pointer can address
inline constexpr int kMaxDigits = 7;
inline constexpr uint8_t kLowerHalfByte = 0x08;
inline constexpr uint8_t kUpperHalfByte = 0x09;

// The offset a pointer stored low byte first addresses, as upper-case digits: six below 16 MiB, seven from
// 1000000 on. A fourth byte other than 09 (or missing) shows the low three bytes as six digits, so every
// pointer of a ROM of 16 MiB or less shows as it always did.
[[nodiscard]] std::string TargetText(const std::string& lowByteFirstDigits);

// One to seven hexadecimal digits (either case) naming an offset a pointer can address.
[[nodiscard]] std::optional<int32_t> ParseTarget(const std::string& text);

// The fourth byte a save has to write for target over an entry whose fourth byte is current (-1 when it
// cannot be read), or nothing when it can stay: 09 for the upper half unless it is there, 08 when it is 09
// and the target lies below. Other bytes stay below 16 MiB, so an unedited save changes nothing.
[[nodiscard]] std::optional<uint8_t> FourthByteToWrite(int32_t target, int current);

}  // namespace RomPointer
