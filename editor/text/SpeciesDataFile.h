#pragma once

#include <optional>
#include <string>

// One species' values as a one-line ".pkmn" text: 20 fields separated by "|".
struct SpeciesFileValues {
    std::string name, hp, attack, defense, speed, spAttack, spDefense, baseXp, catchRate;  // box texts
    int type1 = -1, type2 = -1, item1 = -1, item2 = -1, ability1 = -1, ability2 = -1;      // list positions
    std::string safari;
    int eggType1 = -1, eggType2 = -1, steps = -1, gender = -1;
};

// Number of entries of each list, so that an import can refuse a position outside its list.
struct SpeciesListSizes {
    int types = 0, items = 0, abilities = 0, eggTypes = 0, steps = 256, gender = 256;
};

// The line without its line end (the text file writer adds CR LF).
[[nodiscard]] std::string FormatSpeciesLine(const SpeciesFileValues& values);

struct SpeciesFileParse {
    std::optional<SpeciesFileValues> values;
    std::string error;  // names the first field that does not fit
};

// Splits at every "|"; fields after the twentieth are ignored, blanks and line ends around list numbers too.
[[nodiscard]] SpeciesFileParse ParseSpeciesFile(const std::string& text, const SpeciesListSizes& sizes);
