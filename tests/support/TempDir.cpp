#include "TempDir.h"

#include <atomic>
#include <chrono>
#include <random>
#include <system_error>

namespace testsupport {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    // Several test executables may run at once: a random part keeps them apart, the counter keeps the
    // folders of one process apart.
    std::random_device device;
    const auto clock = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            "vornhal-test-" + std::to_string(device() ^ clock) + "-" + std::to_string(counter.fetch_add(1));
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error)) {
            path_ = base / name;
            return;
        }
    }
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code error;
    // Files a test made read-only must not keep the folder alive.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
    }
    std::filesystem::remove_all(path_, error);
}

std::string TempDir::File(const std::string& name) const {
    return (path_ / name).string();
}

}  // namespace testsupport
