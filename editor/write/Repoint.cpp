#include "write/Repoint.h"

#include "rom/PointerSearch.h"
#include "rom/RomPointer.h"

std::vector<PlannedByte> RepointBytes(const std::string& field, int64_t at, int currentFourth,
                                      int64_t target) {
    const uint32_t value = PointerSearch::PointerTo(target);
    std::vector<PlannedByte> bytes;
    for (int k = 0; k < 3; ++k) bytes.push_back({at + k, static_cast<uint8_t>(value >> (8 * k)), field});
    if (const std::optional<uint8_t> fourth =
            RomPointer::FourthByteToWrite(static_cast<int32_t>(target), currentFourth))
        bytes.push_back({at + 3, *fourth, field});
    return bytes;
}
