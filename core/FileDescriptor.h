#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

// A file opened for one operation: every ROM access opens, transfers and closes, and this closes the
// descriptor on every return path.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }

    // O_NONBLOCK keeps a FIFO given as the ROM path from blocking the open; regular files ignore it.
    [[nodiscard]] static FileDescriptor Open(const std::string& path, int mode) {
        int fd;
        do {
            // A file made here (a journal, a backup) gets read and write permission as the umask allows.
            fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NONBLOCK, 0666);
        } while (fd < 0 && errno == EINTR);
        return FileDescriptor(fd);
    }

private:
    int fd_;
};
