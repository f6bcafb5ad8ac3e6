#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Files that must survive a crash or a power cut: what these calls report as done is on the disk, not only
// in the system's cache.
namespace DurableFile {

// Writes the bytes to a temporary file beside path, flushes it, renames it over path and flushes the folder,
// so that path holds either its old contents or all of the new ones. An empty text on success, else why not.
[[nodiscard]] std::string WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes);

// The whole file, or nothing when it cannot be read or is no regular file.
[[nodiscard]] std::optional<std::vector<uint8_t>> ReadWhole(const std::string& path);

// Flushes what was written to the file onto the disk. False when it cannot be opened or flushed.
[[nodiscard]] bool Sync(const std::string& path);

// Removes the file and flushes its folder. True when the file is gone (or was never there).
[[nodiscard]] bool Remove(const std::string& path);

// The system's text for the last failure of one of these calls (errno), for messages.
[[nodiscard]] std::string LastError();

}  // namespace DurableFile
