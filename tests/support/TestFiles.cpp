#include "TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace testsupport {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    // A folder opens as a stream whose size reads as huge.
    if (!std::filesystem::is_regular_file(path)) return {};
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    const std::streamoff size = in.tellg();
    if (size <= 0) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return {};
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool WriteTestIni(const std::string& path, const std::vector<std::string>& sections) {
    std::string text = "[Main]\r\nShowSave=1\r\n";
    for (const std::string& section : sections) text += "\r\n" + section;
    return WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string WithIniKey(const std::string& section, const std::string& key, const std::string& value,
                       bool remove) {
    std::string result;
    bool replaced = false;
    size_t start = 0;
    while (start < section.size()) {
        size_t end = section.find("\r\n", start);
        end = end == std::string::npos ? section.size() : end + 2;
        const std::string line = section.substr(start, end - start);
        if (!replaced && line.rfind(key + "=", 0) == 0) {
            replaced = true;
            if (!remove) result += key + "=" + value + "\r\n";
        } else {
            result += line;
        }
        start = end;
    }
    if (!replaced && !remove) result += key + "=" + value + "\r\n";
    return result;
}

std::vector<ByteChange> ChangedBytes(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    std::vector<ByteChange> changes;
    const size_t length = std::max(before.size(), after.size());
    for (size_t i = 0; i < length; ++i) {
        const int b = i < before.size() ? before[i] : -1;
        const int a = i < after.size() ? after[i] : -1;
        if (a != b) changes.push_back({static_cast<int64_t>(i), b, a});
    }
    return changes;
}

std::vector<int64_t> ChangedOffsets(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    std::vector<int64_t> offsets;
    for (const ByteChange& change : ChangedBytes(before, after)) offsets.push_back(change.offset);
    return offsets;
}

std::string DescribeChanges(const std::vector<ByteChange>& changes, size_t maxShown) {
    auto byteText = [](int value) {
        if (value < 0) return std::string("--");
        char digits[8];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(value & 0xFF));
        return std::string(digits);
    };
    std::string text;
    for (size_t i = 0; i < changes.size() && i < maxShown; ++i) {
        char offset[24];
        std::snprintf(offset, sizeof offset, "0x%llX", static_cast<unsigned long long>(changes[i].offset));
        if (!text.empty()) text += ", ";
        text +=
            std::string(offset) + ": " + byteText(changes[i].before) + " -> " + byteText(changes[i].after);
    }
    if (changes.size() > maxShown) text += ", ... (" + std::to_string(changes.size()) + " in all)";
    if (changes.empty()) text = "no changes";
    return text;
}

}  // namespace testsupport
