#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "RomPointer.h"

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

// The fourth byte changes only where it must, so an unedited save of any pointer writes nothing there.
TEST(RomPointer, WritesTheFourthByteOnlyWhenItMustChange) {
    const std::optional<uint8_t> stays;
    const std::vector<std::tuple<int32_t, int, std::optional<uint8_t>>> cases = {
        {0x1800000, 0x09, stays}, {0x1800000, 0x08, 0x09}, {0x1000000, 0x00, 0x09},
        {0x1000000, -1, 0x09},    {0xFFFFFF, 0x09, 0x08},  {0x000000, 0x09, 0x08},
        {0x25D7B4, 0x08, stays},  {0x25D7B4, 0x00, stays}, {0x25D7B4, 0x0A, stays}};
    for (const auto& [target, current, written] : cases)
        EXPECT_EQ(RomPointer::FourthByteToWrite(target, current), written)
            << std::hex << target << " " << current;
}

}  // namespace
