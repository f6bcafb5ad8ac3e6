#include "write/RomBackups.h"

#include <algorithm>
#include <filesystem>

#include "DurableFile.h"

namespace fs = std::filesystem;

namespace RomBackups {
namespace {

std::string Stamp(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// "NAME-" followed by a stamp (and perhaps "-n" for a second copy in the same second) and the extension.
bool IsBackupOf(const fs::path& rom, const fs::path& candidate) {
    const std::string stem = rom.stem().string() + "-";
    const std::string name = candidate.filename().string();
    if (candidate.extension() != rom.extension() || name.rfind(stem, 0) != 0) return false;
    const std::string stamp = name.substr(stem.size(), 15);
    if (stamp.size() != 15 || stamp[8] != '-') return false;
    for (size_t k = 0; k < stamp.size(); ++k) {
        if (k != 8 && (stamp[k] < '0' || stamp[k] > '9')) return false;
    }
    return true;
}

}  // namespace

std::string FolderFor(const std::string& romPath) {
    return romPath + ".backups";
}

std::vector<std::string> List(const std::string& romPath) {
    std::vector<std::string> backups;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(FolderFor(romPath), error)) {
        if (entry.is_regular_file(error) && IsBackupOf(romPath, entry.path()))
            backups.push_back(entry.path().string());
    }
    // The stamps sort by time; a second copy of the same second ("-2") sorts after the first.
    std::sort(backups.begin(), backups.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return backups;
}

std::string BackUp(const std::string& romPath, std::time_t now, int kept) {
    const fs::path rom(romPath);
    const fs::path folder(FolderFor(romPath));
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return "the folder \"" + folder.string() + "\" cannot be made (" + error.message() + ")";

    const std::optional<std::vector<uint8_t>> bytes = DurableFile::ReadWhole(romPath);
    if (!bytes) return "the ROM \"" + romPath + "\" cannot be read";

    const std::string base = (folder / (rom.stem().string() + "-" + Stamp(now))).string();
    const std::string extension = rom.extension().string();
    std::string target = base + extension;
    for (int copy = 2; fs::exists(fs::symlink_status(target, error)); ++copy)
        target = base + "-" + std::to_string(copy) + extension;
    const std::string problem = DurableFile::WriteWhole(target, *bytes);
    if (!problem.empty()) return "the backup \"" + target + "\" could not be written: " + problem;

    const std::vector<std::string> backups = List(romPath);
    for (size_t k = 0; k + static_cast<size_t>(std::max(kept, 1)) < backups.size(); ++k)
        fs::remove(backups[k], error);  // an old copy left over is no loss
    return {};
}

}  // namespace RomBackups
