#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "species/SpeciesSave.h"

// A private folder under the system's temporary folder with a copy of the shipped Data folder, so that a
// window's settings never touch the project's Data.ini; removed with everything in it at the end.
class BenchFolder {
public:
    BenchFolder();
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    [[nodiscard]] bool valid() const { return !path_.empty(); }
    [[nodiscard]] std::string File(const std::string& name) const { return (path_ / name).string(); }
    [[nodiscard]] std::string DataFolder() const { return (path_ / "Data").string(); }

private:
    std::filesystem::path path_;
};

// One attack table of the fixture: rows entries, then the FF FF terminator.
struct BenchTable {
    int32_t offset = 0;
    int32_t rows = 0;
};

// The 16 MiB FireRed-layout ROM everything is measured on. Species kShownSpecies points at the first table,
// so showing it loads 20 rows; the other tables are there for the attack table loads.
struct BenchRom {
    static constexpr int32_t kShownSpecies = 1;
    std::string path;
    EditorSession session;
    std::vector<BenchTable> tables;  // 20, 2,000 and 200,000 rows
};

[[nodiscard]] std::optional<BenchRom> WriteFireRedRom(const BenchFolder& folder);
// The edits of the shown species exactly as it is stored, so that a save of them leaves the file as it was.
[[nodiscard]] SpeciesEdits ShownSpeciesEdits(const BenchRom& rom);

// A 32 MiB ROM of the FireRed layout whose free space is taken up by data, up to a last run of 64 KiB at the
// end: a search of free space for a table reads nearly all of it.
struct ExpandedRom {
    static constexpr int64_t kLastRun = 0x10000;
    std::string path;
    EditorSession session;
};
[[nodiscard]] std::optional<ExpandedRom> WriteExpandedRom(const BenchFolder& folder);
// The 1 MiB demo ROM as ./run writes it.
[[nodiscard]] std::optional<std::string> WriteDemoRom(const BenchFolder& folder);
