#pragma once

#include <string>
#include <string_view>

// The number boxes are plain texts kept within their limits by small checks that rewrite the text.
namespace FieldLimits {

// The number the text begins with (blanks, tabs and line feeds anywhere ignored; sign, decimal point,
// exponent, &H and &O forms); 0 when it begins with none.
[[nodiscard]] double NumberValue(std::string_view text);

// True when the whole text (blanks aside) is one number in one of the NumberValue forms.
[[nodiscard]] bool IsNumberText(std::string_view text);

// Plain decimal notation: no leading or trailing zeros, no point for whole numbers, 15 significant digits.
[[nodiscard]] std::string DecimalText(double value);

// The leave and change checks: the text as the decimal text of its number, then held to 0..upper. With
// wholePartCompared, the limits compare the number rounded down.
[[nodiscard]] std::string LimitCheck(std::string_view text, int upper, bool wholePartCompared = false);

// The EV yield check: 3 or more becomes "3", 0 or less becomes "0", anything else stays as typed.
[[nodiscard]] std::string YieldCheck(std::string_view text);

}  // namespace FieldLimits
