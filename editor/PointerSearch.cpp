#include "PointerSearch.h"

#include <algorithm>
#include <cstring>

#include "HexFunctions.h"

namespace PointerSearch {
namespace {

// Large enough that the system calls vanish beside the scan, small enough to stay in the cache.
constexpr int64_t kPiece = 1 << 20;

}  // namespace

std::optional<std::vector<int64_t>> FindPointersTo(const std::string& romPath, int64_t target) {
    const std::optional<int64_t> size = HexFunctions::RomFileSize(romPath);
    if (!size) return std::nullopt;
    const uint32_t wanted = PointerTo(target);
    uint8_t pattern[4];
    for (int k = 0; k < 4; ++k) pattern[k] = static_cast<uint8_t>(wanted >> (8 * k));
    std::vector<int64_t> found;
    const int64_t words = *size / 4 * 4;
    for (int64_t start = 0; start < words; start += kPiece) {
        const int64_t length = std::min(kPiece, words - start);
        const std::optional<std::vector<uint8_t>> piece = HexFunctions::ReadBytes(romPath, start, length);
        if (!piece) return std::nullopt;
        const uint8_t* bytes = piece->data();
        for (int64_t k = 0; k < length; k += 4) {
            if (std::memcmp(bytes + k, pattern, 4) == 0) found.push_back(start + k);
        }
    }
    return found;
}

}  // namespace PointerSearch
