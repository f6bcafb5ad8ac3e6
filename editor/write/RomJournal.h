#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "write/ByteWriter.h"

// The journal of a write in progress: the ROM's size and, for every offset the write changes, the byte the
// file held before. It is on the disk before the first ROM byte is written and removed after the last, so a
// journal found beside a ROM means a write was interrupted and can be rolled back.
namespace RomJournal {

struct Entry {
    int64_t offset = 0;
    uint8_t before = 0;
};

struct Journal {
    int64_t romSize = 0;
    std::vector<Entry> entries;
};

// "NAME.gba.journal" beside the ROM.
[[nodiscard]] std::string PathFor(const std::string& romPath);

// The journal's file form: a magic line, the size, the entries and a checksum of all of it.
[[nodiscard]] std::vector<uint8_t> Encode(const Journal& journal);
// Nothing when the bytes are not a whole, undamaged journal.
[[nodiscard]] std::optional<Journal> Decode(const std::vector<uint8_t>& bytes);

// Writes the journal beside the ROM and flushes it to the disk. Empty on success, else the message.
[[nodiscard]] std::string Write(const std::string& romPath, const Journal& journal);

enum class State {
    None,        // no journal beside the ROM
    Fits,        // a journal of this ROM: it can be rolled back
    DoesNotFit,  // damaged, or written for a file of another size or with offsets outside this one
};

struct Inspection {
    State state = State::None;
    Journal journal;      // when it fits
    std::string problem;  // when it does not
};

[[nodiscard]] Inspection Inspect(const std::string& romPath);

// Writes the journal's bytes back into the ROM, flushes it and removes the journal. Empty on success; on
// failure the journal stays, so the rollback can be tried again.
[[nodiscard]] std::string Restore(const std::string& romPath, const Journal& journal,
                                  const ByteWriter& writeByte = WriteRomByte);

// Removes the journal, keeping the ROM as it is. Empty on success.
[[nodiscard]] std::string Discard(const std::string& romPath);

}  // namespace RomJournal
