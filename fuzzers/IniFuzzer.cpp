// IniValueIn and IniWithValue over arbitrary settings text. Beyond never failing: a written value reads back,
// and every other key that could be read before keeps its value, wherever the reader and the writer must
// agree (WellFormed and the section made absent below).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "ReadINI.h"

namespace {

using fuzz::Require;
using ReadINI::IniValueIn;
using ReadINI::IniWithValue;

// The characters the writer trims from both ends of the file.
bool IsControl(char c) {
    return static_cast<unsigned char>(c) <= 13;
}

// Names as the settings window writes them: "[" would end the section for the reader, "=" would end the key,
// and CR or LF would end the line.
std::string NameFrom(std::string text) {
    std::erase_if(text, [](char c) { return c == '[' || c == '=' || c == '\r' || c == '\n'; });
    return text;
}

// A value may hold "=", but no "[", CR or LF either, and must not end in a control character: when its line
// is the last of the file, the writer's trim of the file's end takes those.
std::string ValueFrom(std::string text) {
    std::erase_if(text, [](char c) { return c == '[' || c == '\r' || c == '\n'; });
    while (!text.empty() && IsControl(text.back())) text.pop_back();
    return text;
}

// The writer trims control characters from the start of the file. Every line stays as the reader saw it
// only when what is trimmed is CRs and CR LF pairs, which the reader ends lines at as well; a leading tab
// or lone LF belongs to the first line, and trimming it can turn that line into a section header.
bool StartStable(std::string_view content) {
    size_t i = 0;
    while (i < content.size() && IsControl(content[i])) {
        if (content[i] != '\r') return false;
        i += i + 1 < content.size() && content[i + 1] == '\n' ? 2 : 1;
    }
    return true;
}

// Content on which reader and writer see the same lines and sections:
// - The reader ends a line at a lone CR and keeps a lone LF inside it, while the writer finds headers only
//   between CR LF and CR and keys only after an LF: so no lone CR or LF.
// - The reader takes any line holding "[" for the end of a section and never for a key, while the writer's
//   section runs up to the first "[" character, so it takes "key=[x" for a key line of the section and may
//   replace it, which removes the "[" that ended the section for the reader: so a "[" only starts a line.
// - The trims at both ends of the file may take nothing but whole CR LF pairs.
bool WellFormed(std::string_view content) {
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n')) return false;
        if (content[i] == '\n' && (i == 0 || content[i - 1] != '\r')) return false;
        if (content[i] == '[' && i > 0 && content[i - 1] != '\n') return false;
    }
    size_t first = 0;
    while (first + 1 < content.size() && content[first] == '\r' && content[first + 1] == '\n') first += 2;
    size_t last = content.size();
    while (last >= first + 2 && content[last - 2] == '\r' && content[last - 1] == '\n') last -= 2;
    return first == last || (!IsControl(content[first]) && !IsControl(content[last - 1]));
}

// Makes any text well formed, so that most inputs are checked in full rather than only for crashes.
std::string MadeWellFormed(std::string_view content) {
    std::string text;
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') {
            text += "\r\n";
            ++i;
        } else if (content[i] == '\r' || content[i] == '\n') {
            text += "\r\n";
        } else if (content[i] != '[' || text.empty() || text.back() == '\n') {
            text += content[i];
        }
    }
    size_t first = 0;
    while (first < text.size() && IsControl(text[first])) ++first;
    size_t last = text.size();
    while (last > first && IsControl(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// The lines as the reader splits them: at CR LF or a lone CR.
std::vector<std::string_view> ReaderLines(std::string_view content) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\r', start);
        size_t next = end;
        if (end == std::string_view::npos) {
            end = next = content.size();
        } else {
            ++next;
            if (next < content.size() && content[next] == '\n') ++next;
        }
        lines.push_back(content.substr(start, end - start));
        start = next;
    }
    return lines;
}

struct Entry {
    std::string section, key;
};

// The sections of the content and the keys inside them. A key is taken up to its first "=", so it is the one
// name that line answers to.
struct Names {
    std::vector<std::string> sections;
    std::vector<Entry> entries;
};

Names NamesIn(std::string_view content) {
    constexpr size_t kMaxEntries = 24;
    Names names;
    std::optional<std::string> section;
    for (const std::string_view line : ReaderLines(content)) {
        if (line.find('[') != std::string_view::npos) {
            section.reset();
            if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
                section = std::string(line.substr(1, line.size() - 2));
                names.sections.push_back(*section);
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (section && equals != std::string_view::npos && names.entries.size() < kMaxEntries) {
            names.entries.push_back({*section, std::string(line.substr(0, equals))});
        }
    }
    return names;
}

// Whether two section and key pairs name the same entry. Only the reader knows how Windows-1252 names
// compare without regard to case, so it decides, on a file holding just the first pair.
bool SameEntry(const std::string& section, const std::string& key, const Entry& other) {
    return IniValueIn("[" + section + "]\r\n" + key + "=x", other.section, other.key) == "x";
}

// A control character that the content does not hold. Control characters have no other case, so a section
// name holding one cannot match any header of the content: the writer has to add the section at the end.
std::optional<char> AbsentControl(std::string_view content) {
    for (int c = 0; c < 32; ++c) {
        if (c == '\r' || c == '\n') continue;
        if (content.find(static_cast<char>(c)) == std::string_view::npos) return static_cast<char>(c);
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader input(data, size);
    const uint8_t mode = input.Byte();
    const uint8_t pick = input.Byte();
    std::string section = NameFrom(input.Text(input.Byte() % 16));
    std::string key = NameFrom(input.Text(input.Byte() % 16));
    const std::string value = ValueFrom(input.Text(input.Byte() % 32));
    std::string content = input.Rest();
    if (mode & 1) {
        content = MadeWellFormed(content);
        if ((mode & 16) && !content.empty()) content += "\r\n";
    }

    const Names names = NamesIn(content);
    bool absentSection = false;
    switch ((mode >> 1) & 3) {
        case 1:
            if (!names.sections.empty()) section = NameFrom(names.sections[pick % names.sections.size()]);
            break;
        case 2:
            if (const std::optional<char> absent = AbsentControl(content)) {
                section += *absent;
                absentSection = true;
            }
            break;
        default:
            break;
    }
    if ((mode & 8) && !names.entries.empty()) key = NameFrom(names.entries[pick % names.entries.size()].key);

    const std::string written = IniWithValue(content, section, key, value);
    Require(written.size() >= 2 && written.ends_with("\r\n"), "the written text ends with CR LF");
    Require(written == "\r\n" || !IsControl(written.front()), "no control character starts the written text");
    Require(written.find("\r\n\r\n\r\n") == std::string::npos, "no two empty lines in a row are written");

    const bool wellFormed = WellFormed(content);
    if (wellFormed || absentSection) {
        Require(IniValueIn(written, section, key) == value, "a written value reads back");
    }
    if (wellFormed || (absentSection && StartStable(content))) {
        for (const Entry& other : names.entries) {
            const std::string before = IniValueIn(content, other.section, other.key);
            if (before.empty() || SameEntry(section, key, other)) continue;
            Require(IniValueIn(written, other.section, other.key) == before, "other keys keep their values");
        }
    }
    // The writer finds a header only when a CR follows it, so a header on a last line without line end is
    // read but not found: the write adds the section again at the end, and a second write then finds the
    // first.
    if (wellFormed && (content.empty() || content.ends_with("\r\n"))) {
        Require(IniWithValue(written, section, key, value) == written,
                "writing the same value again changes nothing");
    }
    return 0;
}
