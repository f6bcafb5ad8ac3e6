#include "HexFunctions.h"

#include "FileDescriptor.h"

// POSIX file access: each operation is measured against the bare system calls, so it opens, transfers with
// one pread/pwrite and closes, with no stream layer in between.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace HexFunctions {
namespace {

constexpr std::array<char, 16> kHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

ssize_t PreadOnce(int fd, void* buffer, size_t length, off_t offset) {
    ssize_t got;
    do {
        got = ::pread(fd, buffer, length, offset);
    } while (got < 0 && errno == EINTR);
    return got;
}

bool IsRegularFile(int fd, struct stat& info) {
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::optional<std::string> ReadGameCode(const std::string& path) {
    FileDescriptor file = FileDescriptor::Open(path, O_RDONLY);
    if (!file.valid()) return std::nullopt;
    std::string code(4, '\0');
    // A short read means the file ends before 0xB0: there is no code to give.
    if (PreadOnce(file.get(), code.data(), code.size(), kGameCodeOffset) !=
        static_cast<ssize_t>(code.size())) {
        return std::nullopt;
    }
    return code;
}

HexByteString ReadHexBytes(const std::string& path, int32_t offset, int32_t count) {
    if (count <= 0) return {};
    const size_t byteCount = static_cast<size_t>(count);
    FileDescriptor file = FileDescriptor::Open(path, O_RDONLY);
    if (!file.valid()) return HexByteString(2 * byteCount, '0');

    // The raw bytes are read into the upper half of the result and then spread out to two digits each from
    // the front: digit pair i lands at 2i and 2i + 1, which never passes the raw byte n + i still to be read.
    HexByteString text(2 * byteCount, '\0');
    unsigned char* raw = reinterpret_cast<unsigned char*>(text.data()) + byteCount;

    const int64_t begin = offset;
    const int64_t end = begin + count;
    const int64_t readBegin = begin < 0 ? 0 : begin;
    size_t start = 0;  // raw index of the first byte read from the file
    size_t got = 0;    // bytes the file gave
    if (readBegin < end) {
        start = static_cast<size_t>(readBegin - begin);
        const ssize_t result = PreadOnce(file.get(), raw + start, static_cast<size_t>(end - readBegin),
                                         static_cast<off_t>(readBegin));
        // A file that opens but cannot be read (a directory, a pipe) counts as one that cannot be opened.
        if (result < 0) return HexByteString(2 * byteCount, '0');
        got = static_cast<size_t>(result);
    }
    // Bytes before offset 0 and from the end of the file on read as unwritten cartridge space.
    for (size_t i = 0; i < start; ++i) raw[i] = 0xFF;
    for (size_t i = start + got; i < byteCount; ++i) raw[i] = 0xFF;

    for (size_t i = 0; i < byteCount; ++i) {
        const unsigned char byte = raw[i];
        text[2 * i] = kHexDigits[byte >> 4];
        text[2 * i + 1] = kHexDigits[byte & 0x0F];
    }
    return text;
}

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path, int64_t offset, int64_t count) {
    if (offset < 0 || count < 0) return std::nullopt;
    FileDescriptor file = FileDescriptor::Open(path, O_RDONLY);
    if (!file.valid()) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = PreadOnce(file.get(), bytes.data() + done, bytes.size() - done,
                                      static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (got <= 0) return std::nullopt;
        done += static_cast<size_t>(got);
    }
    return bytes;
}

bool VisitBytes(const std::string& path, const std::vector<ByteSpan>& spans, const ByteVisitor& visit) {
    FileDescriptor file = FileDescriptor::Open(path, O_RDONLY);
    if (!file.valid()) return false;
    std::vector<uint8_t> buffer;
    for (const ByteSpan& span : spans) {
        if (span.offset < 0 || span.count < 0) return false;
        size_t piece = kFirstVisitPiece;
        for (int64_t done = 0; done < span.count;) {
            const auto wanted =
                static_cast<size_t>(std::min<int64_t>(span.count - done, static_cast<int64_t>(piece)));
            // Grown with the pieces: a search that stops in its first piece must not clear 256 KiB first.
            if (buffer.size() < wanted) buffer.resize(wanted);
            const int64_t at = span.offset + done;
            for (size_t got = 0; got < wanted;) {
                const ssize_t result = PreadOnce(file.get(), buffer.data() + got, wanted - got,
                                                 static_cast<off_t>(at + static_cast<int64_t>(got)));
                if (result <= 0) return false;
                got += static_cast<size_t>(result);
            }
            if (!visit(at, buffer.data(), wanted)) return true;
            done += static_cast<int64_t>(wanted);
            piece = std::min(2 * piece, kLargestVisitPiece);
        }
    }
    return true;
}

bool WriteHexByte(const std::string& path, int32_t offset, const std::string& hexText) {
    if (offset < 0) return false;
    // The last two characters of "00" + hexText.
    const size_t length = hexText.size();
    const char high = length >= 2 ? hexText[length - 2] : '0';
    const char low = length >= 1 ? hexText[length - 1] : '0';
    const int highValue = HexDigitValue(high);
    const int lowValue = HexDigitValue(low);
    const unsigned char byte =
        (highValue < 0 || lowValue < 0) ? 0 : static_cast<unsigned char>(highValue * 16 + lowValue);

    FileDescriptor file = FileDescriptor::Open(path, O_WRONLY);
    if (!file.valid()) return false;
    // A save writes one byte per opening, so the size comes from lseek, which costs far less than fstat;
    // the once-per-save writability check is where a file that is no regular file is refused.
    const off_t size = ::lseek(file.get(), 0, SEEK_END);
    if (size < 0 || offset >= size) return false;
    ssize_t written;
    do {
        written = ::pwrite(file.get(), &byte, 1, static_cast<off_t>(offset));
    } while (written < 0 && errno == EINTR);
    return written == 1;
}

std::string ReverseHexBytes(const std::string& hexText) {
    const size_t length = hexText.size();
    const size_t padded = length + (length & 1);
    std::string reversed(padded, '0');
    // Group g of the padded text starts at 2g; character j of the padded text is hexText[j - (padded -
    // length)].
    const size_t shift = padded - length;
    const size_t groups = padded / 2;
    for (size_t g = 0; g < groups; ++g) {
        const size_t from = 2 * g;
        const size_t to = 2 * (groups - 1 - g);
        reversed[to] = from >= shift ? hexText[from - shift] : '0';
        reversed[to + 1] = hexText[from + 1 - shift];
    }
    return reversed;
}

bool IsOdd(int64_t number) {
    return number % 2 != 0;
}

std::optional<int64_t> RomFileSize(const std::string& path) {
    FileDescriptor file = FileDescriptor::Open(path, O_RDONLY);
    if (!file.valid()) return std::nullopt;
    struct stat info {};
    if (!IsRegularFile(file.get(), info)) return std::nullopt;
    return static_cast<int64_t>(info.st_size);
}

bool CanOpenForWriting(const std::string& path) {
    // No O_TRUNC and no O_CREAT: asking must not change or create anything.
    FileDescriptor file = FileDescriptor::Open(path, O_WRONLY);
    if (!file.valid()) return false;
    struct stat info {};
    return IsRegularFile(file.get(), info);
}

}  // namespace HexFunctions
