#include "Windows1252.h"

#include <array>
#include <cstdint>

namespace Windows1252 {
namespace {

constexpr char32_t kMale = 0x2642;
constexpr char32_t kFemale = 0x2640;

// 0x80 to 0x9F; the undefined five keep their own code point.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(unsigned char byte) {
    if (byte == 11) return kMale;
    if (byte == 12) return kFemale;
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> ByteOf(char32_t point) {
    if (point == kMale) return 11;
    if (point == kFemale) return 12;
    // 11 and 12 themselves stand for the symbols, so they have no other spelling.
    if (point == 11 || point == 12) return std::nullopt;
    if (point < 0x80 || (point >= 0xA0 && point < 0x100)) return static_cast<unsigned char>(point);
    for (size_t k = 0; k < kHighControls.size(); ++k) {
        if (kHighControls[k] == point) return static_cast<unsigned char>(0x80 + k);
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

struct Decoded {
    char32_t point = 0;
    size_t length = 0;  // 0: not valid UTF-8 at this position
};

// One character of UTF-8 as the standard allows it: no overlong forms, no surrogates, nothing above U+10FFFF.
Decoded DecodeAt(std::string_view text, size_t pos) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[pos + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    size_t length = 0;
    char32_t point = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, point = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, point = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, point = lead & 0x07, smallest = 0x10000;
    } else {
        return {};
    }
    if (pos + length > text.size()) return {};
    for (size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return {};
        point = (point << 6) | (byte(k) & 0x3F);
    }
    if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return {};
    return {point, length};
}

}  // namespace

std::string ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const Decoded decoded = DecodeAt(utf8, pos);
        if (decoded.length == 0) return std::nullopt;
        const std::optional<unsigned char> byte = ByteOf(decoded.point);
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
        pos += decoded.length;
    }
    return out;
}

std::optional<size_t> FirstInvalidUtf8(std::string_view bytes) {
    for (size_t pos = 0; pos < bytes.size();) {
        const Decoded decoded = DecodeAt(bytes, pos);
        if (decoded.length == 0) return pos;
        pos += decoded.length;
    }
    return std::nullopt;
}

}  // namespace Windows1252
