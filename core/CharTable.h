#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "HexFunctions.h"

// The games' one-byte character encoding of species names. Texts are single-byte (Windows-1252) strings; the
// male and female symbols are the characters 11 and 12.
namespace CharTable {

inline constexpr char kMaleSymbol = '\x0B';
inline constexpr char kFemaleSymbol = '\x0C';
inline constexpr int kNameEntrySize = 11;

// Decodes codes up to the first FF; codes without a text are skipped.
[[nodiscard]] std::string DecodeName(const HexFunctions::HexByteString& entry);
// The same from the bytes themselves, for tables read whole.
[[nodiscard]] std::string DecodeCodes(const unsigned char* codes, std::size_t count);

// The code of one character as two hexadecimal digits, or nothing when it has none.
[[nodiscard]] std::optional<std::string> EncodeChar(char character);

// The padded name (name + "^" + nine spaces, first 11 characters) as codes; 00 for characters without one.
// 11 bytes, or 10 for an empty name.
[[nodiscard]] HexFunctions::HexByteString EncodeName(const std::string& name);

}  // namespace CharTable
