#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RomBuilder.h"
#include "TempDir.h"
#include "rom/EditorSession.h"
#include "species/SpeciesSave.h"
#include "write/RomWriter.h"
#include "write/WritePlan.h"

namespace testsupport {

// The whole file; empty when it cannot be read or is no regular file.
[[nodiscard]] std::vector<uint8_t> ReadFileBytes(const std::string& path);
[[nodiscard]] bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// A Data.ini as shipped: [Main] with ShowSave=1, then the sections, CR LF line ends.
[[nodiscard]] bool WriteTestIni(const std::string& path, const std::vector<std::string>& sections);
// The INI text with key set to value, or with the key's line dropped.
[[nodiscard]] std::string WithIniKey(const std::string& text, const std::string& key,
                                     const std::string& value, bool remove = false);
// Every position where the two differ, a difference in length included.
[[nodiscard]] std::vector<int64_t> ChangedOffsets(const std::vector<uint8_t>& before,
                                                  const std::vector<uint8_t>& after);
// The first differences for an assertion message ("0x12004: 90 -> 0,"); empty when the bytes agree.
[[nodiscard]] std::string Differences(const std::vector<uint8_t>& expected,
                                      const std::vector<uint8_t>& actual);

// The bytes with the plan applied, as the write path applies it.
[[nodiscard]] std::vector<uint8_t> Applied(std::vector<uint8_t> bytes, const std::vector<PlannedByte>& plan);

// The 32 MiB layout without a FreeSpace key: moves go above 16 MiB, where a pointer's fourth byte changes.
[[nodiscard]] RomLayout ExpandedWithoutFreeSpaceKey();

struct RomFiles {
    std::string rom, ini;   // the ROM and a Data.ini beside it with the builder's section
    EditorSession session;  // what opening the ROM gives
    bool written = false;
};

// Writes the builder's ROM as game.gba and a Data.ini with its section into dir.
[[nodiscard]] RomFiles WriteRomFiles(const TempDir& dir, const RomBuilder& builder);

// A writer for the session that makes no backups, as most tests need none.
[[nodiscard]] RomWriter QuietWriter(const EditorSession& session);

// The edits of an untouched species as the window hands them over (rows decoded here, not by the editor, up
// to FF FF or the end of the file).
[[nodiscard]] SpeciesEdits EditsAsShown(const EditorSession& session, int index);

}  // namespace testsupport
