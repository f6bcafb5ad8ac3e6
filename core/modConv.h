#pragma once

#include <functional>
#include <string>

// Text conversions between decimal, binary digits and hexadecimal digits, used for the packed EV yields.
// Bad input is reported to the user through the message sink and gives an empty result.
namespace modConv {

using MessageSink = std::function<void(const std::string& message)>;

// Replaces where the conversion messages go (the window shows them in a critical message box) and returns the
// previous sink. Without a sink the messages go to standard error.
MessageSink SetMessageSink(MessageSink sink);

// Binary digits without leading zeros ("0" for zero); "" and a message for a number with a fractional part.
[[nodiscard]] std::string DecToBin(double number);

// One hexadecimal digit per four binary digits after left padding; "" and a message for other characters or
// an empty text.
[[nodiscard]] std::string BinToHex(const std::string& binaryDigits);

// Four binary digits per hexadecimal digit (either case); "" and a message for other characters.
[[nodiscard]] std::string HexToBin(const std::string& hexDigits);

}  // namespace modConv
