#include "BenchRom.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <system_error>

#include "CharTable.h"
#include "HexFunctions.h"
#include "RomBuilder.h"
#include "rom/RomPointer.h"
#include "species/AttackTable.h"
#include "species/SpeciesRecord.h"

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

SpeciesEdits ShownSpeciesEdits(const BenchRom& rom) {
    const EditorSession& s = rom.session;
    const int32_t i = BenchRom::kShownSpecies;
    const SpeciesValues v = ReadSpecies(s, i);
    SpeciesEdits e;
    e.name = CharTable::DecodeName(
        HexFunctions::ReadHexBytes(s.RomPath, Species::NameEntry(s, i), Species::kNameSize));
    e.hp = v.hp, e.attack = v.attack, e.defense = v.defense, e.speed = v.speed;
    e.spAttack = v.spAttack, e.spDefense = v.spDefense;
    e.baseXp = v.baseXp, e.catchRate = v.catchRate, e.safari = v.safari;
    e.evHp = v.ev.hp, e.evAttack = v.ev.attack, e.evDefense = v.ev.defense, e.evSpeed = v.ev.speed;
    e.evSpAttack = v.ev.spAttack, e.evSpDefense = v.ev.spDefense;
    e.type1 = v.type1, e.type2 = v.type2, e.item1 = v.item1, e.item2 = v.item2;
    e.gender = v.gender, e.steps = v.steps, e.eggType1 = v.eggType1, e.eggType2 = v.eggType2;
    e.ability1 = v.ability1, e.ability2 = v.ability2, e.iconPalette = v.iconPalette;
    e.sprite = RomPointer::ParseTarget(v.sprite).value_or(0);
    e.backSprite = RomPointer::ParseTarget(v.backSprite).value_or(0);
    e.palette = RomPointer::ParseTarget(v.palette).value_or(0);
    e.shinyPalette = RomPointer::ParseTarget(v.shinyPalette).value_or(0);
    e.icon = RomPointer::ParseTarget(v.icon).value_or(0);
    e.attackTable = RomPointer::ParseTarget(v.attackTable).value_or(0);
    e.rows = LoadAttackTable(s.RomPath, e.attackTable);
    return e;
}

std::optional<ExpandedRom> WriteExpandedRom(const BenchFolder& folder) {
    RomLayout layout = FireRedLayout();
    layout.size = 0x2000000;
    RomBuilder builder(layout);
    // The used space is copies of the builder's compressed pictures and icons, which hold FF bytes mostly
    // one at a time, as a ROM's data does.
    std::vector<uint8_t>& bytes = builder.bytes();
    const auto pictures = bytes.begin() + layout.freeSpace + 0x4000;
    const std::vector<uint8_t> data(pictures, pictures + 0xD0000);
    const size_t end = bytes.size() - ExpandedRom::kLastRun;
    for (size_t at = static_cast<size_t>(layout.FreeSpaceKey); at < end; at += data.size())
        std::copy_n(data.begin(), std::min(data.size(), end - at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at));
    ExpandedRom rom;
    rom.path = folder.File("expanded.gba");
    if (!builder.WriteTo(rom.path)) return std::nullopt;
    rom.session = builder.Session(rom.path);
    return rom;
}

std::optional<std::string> WriteDemoRom(const BenchFolder& folder) {
    const std::string path = folder.File("demo.gba");
    if (!RomBuilder(DemoLayout()).WriteTo(path)) return std::nullopt;
    return path;
}
