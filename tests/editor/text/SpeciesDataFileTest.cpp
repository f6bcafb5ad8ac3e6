#include "EditorTest.h"
#include "text/SpeciesDataFile.h"

namespace {

// The sizes of the lists shipped with the program, near enough.
constexpr SpeciesListSizes kSizes{18, 377, 78, 16, 256, 256};
constexpr char kExampleLine[] = "ABC|10|20|30|40|50|60|70|80|1|2|0|5|3|4|0|6|7|8|9";

SpeciesFileValues ExampleValues() {
    SpeciesFileValues v;
    std::tie(v.name, v.hp, v.attack, v.defense, v.speed, v.spAttack, v.spDefense, v.baseXp, v.catchRate,
             v.safari) = std::tuple("ABC", "10", "20", "30", "40", "50", "60", "70", "80", "0");
    std::tie(v.type1, v.type2, v.item1, v.item2, v.ability1, v.ability2, v.eggType1, v.eggType2, v.steps,
             v.gender) = std::tuple(1, 2, 0, 5, 3, 4, 6, 7, 8, 9);
    return v;
}

// The example line with field `number` (counted from 1) replaced.
std::string WithField(int number, const std::string& text) {
    std::string line = kExampleLine;
    size_t begin = 0;
    for (int field = 1; field < number; ++field) begin = line.find('|', begin) + 1;
    return line.replace(begin, line.find('|', begin) - begin, text) + "\r\n";
}

// Line ends, blanks around list numbers and fields after the twentieth change nothing.
TEST(ParseSpeciesFile, ReadsTheExampleHoweverItEnds) {
    const std::string line = kExampleLine;
    ASSERT_EQ(FormatSpeciesLine(ExampleValues()), line);
    for (const std::string& text :
         {line + "\r\n", line, line + "\n", line + " \t\r\n", line + "|extra|more\r\n", line + "|",
          WithField(10, "\t1 "), WithField(12, "000")}) {
        const SpeciesFileParse parse = ParseSpeciesFile(text, kSizes);
        ASSERT_TRUE(parse.values.has_value()) << parse.error;
        EXPECT_EQ(FormatSpeciesLine(*parse.values), kExampleLine);
    }
}

TEST(ParseSpeciesFile, RoundTripsNoSelectionListEndsAndTextsAsTyped) {
    SpeciesFileValues v = ExampleValues();
    v.name = "\x0B Name \t";
    v.type1 = v.item2 = v.gender = -1;
    v.type2 = kSizes.types - 1;
    v.steps = 255;
    const SpeciesFileParse parse = ParseSpeciesFile(FormatSpeciesLine(v) + "\r\n", kSizes);
    ASSERT_TRUE(parse.values.has_value()) << parse.error;
    EXPECT_EQ(FormatSpeciesLine(*parse.values), FormatSpeciesLine(v));
    // A name holding a bar shifts every later field; with the lists of the program the shifted catch rate no
    // longer names a type.
    v = ExampleValues();
    v.name = "A|B";
    const std::string line = FormatSpeciesLine(v) + "\r\n";
    const SpeciesFileParse shifted = ParseSpeciesFile(line, {300, 300, 300, 300, 256, 256});
    ASSERT_TRUE(shifted.values.has_value()) << shifted.error;
    EXPECT_EQ(FormatSpeciesLine(*shifted.values), "A|B|10|20|30|40|50|60|70|80|1|2|0|5|3|4|0|6|7|8");
    EXPECT_EQ(ParseSpeciesFile(line, kSizes).error,
              "Field 10 (type 1) is 80, outside its list of 18 entries.");
}

TEST(ParseSpeciesFile, RefusesAFileNamingTheFirstFieldThatDoesNotFit) {
    const std::string holds = " species data file holds 20 fields separated by \"|\".";
    std::string twoBad = WithField(12, "x");
    twoBad.replace(twoBad.find("|1|2|x|"), 7, "|99|2|x|");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "The file is empty; a" + holds},
        {"ABC\r\n", "The file holds only 1 field; a" + holds},
        {"A|1|2|3|4|5|6|7|8|1|2|0|5|3|4|0|6|7|8\r\n", "The file holds only 19 fields; a" + holds},
        {WithField(12, "x"), "Field 12 (held item 1) is not a whole number."},
        {WithField(13, "1.5"), "Field 13 (held item 2) is not a whole number."},
        {WithField(19, "1e2"), "Field 19 (steps to hatch) is not a whole number."},
        {WithField(20, ""), "Field 20 (gender ratio) is not a whole number."},
        // A second line makes the last field more than a number.
        {std::string(kExampleLine) + "\r\nmore", "Field 20 (gender ratio) is not a whole number."},
        {WithField(10, "18"), "Field 10 (type 1) is 18, outside its list of 18 entries."},
        {WithField(14, "-2"), "Field 14 (ability 1) is -2, outside its list of 78 entries."},
        {WithField(20, " 256 "), "Field 20 (gender ratio) is 256, outside its list of 256 entries."},
        {twoBad, "Field 10 (type 1) is 99, outside its list of 18 entries."},
        // The message goes into a message box: it quotes a megabyte-long field only in part.
        {WithField(10, std::string(1 << 20, '9')),
         "Field 10 (type 1) is 99999999999999999999999999999999... "
         "(1048576 characters), outside its list of 18 entries."}};
    for (const auto& [text, error] : cases) {
        const SpeciesFileParse parse = ParseSpeciesFile(text, kSizes);
        EXPECT_FALSE(parse.values.has_value());
        EXPECT_EQ(parse.error, error);
    }
}

}  // namespace
