#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Puts one byte into the ROM file; false when it did not reach the file. The RomWriter and the journal take
// one, so tests can stand in a writer that fails after a number of bytes, as a crash or a full disk would.
using ByteWriter = std::function<bool(const std::string& path, int64_t offset, uint8_t value)>;

// The real writer: one opening of the file per byte, never past its end.
[[nodiscard]] bool WriteRomByte(const std::string& path, int64_t offset, uint8_t value);
