#include "Unwritable.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {
namespace {

bool SetImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

bool Writable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace

Unwritable::Unwritable(std::string path) : path_(std::move(path)) {
    ::chmod(path_.c_str(), 0444);
    if (Writable(path_)) immutable_ = SetImmutable(path_, true);
    active_ = !Writable(path_);
}

Unwritable::~Unwritable() {
    if (immutable_) SetImmutable(path_, false);
    ::chmod(path_.c_str(), 0644);
}

}  // namespace testsupport
