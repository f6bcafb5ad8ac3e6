#pragma once

#include <QString>
#include <string>

// Texts of files and of the ROM's name table are Windows-1252 bytes, with the male and female symbols as the
// characters 11 and 12. Widgets show those two as ♂ and ♀.
namespace TextCodec {

[[nodiscard]] QString ToDisplay(const std::string& bytes);
// Characters that Windows-1252 cannot hold become "?".
[[nodiscard]] std::string FromDisplay(const QString& text);

}  // namespace TextCodec
