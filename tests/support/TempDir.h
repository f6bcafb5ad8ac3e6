#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh, empty folder under the system's temporary folder, removed with everything in it when the object
// goes out of scope. Tests that write ROMs and INI files each get their own, so they can run side by side.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // The path of name inside the folder, as the editor's functions take it.
    [[nodiscard]] std::string File(const std::string& name) const;

private:
    std::filesystem::path path_;
};

}  // namespace testsupport
