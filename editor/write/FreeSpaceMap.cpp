#include "write/FreeSpaceMap.h"

#include <cstdio>

#include "HexOffset.h"
#include "rom/RomPointer.h"
#include "write/KnownTables.h"

FreeSpaceMap::FreeSpaceMap(EditorSession session) : session_(std::move(session)) {}

std::vector<ByteRange> FreeSpaceMap::Regions(const EditorSession& session, std::string* error) {
    const std::string section = "Section [" + session.Section + "] of Data.ini";
    std::vector<ByteRange> regions;
    if (session.FreeSpace && *session.FreeSpace >= session.FileSize) {
        *error = "The FreeSpace key of section [" + session.Section + "] of Data.ini is " +
                 HexOffset(*session.FreeSpace) + ", beyond the end of the ROM file, which has " +
                 std::to_string(session.FileSize) + " bytes: correct the key.";
        return {};
    }
    if (session.FreeSpace) regions.push_back({*session.FreeSpace, session.FileSize});
    // A ROM of more than 16 MiB is an expanded one: everything past the games' 16 MiB was added as free
    // space.
    if (session.FileSize > RomPointer::kUpperHalf)
        regions.push_back({RomPointer::kUpperHalf, session.FileSize});
    if (regions.empty())
        *error = section +
                 " has no FreeSpace key (the file offset where the game's unused space starts, "
                 "decimal or &H hexadecimal), so the editor does not know where free space is.";
    return regions;
}

FreeSpaceFound FreeSpaceMap::Take(int64_t length) {
    if (!loaded_) {
        regions_ = Regions(session_, &regionsError_);
        const std::vector<ByteRange> known = KnownTables(session_, regions_);
        avoid_.insert(avoid_.end(), known.begin(), known.end());
        loaded_ = true;
    }
    FreeSpaceFound found;
    if (regions_.empty()) {
        found.error = regionsError_;
        return found;
    }
    found = FindFreeSpace(session_.RomPath, {length, regions_, avoid_});
    if (found.offset) avoid_.push_back({*found.offset, *found.offset + length});
    return found;
}

void FreeSpaceMap::Avoid(const ByteRange& range) {
    avoid_.push_back(range);
}
