#pragma once

#include <ctime>
#include <string>
#include <vector>

// Copies of a whole ROM, taken before the first write of each opening, in a folder beside it.
namespace RomBackups {

inline constexpr int kKept = 5;

// "NAME.gba.backups" beside the ROM.
[[nodiscard]] std::string FolderFor(const std::string& romPath);

// Copies the ROM into its folder as "NAME-YYYYMMDD-HHMMSS.gba" (local time `now`), then removes the oldest
// copies beyond `kept`. Empty on success, else why the copy is not there; the ROM is never touched.
[[nodiscard]] std::string BackUp(const std::string& romPath, std::time_t now, int kept = kKept);

// The backups of the ROM in its folder, oldest first.
[[nodiscard]] std::vector<std::string> List(const std::string& romPath);

}  // namespace RomBackups
