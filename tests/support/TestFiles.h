#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The whole file; empty when it cannot be read.
[[nodiscard]] std::vector<uint8_t> ReadFileBytes(const std::string& path);
[[nodiscard]] bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// A Data.ini as the program ships it: [Main] with ShowSave=1, then each given section text (as RomBuilder's
// IniSection makes them), CR LF line ends throughout.
[[nodiscard]] bool WriteTestIni(const std::string& path, const std::vector<std::string>& sections);

// Rewrites one key of a section text ("[CODE]\r\nKey=value\r\n..."); with remove, drops the key's line.
[[nodiscard]] std::string WithIniKey(const std::string& section, const std::string& key,
                                     const std::string& value, bool remove = false);

struct ByteChange {
    int64_t offset = 0;
    int before = -1;  // -1: the position is beyond that file's end
    int after = -1;
    friend bool operator==(const ByteChange&, const ByteChange&) = default;
};

// Every position where the two differ, including a difference in length.
[[nodiscard]] std::vector<ByteChange> ChangedBytes(const std::vector<uint8_t>& before,
                                                   const std::vector<uint8_t>& after);
[[nodiscard]] std::vector<int64_t> ChangedOffsets(const std::vector<uint8_t>& before,
                                                  const std::vector<uint8_t>& after);
// A readable list for assertion messages, at most maxShown changes ("0x12004: 5A -> 00, ...").
[[nodiscard]] std::string DescribeChanges(const std::vector<ByteChange>& changes, size_t maxShown = 16);

}  // namespace testsupport
