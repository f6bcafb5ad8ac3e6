#include "EditorTest.h"
#include "species/AttackTable.h"
#include "species/NewAttackTable.h"

namespace {

constexpr char kBadStart[] = "Start Offset: must be 1 to 7 hexadecimal digits (0-9, A-F), at most 1FFFFFF.";
constexpr char kBadCount[] = "Num. of Attacks: must be a whole number from 0 upward.";
constexpr char kPastEnd[] = "The new table would end beyond the end of the ROM file.";
constexpr char kPastLastOffset[] = "The new table would end beyond the last offset a ROM file can have.";
constexpr int64_t kHugeFile = int64_t{1} << 40;

std::string ErrorFor(const std::string& start, const std::string& count, int64_t romSize) {
    const NewTableCheck check = CheckNewTableRequest(start, count, romSize);
    EXPECT_EQ(check.ok, check.error.empty());
    return check.error;
}

// The start is judged first, whatever the count; each table of 256 bytes has a neighbour one byte too long.
TEST(CheckNewTableRequest, RefusesEachBadInputNamingTheFieldAndAcceptsTheLimits) {
    const std::vector<std::tuple<std::string, std::string, const char*>> cases = {
        {"", "1", kBadStart},
        {"12G", "1", kBadStart},
        {"12345678", "1", kBadStart},
        {"2000000", "1", kBadStart},
        {"-12", "1", kBadStart},
        {"xyz", "abc", kBadStart},
        {"0", "-1", kBadCount},
        {"0", "1.5", kBadCount},
        {"0", "abc", kBadCount},
        {"0", "", kBadCount},
        {"FC", "1", ""},
        {"FD", "1", kPastEnd},
        {"0", "127", ""},
        {"0", "128", kPastEnd},
        {"100", "0", kPastEnd}};
    for (const auto& [start, count, error] : cases) {
        EXPECT_EQ(ErrorFor(start, count, 256), error) << '"' << start << "\" \"" << count << '"';
    }
    EXPECT_EQ(ErrorFor("0", "1073741824", kHugeFile), kPastLastOffset);
    EXPECT_EQ(ErrorFor("0", "1073741823", kHugeFile), "") << "the terminator ends on the last 32-bit offset";
    for (const auto& [text, start] : {std::pair{"1a0000", 0x1A0000}, {"1fffff0", 0x1FFFFF0}}) {
        const NewTableCheck check = CheckNewTableRequest(text, " 3 ", kHugeFile);
        EXPECT_EQ(std::pair(check.request.start, check.request.count), std::pair(start, 3)) << check.error;
    }
}

TEST(PlanNewAttackTable, PlaceholdersThenTheTerminator) {
    for (int32_t count : {0, 1, 3}) {
        const WritePlan plan = PlanNewAttackTable({0x1A0000, count});
        Bytes values;
        for (size_t k = 0; k < plan.bytes.size(); ++k) {
            EXPECT_EQ(plan.bytes[k].offset, 0x1A0000 + static_cast<int64_t>(k));
            values.push_back(plan.bytes[k].value);
        }
        Bytes expected;
        for (int32_t k = 0; k < count; ++k) expected.insert(expected.end(), {0x01, 0x02});
        expected.insert(expected.end(), {0xFF, 0xFF});
        EXPECT_EQ(values, expected) << count << " rows";
        EXPECT_EQ(plan.label, "Insert New Table at 1A0000");
    }
}

}  // namespace
