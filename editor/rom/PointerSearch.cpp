#include "rom/PointerSearch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "FileDescriptor.h"

namespace PointerSearch {
namespace {

constexpr int kBlockWords = 64;

uint32_t WordIn(const uint8_t* bytes, int64_t k) {
    uint32_t word = 0;
    std::memcpy(&word, bytes + 4 * k, 4);
    return word;
}

bool ReadPiece(int fd, uint8_t* into, int64_t length, int64_t at) {
    for (int64_t done = 0; done < length;) {
        const ssize_t got =
            ::pread(fd, into + done, static_cast<size_t>(length - done), static_cast<off_t>(at + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += got;
    }
    return true;
}

}  // namespace

// Whole blocks are counted first without a branch, which the compiler turns into vector compares; only a
// block with a match is looked at again word by word.
void FindWordsIn(const uint8_t* bytes, int64_t size, uint32_t stored, int64_t base,
                 std::vector<int64_t>& found) {
    const int64_t to = size / 4;
    int64_t k = 0;
    for (; k + kBlockWords <= to; k += kBlockWords) {
        unsigned matches = 0;
        for (int j = 0; j < kBlockWords; ++j) matches += WordIn(bytes, k + j) == stored;
        if (matches == 0) continue;
        for (int j = 0; j < kBlockWords; ++j) {
            if (WordIn(bytes, k + j) == stored) found.push_back(base + 4 * (k + j));
        }
    }
    for (; k < to; ++k) {
        if (WordIn(bytes, k) == stored) found.push_back(base + 4 * k);
    }
}

uint32_t StoredPointerTo(int64_t target) {
    const uint32_t pointer = PointerTo(target);
    uint8_t stored[4];
    for (int k = 0; k < 4; ++k) stored[k] = static_cast<uint8_t>(pointer >> (8 * k));
    uint32_t word = 0;
    std::memcpy(&word, stored, 4);
    return word;
}

std::optional<std::vector<int64_t>> FindPointersTo(const std::string& romPath, int64_t target) {
    FileDescriptor file = FileDescriptor::Open(romPath, O_RDONLY);
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    const uint32_t wanted = StoredPointerTo(target);
    std::vector<int64_t> found;
    const int64_t words = static_cast<int64_t>(info.st_size) / 4 * 4;
    // Left uninitialized: every byte the scan looks at is first put there by a read, so clearing 1 MiB on
    // each search was work thrown away.
    const auto piece =
        std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(std::min(kPiece, words)));
    for (int64_t start = 0; start < words; start += kPiece) {
        const int64_t length = std::min(kPiece, words - start);
        if (!ReadPiece(file.get(), piece.get(), length, start)) return std::nullopt;
        FindWordsIn(piece.get(), length, wanted, start, found);
    }
    return found;
}

}  // namespace PointerSearch
