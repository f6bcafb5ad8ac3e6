#include "TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace testsupport {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    // A folder opens as a stream whose size reads as huge, and a FIFO would block.
    if (!std::filesystem::is_regular_file(path)) return {};
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> bytes(in ? static_cast<size_t>(in.tellg()) : 0);
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return {};
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool WriteTestIni(const std::string& path, const std::vector<std::string>& sections) {
    std::string text = "[Main]\r\nShowSave=1\r\n";
    for (const std::string& section : sections) text += "\r\n" + section;
    return WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string WithIniKey(const std::string& text, const std::string& key, const std::string& value,
                       bool remove) {
    const std::string line = remove ? "" : key + "=" + value + "\r\n";
    const size_t at = text.find("\r\n" + key + "=");
    if (at == std::string::npos) return text + line;
    const size_t end = text.find("\r\n", at + 2);
    return text.substr(0, at + 2) + line + (end == std::string::npos ? "" : text.substr(end + 2));
}

std::vector<int64_t> ChangedOffsets(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    std::vector<int64_t> offsets;
    for (size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
        if (i >= before.size() || i >= after.size() || before[i] != after[i])
            offsets.push_back(static_cast<int64_t>(i));
    }
    return offsets;
}

std::string Differences(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual) {
    if (expected == actual) return "";
    const std::vector<int64_t> offsets = ChangedOffsets(expected, actual);
    std::string text = std::to_string(offsets.size()) + " differences (-1: beyond the end):";
    for (size_t i = 0; i < offsets.size() && i < 16; ++i) {
        const auto at = static_cast<size_t>(offsets[i]);
        char line[64];
        std::snprintf(line, sizeof line, " 0x%zX: %d -> %d,", at, at < expected.size() ? expected[at] : -1,
                      at < actual.size() ? actual[at] : -1);
        text += line;
    }
    return text;
}

RomFiles WriteRomFiles(const TempDir& dir, const RomBuilder& builder) {
    RomFiles files{dir.File("game.gba"), dir.File("Data.ini"), builder.Session(dir.File("game.gba"))};
    files.written = builder.WriteTo(files.rom) && WriteTestIni(files.ini, {builder.IniSection()});
    return files;
}

RomWriter QuietWriter(const EditorSession& session) {
    RomWriter writer(session);
    writer.SetBackupsEnabled(false);
    return writer;
}

}  // namespace testsupport
