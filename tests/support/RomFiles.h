#pragma once

#include <string>
#include <vector>

#include "EditorSession.h"
#include "RomBuilder.h"
#include "TempDir.h"

namespace testsupport {

struct RomFiles {
    std::string rom;        // the written ROM
    std::string ini;        // a Data.ini holding [Main] and the builder's section
    EditorSession session;  // what opening the ROM gives
    bool written = false;
};

// Writes the builder's ROM as romName and a Data.ini beside it with the builder's section and any extra ones.
[[nodiscard]] RomFiles WriteRomFiles(const TempDir& dir, const RomBuilder& builder,
                                     const std::string& romName = "game.gba",
                                     const std::vector<std::string>& extraSections = {});

}  // namespace testsupport
