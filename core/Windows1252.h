#pragma once

#include <optional>
#include <string>
#include <string_view>

// Texts inside the program are Windows-1252 bytes with the male and female symbols as characters 11 and 12;
// text files meant for other programs (JSON, CSV) are UTF-8. These two convert between them.
namespace Windows1252 {

// Every byte as its character in UTF-8; characters 11 and 12 become ♂ and ♀. The five bytes Windows-1252
// leaves undefined keep their code point (U+0081 ...), so every text converts back unchanged.
[[nodiscard]] std::string ToUtf8(std::string_view text);

// The Windows-1252 text of valid UTF-8, ♂ and ♀ as characters 11 and 12; nothing when the bytes are not
// UTF-8 or hold a character Windows-1252 does not have.
[[nodiscard]] std::optional<std::string> FromUtf8(std::string_view utf8);

// The position of the first byte that does not belong to valid UTF-8, or nothing when all of it does.
[[nodiscard]] std::optional<size_t> FirstInvalidUtf8(std::string_view bytes);

}  // namespace Windows1252
