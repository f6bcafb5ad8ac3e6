#include "rom/RomNameTables.h"

// POSIX: one opening of the ROM for all tables, its length from fstat, one pread per table.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>

#include "CharTable.h"
#include "FileDescriptor.h"
#include "HexOffset.h"
#include "rom/SectionValues.h"

namespace RomNames {
namespace {

// Names take this share of the entries, as the opening's check of the species names asks; a few odd entries
// (placeholders, a hack's unfinished ones) must not lose the others.
constexpr int kPassPercent = 95;

const std::array<TableFormat, kListCount> kFormats = {{
    {"MoveNames", "MoveCount", "Attacks.txt", "move", 13, 13, 355, 512},
    {"AbilityNames", "AbilityCount", "Abilities.txt", "ability", 13, 13, 78, 256},
    {"TypeNames", "TypeCount", "Types.txt", "type", 7, 7, 18, 256},
    {"ItemTable", "ItemCount", "Items.txt", "item", 44, 14, 0, 65536},
}};

const char* const kPlurals[kListCount] = {"moves", "abilities", "types", "items"};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Where a table lies, or why there is none to read.
struct Table {
    int64_t offset = 0;
    int32_t count = 0;
    std::string problem;
};

Table TableOf(const EditorSession& session, List list) {
    const TableFormat& format = kFormats[list];
    const EditorSession::NameTableKeys& keys = session.NameTables[list];
    const auto key = [&session](const char* name) {
        return std::string(name) + " in section [" + session.Section + "]";
    };
    Table table;
    if (keys.offset.empty()) {
        table.problem = "no key " + key(format.offsetKey);
        return table;
    }
    const std::optional<int32_t> offset = ParseIniOffset(keys.offset);
    if (!offset) {
        table.problem = key(format.offsetKey) + " is " + Quoted(keys.offset) + ", not an offset";
        return table;
    }
    table.offset = *offset;
    if (keys.count.empty()) {
        if (format.defaultCount == 0) table.problem = "no key " + key(format.countKey);
        table.count = format.defaultCount;
        return table;
    }
    const std::optional<int32_t> count = ParseIniOffset(keys.count);
    if (!count || *count < 1 || *count > format.maxCount) {
        table.problem = key(format.countKey) + " is " + Quoted(keys.count) + ", not a count from 1 to " +
                        std::to_string(format.maxCount);
        return table;
    }
    table.count = *count;
    return table;
}

// Reads the whole table into bytes; false when the read fails or the file ends early. The bytes are read
// over, so they need no zeroing first.
bool ReadWhole(int fd, int64_t offset, std::size_t length, std::unique_ptr<unsigned char[]>& bytes) {
    bytes = std::make_unique_for_overwrite<unsigned char[]>(length);
    std::size_t got = 0;
    while (got < length) {
        const ssize_t result = ::pread(fd, bytes.get() + got, length - got,
                                       static_cast<off_t>(offset + static_cast<int64_t>(got)));
        if (result < 0 && errno == EINTR) continue;
        if (result <= 0) return false;
        got += static_cast<std::size_t>(result);
    }
    return true;
}

// The length of the name at entry, or -1 when the entry holds none: empty, or no FF within the width.
int NameLength(const unsigned char* entry, int32_t width) {
    for (int32_t k = 0; k < width; ++k) {
        if (entry[k] == 0xFF) return k == 0 ? -1 : k;
    }
    return -1;
}

// The names of the table, or why it serves none.
ListNames NamesIn(int fd, int64_t fileSize, List list, const Table& table) {
    const TableFormat& format = kFormats[list];
    const int64_t length = int64_t{table.count} * format.entrySize;
    const auto described = [&] {
        return "the " + std::string(format.what) + " names table at " + HexOffset(table.offset) + " (" +
               std::to_string(table.count) + " entries of " + std::to_string(format.entrySize) + " bytes)";
    };
    ListNames names;
    std::unique_ptr<unsigned char[]> bytes;
    if (table.offset + length > fileSize) {
        names.fallback =
            described() + " runs beyond the end of the file (" + std::to_string(fileSize) + " bytes)";
    } else if (!ReadWhole(fd, table.offset, static_cast<std::size_t>(length), bytes)) {
        names.fallback = described() + " cannot be read";
    } else {
        names = NamesInTable(list, bytes.get(), table.count);
        if (!names.FromRom()) names.fallback = described() + " " + names.fallback;
    }
    names.keyed = true;
    return names;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) text += k + 1 == parts.size() ? " and " : ", ";
        text += parts[k];
    }
    return text;
}

}  // namespace

const TableFormat& Format(List list) {
    return kFormats[list];
}

ListNames NamesInTable(List list, const unsigned char* bytes, int32_t count) {
    const TableFormat& format = kFormats[list];
    ListNames names;
    names.keyed = true;
    std::vector<int> lengths(static_cast<std::size_t>(count));
    int fitting = 0;
    for (int32_t i = 0; i < count; ++i) {
        lengths[static_cast<std::size_t>(i)] =
            NameLength(bytes + int64_t{i} * format.entrySize, format.nameWidth);
        if (lengths[static_cast<std::size_t>(i)] >= 0) ++fitting;
    }
    if (100 * int64_t{fitting} < int64_t{kPassPercent} * count) {
        names.fallback = "does not hold names (" + std::to_string(fitting) + " of " + std::to_string(count) +
                         " entries are names ending within " + std::to_string(format.nameWidth) + " bytes)";
        return names;
    }
    names.names.reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        // The few entries that are no names show what their width holds.
        const int length = lengths[static_cast<std::size_t>(i)];
        names.names.push_back(
            CharTable::DecodeCodes(bytes + int64_t{i} * format.entrySize,
                                   static_cast<std::size_t>(length < 0 ? format.nameWidth : length)));
    }
    return names;
}

Names ReadNames(const EditorSession& session, bool fromRom) {
    Names names;
    names.enabled = fromRom;
    names.section = session.Section;
    std::array<Table, kListCount> tables;
    bool anyTable = false;
    for (int k = 0; k < kListCount; ++k) {
        names.lists[k].keyed = !session.NameTables[k].offset.empty();
        if (!fromRom) {
            names.lists[k].fallback = "Names from the ROM is off";
            continue;
        }
        tables[k] = TableOf(session, static_cast<List>(k));
        if (tables[k].problem.empty()) anyTable = true;
        names.lists[k].fallback = tables[k].problem;
    }
    if (!anyTable) return names;

    const FileDescriptor file = FileDescriptor::Open(session.RomPath, O_RDONLY);
    struct stat info {};
    const bool usable = file.valid() && ::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode);
    for (int k = 0; k < kListCount; ++k) {
        if (!tables[k].problem.empty()) continue;
        if (usable)
            names.lists[k] = NamesIn(file.get(), info.st_size, static_cast<List>(k), tables[k]);
        else
            names.lists[k].fallback = "the ROM file cannot be read";
    }
    return names;
}

std::string SourceText(const Names& names) {
    if (!names.enabled) return "Names: from the list files (Names from the ROM is off in the settings).";
    std::vector<std::string> fromRom;
    std::vector<std::string> fallbacks;
    bool noKeys = true;
    for (int k = 0; k < kListCount; ++k) {
        const ListNames& list = names.lists[k];
        if (list.keyed) noKeys = false;
        if (list.FromRom())
            fromRom.push_back(kPlurals[k]);
        else
            fallbacks.push_back(std::string(kPlurals[k]) + " from " + kFormats[k].listFile + ": " +
                                list.fallback);
    }
    if (noKeys) return "Names: from the list files (section [" + names.section + "] gives no names tables).";
    if (fallbacks.empty()) return "Names: " + Joined(fromRom) + " from the ROM.";
    std::string text = "Names: ";
    if (!fromRom.empty()) text += Joined(fromRom) + " from the ROM; ";
    for (std::size_t k = 0; k < fallbacks.size(); ++k) text += (k > 0 ? "; " : "") + fallbacks[k];
    return text + ".";
}

}  // namespace RomNames
