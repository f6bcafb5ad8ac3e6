#include "ReadINI.h"

// POSIX file access: single-byte content moves unchanged, with no newline translation.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace ReadINI {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr std::string_view kCrLf = "\r\n";

// Windows-1252 lower case, as the settings file is written in the system's single-byte code page: ASCII
// letters, the accented capitals C0..DE except the multiplication sign D7, and S/OE/Z with caron and Y with
// diaeresis. Every character keeps its one byte, so positions in a lower-cased copy hold in the original.
constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 0x20);
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 0x20);
    }
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}
constexpr std::array<unsigned char, 256> kLower = MakeLowerTable();

char Lower(char c) {
    return static_cast<char>(kLower[static_cast<unsigned char>(c)]);
}

std::string Lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = Lower(c);
    return result;
}

// prefix + name + suffix, lower-cased.
std::string LoweredBetween(std::string_view prefix, std::string_view name, std::string_view suffix) {
    std::string result;
    result.reserve(prefix.size() + name.size() + suffix.size());
    result.append(prefix).append(name).append(suffix);
    for (char& c : result) c = Lower(c);
    return result;
}

bool EqualsLowered(std::string_view text, std::string_view lowered) {
    if (text.size() != lowered.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != lowered[i]) return false;
    }
    return true;
}

bool StartsWithLowered(std::string_view text, std::string_view lowered) {
    return text.size() >= lowered.size() && EqualsLowered(text.substr(0, lowered.size()), lowered);
}

// Tab, CR, LF and the other control characters up to code 13.
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 13;
}

// Every run of three or more CR LF pairs becomes two, which is what replacing CR LF CR LF CR LF by CR LF CR
// LF until none is left gives: the pattern only ever matches inside a run of whole pairs and shortens it by
// one.
std::string CollapseEmptyLines(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == kCr && i + 1 < text.size() && text[i + 1] == kLf) {
            size_t pairs = 0;
            while (i + 1 < text.size() && text[i] == kCr && text[i + 1] == kLf) {
                ++pairs;
                i += 2;
            }
            for (size_t p = 0; p < pairs && p < 2; ++p) result += kCrLf;
        } else {
            result += text[i++];
        }
    }
    return result;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool WriteAllAndClose(int fd, std::string_view first, std::string_view second) {
    const bool written = WriteAll(fd, first) && WriteAll(fd, second);
    // close reports a failed delayed write on some file systems, so its result counts too.
    const bool closed = ::close(fd) == 0;
    return written && closed;
}

}  // namespace

std::string IniValueIn(std::string_view content, std::string_view section, std::string_view key) {
    const std::string header = LoweredBetween("[", section, "]");
    const std::string keyPrefix = LoweredBetween("", key, "=");
    bool inSection = false;
    size_t lineStart = 0;
    while (lineStart < content.size()) {
        // A line ends at CR LF or at a lone CR; a lone LF stays inside the line.
        size_t lineEnd = content.find(kCr, lineStart);
        size_t next;
        if (lineEnd == std::string_view::npos) {
            lineEnd = content.size();
            next = content.size();
        } else {
            next = lineEnd + 1;
            if (next < content.size() && content[next] == kLf) ++next;
        }
        const std::string_view line = content.substr(lineStart, lineEnd - lineStart);
        const bool hasBracket = line.find('[') != std::string_view::npos;
        if (hasBracket) inSection = false;
        if (EqualsLowered(line, header)) inSection = true;
        if (!hasBracket && inSection && StartsWithLowered(line, keyPrefix)) {
            return std::string(line.substr(keyPrefix.size()));
        }
        lineStart = next;
    }
    return {};
}

std::string IniWithValue(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value) {
    // Positions are 0-based here; the comments give the 1-based names of the algorithm.
    std::string work;
    work.reserve(content.size() + section.size() + key.size() + value.size() + 16);
    work += kCrLf;
    work += content;
    work += "[]";  // a section that follows the last one
    const std::string lowered = Lowered(work);
    const std::string header = LoweredBetween("\r\n[", section, "]\r");
    const std::string keyLine = LoweredBetween("\n", key, "=");

    const size_t headerAt = lowered.find(header);  // P - 1
    work.resize(work.size() - 2);                  // drop the "[]"

    if (headerAt == std::string::npos) {
        work += "\r\n\r\n[";
        work += section;
        work += "]\r\n";
        work += key;
        work += "=";
        work += value;
    } else {
        const size_t afterHeader = headerAt + header.size();
        const size_t nextSection = lowered.find('[', afterHeader);  // N - 1; the final "[]" at the latest
        const size_t keyAt = lowered.find(keyLine, headerAt);       // K - 1
        if (keyAt == std::string::npos || keyAt > nextSection) {
            // After the header line and its CR LF: the first P + length(H) characters. A header line ended
            // by a lone CR has no LF to pass, and counting one would cut into the line below it.
            const size_t insertAt =
                afterHeader < work.size() && work[afterHeader] == kLf ? afterHeader + 1 : afterHeader;
            std::string line(key);
            line += "=";
            line += value;
            line += kCrLf;
            work.insert(insertAt, line);
        } else {
            // The old line runs from after its LF to the next CR, or to the end of a text without a line end.
            const size_t lineEnd = work.find(kCr, keyAt);  // E - 1
            std::string replaced = work.substr(0, keyAt + 1);
            replaced += key;
            replaced += "=";
            replaced += value;
            if (lineEnd != std::string::npos) replaced.append(work, lineEnd, std::string::npos);
            work = std::move(replaced);
        }
    }

    // Tidy: drop the CR added in front, keep at most one empty line in a row, trim control characters at both
    // ends, and end with one CR LF.
    work.erase(0, 1);
    work = CollapseEmptyLines(work);
    size_t last = work.size();
    while (last > 0 && IsTrimmed(work[last - 1])) --last;
    size_t first = 0;
    while (first < last && IsTrimmed(work[first])) ++first;
    std::string result = work.substr(first, last - first);
    result += kCrLf;
    return result;
}

std::string ReadIniValue(const std::string& path, const std::string& section, const std::string& key) {
    return IniValueIn(ReadTextFile(path), section, key);
}

bool WriteIniValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
    // Create the file when it is missing, so that its mode comes from the umask like any new file's.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) return false;
        const int created = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (created < 0) return false;
        ::close(created);
        if (::stat(path.c_str(), &info) != 0) return false;
    }
    if (!S_ISREG(info.st_mode)) return false;
    // The read-only attribute of the original becomes the owner's write permission. A chmod refused to a
    // user who may write through the group is no reason to give up; the write itself decides.
    const mode_t mode = (info.st_mode & 07777) | S_IWUSR;
    if (mode != (info.st_mode & 07777)) (void)::chmod(path.c_str(), mode);

    const std::string content = IniWithValue(ReadTextFile(path), section, key, value);

    // The new content goes to a temporary file in the same folder that then replaces the original in one
    // rename, so a failed or interrupted write leaves the old settings whole. A link is followed, so the
    // file it names is the one replaced.
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        // A folder that takes no new files may still hold a writable file: rewrite it in place.
        const int inPlace = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        return inPlace >= 0 && WriteAllAndClose(inPlace, content, {});
    }
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string ReadTextFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    std::string text;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {};
    }
    // Read as many bytes as the file has, and on until the end in case it grew meanwhile.
    text.resize(static_cast<size_t>(info.st_size) + 1);
    size_t filled = 0;
    for (;;) {
        if (filled == text.size()) text.resize(text.size() * 2);
        const ssize_t got = ::read(fd, text.data() + filled, text.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return {};
        }
        if (got == 0) break;
        filled += static_cast<size_t>(got);
    }
    ::close(fd);
    text.resize(filled);
    return text;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    return WriteAllAndClose(fd, text, kCrLf);
}

std::vector<std::string> SplitText(const std::string& text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty() || separator.empty()) return pieces;
    size_t begin = 0;
    while (true) {
        const size_t end = text.find(separator, begin);
        if (end == std::string::npos) {
            pieces.push_back(text.substr(begin));
            return pieces;
        }
        pieces.push_back(text.substr(begin, end - begin));
        begin = end + separator.size();
    }
}

}  // namespace ReadINI
