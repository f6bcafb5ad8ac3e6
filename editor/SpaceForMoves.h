#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Hands out free space to the tables and texts that one write moves, never the same bytes twice.
class SpaceForMoves {
public:
    virtual ~SpaceForMoves() = default;
    // Room for length bytes, kept from later requests of the same write; nothing, with *error set to a
    // sentence, when there is none.
    [[nodiscard]] virtual std::optional<int64_t> Take(int64_t length, std::string* error) = 0;
    // Bytes from start up to end that no later request may get, such as the old place of a table that this
    // write fills with FF.
    virtual void Avoid(int64_t start, int64_t end) = 0;
};
