#pragma once

#include <cstdint>
#include <vector>

// LZ77 of type 0x10, the compression the games use for sprites and palettes: a 4-byte header (0x10 and the
// 24-bit size), then groups of eight literal bytes or back-references behind a flag byte.
namespace Lz77 {

inline constexpr std::size_t kMaxInput = 0xFFFFFF;  // the header holds 24 bits of size

// The compressed form of data, padded with zeros to a multiple of 4 bytes as ROM data is aligned. Every
// back-reference reaches at least 2 bytes back, so the console's routine that unpacks 16 bits at a time into
// video memory reads it as well. Empty (never a valid result) for more than kMaxInput bytes.
[[nodiscard]] std::vector<uint8_t> Compress(const std::vector<uint8_t>& data);

}  // namespace Lz77
