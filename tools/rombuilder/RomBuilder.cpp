#include "RomBuilder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

constexpr int kSpeciesCount = 412;
constexpr int kNameSize = 11;
constexpr int kRecordSize = 28;
constexpr uint32_t kRomBase = 0x08000000;

// Header fields of a GBA cartridge image.
constexpr int32_t kTitleOffset = 0xA0;
constexpr int32_t kTitleSize = 12;
constexpr int32_t kCodeOffset = 0xAC;
constexpr int32_t kMakerOffset = 0xB0;
constexpr int32_t kFixedValueOffset = 0xB2;
constexpr int32_t kVersionOffset = 0xBC;
constexpr int32_t kChecksumOffset = 0xBD;
constexpr int32_t kHeaderSize = 0xC0;

// Where the made-up data goes inside the free space: attack tables first, then one slot of graphics
// pointers' targets per species, then the three icon palettes.
constexpr int32_t kGraphicsArea = 0x4000;
constexpr int32_t kGraphicsSlot = 0x100;
constexpr int32_t kIconPaletteArea = kGraphicsArea + kSpeciesCount * kGraphicsSlot + 0x400;
constexpr int kIconPaletteCount = 3;

// SplitMix64: small, fast and the same on every platform, so a variety always gives the same ROM.
class Random {
public:
    explicit Random(uint64_t start) : state_(start) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number from low to high, both included.
    int Between(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
    }
    template <typename T, size_t N>
    T Pick(const T (&choices)[N]) {
        return choices[Next() % N];
    }

private:
    uint64_t state_;
};

Random RandomFor(uint32_t variety, int index, uint32_t purpose) {
    return Random((static_cast<uint64_t>(variety) << 32) ^ (static_cast<uint64_t>(purpose) << 20) ^
                  static_cast<uint64_t>(index));
}

enum Purpose : uint32_t { kNamePurpose = 1, kRecordPurpose, kAttackPurpose, kPalettePurpose };

// The game's character codes for the characters a made-up or test name uses.
uint8_t GameCode(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(0xBB + (c - 'A'));
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(0xD5 + (c - 'a'));
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(0xA1 + (c - '0'));
    switch (c) {
        case '!':
            return 0xAB;
        case '?':
            return 0xAC;
        case '.':
            return 0xAD;
        case '-':
            return 0xAE;
        case '\xB7':
            return 0xAF;
        case '"':
            return 0xB1;
        case '\'':
            return 0xB4;
        case '\x0B':
            return 0xB5;
        case '\x0C':
            return 0xB6;
        case '/':
            return 0xB8;
        case '\xE9':
            return 0x1B;
        default:
            return 0x00;
    }
}

std::string MadeUpName(Random& random) {
    static const char* const kOnsets[] = {"b",  "ch", "d", "f",  "g",  "gr", "k",  "kr", "l", "m", "n", "p",
                                          "pr", "r",  "s", "sh", "sn", "t",  "th", "tr", "v", "z", "zw"};
    static const char* const kVowels[] = {"a", "e", "i", "o", "u", "a", "o", "ee", "oo", "ai", "y"};
    static const char* const kCodas[] = {"", "", "", "n", "r", "s", "l", "x", "m", "k"};
    std::string name;
    const int syllables = random.Between(2, 3);
    for (int s = 0; s < syllables; ++s) {
        std::string syllable = std::string(random.Pick(kOnsets)) + random.Pick(kVowels);
        if (s == syllables - 1) syllable += random.Pick(kCodas);
        if (name.size() + syllable.size() > 10) break;
        name += syllable;
    }
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

std::array<uint8_t, 28> MadeUpRecord(Random& random) {
    static const int kCatchRates[] = {3, 25, 45, 60, 75, 90, 120, 127, 190, 200, 225, 235, 255};
    static const int kGenders[] = {0, 31, 63, 127, 127, 191, 254, 255};
    static const int kSteps[] = {5, 10, 15, 20, 20, 25, 30, 35, 40, 80, 120};
    static const int kFriendship[] = {35, 70, 70, 70, 100, 140};
    static const int kSafari[] = {0, 25, 50, 75, 100, 125, 150};

    std::array<uint8_t, 28> r{};
    for (int stat = 0; stat < 6; ++stat) r[stat] = static_cast<uint8_t>(random.Between(20, 160));
    r[6] = static_cast<uint8_t>(random.Between(0, 17));
    r[7] = random.Between(0, 1) ? r[6] : static_cast<uint8_t>(random.Between(0, 17));
    r[8] = static_cast<uint8_t>(random.Pick(kCatchRates));
    r[9] = static_cast<uint8_t>(random.Between(36, 255));

    // One to three yield points spread over the six 2-bit fields; some words carry bits in 12 to 15, which
    // the editor neither shows nor keeps.
    uint16_t ev = 0;
    for (int point = random.Between(1, 3); point > 0; --point) {
        const int field = random.Between(0, 5);
        const int shift = 2 * field;
        const int yield = std::min(3, ((ev >> shift) & 3) + 1);
        ev = static_cast<uint16_t>((ev & ~(3 << shift)) | (yield << shift));
    }
    if (random.Between(0, 2) == 0) ev = static_cast<uint16_t>(ev | (random.Between(1, 15) << 12));
    r[10] = static_cast<uint8_t>(ev & 0xFF);
    r[11] = static_cast<uint8_t>(ev >> 8);

    // Held items: mostly none, some above 255 so that the high byte is in use.
    for (int slot = 0; slot < 2; ++slot) {
        const int roll = random.Between(0, 9);
        const int item = roll < 6 ? 0 : roll < 8 ? random.Between(1, 255) : random.Between(256, 376);
        r[12 + 2 * slot] = static_cast<uint8_t>(item & 0xFF);
        r[13 + 2 * slot] = static_cast<uint8_t>(item >> 8);
    }
    r[16] = static_cast<uint8_t>(random.Pick(kGenders));
    r[17] = static_cast<uint8_t>(random.Pick(kSteps));
    r[18] = static_cast<uint8_t>(random.Pick(kFriendship));
    r[19] = static_cast<uint8_t>(random.Between(1, 5));
    r[20] = static_cast<uint8_t>(random.Between(1, 15));
    r[21] = random.Between(0, 1) ? r[20] : static_cast<uint8_t>(random.Between(1, 15));
    r[22] = static_cast<uint8_t>(random.Between(1, 76));
    r[23] = random.Between(0, 2) == 0 ? static_cast<uint8_t>(random.Between(1, 76)) : 0;
    r[24] = static_cast<uint8_t>(random.Pick(kSafari));
    r[25] = static_cast<uint8_t>(random.Between(1, 9) | (random.Between(0, 1) << 7));
    r[26] = static_cast<uint8_t>(random.Between(1, 255));
    r[27] = static_cast<uint8_t>(random.Between(1, 255));
    return r;
}

std::vector<LevelUpAttackEntry> MadeUpAttacks(Random& random) {
    std::vector<LevelUpAttackEntry> rows;
    const int count = random.Between(3, 12);
    int level = 1;
    for (int row = 0; row < count; ++row) {
        rows.push_back({random.Between(1, 354), level});
        level += random.Between(1, 8);
    }
    return rows;
}

std::string HeaderTitle(const std::string& title) {
    std::string text;
    for (char c : title) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') text += c;
    }
    return text.substr(0, kTitleSize);
}

std::string HexNumber(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "&H%X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

RomLayout DemoLayout() {
    RomLayout layout;
    layout.gameCode = "VRNH";
    layout.version = 0;
    layout.size = 0x100000;
    layout.NameOffset = 0x10000;
    layout.DataOffset = 0x12000;
    layout.ImageOffset = 0x15000;
    layout.PaletteOffset = 0x18000;
    layout.IconOffset = 0x1A000;
    layout.IconPalette = 0x1A800;
    layout.AttackTable = 0x1AA00;
    layout.IconPaletteTable = 0x1B100;
    layout.freeSpace = 0x20000;
    layout.title = "Demo (generated)";
    return layout;
}

RomLayout FireRedLayout() {
    RomLayout layout;
    layout.gameCode = "BPRE";
    layout.version = 0;
    layout.size = 0x1000000;
    layout.NameOffset = 0x245EE0;
    layout.DataOffset = 0x254784;
    layout.ImageOffset = 0x2350AC;
    layout.PaletteOffset = 0x23730C;
    layout.IconOffset = 0x3D37A0;
    layout.IconPalette = 0x3D3E80;
    layout.AttackTable = 0x25D7B4;
    layout.IconPaletteTable = 0x3D4038;
    layout.freeSpace = 0x800000;
    layout.title = "Pokemon FireRed (U)";
    return layout;
}

RomBuilder::RomBuilder(RomLayout layout, uint32_t variety)
    : layout_(std::move(layout)), bytes_(static_cast<size_t>(std::max(layout_.size, kHeaderSize)), 0xFF) {
    // Header: a branch over the header as the entry point, the title, the codes, the release and the
    // complement check that the console verifies.
    std::fill(bytes_.begin(), bytes_.begin() + kHeaderSize, 0x00);
    Fill(0, {0x2E, 0x00, 0x00, 0xEA});
    const std::string title = HeaderTitle(layout_.title);
    Fill(kTitleOffset, std::vector<uint8_t>(title.begin(), title.end()));
    std::string code = (layout_.gameCode + "    ").substr(0, 4);
    Fill(kCodeOffset, std::vector<uint8_t>(code.begin(), code.end()));
    Fill(kMakerOffset, {'0', '1'});
    bytes_[kFixedValueOffset] = 0x96;
    bytes_[kVersionOffset] = layout_.version;
    uint8_t check = 0;
    for (int32_t i = kTitleOffset; i < kChecksumOffset; ++i) check = static_cast<uint8_t>(check - bytes_[i]);
    bytes_[kChecksumOffset] = static_cast<uint8_t>(check - 0x19);

    for (int i = 0; i < kSpeciesCount; ++i) {
        Random nameRandom = RandomFor(variety, i, kNamePurpose);
        SetName(i, i == 0 ? std::string(10, '?') : MadeUpName(nameRandom));
        Random recordRandom = RandomFor(variety, i, kRecordPurpose);
        SetRecord(i, MadeUpRecord(recordRandom));
    }

    int32_t cursor = layout_.freeSpace;
    for (int i = 0; i < kSpeciesCount; ++i) {
        Random attackRandom = RandomFor(variety, i, kAttackPurpose);
        const std::vector<LevelUpAttackEntry> rows = MadeUpAttacks(attackRandom);
        SetAttackTable(i, cursor, rows);
        cursor += 2 * static_cast<int32_t>(rows.size()) + 2;
        cursor = (cursor + 3) & ~3;

        const int32_t slot = layout_.freeSpace + kGraphicsArea + kGraphicsSlot * i;
        // Sprite entries carry the data size and a tag after the pointer, palette entries a tag, as in the
        // games; the editor reads only the pointers.
        const auto low = [](int value) { return static_cast<uint8_t>(value & 0xFF); };
        const auto high = [](int value) { return static_cast<uint8_t>((value >> 8) & 0xFF); };
        const int32_t front = layout_.ImageOffset + 8 * i;
        const int32_t back = layout_.ImageOffset + Species::kBackSpriteDistance + 8 * i;
        const int32_t palette = layout_.PaletteOffset + 8 * i;
        const int32_t shiny = layout_.PaletteOffset + Species::kShinyPaletteDistance + 8 * i;
        SetPointer(front, slot);
        Fill(front + 4, {0x00, 0x08, low(i), high(i)});
        SetPointer(back, slot + 0x40);
        Fill(back + 4, {0x00, 0x08, low(i), high(i)});
        SetPointer(palette, slot + 0x80);
        Fill(palette + 4, {low(i), high(i), 0x00, 0x00});
        SetPointer(shiny, slot + 0xA0);
        Fill(shiny + 4, {low(i + 500), high(i + 500), 0x00, 0x00});
        SetPointer(layout_.IconOffset + 4 * i, slot + 0xC0);
        Fill(layout_.IconPalette + i, {static_cast<uint8_t>(i % kIconPaletteCount)});
    }

    if (layout_.IconPaletteTable != 0) {
        for (int p = 0; p < kIconPaletteCount; ++p) {
            const int32_t palette = layout_.freeSpace + kIconPaletteArea + 32 * p;
            Random colours = RandomFor(variety, p, kPalettePurpose);
            std::vector<uint8_t> data;
            for (int colour = 0; colour < 16; ++colour) {
                const int bgr555 = colour == 0 ? 0 : colours.Between(0, 0x7FFF);
                data.push_back(static_cast<uint8_t>(bgr555 & 0xFF));
                data.push_back(static_cast<uint8_t>(bgr555 >> 8));
            }
            Fill(palette, data);
            const int32_t entry = layout_.IconPaletteTable + 8 * p;
            SetPointer(entry, palette);
            const int tag = 0xDAC0 + p;
            Fill(entry + 4, {static_cast<uint8_t>(tag & 0xFF), static_cast<uint8_t>(tag >> 8), 0, 0});
        }
    }
}

void RomBuilder::SetName(int index, const std::string& name) {
    std::vector<uint8_t> entry(kNameSize, 0x00);
    const size_t length = std::min(name.size(), static_cast<size_t>(kNameSize));
    for (size_t k = 0; k < length; ++k) entry[k] = GameCode(name[k]);
    if (length < static_cast<size_t>(kNameSize)) entry[length] = 0xFF;
    Fill(layout_.NameOffset + kNameSize * index, entry);
}

void RomBuilder::SetRecord(int index, const std::array<uint8_t, 28>& record) {
    Fill(layout_.DataOffset + kRecordSize * index, std::vector<uint8_t>(record.begin(), record.end()));
}

std::array<uint8_t, 28> RomBuilder::Record(int index) const {
    std::array<uint8_t, 28> record{};
    const int64_t base = static_cast<int64_t>(layout_.DataOffset) + kRecordSize * index;
    for (int k = 0; k < kRecordSize; ++k) {
        const int64_t at = base + k;
        if (at >= 0 && at < static_cast<int64_t>(bytes_.size())) record[k] = bytes_[static_cast<size_t>(at)];
    }
    return record;
}

void RomBuilder::SetPointer(int32_t entryOffset, int32_t target) {
    const uint32_t value = kRomBase + static_cast<uint32_t>(target);
    Fill(entryOffset, {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
                       static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>(value >> 24)});
}

void RomBuilder::SetAttackTable(int index, int32_t offset, const std::vector<LevelUpAttackEntry>& rows) {
    std::vector<uint8_t> data;
    for (const LevelUpAttackEntry& row : rows) {
        const int value = row.level * 512 + row.attack;
        data.push_back(static_cast<uint8_t>(value & 0xFF));
        data.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    }
    data.push_back(0xFF);
    data.push_back(0xFF);
    Fill(offset, data);
    SetPointer(layout_.AttackTable + 4 * index, offset);
}

void RomBuilder::Fill(int32_t offset, const std::vector<uint8_t>& data) {
    // Bytes that would fall outside the image are dropped, as they would be on a cartridge of that size.
    for (size_t k = 0; k < data.size(); ++k) {
        const int64_t at = static_cast<int64_t>(offset) + static_cast<int64_t>(k);
        if (at >= 0 && at < static_cast<int64_t>(bytes_.size())) bytes_[static_cast<size_t>(at)] = data[k];
    }
}

EditorSession RomBuilder::Session(const std::string& path) const {
    EditorSession session;
    session.RomPath = path;
    session.NameOffset = layout_.NameOffset;
    session.DataOffset = layout_.DataOffset;
    session.ImageOffset = layout_.ImageOffset;
    session.PaletteOffset = layout_.PaletteOffset;
    session.IconOffset = layout_.IconOffset;
    session.IconPalette = layout_.IconPalette;
    session.AttackTable = layout_.AttackTable;
    if (layout_.IconPaletteTable != 0) session.IconPaletteTable = layout_.IconPaletteTable;
    session.GameCode = layout_.gameCode;
    session.Section = SectionName();
    session.Title = layout_.title;
    return session;
}

std::string RomBuilder::SectionName() const {
    if (layout_.version == 0) return layout_.gameCode;
    return layout_.gameCode + "-" + std::to_string(layout_.version);
}

std::string RomBuilder::IniSection() const {
    std::string text = "[" + SectionName() + "]\r\n";
    auto key = [&text](const char* name, int32_t value) {
        text += std::string(name) + "=" + HexNumber(value) + "\r\n";
    };
    key("NameOffset", layout_.NameOffset);
    key("DataOffset", layout_.DataOffset);
    key("ImageOffset", layout_.ImageOffset);
    key("PaletteOffset", layout_.PaletteOffset);
    key("IconOffset", layout_.IconOffset);
    key("IconPalette", layout_.IconPalette);
    key("AttackTable", layout_.AttackTable);
    if (layout_.IconPaletteTable != 0) key("IconPaletteTable", layout_.IconPaletteTable);
    text += "Title=" + layout_.title + "\r\n";
    return text;
}

bool RomBuilder::WriteTo(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    out.close();
    return static_cast<bool>(out);
}
