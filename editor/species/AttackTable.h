#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One level-up attack: a 9-bit attack number and a 7-bit level, stored little-endian; FF FF ends a table.
struct LevelUpAttackEntry {
    int attack = 0;
    int level = 0;
    friend bool operator==(const LevelUpAttackEntry&, const LevelUpAttackEntry&) = default;
};

// Real tables hold a few dozen rows. A pointer gone astray can run on for the whole file, so a load stops
// here: the window stays responsive and a save never writes more rows than were shown.
inline constexpr int32_t kMaxAttackRows = 4096;

// The entry of four hexadecimal digits (b0's two first); nothing for the terminator FFFF.
[[nodiscard]] std::optional<LevelUpAttackEntry> DecodeAttackEntry(const std::string& fourHexDigits);

// Four upper-case hexadecimal digits, b0 then b1, each taken modulo 256.
[[nodiscard]] std::string EncodeAttackEntry(int attack, int level);

// Reads entries from start (one two-byte read each) until FF FF, an entry that does not lie wholly inside the
// file, or maxRows entries.
[[nodiscard]] std::vector<LevelUpAttackEntry> LoadAttackTable(const std::string& romPath, int32_t start,
                                                              int32_t maxRows = kMaxAttackRows);

// How far a table reaches in the file, by the same rules as a load.
struct AttackTableExtent {
    int64_t start = 0;
    int32_t rows = 0;
    bool terminated = false;  // FF FF ended the rows, rather than the end of the file or the row limit

    // The bytes the table holds: its rows and, when it has one, its terminator.
    [[nodiscard]] int64_t Bytes() const { return 2 * int64_t{rows} + (terminated ? 2 : 0); }
};

// Measures the table at start with a few large reads rather than one per entry.
[[nodiscard]] AttackTableExtent MeasureAttackTable(const std::string& romPath, int64_t start,
                                                   int32_t maxRows = kMaxAttackRows);

// A non-empty text of at most maxDigits hexadecimal digits (either case), as a number.
[[nodiscard]] std::optional<int32_t> ParseHexOffset(const std::string& text, int maxDigits = 6);
