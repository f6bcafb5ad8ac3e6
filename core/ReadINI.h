#pragma once

#include <string>
#include <string_view>
#include <vector>

// INI-style settings files and whole text files. Texts are single-byte (Windows-1252) strings, one char per
// byte, exactly as stored; line ends are CR LF.
namespace ReadINI {

// The value of key in section (names compared without regard to case), or empty when either is missing.
[[nodiscard]] std::string ReadIniValue(const std::string& path, const std::string& section,
                                       const std::string& key);

// Sets key in section by rewriting the whole file, creating the file when it is missing. False when the file
// could not be written.
[[nodiscard]] bool WriteIniValue(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& value);

// The whole content, line ends as stored; empty when the file cannot be read.
[[nodiscard]] std::string ReadTextFile(const std::string& path);

// Replaces the file's content with text followed by CR LF. False when the file could not be written.
[[nodiscard]] bool WriteTextFile(const std::string& path, const std::string& text);

// The pieces of text between separators, empty pieces kept; an empty text has no pieces.
[[nodiscard]] std::vector<std::string> SplitText(const std::string& text, std::string_view separator);

// The same two INI rules on content in memory, for the file operations above and for tests and fuzzing.
[[nodiscard]] std::string IniValueIn(std::string_view content, std::string_view section,
                                     std::string_view key);
[[nodiscard]] std::string IniWithValue(std::string_view content, std::string_view section,
                                       std::string_view key, std::string_view value);

}  // namespace ReadINI
