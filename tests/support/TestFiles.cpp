#include "TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "species/SpeciesRecord.h"
#include "text/NameList.h"

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

std::vector<uint8_t> Applied(std::vector<uint8_t> bytes, const std::vector<PlannedByte>& plan) {
    for (const PlannedByte& b : plan) bytes.at(static_cast<size_t>(b.offset)) = b.value;
    return bytes;
}

RomLayout ExpandedWithoutFreeSpaceKey() {
    RomLayout layout = ExpandedLayout();
    layout.FreeSpaceKey = 0;
    return layout;
}

SpeciesEdits EditsAsShown(const EditorSession& session, int index) {
    const SpeciesValues v = ReadSpecies(session, index);
    SpeciesEdits e;
    e.name = LoadNameList(session)[index];
    e.hp = v.hp, e.attack = v.attack, e.defense = v.defense, e.speed = v.speed, e.spAttack = v.spAttack;
    e.spDefense = v.spDefense, e.baseXp = v.baseXp, e.catchRate = v.catchRate, e.safari = v.safari;
    e.evHp = v.ev.hp, e.evAttack = v.ev.attack, e.evDefense = v.ev.defense, e.evSpeed = v.ev.speed;
    e.evSpAttack = v.ev.spAttack, e.evSpDefense = v.ev.spDefense, e.type1 = v.type1, e.type2 = v.type2;
    e.item1 = v.item1, e.item2 = v.item2, e.gender = v.gender, e.steps = v.steps, e.eggType1 = v.eggType1;
    e.eggType2 = v.eggType2, e.ability1 = v.ability1, e.ability2 = v.ability2, e.iconPalette = v.iconPalette;
    auto target = [](const std::string& text) { return static_cast<int32_t>(std::stol(text, nullptr, 16)); };
    e.sprite = target(v.sprite), e.backSprite = target(v.backSprite), e.palette = target(v.palette);
    e.shinyPalette = target(v.shinyPalette), e.icon = target(v.icon), e.attackTable = target(v.attackTable);
    const std::vector<uint8_t> bytes = ReadFileBytes(session.RomPath);
    for (auto at = static_cast<size_t>(e.attackTable);
         at + 1 < bytes.size() && (bytes[at] != 0xFF || bytes[at + 1] != 0xFF); at += 2)
        e.rows.push_back({bytes[at] | (bytes[at + 1] & 1) << 8, bytes[at + 1] >> 1});
    return e;
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
