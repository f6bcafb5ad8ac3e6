#pragma once

#include <functional>
#include <optional>
#include <string>

namespace testsupport {

// Makes a file (or a folder: no file can be made in it) unwritable while it lives, for root too (immutable
// where allowed); check active().
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
    bool folder_ = false;
    bool active_ = false;
};

// Makes the process the user nobody when it runs as root (who ignores permission bits); for RunInChild.
[[nodiscard]] bool BecomeNobody();

// What work gives in a forked child after setup there (a user change, a limit); nothing if either failed.
[[nodiscard]] std::optional<std::string> RunInChild(const std::function<bool()>& setup,
                                                    const std::function<std::string()>& work);

}  // namespace testsupport
