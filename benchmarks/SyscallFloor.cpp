#include "SyscallFloor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "EditorSession.h"

namespace SyscallFloor {

bool Read(const std::string& path, const std::vector<Access>& reads) {
    std::array<unsigned char, 64> buffer{};
    const char* name = path.c_str();
    for (const Access& read : reads) {
        if (read.count < 0 || static_cast<size_t>(read.count) > buffer.size()) return false;
        const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const ssize_t got = ::pread(fd, buffer.data(), static_cast<size_t>(read.count), read.offset);
        ::close(fd);
        if (got != read.count) return false;
    }
    return true;
}

bool Read(const std::string& path, const std::vector<Opening>& openings) {
    std::array<unsigned char, kLargestRead> buffer{};
    const char* name = path.c_str();
    for (const Opening& opening : openings) {
        const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        bool ok = true;
        if (opening.sized) {
            struct stat info {};
            ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        }
        for (const Access& read : opening.reads) {
            if (!ok || read.count < 0 || static_cast<size_t>(read.count) > buffer.size()) {
                ok = false;
                break;
            }
            ok = ::pread(fd, buffer.data(), static_cast<size_t>(read.count), read.offset) == read.count;
        }
        ::close(fd);
        if (!ok) return false;
    }
    return true;
}

bool Write(const std::string& path, const std::vector<Access>& writes) {
    const char* name = path.c_str();
    for (const Access& write : writes) {
        const int fd = ::open(name, O_WRONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const ssize_t put = ::pwrite(fd, &write.byte, 1, write.offset);
        ::close(fd);
        if (put != 1) return false;
    }
    return true;
}

std::vector<Opening> OneEach(const std::vector<Access>& reads) {
    std::vector<Opening> openings;
    for (const Access& read : reads) openings.push_back({false, {read}});
    return openings;
}

std::vector<Access> NameListReads(int32_t nameOffset) {
    std::vector<Access> reads;
    for (int32_t i = 0; i < Species::kCount; ++i)
        reads.push_back({int64_t{nameOffset} + int64_t{Species::kNameSize} * i, Species::kNameSize, 0});
    return reads;
}

std::vector<Access> AttackTableReads(int64_t start, int32_t rows) {
    std::vector<Access> reads;
    for (int32_t k = 0; k <= rows; ++k) reads.push_back({start + 2 * int64_t{k}, 2, 0});
    return reads;
}

}  // namespace SyscallFloor
