// Species data files (".pkmn"): any text is either refused with a message or accepted, and what is accepted
// writes back to a line that reads as the same values.

#include <string>
#include <tuple>

#include "FuzzSupport.h"
#include "text/SpeciesDataFile.h"

namespace {

using fuzz::Require;

// The sizes of the shipped lists, each with the empty entry its final line end adds.
constexpr SpeciesListSizes kSizes{.types = 18, .items = 377, .abilities = 78, .eggTypes = 16};

auto Fields(const SpeciesFileValues& v) {
    return std::tie(v.name, v.hp, v.attack, v.defense, v.speed, v.spAttack, v.spDefense, v.baseXp,
                    v.catchRate, v.type1, v.type2, v.item1, v.item2, v.ability1, v.ability2, v.safari,
                    v.eggType1, v.eggType2, v.steps, v.gender);
}

bool InList(int position, int size) {
    return position >= -1 && position < size;
}

void CheckAccepted(const SpeciesFileValues& values) {
    Require(InList(values.type1, kSizes.types) && InList(values.type2, kSizes.types) &&
                InList(values.item1, kSizes.items) && InList(values.item2, kSizes.items) &&
                InList(values.ability1, kSizes.abilities) && InList(values.ability2, kSizes.abilities) &&
                InList(values.eggType1, kSizes.eggTypes) && InList(values.eggType2, kSizes.eggTypes) &&
                InList(values.steps, kSizes.steps) && InList(values.gender, kSizes.gender),
            "accepted list positions lie within their lists");
}

void CheckRoundTrip(const SpeciesFileValues& values) {
    const std::string line = FormatSpeciesLine(values);
    const SpeciesFileParse again = ParseSpeciesFile(line, kSizes);
    Require(again.values.has_value(), "a written line is accepted");
    Require(Fields(*again.values) == Fields(values), "a written line reads as the same values");
    Require(FormatSpeciesLine(*again.values) == line, "a line read back writes the same");
}

// Values as the window holds them: box texts of any bytes, list positions within their lists.
SpeciesFileValues ValuesFrom(fuzz::ByteReader& input) {
    SpeciesFileValues v;
    for (std::string* box : {&v.name, &v.hp, &v.attack, &v.defense, &v.speed, &v.spAttack, &v.spDefense,
                             &v.baseXp, &v.catchRate, &v.safari}) {
        *box = input.Text(input.Byte() % 16);
    }
    const auto position = [&input](int size) { return static_cast<int>(input.Word() % (size + 1)) - 1; };
    v.type1 = position(kSizes.types);
    v.type2 = position(kSizes.types);
    v.item1 = position(kSizes.items);
    v.item2 = position(kSizes.items);
    v.ability1 = position(kSizes.abilities);
    v.ability2 = position(kSizes.abilities);
    v.eggType1 = position(kSizes.eggTypes);
    v.eggType2 = position(kSizes.eggTypes);
    v.steps = position(kSizes.steps);
    v.gender = position(kSizes.gender);
    return v;
}

bool HasBar(const SpeciesFileValues& v) {
    for (const std::string* box : {&v.name, &v.hp, &v.attack, &v.defense, &v.speed, &v.spAttack, &v.spDefense,
                                   &v.baseXp, &v.catchRate, &v.safari}) {
        if (box->find('|') != std::string::npos) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const SpeciesFileParse parse = ParseSpeciesFile(text, kSizes);
    Require(parse.values.has_value() == parse.error.empty(),
            "a file is either accepted or refused with a reason");
    if (parse.values) {
        CheckAccepted(*parse.values);
        CheckRoundTrip(*parse.values);
    }

    // The export side: a "|" typed into a box splits its field on import, so such values cannot come back.
    fuzz::ByteReader input(data, size);
    const SpeciesFileValues values = ValuesFrom(input);
    if (!HasBar(values)) CheckRoundTrip(values);
    return 0;
}
