#include "modConv.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "HexFunctions.h"

namespace modConv {
namespace {

using HexFunctions::HexDigitValue;

constexpr const char* kNotWhole = "Only Whole Numbers can be converted";
constexpr const char* kNotBinary = "NOT A BINARY NUMBER";
constexpr const char* kNothingGiven = "Nothing Given..";
constexpr const char* kNotHex = "Number given is not in Hex format";

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

void Report(const std::string& message) {
    if (const MessageSink& sink = Sink()) {
        sink(message);
    } else {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

MessageSink SetMessageSink(MessageSink sink) {
    return std::exchange(Sink(), std::move(sink));
}

std::string DecToBin(double number) {
    // The domain is the whole numbers from 0 upward: a fraction, a negative number, NaN and the infinities
    // all get the one message the conversion has.
    if (!std::isfinite(number) || number < 0 || std::trunc(number) != number) {
        Report(kNotWhole);
        return {};
    }
    std::string digits;
    // Below 2^64 the number is an exact unsigned integer; above it every double is a whole number too, and
    // halving it stays exact, so the repeated halving of the algorithm gives the same digits.
    if (number < 18446744073709551616.0) {
        uint64_t value = static_cast<uint64_t>(number);
        do {
            digits += static_cast<char>('0' + (value & 1));
            value >>= 1;
        } while (value != 0);
    } else {
        while (number >= 1) {
            const double half = number / 2;
            const double whole = std::floor(half);
            digits += half != whole ? '1' : '0';
            number = whole;
        }
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::string BinToHex(const std::string& binaryDigits) {
    if (binaryDigits.find_first_not_of("01") != std::string::npos) {
        Report(kNotBinary);
        return {};
    }
    if (binaryDigits.empty()) {
        Report(kNothingGiven);
        return {};
    }
    // Left padding to a multiple of four: the first group takes the leftover digits.
    const size_t length = binaryDigits.size();
    const size_t firstGroup = length % 4 == 0 ? 4 : length % 4;
    std::string hex;
    hex.reserve((length + 3) / 4);
    size_t position = 0;
    size_t groupLength = firstGroup;
    while (position < length) {
        int value = 0;
        for (size_t i = 0; i < groupLength; ++i) value = value * 2 + (binaryDigits[position + i] - '0');
        hex += kHexDigits[value];
        position += groupLength;
        groupLength = 4;
    }
    return hex;
}

std::string HexToBin(const std::string& hexDigits) {
    std::string binary;
    binary.reserve(hexDigits.size() * 4);
    for (const char c : hexDigits) {
        const int value = HexDigitValue(c);
        if (value < 0) {
            Report(kNotHex);
            return {};
        }
        for (int bit = 3; bit >= 0; --bit) binary += static_cast<char>('0' + ((value >> bit) & 1));
    }
    return binary;
}

}  // namespace modConv
