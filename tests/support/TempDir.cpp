#include "TempDir.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace testsupport {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    // The random part keeps concurrent test executables apart, the counter the folders of one process.
    std::random_device device;
    std::error_code error;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto name = "vornhal-test-" + std::to_string(device()) + "-" + std::to_string(counter++);
        const auto path = std::filesystem::temp_directory_path() / name;
        if (std::filesystem::create_directory(path, error)) path_ = path;
    }
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code error;
    // Files a test made read-only must not keep the folder alive.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary | std::ios::trunc) << bytes;
    return File(name);
}

std::string FileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testsupport
