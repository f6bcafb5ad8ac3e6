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

// The builder's ROM, changed by prepare, written as game.gba with a Data.ini of its section into a folder of
// its own; the session is the builder's.
struct WrittenRom {
    TempDir dir;
    RomBuilder rom;
    RomFiles files;
    explicit WrittenRom(const RomLayout& layout, const std::function<void(RomBuilder&)>& prepare = {})
        : rom(layout) {
        if (prepare) prepare(rom);
        files = WriteRomFiles(dir, rom);
        EXPECT_TRUE(files.written);
    }
};

// A pointer of the game's to a file offset, low byte first: 08 in its fourth byte, 09 above 16 MiB.
inline void PutPointer(Bytes& bytes, int64_t at, int64_t target) {
    for (int k = 0; k < 4; ++k) bytes.at(size_t(at + k)) = uint8_t((0x08000000 + target) >> (8 * k));
}
inline int64_t PointerTarget(const Bytes& bytes, int64_t at) {
    const auto k = static_cast<size_t>(at);
    return (int64_t{bytes[k] | bytes[k + 1] << 8 | bytes[k + 2] << 16} | int64_t{bytes[k + 3]} << 24) -
           0x08000000;
}

// A plan refused with a reason that holds the piece, and nothing planned.
template <typename Plan>
void ExpectRefused(const Plan& plan, const std::string& piece) {
    EXPECT_FALSE(plan.ok);
    EXPECT_TRUE(plan.bytes.empty());
    EXPECT_NE(plan.error.find(piece), std::string::npos) << plan.error;
}
