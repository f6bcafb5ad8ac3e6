#pragma once

#include <ostream>
#include <string>
#include <vector>

// What the program needs from where it runs.
struct CliEnvironment {
    std::string dataFolder;    // Data/ as the window finds it
    std::string settingsCopy;  // the per-user copy of [Main] that is read before Data.ini
};

inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;  // the reason on err; nothing was written
inline constexpr int kExitUsage = 2;

// Runs one command line (without the program's own name): results on out, messages and progress on err.
[[nodiscard]] int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         const CliEnvironment& environment);
