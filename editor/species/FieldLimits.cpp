#include "species/FieldLimits.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

#include "HexFunctions.h"

namespace FieldLimits {

namespace {

using HexFunctions::HexDigitValue;

bool IsIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string WithoutIgnored(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (char c : text) {
        if (!IsIgnored(c)) kept.push_back(c);
    }
    return kept;
}

// The leading number of an already stripped text and how many characters it took. A text without a number
// takes nothing and has the value 0.
struct LeadingNumber {
    double value = 0.0;
    size_t length = 0;
};

// &H and &O numbers are whole numbers of a fixed width: a value that fits 16 bits is a signed 16-bit number
// (so &HFFFF is -1), a wider one a signed 32-bit number. Digits beyond 32 bits keep only the low 32 bits,
// which keeps every text defined instead of failing.
LeadingNumber ReadRadixNumber(std::string_view text, size_t pos, int radix) {
    uint32_t low = 0;
    bool wide = false;
    size_t digits = 0;
    while (pos < text.size()) {
        const int digit = HexDigitValue(text[pos]);
        if (digit < 0 || digit >= radix) break;
        const uint64_t next = static_cast<uint64_t>(low) * static_cast<uint64_t>(radix) + digit;
        if (next > 0xFFFF) wide = true;
        low = static_cast<uint32_t>(next);
        ++pos;
        ++digits;
    }
    if (digits == 0) return {};
    const double value = wide ? static_cast<double>(static_cast<int32_t>(low))
                              : static_cast<double>(static_cast<int16_t>(low));
    return {value, pos};
}

// from_chars refuses values beyond the range of double without telling which end was passed, so the decimal
// exponent of the leading digit decides between infinity and zero.
double OutOfRangeValue(std::string_view mantissa, long long exponent) {
    long long magnitude = 0;
    const size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const size_t firstSignificant = whole.find_first_not_of('0');
    if (firstSignificant != std::string_view::npos) {
        magnitude = static_cast<long long>(whole.size() - firstSignificant) - 1;
    } else if (point != std::string_view::npos) {
        const std::string_view fraction = mantissa.substr(point + 1);
        const size_t firstFraction = fraction.find_first_not_of('0');
        if (firstFraction == std::string_view::npos) return 0.0;
        magnitude = -static_cast<long long>(firstFraction) - 1;
    } else {
        return 0.0;
    }
    return magnitude + exponent >= 0 ? HUGE_VAL : 0.0;
}

LeadingNumber ReadDecimalNumber(std::string_view text, size_t pos) {
    const size_t start = pos;
    size_t digits = 0;
    bool point = false;
    while (pos < text.size()) {
        if (IsDigit(text[pos])) {
            ++digits;
        } else if (text[pos] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        ++pos;
    }
    if (digits == 0) return {};
    const std::string_view mantissa = text.substr(start, pos - start);

    // The exponent counts only when at least one digit follows the letter and its sign.
    long long exponent = 0;
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        size_t e = pos + 1;
        bool negative = false;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
            negative = text[e] == '-';
            ++e;
        }
        if (e < text.size() && IsDigit(text[e])) {
            // Far beyond the range of double either way; holding it here keeps the arithmetic on it from
            // overflowing.
            constexpr long long kExponentCap = 100000;
            while (e < text.size() && IsDigit(text[e])) {
                if (exponent < kExponentCap) exponent = exponent * 10 + (text[e] - '0');
                ++e;
            }
            if (negative) exponent = -exponent;
            pos = e;
        }
    }

    std::string normalised(mantissa);
    normalised += 'e';
    normalised += std::to_string(exponent);
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(
        normalised.data(), normalised.data() + normalised.size(), value, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range) value = OutOfRangeValue(mantissa, exponent);
    return {value, pos};
}

LeadingNumber ReadNumber(std::string_view text) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    LeadingNumber number;
    if (pos + 1 < text.size() && text[pos] == '&' && (text[pos + 1] == 'H' || text[pos + 1] == 'h')) {
        number = ReadRadixNumber(text, pos + 2, 16);
    } else if (pos + 1 < text.size() && text[pos] == '&' && (text[pos + 1] == 'O' || text[pos + 1] == 'o')) {
        number = ReadRadixNumber(text, pos + 2, 8);
    } else {
        number = ReadDecimalNumber(text, pos);
    }
    if (number.length == 0) return {};
    if (negative) number.value = -number.value;
    return number;
}

// Reads the number box again as the checks do, comparing only the whole part where the box asks for it.
double ComparedValue(std::string_view text, bool wholePartCompared) {
    const double value = NumberValue(text);
    return wholePartCompared ? std::floor(value) : value;
}

}  // namespace

double NumberValue(std::string_view text) {
    return ReadNumber(WithoutIgnored(text)).value;
}

bool IsNumberText(std::string_view text) {
    const std::string stripped = WithoutIgnored(text);
    const LeadingNumber number = ReadNumber(stripped);
    return number.length > 0 && number.length == stripped.size();
}

std::string DecimalText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0.0) return "0";

    // d.dddddddddddddde±x: the 15 significant digits and the position of the point, free of any locale.
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    if (error != std::errc()) return "0";
    const std::string_view scientific(buffer, static_cast<size_t>(end - buffer));
    const size_t letter = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, letter)) {
        if (IsDigit(c)) digits.push_back(c);
    }
    int exponent = 0;
    std::string_view exponentText = scientific.substr(letter + 1);
    if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = value < 0 ? "-" : "";
    if (exponent >= 0) {
        const size_t wholeDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= wholeDigits) {
            text += digits;
            text.append(wholeDigits - digits.size(), '0');
        } else {
            text += digits.substr(0, wholeDigits);
            text += '.';
            text += digits.substr(wholeDigits);
        }
    } else {
        text += "0.";
        text.append(static_cast<size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

std::string LimitCheck(std::string_view text, int upper, bool wholePartCompared) {
    const double value = NumberValue(text);
    // An infinite value has no decimal text to read back; it is simply beyond one of the limits.
    if (std::isinf(value)) return value > 0 ? std::to_string(upper) : "0";

    std::string checked = DecimalText(value);
    if (ComparedValue(checked, wholePartCompared) < 0) checked = "0";
    if (ComparedValue(checked, wholePartCompared) > upper) checked = std::to_string(upper);
    return checked;
}

std::string YieldCheck(std::string_view text) {
    std::string checked(text);
    if (NumberValue(checked) >= 3) checked = "3";
    if (NumberValue(checked) <= 0) checked = "0";
    return checked;
}

}  // namespace FieldLimits
