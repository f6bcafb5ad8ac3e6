#pragma once

// What every editor test file takes in, so that each one includes only the editor headers it exercises.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "RomBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "rom/RomOpener.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using testsupport::Applied;
using testsupport::Differences;
using testsupport::EditsAsShown;
using testsupport::QuietWriter;
using testsupport::ReadFileBytes;
using testsupport::RomFiles;
using testsupport::TempDir;
using testsupport::WriteFileBytes;
using testsupport::WriteRomFiles;

// Test names of parameterised tables: the case's name.
inline constexpr auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

// The builder's ROM written to a folder of its own and opened for real, with the shipped Data.ini or with one
// holding the given section, so that the tables come from the opening's checks.
struct OpenedRom {
    TempDir dir;
    Bytes bytes;
    EditorSession session;
    explicit OpenedRom(const RomBuilder& rom, const std::string& section = {}) : bytes(rom.bytes()) {
        const std::string ini = section.empty() ? VORNHAL_DATA_DIR "/Data.ini" : dir.File("Data.ini");
        EXPECT_TRUE(WriteFileBytes(dir.File("game.gba"), bytes) &&
                    (section.empty() || testsupport::WriteTestIni(ini, {section})));
        const OpenRomResult opened = OpenRomFile(dir.File("game.gba"), ini);
        EXPECT_TRUE(opened.session) << opened.error;
        if (opened.session) session = *opened.session;
    }
};
