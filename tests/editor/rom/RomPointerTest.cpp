#include "EditorTest.h"
#include "rom/RomPointer.h"

namespace {

// Pointers as stored (low byte first) and the offsets they show: the fourth byte 09 adds 16 MiB, any other
// leaves the low three bytes as they always showed.
TEST(RomPointer, ShowsTheOffsetItAddresses) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"B4D72508", "25D7B4"}, {"00008009", "1800000"}, {"FFFFFF09", "1FFFFFF"}, {"0000000A", "000000"},
        {"34120000", "001234"}, {"563412FF", "123456"},  {"563412", "123456"}};
    for (const auto& [stored, shown] : cases) EXPECT_EQ(RomPointer::TargetText(stored), shown) << stored;
}

TEST(RomPointer, TakesUpToSevenDigitsBelow32MiB) {
    const std::optional<int32_t> none;
    const std::vector<std::pair<std::string, std::optional<int32_t>>> cases = {
        {"25D7B4", 0x25D7B4}, {"1800000", 0x1800000}, {"1fffffF", 0x1FFFFFF},
        {"0000001", 1},       {"2000000", none},      {"01800000", none},
        {"", none},           {"18 0000", none}};
    for (const auto& [text, value] : cases) EXPECT_EQ(RomPointer::ParseTarget(text), value) << text;
}

}  // namespace
