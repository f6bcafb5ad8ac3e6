#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rom/TableShapes.h"

// Finds a table by the pointers that lead to it, for a ROM where neither the game's known pointer nor
// Data.ini's offset leads to one (a hack rebuilt from the games' source, whose code and tables all moved).
// Every word on a multiple of 4 that points into the file votes for its target; among the targets where a
// table of the kind lies, the one the most pointers lead to wins.
class TableSearch {
public:
    // Why a table no search can tell from other data has no place, as the search would say it.
    static constexpr const char* kUnsearched =
        "nothing it can tell from other data of the same form; only the game's pointer or the ROM's settings "
        "file can say where they are";

    // Reads the whole file once for every table searched; nothing when it cannot be read.
    [[nodiscard]] static std::optional<TableSearch> Read(const std::string& romPath, int64_t fileSize);
    explicit TableSearch(std::vector<uint8_t> image);

    struct Found {
        std::optional<int32_t> offset;
        int pointers = 0;        // how many lead to it
        std::string problem;     // when not found: why, naming the candidates
        bool ambiguous = false;  // two or more places tie, rather than none looking like the table
    };
    // context's image is set to the file read here. A place in claimed (another table's) is no candidate: a
    // list of moves that starts another list is not that list.
    [[nodiscard]] Found Find(const TableShapes::Shape& shape, TableShapes::Context context,
                             const std::vector<int64_t>& claimed) const;

    [[nodiscard]] const std::vector<uint8_t>& image() const { return image_; }

private:
    std::vector<uint8_t> image_;
    std::vector<std::pair<int64_t, int>> targets_;  // every target in file order, with its count of pointers
};
