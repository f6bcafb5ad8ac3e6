#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One byte that a write will put into the ROM, with the field it belongs to for messages.
struct PlannedByte {
    int64_t offset = 0;
    uint8_t value = 0;
    std::string field;
};

// Everything one user action writes, in the order it is written. Every feature that changes the ROM builds
// one of these and hands it to the RomWriter, so the checks, the journal and the history see every byte.
struct WritePlan {
    std::string label;     // names the step in the history: "Save CHARIZARD" gives "Undo Save CHARIZARD"
    int32_t species = -1;  // the species to show after an undo or redo of the step; -1 for none
    std::vector<PlannedByte> bytes;

    void Add(const std::string& field, int64_t offset, uint8_t value) {
        bytes.push_back({offset, value, field});
    }
    void AddBytes(const std::string& field, int64_t offset, const std::vector<uint8_t>& values) {
        for (size_t k = 0; k < values.size(); ++k) Add(field, offset + static_cast<int64_t>(k), values[k]);
    }
    void Append(const std::vector<PlannedByte>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
};
