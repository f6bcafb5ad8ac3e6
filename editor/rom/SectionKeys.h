#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "rom/SectionValues.h"
#include "rom/TableLocator.h"

// Reads the keys of one part of the species tables: a table's offset where the opening located it (the game's
// pointer to it), any other key from the ROM's settings or its Data.ini section. The first problem ends the
// part: every later read gives nothing, and the problem names the key and the section as a sentence for the
// window.
class SectionKeys {
public:
    SectionKeys(const GameSection& keys, const LocatedTables& located, std::string* problem);

    // A file offset (decimal or &H hexadecimal); a missing key is a problem.
    [[nodiscard]] std::optional<int32_t> Offset(const char* key);
    // A whole number from 0 to most; a missing key is a problem.
    [[nodiscard]] std::optional<int32_t> Count(const char* key, int32_t most);
    // The same, but a missing key gives byDefault.
    [[nodiscard]] std::optional<int32_t> Count(const char* key, int32_t most, int32_t byDefault);

    [[nodiscard]] const std::string& ShownSection() const { return shownSection_; }

private:
    const GameSection& keys_;
    const LocatedTables& located_;
    std::string shownSection_;
    std::string* problem_;
};
