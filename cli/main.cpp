#include <filesystem>
#include <iostream>
#include <system_error>

#include "CliCommands.h"

namespace {

// The window finds Data/ beside its executable; so does this program, wherever it is started from.
std::string DataFolderBeside(const char* argv0) {
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) executable = std::filesystem::absolute(argv0, error);
    return (executable.parent_path() / "Data").string();
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, std::cout, std::cerr, {DataFolderBeside(argv[0])});
}
