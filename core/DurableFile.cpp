#include "DurableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileDescriptor.h"

namespace DurableFile {
namespace {

thread_local int lastErrno = 0;

bool Fail() {
    lastErrno = errno;
    return false;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool SyncDescriptor(int fd) {
    int result;
    do {
        result = ::fsync(fd);
    } while (result < 0 && errno == EINTR);
    return result == 0 || Fail();
}

// A new entry in a folder (or a removed one) is durable only once the folder itself is flushed.
bool SyncFolder(const std::string& path) {
    FileDescriptor folder = FileDescriptor::Open(FolderOf(path), O_RDONLY | O_DIRECTORY);
    return (folder.valid() || Fail()) && SyncDescriptor(folder.get());
}

bool WriteAll(int fd, const uint8_t* data, size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return Fail();
        }
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

std::string WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".tmp";
    {
        FileDescriptor file = FileDescriptor::Open(temporary, O_WRONLY | O_CREAT | O_TRUNC);
        if (!file.valid()) return "it cannot be created (" + std::string(std::strerror(errno)) + ")";
        if (!WriteAll(file.get(), bytes.data(), bytes.size()) || !SyncDescriptor(file.get())) {
            const std::string reason = std::strerror(lastErrno);
            ::unlink(temporary.c_str());
            return "it cannot be written (" + reason + ")";
        }
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return "it cannot be put in place (" + reason + ")";
    }
    if (!SyncFolder(path)) return "its folder cannot be flushed (" + LastError() + ")";
    return {};
}

std::optional<std::vector<uint8_t>> ReadWhole(const std::string& path) {
    FileDescriptor file = FileDescriptor::Open(path, O_RDONLY);
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(file.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool Sync(const std::string& path) {
    FileDescriptor file = FileDescriptor::Open(path, O_RDONLY);
    return (file.valid() || Fail()) && SyncDescriptor(file.get());
}

bool Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return Fail();
    return SyncFolder(path);
}

std::string LastError() {
    return std::strerror(lastErrno);
}

}  // namespace DurableFile
