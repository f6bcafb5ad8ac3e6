#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EditorSession;

// What an operation cannot do with less: the open, fstat, pread or pwrite and close calls it makes on the ROM
// file, called directly. An operation's time over the time of its floor is what the editor adds.
namespace SyscallFloor {

struct Access {
    int64_t offset = 0;
    int32_t count = 0;       // bytes read; a write is always one byte
    unsigned char byte = 0;  // the byte a write puts back
};

// One opening of the ROM file: open, fstat when the operation asks for the file's size, a pread per read,
// close.
struct Opening {
    bool sized = false;
    std::vector<Access> reads;
};

// The largest single read a floor makes: the item names table (375 entries of 44 bytes) with room to spare.
inline constexpr int32_t kLargestRead = 65536;

// False when a call fails, so a benchmark never times a floor that skipped its work. The first Read opens
// the file once per access.
[[nodiscard]] bool Read(const std::string& path, const std::vector<Access>& reads);
[[nodiscard]] bool Read(const std::string& path, const std::vector<Opening>& openings);
[[nodiscard]] bool Write(const std::string& path, const std::vector<Access>& writes);

// A write as the editor makes it crash-safe: the journal written to a temporary file, flushed, renamed beside
// the ROM and its folder flushed; the single-byte writes; the ROM flushed; the journal removed and the folder
// flushed. Without sync, the same calls but the four flushes.
[[nodiscard]] bool JournaledWrite(const std::string& path, const std::vector<Access>& writes,
                                  const std::vector<uint8_t>& journal, bool sync = true);

// One opening that reads each span as the editor's searches read them: in pieces that start at 4 KiB and
// double up to 256 KiB within a span, stopping after the piece that reaches stopAt.
[[nodiscard]] bool ReadSpans(const std::string& path, const std::vector<Access>& spans, int64_t stopAt);

// Each access in an opening of its own.
[[nodiscard]] std::vector<Opening> OneEach(const std::vector<Access>& reads);

// The reads of a name list: 412 entries of 11 bytes.
[[nodiscard]] std::vector<Access> NameListReads(int32_t nameOffset);
// The reads of the four names tables of a session: one opening with its fstat, one read per table.
[[nodiscard]] Opening NameTableReads(const EditorSession& session);
// The reads a save makes of the fourth byte of each of the species' six pointers, to know whether it must
// change.
[[nodiscard]] std::vector<Access> FourthByteReads(const EditorSession& session, int32_t species);
// What the one writer reads before it writes: the write check and the file's size (two openings with their
// fstat), the header's game code and release, the structure check's name table and four pointer tables
// (entries 1 to 411), and the bytes the write will change (one read per run of offsets at most 4 KiB apart,
// for the journal). offsets sorted, each once.
[[nodiscard]] std::vector<Opening> WriterReads(const EditorSession& session,
                                               const std::vector<int64_t>& offsets);
// The same for the offsets of a floor's writes.
[[nodiscard]] std::vector<Opening> WriterReads(const EditorSession& session,
                                               const std::vector<Access>& writes);
// The reads of one attack table of rows entries and its terminator, two bytes each.
[[nodiscard]] std::vector<Access> AttackTableReads(int64_t start, int32_t rows);

}  // namespace SyscallFloor
