// Opening arbitrary bytes as a ROM and showing it, as the main window does: OpenRomFile, then the name list,
// a few species with their attack tables and pictures. Nothing may crash, hang, read without bound or write
// to the file.
//
// Random bytes almost never pass the opener's structure checks, so most inputs build a ROM instead: a file
// filled with pointers that pass every table check, offsets from the input placed so the tables mostly fit,
// and then the input's byte patches on top. The first input byte chooses; with its low bit set the input
// after the offsets is the ROM as it is. A built ROM with a picture may put it above 16 MiB, behind pointers
// whose fourth byte is 09, as ROMs expanded to 32 MiB have them; the file then has a hole up to there.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "HexFunctions.h"
#include "pictures/SpritePictures.h"
#include "rom/RomNameTables.h"
#include "rom/RomOpener.h"
#include "rom/RomPointer.h"
#include "rom/TableShapes.h"
#include "species/AttackTable.h"
#include "species/SpeciesRecord.h"
#include "text/NameList.h"

namespace {

using fuzz::Require;

// One folder per process, so parallel fuzzing jobs keep apart; the same two paths serve every input.
class ScratchFiles {
public:
    ScratchFiles() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vornhal-fuzz-rom-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        folder_ = pattern;
    }
    ~ScratchFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string Rom() const { return folder_ + "/game.gba"; }
    std::string Ini() const { return folder_ + "/Data.ini"; }

private:
    std::string folder_;
};

const ScratchFiles& Files() {
    static const ScratchFiles files;
    return files;
}

struct Case {
    std::string rom;
    std::string ini;
    // Bytes far beyond the rest, with zeros in between that the file system keeps as a hole.
    int64_t highOffset = 0;
    std::string high;
};

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.good()) std::abort();
}

void WriteRom(const std::string& path, const Case& c) {
    WriteFile(path, c.rom);
    if (c.high.empty()) return;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::pwrite(fd, c.high.data(), c.high.size(), static_cast<off_t>(c.highOffset)) !=
                      static_cast<ssize_t>(c.high.size()))
        std::abort();
    ::close(fd);
}

// The file is still the one written: compared a chunk at a time, the hole against zeros, so 16 MiB of it
// are read but never held.
bool Unchanged(const std::string& path, const Case& c) {
    const auto romSize = static_cast<int64_t>(c.rom.size());
    const int64_t end = c.high.empty() ? romSize : c.highOffset + static_cast<int64_t>(c.high.size());
    static const std::string zeros(1 << 20, '\0');
    std::string chunk(zeros.size(), '\0');
    std::ifstream file(path, std::ios::binary);
    for (int64_t at = 0; at < end;) {
        // Up to the next change of kind: the ROM's bytes, the hole or the high bytes.
        const int64_t next = at < romSize ? romSize : at < c.highOffset ? c.highOffset : end;
        const auto length =
            static_cast<size_t>(std::min<int64_t>(next - at, static_cast<int64_t>(chunk.size())));
        if (!file.read(chunk.data(), static_cast<std::streamsize>(length))) return false;
        const char* expected = at < romSize        ? c.rom.data() + at
                               : at < c.highOffset ? zeros.data()
                                                   : c.high.data() + (at - c.highOffset);
        if (std::memcmp(chunk.data(), expected, length) != 0) return false;
        at += static_cast<int64_t>(length);
    }
    return file.peek() == std::ifstream::traits_type::eof();
}

constexpr const char* kKeys[] = {"NameOffset", "DataOffset",  "ImageOffset", "PaletteOffset",
                                 "IconOffset", "IconPalette", "AttackTable"};
constexpr int kKeyCount = 7;

// The bytes each table takes from its offset on, in the order of kKeys.
constexpr int64_t kExtents[kKeyCount] = {
    int64_t{Species::kCount} * Species::kNameSize,
    int64_t{Species::kCount} * Species::kRecordSize,
    TableShapes::kBackSpriteDistance + 8 * int64_t{Species::kCount},
    TableShapes::kShinyPaletteDistance + 8 * int64_t{Species::kCount},
    4 * int64_t{Species::kCount},
    int64_t{Species::kCount},
    4 * int64_t{Species::kCount},
};

// The largest table: a smaller file is refused before any table is read.
constexpr int64_t kSmallestFit = int64_t{Species::kCount} * Species::kRecordSize;

// Keeps the rows of an attack table loaded here small; real tables hold a few dozen.
constexpr int32_t kMaxRows = 64;

std::string OffsetText(int64_t offset, uint8_t style) {
    char text[32];
    switch (style % 4) {
        case 0:
            std::snprintf(text, sizeof text, "%lld", static_cast<long long>(offset));
            break;
        case 1:
            std::snprintf(text, sizeof text, "&H%llX", static_cast<long long>(offset));
            break;
        case 2:
            std::snprintf(text, sizeof text, "&h%llx", static_cast<long long>(offset));
            break;
        default:
            std::snprintf(text, sizeof text, " \t%lld ", static_cast<long long>(offset));
            break;
    }
    return text;
}

// The section naming the game of the ROM, as the opener looks it up: the release section when asked for and
// the release byte is not 0, else the code's.
std::string SectionFor(const std::string& rom, bool releaseSection) {
    if (rom.size() < static_cast<size_t>(HexFunctions::kGameCodeOffset + 4)) return "NONE";
    const std::string code = rom.substr(HexFunctions::kGameCodeOffset, 4);
    const int release = rom.size() > static_cast<size_t>(HexFunctions::kVersionOffset)
                            ? static_cast<unsigned char>(rom[HexFunctions::kVersionOffset])
                            : 0;
    return releaseSection && release != 0 ? code + "-" + std::to_string(release) : code;
}

std::string IniText(const std::string& section, const int64_t (&offsets)[kKeyCount], uint8_t style,
                    uint8_t dropped, const std::string& title) {
    std::string ini = "[Main]\r\nShowSave=1\r\n\r\n[" + section + "]\r\n";
    for (int k = 0; k < kKeyCount; ++k) {
        if (dropped & (1 << k)) continue;
        ini += std::string(kKeys[k]) + "=" + OffsetText(offsets[k], style) + "\r\n";
    }
    if (style & 4) ini += "IconPaletteTable=" + OffsetText(offsets[0], style) + "\r\n";
    ini += "Title=" + title + "\r\n";
    // A German section in one style of two: its texts' quotes are the German ones.
    if (style & 64) ini += "Language=de\r\n";
    // In one style of four, references for every table: words of the file that point where its pointers
    // lead, so the opening weighs a place other than the offsets against each table's shape.
    if ((style & 3) == 3) {
        int k = 0;
        for (const TableShapes::Shape& shape : TableShapes::All())
            ini += std::string(shape.refKey) + "=" + OffsetText(offsets[k++ % kKeyCount] & ~int64_t{3}, 1) +
                   "\r\n";
    }
    // Names tables over the other tables, which hold names or pointers; the item count from 0 up.
    if (style & 8) {
        for (int k = 0; k < RomNames::kListCount; ++k) {
            const RomNames::TableFormat& format = RomNames::Format(static_cast<RomNames::List>(k));
            ini += std::string(format.offsetKey) + "=" + OffsetText(offsets[k], style) + "\r\n";
        }
        ini += "ItemCount=" + std::to_string((style >> 4) * 40) + "\r\n";
    }
    return ini;
}

Case RawCase(fuzz::ByteReader& input, uint8_t flags) {
    int64_t offsets[kKeyCount];
    for (int64_t& offset : offsets) offset = input.Word();
    const uint8_t style = input.Byte();
    Case c;
    c.rom = input.Rest();
    c.ini = IniText(SectionFor(c.rom, flags & 2), offsets, style, 0, "Raw");
    return c;
}

// LZ77 data that unpacks to a whole sprite frame: eight literal bytes, then copies of 18 bytes from 8 back
// until 2048 bytes are out. Placed where every pointer of a built ROM leads, it gives the preview a picture.
std::string PackedPicture(const std::string& literals) {
    std::string packed = {'\x10', '\x00', '\x08', '\x00', '\x00'};
    packed += literals;
    packed.resize(packed.size() + 8 - literals.size(), '\x11');
    constexpr int kCopies = (2048 - 8 + 17) / 18;
    for (int copy = 0; copy < kCopies; ++copy) {
        if (copy % 8 == 0) packed += '\xFF';
        packed += "\xF0\x07";
    }
    return packed;
}

Case BuiltCase(fuzz::ByteReader& input, uint8_t flags) {
    const uint8_t sizeByte = input.Byte();
    const int64_t tablesSize = kSmallestFit + int64_t{sizeByte} * 128;
    // Every four bytes a pointer FF hh 00 08, to 0x0800hhFF inside the file: each 11-byte name entry meets an
    // FF, and every table starting on a multiple of 4 holds pointers into the file. With a picture, the
    // pointers lead past the tables instead, to the picture in 512 more bytes at the end; an odd size byte
    // puts it 16 MiB further, behind pointers FF hh 00 09.
    const bool picture = flags & 128;
    const bool upper = picture && (sizeByte & 1);
    const int64_t target = picture ? (upper ? RomPointer::kUpperHalf : 0) + (tablesSize | 0xFF)
                                   : (input.Byte() % (tablesSize >> 8)) << 8 | 0xFF;
    const int64_t size = upper ? tablesSize : picture ? target + 512 : tablesSize;
    std::string rom(static_cast<size_t>(size), '\0');
    for (size_t i = 0; i < rom.size(); i += 4) {
        rom[i] = '\xFF';
        rom[i + 1] = static_cast<char>(target >> 8);
        rom[i + 3] = upper ? '\x09' : '\x08';
    }
    Case c;
    if (picture) {
        std::string packed = PackedPicture(input.Text(8));
        if (upper) {
            packed.resize(512, '\0');
            c.highOffset = target;
            c.high = packed;
        } else {
            rom.replace(static_cast<size_t>(target), packed.size(), packed);
        }
    }

    // Mostly inside the file, some just beyond its end; unaligned ones fail the pointer checks.
    int64_t offsets[kKeyCount];
    for (int k = 0; k < kKeyCount; ++k) {
        offsets[k] = input.Word() % (tablesSize - kExtents[k] + 64);
        if (!(flags & 4)) offsets[k] &= ~int64_t{3};
    }

    std::string code = "VFZ";
    code += static_cast<char>('A' + input.Byte() % 26);
    if (flags & 8) {
        code = input.Text(4);
        code.resize(4, 'X');
    }
    rom.replace(HexFunctions::kGameCodeOffset, 4, code);
    rom[HexFunctions::kVersionOffset] = static_cast<char>(flags & 16 ? input.Byte() : 0);

    const uint8_t style = input.Byte();
    const uint8_t dropped = flags & 32 ? input.Byte() : 0;
    const std::string title = input.Text(input.Byte() % 24);

    // The rest: patches of one byte each, anywhere in the file.
    while (input.Left() >= 3) {
        const uint16_t at = input.Word();
        rom[static_cast<size_t>(at % size)] = static_cast<char>(input.Byte());
    }

    c.rom = rom;
    c.ini = IniText(SectionFor(rom, flags & 2), offsets, style, dropped, title);
    if (flags & 64) c.ini += "\r\n[" + code + "]\r\nTitle=Base section\r\n";
    return c;
}

bool IsUpperHex(const std::string& text, size_t digits) {
    if (text.size() != digits) return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

bool IsByte(int value) {
    return value >= 0 && value <= 255;
}

void CheckPicture(const Picture& picture, int side) {
    if (!picture.ok()) {
        Require(!picture.problem.empty(), "a picture that cannot be shown says why");
        return;
    }
    Require(picture.width == side && picture.height == side &&
                picture.argb.size() == static_cast<size_t>(side) * static_cast<size_t>(side),
            "a picture has its size");
}

// As the preview does: the four sprite views and the icon, from the pointers the species shows.
void ShowPictures(const EditorSession& session, const SpeciesValues& v) {
    const std::optional<int32_t> sprite = RomPointer::ParseTarget(v.sprite),
                                 back = RomPointer::ParseTarget(v.backSprite),
                                 palette = RomPointer::ParseTarget(v.palette),
                                 shiny = RomPointer::ParseTarget(v.shinyPalette),
                                 icon = RomPointer::ParseTarget(v.icon);
    Require(sprite && back && palette && shiny && icon, "shown pointers are offsets");
    for (const int32_t tiles : {*sprite, *back}) {
        for (const int32_t colours : {*palette, *shiny}) {
            CheckPicture(SpritePictures::ReadSprite(session.RomPath, tiles, colours),
                         SpritePictures::kSpriteSize);
        }
    }
    CheckPicture(SpritePictures::ReadIcon(session.RomPath, *icon, v.iconPalette, session.IconPaletteTable),
                 SpritePictures::kIconSize);
}

void ShowSpecies(const EditorSession& session, int32_t index) {
    const SpeciesValues v = ReadSpecies(session, index);
    for (const int byte : {v.hp, v.attack, v.defense, v.speed, v.spAttack, v.spDefense, v.type1, v.type2,
                           v.catchRate, v.baseXp, v.gender, v.steps, v.eggType1, v.eggType2, v.ability1,
                           v.ability2, v.safari, v.iconPalette}) {
        Require(IsByte(byte), "record fields are bytes");
    }
    Require(v.item1 >= 0 && v.item1 <= 0xFFFF && v.item2 >= 0 && v.item2 <= 0xFFFF, "items are 16 bits");
    for (const int yield : {v.ev.hp, v.ev.attack, v.ev.defense, v.ev.speed, v.ev.spAttack, v.ev.spDefense}) {
        Require(yield >= 0 && yield <= 3, "yields are 0 to 3");
    }
    for (const std::string* pointer :
         {&v.attackTable, &v.sprite, &v.backSprite, &v.palette, &v.shinyPalette, &v.icon}) {
        Require(IsUpperHex(*pointer, 6) || (IsUpperHex(*pointer, 7) && (*pointer)[0] == '1'),
                "pointers show as six digits, or seven from 1000000 on");
    }

    // As the window does: the pointer text is the table's offset.
    const std::optional<int32_t> start = RomPointer::ParseTarget(v.attackTable);
    Require(start.has_value(), "a shown pointer is an offset");
    const std::vector<LevelUpAttackEntry> rows = LoadAttackTable(session.RomPath, *start, kMaxRows);
    Require(rows.size() <= static_cast<size_t>(kMaxRows), "an attack table load stops at its bound");
    for (const LevelUpAttackEntry& row : rows) {
        Require(row.attack >= 0 && row.attack < 512 && row.level >= 0 && row.level < 128,
                "rows are 9 + 7 bits");
        Require(DecodeAttackEntry(EncodeAttackEntry(row.attack, row.level)) == row,
                "rows encode to themselves");
    }
    ShowPictures(session, v);
}

void Show(const EditorSession& session, int64_t fileSize, int32_t extra) {
    const int32_t starts[] = {session.NameOffset,    session.DataOffset, session.ImageOffset,
                              session.PaletteOffset, session.IconOffset, session.IconPalette,
                              session.AttackTable};
    for (int k = 0; k < kKeyCount; ++k) {
        Require(starts[k] >= 0 && starts[k] + kExtents[k] <= fileSize, "an opened ROM holds all its tables");
    }
    (void)WindowCaption(session);
    const std::vector<std::string> names = LoadNameList(session);
    Require(names.size() == static_cast<size_t>(Species::kCount), "the list names every species");
    (void)NameListText(names);
    const RomNames::Names lists = RomNames::ReadNames(session, true);
    for (int k = 0; k < RomNames::kListCount; ++k) {
        const RomNames::ListNames& list = lists.lists[k];
        Require(list.FromRom() != list.names.empty(), "a list has the ROM's names or says why it has none");
    }
    (void)RomNames::SourceText(lists);
    for (const int32_t index : {0, 1, Species::kCount - 1, extra}) {
        ShowSpecies(session, index);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader input(data, size);
    const uint8_t flags = input.Byte();
    const Case c = flags & 1 ? RawCase(input, flags) : BuiltCase(input, flags);

    const ScratchFiles& files = Files();
    WriteRom(files.Rom(), c);
    WriteFile(files.Ini(), c.ini);

    OpenRomResult opened = OpenRomFile(files.Rom(), files.Ini());
    // A code of a known game without a section is searched, as the window does when the user agrees.
    if (opened.searchOffered) opened = OpenRomFile(files.Rom(), files.Ini(), UnknownRelease::Search);
    Require(opened.session.has_value() == opened.error.empty(),
            "a ROM is either opened or refused with a reason");
    if (opened.session) {
        // The last two input bytes choose one more species to show.
        const int32_t extra = size >= 2 ? (data[size - 2] | data[size - 1] << 8) % Species::kCount : 0;
        Show(*opened.session, std::filesystem::file_size(files.Rom()), extra);
    }
    Require(Unchanged(files.Rom(), c), "opening and showing leave the ROM as it was");
    return 0;
}
