#pragma once

#include <string>

namespace testsupport {

// Makes a file impossible to open for writing, even for root (which ignores permission bits): the file is
// made read-only and, where the file system allows it, immutable. The destructor undoes both so the
// temporary folder can be removed. Check active() before relying on it.
class Unwritable {
public:
    explicit Unwritable(std::string path);
    ~Unwritable();
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;

    [[nodiscard]] bool active() const { return active_; }

private:
    std::string path_;
    bool immutable_ = false;
    bool active_ = false;
};

}  // namespace testsupport
