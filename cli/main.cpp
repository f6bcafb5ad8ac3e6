#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "CliCommands.h"

namespace {

namespace fs = std::filesystem;

// As the window finds Data/: beside the executable (a build folder, a copy unpacked anywhere), else in the
// installed share folder reached from the executable's folder; without either, the one beside it is named.
std::string DataFolder(const char* argv0) {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) executable = fs::absolute(argv0, error);
    const fs::path beside = executable.parent_path() / "Data";
    const fs::path installed = (executable.parent_path() / VORNHAL_INSTALLED_DATA).lexically_normal();
    return (fs::exists(beside, error) || !fs::exists(installed, error) ? beside : installed).string();
}

// The per-user copy of Data.ini's [Main] that the window keeps its settings in where Data.ini cannot be
// written: Vornhal's folder in the user's configuration folder.
std::string SettingsCopy() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') return std::string(config) + "/Vornhal/Data.ini";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/Vornhal/Data.ini";
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, std::cout, std::cerr, {DataFolder(argv[0]), SettingsCopy()});
}
