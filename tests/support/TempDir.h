#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh folder of its own for each test, so tests can run side by side; removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Writes the bytes as the folder's file of that name (replacing it) and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// The whole file as it is stored; empty when it cannot be read.
[[nodiscard]] std::string FileContents(const std::string& path);

}  // namespace testsupport
