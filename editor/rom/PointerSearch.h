#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Pointers found by their value. Code refers to some tables through words of its own rather than through a
// table of pointers that Data.ini could name, so the only way to find every reference is to look at every
// aligned word of the file.
namespace PointerSearch {

// The console sees the cartridge at 0x08000000; pointers up to 0x09FFFFFF address the 32 MiB a ROM can hold.
inline constexpr uint32_t kRomBase = 0x08000000;
inline constexpr int64_t kAddressable = 0x2000000;

// The pointer value of a file offset.
[[nodiscard]] inline uint32_t PointerTo(int64_t offset) {
    return kRomBase + static_cast<uint32_t>(offset);
}

// The little-endian word at bytes[at].
[[nodiscard]] inline uint32_t WordAt(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

// The search reads the file in pieces of this size through one buffer: large enough that the system calls
// vanish beside the compares, small enough that a piece just read is still in the cache when it is compared.
inline constexpr int64_t kPiece = 1 << 20;

// The offsets, in file order, of the words on a multiple of 4 that hold the pointer to target. Reads the file
// once, in pieces of 1 MiB through one opening; nothing when it cannot be read to its end.
[[nodiscard]] std::optional<std::vector<int64_t>> FindPointersTo(const std::string& romPath, int64_t target);

// The pointer to target as the file stores it, read as a word of this machine, so that words compare
// directly.
[[nodiscard]] uint32_t StoredPointerTo(int64_t target);

// Appends the offsets (base plus the place in bytes) of the words on a multiple of 4 among size bytes that
// equal stored. The search's work beyond reading the file, which no system call stands for.
void FindWordsIn(const uint8_t* bytes, int64_t size, uint32_t stored, int64_t base,
                 std::vector<int64_t>& found);

}  // namespace PointerSearch
