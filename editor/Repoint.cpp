#include "Repoint.h"

#include "PointerSearch.h"

namespace {

constexpr int64_t kUpperHalf = 0x1000000;

}  // namespace

std::vector<PlannedByte> RepointBytes(const std::string& field, int64_t at, int currentFourth, int64_t target) {
    const uint32_t value = PointerSearch::PointerTo(target);
    std::vector<PlannedByte> bytes;
    for (int k = 0; k < 3; ++k) bytes.push_back({at + k, static_cast<uint8_t>(value >> (8 * k)), field});
    const int fourth = target >= kUpperHalf ? 0x09 : 0x08;
    if (currentFourth != fourth) bytes.push_back({at + 3, static_cast<uint8_t>(fourth), field});
    return bytes;
}
