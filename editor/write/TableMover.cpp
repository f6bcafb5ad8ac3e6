#include "write/TableMover.h"

#include <cstdio>

#include "HexOffset.h"

namespace {

std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

}  // namespace

TablePlacement PlaceTable(const TableToPlace& table, FreeSpaceMap& space) {
    TablePlacement placement;
    const auto length = static_cast<int64_t>(table.data.size());
    placement.offset = table.old.start;
    if (length > table.old.size()) {
        // The old place stays out of the search: its bytes are only freed by this very write.
        space.Avoid(table.old);
        const FreeSpaceFound found = space.Take(length);
        if (!found.offset) {
            placement.error = Capitalized(table.name) + " at " + HexOffset(table.old.start) + " holds " +
                              std::to_string(table.old.size()) + " bytes and now needs " +
                              std::to_string(length) + ", so it must move into free space. " + found.error;
            return placement;
        }
        placement.offset = *found.offset;
        placement.moved = true;
    }
    placement.bytes.reserve(table.data.size() + (placement.moved && table.freeOld ? table.old.size() : 0));
    for (size_t k = 0; k < table.data.size(); ++k)
        placement.bytes.push_back({placement.offset + static_cast<int64_t>(k), table.data[k], table.name});
    if (placement.moved && table.freeOld) {
        for (int64_t at = table.old.start; at < table.old.end; ++at)
            placement.bytes.push_back({at, 0xFF, "the old place of " + table.name});
    }
    placement.ok = true;
    return placement;
}
