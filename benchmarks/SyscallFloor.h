#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What an operation cannot do with less: per access, one open, one pread or pwrite and one close of the ROM
// file, called directly. An operation's time over the time of its floor is what the editor adds.
namespace SyscallFloor {

struct Access {
    int64_t offset = 0;
    int32_t count = 0;       // bytes read; a write is always one byte
    unsigned char byte = 0;  // the byte a write puts back
};

// False when a call fails, so a benchmark never times a floor that skipped its work.
[[nodiscard]] bool Read(const std::string& path, const std::vector<Access>& reads);
[[nodiscard]] bool Write(const std::string& path, const std::vector<Access>& writes);

// The reads of a name list: 412 entries of 11 bytes.
[[nodiscard]] std::vector<Access> NameListReads(int32_t nameOffset);
// The reads of one attack table of rows entries and its terminator, two bytes each.
[[nodiscard]] std::vector<Access> AttackTableReads(int64_t start, int32_t rows);

}  // namespace SyscallFloor
