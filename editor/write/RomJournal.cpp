#include "write/RomJournal.h"

#include <cstring>
#include <filesystem>

#include "DurableFile.h"
#include "HexFunctions.h"

namespace RomJournal {
namespace {

constexpr char kMagic[] = "VORNHAL JOURNAL 1\n";
constexpr size_t kMagicSize = sizeof kMagic - 1;
constexpr size_t kEntrySize = 5;  // 32-bit offset and the byte

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

uint64_t Get(const std::vector<uint8_t>& in, size_t at, int bytes) {
    uint64_t value = 0;
    for (int k = 0; k < bytes; ++k) value |= static_cast<uint64_t>(in[at + k]) << (8 * k);
    return value;
}

// FNV-1a: enough to tell a journal cut short or overwritten from a whole one.
uint32_t Checksum(const uint8_t* data, size_t length) {
    uint32_t hash = 2166136261u;
    for (size_t k = 0; k < length; ++k) hash = (hash ^ data[k]) * 16777619u;
    return hash;
}

}  // namespace

std::string PathFor(const std::string& romPath) {
    return romPath + ".journal";
}

std::vector<uint8_t> Encode(const Journal& journal) {
    std::vector<uint8_t> out(kMagic, kMagic + kMagicSize);
    out.reserve(kMagicSize + 12 + kEntrySize * journal.entries.size() + 4);
    Put(out, static_cast<uint64_t>(journal.romSize), 8);
    Put(out, journal.entries.size(), 4);
    for (const Entry& entry : journal.entries) {
        Put(out, static_cast<uint64_t>(entry.offset), 4);
        out.push_back(entry.before);
    }
    Put(out, Checksum(out.data(), out.size()), 4);
    return out;
}

std::optional<Journal> Decode(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kMagicSize + 16 || std::memcmp(bytes.data(), kMagic, kMagicSize) != 0)
        return std::nullopt;
    const size_t body = bytes.size() - 4;
    if (Get(bytes, body, 4) != Checksum(bytes.data(), body)) return std::nullopt;
    const uint64_t count = Get(bytes, kMagicSize + 8, 4);
    if (kMagicSize + 12 + count * kEntrySize != body) return std::nullopt;
    Journal journal;
    journal.romSize = static_cast<int64_t>(Get(bytes, kMagicSize, 8));
    journal.entries.reserve(count);
    for (size_t at = kMagicSize + 12; at < body; at += kEntrySize)
        journal.entries.push_back({static_cast<int64_t>(Get(bytes, at, 4)), bytes[at + 4]});
    return journal;
}

std::string Write(const std::string& romPath, const Journal& journal) {
    const std::string path = PathFor(romPath);
    const std::string problem = DurableFile::WriteWhole(path, Encode(journal));
    if (problem.empty()) return {};
    return "The journal \"" + path +
           "\" that keeps the bytes before a write, so that an interrupted write "
           "can be rolled back, could not be written: " +
           problem + ". Nothing was written to the ROM.";
}

Inspection Inspect(const std::string& romPath) {
    Inspection inspection;
    const std::string path = PathFor(romPath);
    const std::optional<std::vector<uint8_t>> bytes = DurableFile::ReadWhole(path);
    if (!bytes) {
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return inspection;
        inspection.state = State::DoesNotFit;
        inspection.problem = "it cannot be read";
        return inspection;
    }
    inspection.state = State::DoesNotFit;
    const std::optional<Journal> journal = Decode(*bytes);
    if (!journal) {
        inspection.problem = "it is damaged or is not a journal of this program";
        return inspection;
    }
    const std::optional<int64_t> size = HexFunctions::RomFileSize(romPath);
    if (!size || *size != journal->romSize) {
        inspection.problem = "it was written for a file of " + std::to_string(journal->romSize) +
                             " bytes, and the ROM has " +
                             (size ? std::to_string(*size) : "an unknown number of") + " bytes";
        return inspection;
    }
    for (const Entry& entry : journal->entries) {
        if (entry.offset < 0 || entry.offset >= *size) {
            inspection.problem = "it names offsets outside the ROM";
            return inspection;
        }
    }
    inspection.state = State::Fits;
    inspection.journal = *journal;
    return inspection;
}

std::string Restore(const std::string& romPath, const Journal& journal, const ByteWriter& writeByte) {
    for (const Entry& entry : journal.entries) {
        if (!writeByte(romPath, entry.offset, entry.before))
            return "The byte at offset " + std::to_string(entry.offset) + " of \"" + romPath +
                   "\" could not be written back; the journal stays so that the rollback can be tried again.";
    }
    if (!DurableFile::Sync(romPath))
        return "The rolled back bytes of \"" + romPath + "\" could not be flushed to the disk (" +
               DurableFile::LastError() + "); the journal stays so that the rollback can be tried again.";
    return Discard(romPath);
}

std::string Discard(const std::string& romPath) {
    if (DurableFile::Remove(PathFor(romPath))) return {};
    return "The journal \"" + PathFor(romPath) + "\" could not be removed (" + DurableFile::LastError() +
           ").";
}

}  // namespace RomJournal
