#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "rom/EditorSession.h"

struct EvYields {
    int hp = 0, attack = 0, defense = 0, speed = 0, spAttack = 0, spDefense = 0;
    friend bool operator==(const EvYields&, const EvYields&) = default;
};

// What the window shows of one species, as numbers: record fields, pointers and the icon palette.
struct SpeciesValues {
    int hp = 0, attack = 0, defense = 0, speed = 0, spAttack = 0, spDefense = 0;
    int type1 = 0, type2 = 0;
    int catchRate = 0, baseXp = 0;
    EvYields ev;
    int item1 = 0, item2 = 0;  // 16 bits each
    int gender = 0, steps = 0;
    int eggType1 = 0, eggType2 = 0;
    int ability1 = 0, ability2 = 0;
    int safari = 0;
    // Pointer targets as upper-case hexadecimal digits: six, or seven for an offset above 16 MiB.
    std::string attackTable = "000000", sprite = "000000", backSprite = "000000", palette = "000000",
                shinyPalette = "000000", icon = "000000";
    int iconPalette = 0;
    friend bool operator==(const SpeciesValues&, const SpeciesValues&) = default;
};

// Reads record i, its five graphics pointers, its attack table pointer and its icon palette number.
[[nodiscard]] SpeciesValues ReadSpecies(const EditorSession& session, int32_t index);

// The yields packed in the four hexadecimal digits of record bytes 10 and 11 (byte 10 first).
[[nodiscard]] EvYields DecodeEvYields(const std::string& fourHexDigits);
