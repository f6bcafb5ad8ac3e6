#include "rom/RomOpener.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "ReadINI.h"
#include "rom/GameFamily.h"
#include "rom/RomNameTables.h"
#include "rom/SectionValues.h"
#include "rom/SpeciesTables.h"
#include "rom/TableLocator.h"
#include "rom/TableShapes.h"

namespace {

using HexFunctions::ByteAt;

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

// Bytes, not hex digits: every write checks these tables again, and spelling some 12 KiB out as digits only
// to parse them back cost more than the reads did. Nothing when the table does not lie inside the file.
std::optional<std::vector<uint8_t>> TableBytes(const EditorSession& session, int64_t start, int64_t length) {
    if (start < 0 || start + length > session.FileSize) return std::nullopt;
    return HexFunctions::ReadBytes(session.RomPath, start, length);
}

int PointerEntriesThatFit(const EditorSession& session, const TableCheck& table) {
    const auto bytes = TableBytes(session, table.start, table.stride * Species::kCount);
    return bytes ? TableShapes::PointerEntriesInFile(bytes->data(), static_cast<int>(table.stride),
                                                     session.FileSize)
                 : 0;
}

struct NameCounts {
    int ending = 0;  // entries that end within their 11 bytes
    int named = 0;   // entries that are not empty
    // The same for entries of 6 bytes, as the Japanese releases keep their names of up to five characters.
    int endingInSix = 0;
    int namedInSix = 0;
};

NameCounts CountNames(const EditorSession& session) {
    const auto bytes = TableBytes(session, session.NameOffset, int64_t{Species::kNameSize} * Species::kCount);
    if (!bytes) return {};
    NameCounts counts{TableShapes::NameEntriesThatEnd(bytes->data()),
                      TableShapes::NamedEntries(bytes->data())};
    constexpr int kShortEntry = 6;
    for (int species = 1; species < Species::kCount; ++species) {
        const uint8_t* entry = bytes->data() + kShortEntry * species;
        counts.endingInSix += std::find(entry, entry + kShortEntry, 0xFF) != entry + kShortEntry;
        counts.namedInSix += entry[0] != 0xFF;
    }
    return counts;
}

bool EnoughFit(int fitting) {
    return TableShapes::EnoughFit(fitting, Species::kCount - 1);
}

// Why a table that a search found two places for has none; empty otherwise (or when the section lacks it).
std::string NotFound(const LocatedTables& located, const char* key) {
    const LocatedTable* table = located.Find(key);
    return table ? table->NotFound() : std::string();
}

// A searched release whose found offsets the user kept in its settings file opens without asking again.
bool SettingsPlaceSpeciesTables(const std::string& romPath) {
    const std::string settings = RomSettingsPath(romPath);
    return std::all_of(kOffsetKeys.begin(), kOffsetKeys.end(), [&settings](const char* key) {
        return ParseIniOffset(ReadINI::ReadIniValue(settings, kRomSettingsSection, key)).has_value();
    });
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
    const auto [namesEnding, named, endingInSix, namedInSix] = CountNames(session);
    // Read 11 bytes at a time, such a table still looks like names that end in time; where its entries end
    // tells it apart.
    if (EnoughFit(endingInSix) && 2 * namedInSix >= Species::kCount - 1) {
        return "The file " + Quoted(session.RomPath) + " cannot be opened: its species names at " +
               HexOffset(session.NameOffset) +
               " are kept in entries of 6 bytes, as the Japanese releases keep them, and this editor reads "
               "the 11-byte names of the other releases. Nothing was changed.";
    }
    if (!EnoughFit(namesEnding)) {
        return mismatch + "species name table at " + HexOffset(session.NameOffset) +
               " does not hold names (" + std::to_string(namesEnding) +
               " of 411 entries end within 11 bytes)" + advice;
    }
    if (2 * named < Species::kCount - 1) {
        return mismatch + "species name table at " + HexOffset(session.NameOffset) +
               " does not hold names (" + std::to_string(411 - named) + " of 411 entries are empty)" + advice;
    }
    const TableCheck pointerTables[] = {
        {"level-up attack pointer table", session.AttackTable, 4},
        {"front sprite pointer table", session.ImageOffset, 8},
        {"palette pointer table", session.PaletteOffset, 8},
        {"icon pointer table", session.IconOffset, 4},
    };
    for (const TableCheck& table : pointerTables) {
        const int fitting = PointerEntriesThatFit(session, table);
        if (!EnoughFit(fitting)) {
            return mismatch + table.description + " at " + HexOffset(table.start) +
                   " does not hold pointers into the file (" + std::to_string(fitting) +
                   " of 411 entries do)" + advice;
        }
    }
    return {};
}

OpenRomResult OpenRomFile(const std::string& romPath, const std::string& iniPath, UnknownRelease unknown) {
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
    const GameFamily* family = FamilyOf(*code);
    GameSection::Source source = GameSection::Source::Described;
    if (version != 0 && SectionPresent(iniPath, releaseSection)) {
        section = releaseSection;
    } else if (SectionPresent(iniPath, *code)) {
        section = *code;
    } else if (family && (unknown == UnknownRelease::Search || SettingsPlaceSpeciesTables(romPath))) {
        section = family->section;
        source = GameSection::Source::Searched;
    } else if (family) {
        OpenRomResult offer =
            Refused("The game code " + Printable(*code) + " is not in Data.ini. It looks like a release of " +
                    family->name + ". Search the ROM for its tables?");
        offer.searchOffered = true;
        return offer;
    } else {
        const std::string shownCode = Printable(*code);
        const std::string wanted = version != 0 ? "[" + Printable(releaseSection) + "] or [" + shownCode + "]"
                                                : "[" + shownCode + "]";
        return Refused("The file " + rom + " is not a ROM this editor knows: Data.ini has no section " +
                       wanted + " for its game code " + Quoted(shownCode) + ".");
    }
    const std::string sameAs = ReadINI::ReadIniValue(iniPath, section, kSameAsKey);
    const GameSection keys(iniPath, section, romPath, source);
    const auto value = [&keys](const std::string& key) { return keys.Value(key); };
    std::string shownSection = "[" + UpperAscii(Printable(section)) + "]";
    if (!sameAs.empty()) shownSection += " (sharing the keys of [" + UpperAscii(Printable(sameAs)) + "])";

    EditorSession session;
    session.RomPath = romPath;
    session.GameCode = *code;
    session.Section = UpperAscii(section);
    session.Located = LocateTables(romPath, *fileSize, keys);
    int32_t* const fields[] = {&session.NameOffset,    &session.DataOffset, &session.ImageOffset,
                               &session.PaletteOffset, &session.IconOffset, &session.IconPalette,
                               &session.AttackTable};
    for (size_t k = 0; k < kOffsetKeys.size(); ++k) {
        if (const std::optional<int32_t> found = session.Located.Offset(kOffsetKeys[k])) {
            *fields[k] = *found;
            continue;
        }
        if (const std::string notFound = NotFound(session.Located, kOffsetKeys[k]); !notFound.empty()) {
            return Refused("The file " + rom + " cannot be opened. " + notFound +
                           " If you know where they are, give their offset as " + kOffsetKeys[k] +
                           "= in section [" + kRomSettingsSection + "] of the ROM's settings file " +
                           Quoted(keys.SettingsName()) + " beside it.");
        }
        const std::string text = value(kOffsetKeys[k]);
        if (text.empty()) {
            return Refused("The file " + rom + " cannot be opened: the section " + shownSection +
                           " of Data.ini has no value for the key " + kOffsetKeys[k] + ".");
        }
        const std::string where = keys.InSettings(kOffsetKeys[k])
                                      ? "the ROM's settings file " + Quoted(keys.SettingsName())
                                      : "section " + shownSection + " of Data.ini";
        return Refused(
            "The file " + rom + " cannot be opened: the key " + kOffsetKeys[k] + " in " + where + " is " +
            Quoted(text) +
            ", which is not a whole number from 0 to 2147483647 (decimal, or hexadecimal after &H).");
    }
    for (const char* key : {"BackImageOffset", "ShinyPaletteOffset"}) {
        if (const std::string notFound = NotFound(session.Located, key); !notFound.empty())
            return Refused("The file " + rom + " cannot be opened. " + notFound);
    }
    session.BackImageOffset = session.Located.Offset("BackImageOffset")
                                  .value_or(session.ImageOffset + TableShapes::kBackSpriteDistance);
    session.ShinyPaletteOffset = session.Located.Offset("ShinyPaletteOffset")
                                     .value_or(session.PaletteOffset + TableShapes::kShinyPaletteDistance);
    session.FoundBySearch = keys.Searched();
    session.Title = keys.Searched() ? Printable(*code) + " (tables found by search)" : value("Title");
    // An unknown value keeps English: the quotes then show as English ones, and the codes stay as they are.
    session.TextLanguage = GameText::LanguageNamed(value("Language")).value_or(GameText::Language::English);
    session.IconPaletteTable = session.Located.Offset("IconPaletteTable");
    for (int k = 0; k < RomNames::kListCount; ++k) {
        const RomNames::TableFormat& format = RomNames::Format(static_cast<RomNames::List>(k));
        const std::optional<int32_t> found = session.Located.Offset(format.offsetKey);
        session.NameTables[k] = {found ? std::to_string(*found) : value(format.offsetKey),
                                 value(format.countKey)};
    }
    session.FreeSpace = ParseIniOffset(value("FreeSpace"));
    // Checked entry by entry where a front sprite is replaced: a table this editor only writes one entry of
    // must not keep a ROM from opening.
    session.AnimatedImageOffset = session.Located.Offset("AnimatedImageOffset");

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
        {"front sprite pointer table (412 entries of 8 bytes)", session.ImageOffset, 8 * Species::kCount},
        {"back sprite pointer table (412 entries of 8 bytes)", session.BackImageOffset, 8 * Species::kCount},
        {"palette pointer table (412 entries of 8 bytes)", session.PaletteOffset, 8 * Species::kCount},
        {"shiny palette pointer table (412 entries of 8 bytes)", session.ShinyPaletteOffset,
         8 * Species::kCount},
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
    session.Tables = CheckSpeciesTables(romPath, *fileSize, keys, session.Located);

    OpenRomResult result;
    result.session = std::move(session);
    return result;
}
