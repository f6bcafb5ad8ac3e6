#include "Unwritable.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {
namespace {

bool SetImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) ::close(fd);
    return done;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder is writable when a file can be made in it.
bool Writable(const std::string& path) {
    if (IsFolder(path)) {
        const std::string probe = path + "/.writable-probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
    return fd >= 0;
}

}  // namespace

Unwritable::Unwritable(std::string path) : path_(std::move(path)) {
    folder_ = IsFolder(path_);
    ::chmod(path_.c_str(), folder_ ? 0555 : 0444);
    if (Writable(path_)) immutable_ = SetImmutable(path_, true);
    active_ = !Writable(path_);
}

Unwritable::~Unwritable() {
    if (immutable_) SetImmutable(path_, false);
    ::chmod(path_.c_str(), folder_ ? 0755 : 0644);
}

bool BecomeNobody() {
    constexpr uid_t kNobody = 65534;
    const bool changed = ::geteuid() != 0 ||
                         (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
    // A process that changed its user is no longer dumpable, which hides /proc/self from the sanitizer.
    ::prctl(PR_SET_DUMPABLE, 1);
    return changed;
}

std::optional<std::string> RunInChild(const std::function<bool()>& setup,
                                      const std::function<std::string()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!setup()) ::_exit(4);
        const std::string text = work();
        ::_exit(::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 3);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; child > 0 && (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

}  // namespace testsupport
