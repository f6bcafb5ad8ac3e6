// The EV yield conversions between decimal, binary digits and hexadecimal digits: results against an
// independent computation, and bad input always answered with one message and an empty result.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "modConv.h"

namespace {

using fuzz::Require;

int messages = 0;

// The window shows conversion messages in a box; here they are only counted.
void CountMessages() {
    static const bool installed = [] {
        modConv::SetMessageSink([](const std::string&) { ++messages; });
        return true;
    }();
    (void)installed;
    messages = 0;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool AllOf(const std::string& text, bool (*test)(char)) {
    for (const char c : text) {
        if (!test(c)) return false;
    }
    return true;
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string BinaryOf(uint64_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + (value & 1)));
        value >>= 1;
    } while (value != 0);
    return digits;
}

void CheckHexToBin(const std::string& text) {
    CountMessages();
    const std::string binary = modConv::HexToBin(text);
    if (!AllOf(text, IsHexDigit)) {
        Require(binary.empty() && messages == 1, "other characters give one message and no digits");
        return;
    }
    Require(messages == 0, "hexadecimal digits give no message");
    Require(binary.size() == 4 * text.size(), "four binary digits per hexadecimal digit");
    if (text.empty()) return;
    Require(modConv::BinToHex(binary) == UpperCase(text), "hexadecimal digits survive the binary round trip");
}

void CheckBinToHex(const std::string& text) {
    CountMessages();
    const std::string hex = modConv::BinToHex(text);
    if (text.empty() || !AllOf(text, [](char c) { return c == '0' || c == '1'; })) {
        Require(hex.empty() && messages == 1, "no binary digits give one message and no digits");
        return;
    }
    Require(messages == 0, "binary digits give no message");
    const size_t groups = (text.size() + 3) / 4;
    Require(hex.size() == groups, "one hexadecimal digit per four binary digits");
    const std::string padded = std::string(4 * groups - text.size(), '0') + text;
    Require(modConv::HexToBin(hex) == padded, "binary digits survive the hexadecimal round trip");
}

void CheckDecToBin(double number) {
    CountMessages();
    const std::string binary = modConv::DecToBin(number);
    if (!std::isfinite(number) || number < 0 || std::trunc(number) != number) {
        Require(binary.empty() && messages == 1, "a number that is not whole gives one message");
        return;
    }
    Require(messages == 0, "a whole number gives no message");
    if (number < 18446744073709551616.0) {
        Require(binary == BinaryOf(static_cast<uint64_t>(number)), "binary digits of a 64-bit number");
        return;
    }
    // Beyond 64 bits: the 53 digits of the mantissa, then zeros up to the exponent.
    const int exponent = std::ilogb(number);
    const uint64_t mantissa = static_cast<uint64_t>(std::ldexp(number, 52 - exponent));
    Require(binary == BinaryOf(mantissa) + std::string(static_cast<size_t>(exponent - 52), '0'),
            "binary digits of a large number");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader input(data, size);
    const uint8_t mode = input.Byte();

    // Any double, and small whole numbers, which any double rarely is.
    double number = 0;
    const std::string numberBytes = input.Text(sizeof number);
    std::memcpy(&number, numberBytes.data(), numberBytes.size());
    CheckDecToBin(number);
    CheckDecToBin(static_cast<double>(input.Word()) * (mode & 1 ? 1 : -1));

    const std::string text = input.Rest();
    CheckHexToBin(text);
    CheckBinToHex(text);
    // Texts of the two alphabets, which arbitrary bytes seldom are: each byte's low bit or low nibble.
    std::string binary, hex;
    for (const char c : text) {
        binary += static_cast<char>('0' + (c & 1));
        hex += "0123456789abcdefABCDEF"[static_cast<unsigned char>(c) % 22];
    }
    CheckBinToHex(binary);
    CheckHexToBin(hex);
    return 0;
}
