#include "SyscallFloor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "rom/EditorSession.h"
#include "rom/RomNameTables.h"
#include "rom/RomOpener.h"
#include "rom/SectionValues.h"

namespace SyscallFloor {

bool Read(const std::string& path, const std::vector<Access>& reads) {
    std::array<unsigned char, 64> buffer{};
    const char* name = path.c_str();
    for (const Access& read : reads) {
        if (read.count < 0 || static_cast<size_t>(read.count) > buffer.size()) return false;
        const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const ssize_t got = ::pread(fd, buffer.data(), static_cast<size_t>(read.count), read.offset);
        ::close(fd);
        if (got != read.count) return false;
    }
    return true;
}

bool Read(const std::string& path, const std::vector<Opening>& openings) {
    std::array<unsigned char, kLargestRead> buffer{};
    const char* name = path.c_str();
    for (const Opening& opening : openings) {
        const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        bool ok = true;
        if (opening.sized) {
            struct stat info {};
            ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        }
        for (const Access& read : opening.reads) {
            if (!ok || read.count < 0 || static_cast<size_t>(read.count) > buffer.size()) {
                ok = false;
                break;
            }
            ok = ::pread(fd, buffer.data(), static_cast<size_t>(read.count), read.offset) == read.count;
        }
        ::close(fd);
        if (!ok) return false;
    }
    return true;
}

bool Write(const std::string& path, const std::vector<Access>& writes) {
    const char* name = path.c_str();
    for (const Access& write : writes) {
        const int fd = ::open(name, O_WRONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const ssize_t put = ::pwrite(fd, &write.byte, 1, write.offset);
        ::close(fd);
        if (put != 1) return false;
    }
    return true;
}

namespace {

bool SyncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

bool JournaledWrite(const std::string& path, const std::vector<Access>& writes,
                    const std::vector<uint8_t>& journal, bool sync) {
    const std::string journalPath = path + ".journal";
    const std::string temporary = journalPath + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, journal.data(), journal.size()) == static_cast<ssize_t>(journal.size());
    ok = ok && (!sync || ::fsync(fd) == 0);
    ::close(fd);
    ok = ok && ::rename(temporary.c_str(), journalPath.c_str()) == 0;
    ok = ok && (!sync || SyncPath(FolderOf(path), O_RDONLY | O_DIRECTORY));
    ok = ok && Write(path, writes);
    ok = ok && (!sync || SyncPath(path, O_RDONLY));
    ok = ok && ::unlink(journalPath.c_str()) == 0;
    return ok && (!sync || SyncPath(FolderOf(path), O_RDONLY | O_DIRECTORY));
}

bool ReadSpans(const std::string& path, const std::vector<Access>& spans, int64_t stopAt) {
    constexpr int64_t kFirstPiece = 4096, kLargestPiece = 256 * 1024;
    std::vector<unsigned char> buffer(kLargestPiece);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = true;
    for (const Access& span : spans) {
        int64_t piece = kFirstPiece;
        for (int64_t done = 0; ok && done < span.count && span.offset + done < stopAt;
             done += piece, piece = std::min(2 * piece, kLargestPiece)) {
            const int64_t wanted = std::min(int64_t{span.count} - done, piece);
            ok = ::pread(fd, buffer.data(), static_cast<size_t>(wanted), span.offset + done) == wanted;
        }
        if (!ok || span.offset + span.count >= stopAt) break;
    }
    ::close(fd);
    return ok;
}

std::vector<Opening> OneEach(const std::vector<Access>& reads) {
    std::vector<Opening> openings;
    for (const Access& read : reads) openings.push_back({false, {read}});
    return openings;
}

std::vector<Access> NameListReads(int32_t nameOffset) {
    std::vector<Access> reads;
    for (int32_t i = 0; i < Species::kCount; ++i)
        reads.push_back({int64_t{nameOffset} + int64_t{Species::kNameSize} * i, Species::kNameSize, 0});
    return reads;
}

Opening NameTableReads(const EditorSession& session) {
    Opening opening{true, {}};
    for (int k = 0; k < RomNames::kListCount; ++k) {
        const RomNames::TableFormat& format = RomNames::Format(static_cast<RomNames::List>(k));
        const EditorSession::NameTableKeys& keys = session.NameTables[k];
        const int32_t count =
            keys.count.empty() ? format.defaultCount : ParseIniOffset(keys.count).value_or(0);
        opening.reads.push_back({ParseIniOffset(keys.offset).value_or(0), count * format.entrySize, 0});
    }
    return opening;
}

std::vector<Access> FourthByteReads(const EditorSession& s, int32_t i) {
    std::vector<Access> reads;
    for (int64_t entry :
         {Species::SpriteEntry(s, i), Species::BackSpriteEntry(s, i), Species::PaletteEntry(s, i),
          Species::ShinyPaletteEntry(s, i), Species::IconEntry(s, i), Species::AttackTableEntry(s, i)})
        reads.push_back({entry + 3, 1, 0});
    return reads;
}

std::vector<Opening> WriterReads(const EditorSession& s, const std::vector<int64_t>& offsets) {
    constexpr int32_t kEntries = Species::kCount - 1;
    std::vector<Opening> openings = {{true, {}}, {true, {}}};
    std::vector<Access> reads = {
        {0xAC, 0xBD - 0xAC, 0},
        {int64_t{s.NameOffset} + Species::kNameSize, Species::kNameSize * kEntries, 0}};
    for (const auto& [start, stride] : {std::pair<int64_t, int32_t>{s.AttackTable, 4},
                                        {s.ImageOffset, 8},
                                        {s.PaletteOffset, 8},
                                        {s.IconOffset, 4}})
        reads.push_back({start + stride, stride * kEntries, 0});
    for (size_t first = 0; first < offsets.size();) {
        size_t last = first;
        while (last + 1 < offsets.size() && offsets[last + 1] - offsets[last] <= 4096) ++last;
        reads.push_back({offsets[first], static_cast<int32_t>(offsets[last] - offsets[first] + 1), 0});
        first = last + 1;
    }
    for (const Opening& read : OneEach(reads)) openings.push_back(read);
    return openings;
}

std::vector<Opening> WriterReads(const EditorSession& session, const std::vector<Access>& writes) {
    std::vector<int64_t> offsets;
    for (const Access& write : writes) offsets.push_back(write.offset);
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    return WriterReads(session, offsets);
}

std::vector<Access> AttackTableReads(int64_t start, int32_t rows) {
    std::vector<Access> reads;
    for (int32_t k = 0; k <= rows; ++k) reads.push_back({start + 2 * int64_t{k}, 2, 0});
    return reads;
}

}  // namespace SyscallFloor
