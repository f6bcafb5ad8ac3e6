#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Byte access to the ROM file. Every call opens the file, moves its bytes and closes it again, so the file on
// disk stays the only copy and a change made by another program is seen by the next call.
namespace HexFunctions {

// Two upper-case hexadecimal digits per byte, the byte with the lowest offset first, no separators.
using HexByteString = std::string;

inline constexpr int32_t kGameCodeOffset = 0xAC;
inline constexpr int32_t kVersionOffset = 0xBC;
inline constexpr int32_t kHeaderSize = 0xC0;

// The four characters at 0xAC..0xAF exactly as stored. Nothing when the file cannot be read or is too short
// to hold them.
[[nodiscard]] std::optional<std::string> ReadGameCode(const std::string& path);

// 2 x count digits, empty for a count of 0 or less. Positions outside the file read as "FF", as unwritten
// cartridge space does, so a table walked past the end of the file meets a terminator. When the file cannot
// be opened at all every byte reads as "00".
[[nodiscard]] HexByteString ReadHexBytes(const std::string& path, int32_t offset, int32_t count);

// count bytes from offset as they are, or nothing when the file cannot be read or ends before the last of
// them. For the reads that must not guess, such as the bytes a journal keeps.
[[nodiscard]] std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path, int64_t offset,
                                                            int64_t count);

// Receives the bytes of a range piece by piece: the offset of the first, the bytes and their count. Returns
// false to stop early.
using ByteVisitor = std::function<bool(int64_t offset, const uint8_t* bytes, std::size_t count)>;

struct ByteSpan {
    int64_t offset = 0;
    int64_t count = 0;
};

// Hands the bytes of each span to visit in order, through one opening of the file, in pieces that start at
// 4 KiB and double up to 256 KiB within a span: a search that ends early reads little, a long one reads in
// pieces that stay in the processor's cache. False when the file cannot be read or ends before a span does.
[[nodiscard]] bool VisitBytes(const std::string& path, const std::vector<ByteSpan>& spans,
                              const ByteVisitor& visit);
inline constexpr std::size_t kFirstVisitPiece = 4096;
inline constexpr std::size_t kLargestVisitPiece = 256 * 1024;

// Writes one byte: the last two characters of "00" + hexText read as hexadecimal, or 0x00 when they are not
// both hexadecimal digits. Never extends the file: an offset outside it writes nothing. True when the byte
// reached the file.
[[nodiscard]] bool WriteHexByte(const std::string& path, int32_t offset, const std::string& hexText);

// Reverses the order of the two-digit groups, after padding an odd-length text with one "0" on the left.
[[nodiscard]] std::string ReverseHexBytes(const std::string& hexText);

[[nodiscard]] bool IsOdd(int64_t number);

// The value of one hexadecimal digit of either case, or -1 for any other character.
[[nodiscard]] inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Byte k of a HexByteString, or -1 when its two characters are missing or not both digits. Inline: every
// field a species shows passes through it.
[[nodiscard]] inline int ByteAt(const HexByteString& text, std::size_t k) {
    if (2 * k + 1 >= text.size()) return -1;
    const int high = HexDigitValue(text[2 * k]);
    const int low = HexDigitValue(text[2 * k + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// The length of the file in bytes, or nothing when it is not a readable regular file.
[[nodiscard]] std::optional<int64_t> RomFileSize(const std::string& path);

// True when the file exists as a regular file and can be opened for writing; opens it without changing it.
[[nodiscard]] bool CanOpenForWriting(const std::string& path);

}  // namespace HexFunctions
