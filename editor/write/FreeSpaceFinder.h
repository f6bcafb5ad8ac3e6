#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "write/ByteRange.h"

// Unused space in a ROM reads FF, as the cartridge's unwritten flash does. Data that ends in FF bytes (a
// table's terminator, a picture's last pixels) looks the same, so data placed into free space keeps this many
// FF bytes between itself and anything else.
inline constexpr int64_t kFreeSpaceMargin = 16;
// The games read tables with word loads: data placed by the editor starts on a multiple of 4.
inline constexpr int64_t kFreeSpaceAlignment = 4;

struct FreeSpaceRequest {
    int64_t length = 0;               // bytes the data needs
    std::vector<ByteRange> searchIn;  // where free space may be taken
    std::vector<ByteRange> avoid;     // what must stay untouched even where it reads FF
    int64_t margin = kFreeSpaceMargin;
    int64_t alignment = kFreeSpaceAlignment;
};

struct FreeSpaceFound {
    std::optional<int64_t> offset;
    std::string error;  // when there is no offset: why, as a sentence
};

// The lowest offset, a multiple of the alignment, whose `length` bytes and `margin` bytes on either side are
// all FF, lie inside searchIn and outside avoid. Reads only the searched ranges, in file order, and stops at
// the first fit.
[[nodiscard]] FreeSpaceFound FindFreeSpace(const std::string& romPath, const FreeSpaceRequest& request);
