#include "rom/RomOpener.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "ReadINI.h"
#include "rom/RomNameTables.h"
#include "rom/SectionValues.h"
#include "rom/SpeciesTables.h"

namespace {

using HexFunctions::ByteAt;

constexpr int64_t kPointerBase = 0x08000000;
constexpr int64_t kPointerLimit = 0x09FFFFFF;
// A table passes when at least this share of its entries looks right; a few odd entries (placeholders left
// by the game's makers, or a hack that has moved one species' data) must not lock the ROM out.
constexpr int kPassPercent = 95;

const std::array<const char*, 7> kOffsetKeys = {"NameOffset", "DataOffset",  "ImageOffset", "PaletteOffset",
                                                "IconOffset", "IconPalette", "AttackTable"};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The game code can hold any bytes; a message shows the printable ones and "?" for the rest.
std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    return shown;
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// ReadIniValue cannot tell a missing section from a missing key, so a section counts as present when it
// holds any key this editor reads.
bool SectionPresent(const std::string& iniPath, const std::string& section) {
    for (const char* key : kOffsetKeys) {
        if (!ReadINI::ReadIniValue(iniPath, section, key).empty()) return true;
    }
    return !ReadINI::ReadIniValue(iniPath, section, "Title").empty() ||
           !ReadINI::ReadIniValue(iniPath, section, "IconPaletteTable").empty() ||
           !ReadINI::ReadIniValue(iniPath, section, kSameAsKey).empty();
}

struct TableCheck {
    const char* description;
    int64_t start;  // offset of the entry of species 0
    int64_t stride;
};

// Counts the entries of species 1 to 411 that hold a pointer into the file. Species 0 is left out: the
// games keep a placeholder there.
int PointerEntriesThatFit(const std::string& romPath, int64_t fileSize, const TableCheck& table) {
    const int64_t first = table.start + table.stride;
    const int64_t length = table.stride * (Species::kCount - 1);
    if (table.start < 0 || first + length > fileSize) return 0;
    // Bytes, not hex digits: every write checks these tables again, and spelling some 12 KiB out as digits
    // only to parse them back cost more than the reads did.
    const std::optional<std::vector<uint8_t>> read = HexFunctions::ReadBytes(romPath, first, length);
    if (!read) return 0;
    const std::vector<uint8_t>& bytes = *read;
    int fitting = 0;
    for (int entry = 0; entry < Species::kCount - 1; ++entry) {
        const size_t at = static_cast<size_t>(entry * table.stride);
        const int64_t value = static_cast<int64_t>(bytes[at]) | (static_cast<int64_t>(bytes[at + 1]) << 8) |
                              (static_cast<int64_t>(bytes[at + 2]) << 16) |
                              (static_cast<int64_t>(bytes[at + 3]) << 24);
        if (value >= kPointerBase && value <= kPointerLimit && value - kPointerBase < fileSize) ++fitting;
    }
    return fitting;
}

// Counts the name entries of species 1 to 411 that end within their 11 bytes.
int NameEntriesThatFit(const std::string& romPath, int64_t fileSize, int64_t nameOffset) {
    const int64_t first = nameOffset + Species::kNameSize;
    const int64_t length = static_cast<int64_t>(Species::kNameSize) * (Species::kCount - 1);
    if (first + length > fileSize) return 0;
    const std::optional<std::vector<uint8_t>> read = HexFunctions::ReadBytes(romPath, first, length);
    if (!read) return 0;
    const std::vector<uint8_t>& bytes = *read;
    int fitting = 0;
    for (int entry = 0; entry < Species::kCount - 1; ++entry) {
        for (int k = 0; k < Species::kNameSize; ++k) {
            if (bytes[static_cast<size_t>(entry * Species::kNameSize + k)] == 0xFF) {
                ++fitting;
                break;
            }
        }
    }
    return fitting;
}

bool EnoughFit(int fitting) {
    return 100 * fitting >= kPassPercent * (Species::kCount - 1);
}

OpenRomResult Refused(std::string message) {
    OpenRomResult result;
    result.error = std::move(message);
    return result;
}

}  // namespace

std::string WindowCaption(const EditorSession& session) {
    return "Vornhal - [" + UpperAscii(session.GameCode) + "] - " + session.Title;
}

std::string StructureProblem(const EditorSession& session) {
    const std::string mismatch = "The file " + Quoted(session.RomPath) +
                                 " does not have the layout that section [" + Printable(session.Section) +
                                 "] of Data.ini describes: its ";
    const std::string advice =
        ". The ROM may be another release of the game or have a modified layout; nothing was changed.";
    const int namesFitting = NameEntriesThatFit(session.RomPath, session.FileSize, session.NameOffset);
    if (!EnoughFit(namesFitting)) {
        return mismatch + "species name table at " + HexOffset(session.NameOffset) +
               " does not hold names (" + std::to_string(namesFitting) +
               " of 411 entries end within 11 bytes)" + advice;
    }
    const TableCheck pointerTables[] = {
        {"level-up attack pointer table", session.AttackTable, 4},
        {"front sprite pointer table", session.ImageOffset, 8},
        {"palette pointer table", session.PaletteOffset, 8},
        {"icon pointer table", session.IconOffset, 4},
    };
    for (const TableCheck& table : pointerTables) {
        const int fitting = PointerEntriesThatFit(session.RomPath, session.FileSize, table);
        if (!EnoughFit(fitting)) {
            return mismatch + table.description + " at " + HexOffset(table.start) +
                   " does not hold pointers into the file (" + std::to_string(fitting) +
                   " of 411 entries do)" + advice;
        }
    }
    return {};
}

OpenRomResult OpenRomFile(const std::string& romPath, const std::string& iniPath) {
    const std::string rom = Quoted(romPath);
    std::error_code ignored;
    if (std::filesystem::is_directory(romPath, ignored)) {
        return Refused("The path " + rom + " is a folder, not a ROM file.");
    }
    const std::optional<int64_t> fileSize = HexFunctions::RomFileSize(romPath);
    if (!fileSize) {
        return Refused("The file " + rom +
                       " cannot be opened or read. Check that it exists and that you may read it.");
    }
    if (*fileSize < HexFunctions::kHeaderSize) {
        return Refused("The file " + rom + " is not a GBA ROM: it has only " + std::to_string(*fileSize) +
                       " bytes, fewer than the " + std::to_string(HexFunctions::kHeaderSize) +
                       " bytes of a ROM header.");
    }
    const std::optional<std::string> code = HexFunctions::ReadGameCode(romPath);
    if (!code) return Refused("The game code of the file " + rom + " cannot be read.");
    const int version = ByteAt(HexFunctions::ReadHexBytes(romPath, HexFunctions::kVersionOffset, 1), 0);

    if (!std::filesystem::is_regular_file(iniPath, ignored)) {
        return Refused("The data file " + Quoted(iniPath) + " is missing, so the game of the file " + rom +
                       " cannot be looked up.");
    }

    // A later release moves the tables: its own section comes first, the release 0 section serves when a
    // release has no section of its own (and the structure check below tells when that is wrong).
    const std::string releaseSection = *code + "-" + std::to_string(version);
    std::string section;
    if (version != 0 && SectionPresent(iniPath, releaseSection)) {
        section = releaseSection;
    } else if (SectionPresent(iniPath, *code)) {
        section = *code;
    } else {
        const std::string shownCode = Printable(*code);
        const std::string wanted = version != 0 ? "[" + Printable(releaseSection) + "] or [" + shownCode + "]"
                                                : "[" + shownCode + "]";
        return Refused("The file " + rom + " is not a ROM this editor knows: Data.ini has no section " +
                       wanted + " for its game code " + Quoted(shownCode) + ".");
    }
    const std::string sameAs = ReadINI::ReadIniValue(iniPath, section, kSameAsKey);
    const auto value = [&](const std::string& key) { return SectionValue(iniPath, section, key); };
    std::string shownSection = "[" + UpperAscii(Printable(section)) + "]";
    if (!sameAs.empty()) shownSection += " (sharing the keys of [" + UpperAscii(Printable(sameAs)) + "])";

    EditorSession session;
    session.RomPath = romPath;
    session.GameCode = *code;
    session.Section = UpperAscii(section);
    int32_t* const fields[] = {&session.NameOffset,    &session.DataOffset, &session.ImageOffset,
                               &session.PaletteOffset, &session.IconOffset, &session.IconPalette,
                               &session.AttackTable};
    for (size_t k = 0; k < kOffsetKeys.size(); ++k) {
        const std::string text = value(kOffsetKeys[k]);
        if (text.empty()) {
            return Refused("The file " + rom + " cannot be opened: the section " + shownSection +
                           " of Data.ini has no value for the key " + kOffsetKeys[k] + ".");
        }
        const std::optional<int32_t> offset = ParseIniOffset(text);
        if (!offset) {
            return Refused(
                "The file " + rom + " cannot be opened: the key " + kOffsetKeys[k] + " in section " +
                shownSection + " of Data.ini is " + Quoted(text) +
                ", which is not a whole number from 0 to 2147483647 (decimal, or hexadecimal after &H).");
        }
        *fields[k] = *offset;
    }
    session.Title = value("Title");
    session.IconPaletteTable = ParseIniOffset(value("IconPaletteTable"));
    for (int k = 0; k < RomNames::kListCount; ++k) {
        const RomNames::TableFormat& format = RomNames::Format(static_cast<RomNames::List>(k));
        session.NameTables[k] = {value(format.offsetKey), value(format.countKey)};
    }
    session.FreeSpace = ParseIniOffset(value("FreeSpace"));
    // Checked entry by entry where a front sprite is replaced: a table this editor only writes one entry of
    // must not keep a ROM from opening.
    session.AnimatedImageOffset = ParseIniOffset(value("AnimatedImageOffset"));

    struct Extent {
        const char* description;
        int64_t start;
        int64_t length;
    };
    const Extent extents[] = {
        {"species name table (412 entries of 11 bytes)", session.NameOffset,
         static_cast<int64_t>(Species::kCount) * Species::kNameSize},
        {"species record table (412 records of 28 bytes)", session.DataOffset,
         static_cast<int64_t>(Species::kCount) * Species::kRecordSize},
        {"level-up attack pointer table (412 pointers)", session.AttackTable, 4 * Species::kCount},
        {"front and back sprite pointer tables", session.ImageOffset,
         Species::kBackSpriteDistance + 8 * Species::kCount},
        {"normal and shiny palette pointer tables", session.PaletteOffset,
         Species::kShinyPaletteDistance + 8 * Species::kCount},
        {"icon pointer table (412 pointers)", session.IconOffset, 4 * Species::kCount},
        {"icon palette number table (412 bytes)", session.IconPalette, Species::kCount},
    };
    for (const Extent& extent : extents) {
        if (extent.start + extent.length > *fileSize) {
            return Refused("The file " + rom + " is too short for section " + shownSection +
                           " of Data.ini: its " + extent.description + " at " + HexOffset(extent.start) +
                           " would run beyond the end of the file, which has " + std::to_string(*fileSize) +
                           " bytes.");
        }
    }

    session.Version = version;
    session.FileSize = *fileSize;
    if (std::string problem = StructureProblem(session); !problem.empty()) return Refused(std::move(problem));

    // These parts turn themselves off when they do not fit; they never refuse the ROM.
    session.Tables = CheckSpeciesTables(romPath, *fileSize, iniPath, section);

    OpenRomResult result;
    result.session = std::move(session);
    return result;
}
