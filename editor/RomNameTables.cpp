#include "RomNameTables.h"

// POSIX: one opening of the ROM for all tables, its length from fstat, one pread per table.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "CharTable.h"
#include "FileDescriptor.h"
#include "RomOpener.h"

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

std::string HexOffset(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

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
    const std::string where = " in section [" + session.Section + "]";
    Table table;
    if (keys.offset.empty()) {
        table.problem = "no key " + std::string(format.offsetKey) + where;
        return table;
    }
    const std::optional<int32_t> offset = ParseIniOffset(keys.offset);
    if (!offset) {
        table.problem =
            std::string(format.offsetKey) + where + " is " + Quoted(keys.offset) + ", not an offset";
        return table;
    }
    table.offset = *offset;
    if (keys.count.empty()) {
        if (format.defaultCount == 0) {
            table.problem = "no key " + std::string(format.countKey) + where;
            return table;
        }
        table.count = format.defaultCount;
        return table;
    }
    const std::optional<int32_t> count = ParseIniOffset(keys.count);
    if (!count || *count < 1 || *count > format.maxCount) {
        table.problem = std::string(format.countKey) + where + " is " + Quoted(keys.count) +
                        ", not a count from 1 to " + std::to_string(format.maxCount);
        return table;
    }
    table.count = *count;
    return table;
}

// The whole table, or nothing when the read fails or the file ends early.
std::optional<std::vector<unsigned char>> ReadWhole(int fd, int64_t offset, std::size_t length) {
    std::vector<unsigned char> bytes(length);
    std::size_t got = 0;
    while (got < length) {
        const ssize_t result = ::pread(fd, bytes.data() + got, length - got,
                                       static_cast<off_t>(offset + static_cast<int64_t>(got)));
        if (result < 0 && errno == EINTR) continue;
        if (result <= 0) return std::nullopt;
        got += static_cast<std::size_t>(result);
    }
    return bytes;
}

// An entry is a name when it ends with FF within the width and is not empty.
bool IsName(const unsigned char* entry, int32_t width) {
    if (entry[0] == 0xFF) return false;
    for (int32_t k = 1; k < width; ++k) {
        if (entry[k] == 0xFF) return true;
    }
    return false;
}

// The names of the table, or why it serves none.
ListNames NamesIn(int fd, int64_t fileSize, const TableFormat& format, const Table& table) {
    ListNames list;
    const int64_t length = int64_t{table.count} * format.entrySize;
    const std::string described = "the " + std::string(format.what) + " names table at " +
                                  HexOffset(table.offset) + " (" + std::to_string(table.count) +
                                  " entries of " + std::to_string(format.entrySize) + " bytes)";
    if (table.offset + length > fileSize) {
        list.fallback =
            described + " runs beyond the end of the file (" + std::to_string(fileSize) + " bytes)";
        return list;
    }
    const std::optional<std::vector<unsigned char>> bytes =
        ReadWhole(fd, table.offset, static_cast<std::size_t>(length));
    if (!bytes) {
        list.fallback = described + " cannot be read";
        return list;
    }
    int fitting = 0;
    for (int32_t i = 0; i < table.count; ++i) {
        if (IsName(bytes->data() + int64_t{i} * format.entrySize, format.nameWidth)) ++fitting;
    }
    if (100 * int64_t{fitting} < int64_t{kPassPercent} * table.count) {
        list.fallback = described + " does not hold names (" + std::to_string(fitting) + " of " +
                        std::to_string(table.count) + " entries are names ending within " +
                        std::to_string(format.nameWidth) + " bytes)";
        return list;
    }
    list.names.reserve(static_cast<std::size_t>(table.count));
    for (int32_t i = 0; i < table.count; ++i) {
        list.names.push_back(CharTable::DecodeCodes(bytes->data() + int64_t{i} * format.entrySize,
                                                    static_cast<std::size_t>(format.nameWidth)));
    }
    return list;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) text += k + 1 == parts.size() ? " and " : ", ";
        text += parts[k];
    }
    return text;
}

const char* const kPlurals[kListCount] = {"moves", "abilities", "types", "items"};

}  // namespace

const TableFormat& Format(List list) {
    return kFormats[list];
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
        const bool keyed = names.lists[k].keyed;
        names.lists[k] = usable ? NamesIn(file.get(), info.st_size, kFormats[k], tables[k])
                                : ListNames{{}, "the ROM file cannot be read"};
        names.lists[k].keyed = keyed;
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
