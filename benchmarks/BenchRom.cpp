#include "BenchRom.h"

#include <chrono>
#include <random>
#include <system_error>

#include "RomBuilder.h"

namespace fs = std::filesystem;

BenchFolder::BenchFolder() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return;
    // A benchmark may run beside the tests or another benchmark: a random name keeps their folders apart.
    std::random_device device;
    const auto clock = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path candidate = base / ("vornhal-bench-" + std::to_string(device() ^ clock));
        if (fs::create_directory(candidate, error)) path_ = candidate;
    }
    if (path_.empty()) return;
    fs::copy(VORNHAL_DATA_DIR, path_ / "Data", fs::copy_options::recursive, error);
    if (error) {
        fs::remove_all(path_, error);
        path_.clear();
    }
}

BenchFolder::~BenchFolder() {
    if (path_.empty()) return;
    std::error_code error;
    fs::remove_all(path_, error);
}

namespace {

// Rows that never form the FF FF terminator: levels stay at 100 or below, so the high byte stays below C9.
std::vector<LevelUpAttackEntry> MadeUpRows(int32_t count) {
    std::vector<LevelUpAttackEntry> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) rows.push_back({1 + (k * 37) % 354, 1 + k % 100});
    return rows;
}

}  // namespace

std::optional<BenchRom> WriteFireRedRom(const BenchFolder& folder) {
    RomBuilder builder(FireRedLayout());
    // Far beyond the builder's own tables and graphics, which end a few hundred KiB past its free space.
    const std::vector<BenchTable> tables = {{0x900000, 20}, {0x910000, 2000}, {0xA00000, 200000}};
    for (const BenchTable& table : tables) {
        const std::vector<LevelUpAttackEntry> rows = MadeUpRows(table.rows);
        if (table.rows == 20) {
            builder.SetAttackTable(BenchRom::kShownSpecies, table.offset, rows);
        } else {
            std::vector<uint8_t> bytes;
            for (const LevelUpAttackEntry& row : rows) {
                const int value = row.level * 512 + row.attack;
                bytes.push_back(static_cast<uint8_t>(value & 0xFF));
                bytes.push_back(static_cast<uint8_t>(value >> 8));
            }
            bytes.push_back(0xFF);
            bytes.push_back(0xFF);
            builder.Fill(table.offset, bytes);
        }
    }
    BenchRom rom;
    rom.path = folder.File("firered.gba");
    if (!builder.WriteTo(rom.path)) return std::nullopt;
    rom.session = builder.Session(rom.path);
    rom.tables = tables;
    return rom;
}

std::optional<std::string> WriteDemoRom(const BenchFolder& folder) {
    const std::string path = folder.File("demo.gba");
    if (!RomBuilder(DemoLayout()).WriteTo(path)) return std::nullopt;
    return path;
}
