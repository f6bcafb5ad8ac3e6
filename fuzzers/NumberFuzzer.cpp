// The number box checks: whatever is typed, a check settles the text in one correction, and the corrected
// text holds a number within the box's limits.

#include <cmath>
#include <string>

#include "FuzzSupport.h"
#include "species/FieldLimits.h"

namespace {

using fuzz::Require;

// The limits the species window gives its boxes: stats and catch rate, level, Safari Zone run chance.
constexpr int kUppers[] = {255, 99, 175};

// DecimalText keeps 15 significant digits, which a double always reads back as the same digits. Only near
// the largest double can the rounding carry beyond it, and the text then reads as infinity.
constexpr double kLargestSettled = 1e308;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader input(data, size);
    const uint8_t mode = input.Byte();
    const int upper = kUppers[mode % 3];
    const bool wholePart = (mode & 4) != 0;
    const std::string text = input.Rest();

    const double value = FieldLimits::NumberValue(text);
    (void)FieldLimits::IsNumberText(text);
    Require(!std::isnan(value), "a text reads as a number, never as NaN");
    if (std::isfinite(value) && std::fabs(value) <= kLargestSettled) {
        const std::string decimal = FieldLimits::DecimalText(value);
        Require(FieldLimits::IsNumberText(decimal), "decimal text is number text");
        Require(FieldLimits::DecimalText(FieldLimits::NumberValue(decimal)) == decimal,
                "decimal text reads back as itself");
    }

    const std::string checked = FieldLimits::LimitCheck(text, upper, wholePart);
    Require(FieldLimits::LimitCheck(checked, upper, wholePart) == checked,
            "a limit check settles in one step");
    const double kept = FieldLimits::NumberValue(checked);
    const double compared = wholePart ? std::floor(kept) : kept;
    Require(compared >= 0 && compared <= upper, "a checked text lies within its limits");

    const std::string yield = FieldLimits::YieldCheck(text);
    Require(FieldLimits::YieldCheck(yield) == yield, "a yield check settles in one step");
    const double yieldValue = FieldLimits::NumberValue(yield);
    Require(yieldValue >= 0 && yieldValue <= 3, "a checked yield lies within 0 to 3");
    return 0;
}
