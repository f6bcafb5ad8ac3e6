#include "TextCodec.h"

#include <array>

namespace TextCodec {
namespace {

constexpr char16_t kMale = u'\u2642';
constexpr char16_t kFemale = u'\u2640';

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned codes keep their Latin-1 value.
constexpr std::array<char16_t, 32> kHighControls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178'};

QChar FromByte(unsigned char byte) {
    if (byte == 0x0B) return QChar(kMale);
    if (byte == 0x0C) return QChar(kFemale);
    if (byte >= 0x80 && byte <= 0x9F) return QChar(kHighControls[byte - 0x80]);
    return QChar(byte);
}

char ToByte(QChar character) {
    const char16_t unicode = character.unicode();
    if (unicode == kMale) return '\x0B';
    if (unicode == kFemale) return '\x0C';
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF)) return static_cast<char>(unicode);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == unicode) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

QString ToDisplay(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) text.append(FromByte(static_cast<unsigned char>(byte)));
    return text;
}

std::string FromDisplay(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar character : text) bytes.push_back(ToByte(character));
    return bytes;
}

}  // namespace TextCodec
