#include "CharTable.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "LatinLetters.h"

namespace CharTable {
namespace {

// Texts are Windows-1252: the middle dot "·" is B7.
constexpr char kMiddleDot = '\xB7';

// Decoding: one text per code; an empty text skips the code. FF ends the name and is handled before the
// table.
constexpr std::array<std::string_view, 256> MakeDecodeTable() {
    std::array<std::string_view, 256> table{};
    table[0x00] = " ";
    for (const LatinLetters::Letter& letter : LatinLetters::kAll)
        table[letter.code] = std::string_view(&letter.character, 1);
    constexpr std::string_view digits = "0123456789";
    for (int i = 0; i < 10; ++i) table[0xA1 + i] = digits.substr(i, 1);
    table[0xAB] = "!";
    table[0xAC] = "?";
    table[0xAD] = ".";
    table[0xAE] = "-";
    table[0xAF] = "\xB7";
    table[0xB0] = "[...]";
    table[0xB1] = "\"";
    table[0xB2] = "\"";
    // Not in the original table, which dropped the apostrophe of FARFETCH'D on every save.
    table[0xB4] = "'";
    table[0xB5] = "\x0B";
    table[0xB6] = "\x0C";
    table[0xB7] = "[x]";
    table[0xB8] = "/";
    table[0xB9] = "0";
    table[0xBA] = "0";
    constexpr std::string_view upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    constexpr std::string_view lower = "abcdefghijklmnopqrstuvwxyz";
    for (int i = 0; i < 26; ++i) {
        table[0xBB + i] = upper.substr(i, 1);
        table[0xD5 + i] = lower.substr(i, 1);
    }
    table[0xFE] = "\r\n";
    return table;
}
constexpr std::array<std::string_view, 256> kDecode = MakeDecodeTable();

// The same texts as pieces of up to seven characters and their length, for decoding whole tables.
struct Piece {
    char text[7];
    unsigned char size;
};
constexpr std::array<Piece, 256> MakePieces() {
    std::array<Piece, 256> pieces{};
    for (std::size_t code = 0; code < pieces.size(); ++code) {
        for (std::size_t k = 0; k < kDecode[code].size(); ++k) pieces[code].text[k] = kDecode[code][k];
        pieces[code].size = static_cast<unsigned char>(kDecode[code].size());
    }
    return pieces;
}
constexpr std::array<Piece, 256> kPieces = MakePieces();

// Encoding: the code of each character, or -1 for none.
constexpr std::array<int, 256> MakeEncodeTable() {
    std::array<int, 256> table{};
    for (int& code : table) code = -1;
    table[static_cast<unsigned char>(' ')] = 0x00;
    for (const LatinLetters::Letter& letter : LatinLetters::kAll)
        table[static_cast<unsigned char>(letter.character)] = letter.code;
    for (int i = 0; i < 10; ++i) table['0' + i] = 0xA1 + i;
    table[static_cast<unsigned char>('!')] = 0xAB;
    table[static_cast<unsigned char>('?')] = 0xAC;
    table[static_cast<unsigned char>('.')] = 0xAD;
    table[static_cast<unsigned char>('-')] = 0xAE;
    table[static_cast<unsigned char>(kMiddleDot)] = 0xAF;
    table[static_cast<unsigned char>('\'')] = 0xB4;
    table[static_cast<unsigned char>(kMaleSymbol)] = 0xB5;
    table[static_cast<unsigned char>(kFemaleSymbol)] = 0xB6;
    table[static_cast<unsigned char>('/')] = 0xB8;
    for (int i = 0; i < 26; ++i) {
        table['A' + i] = 0xBB + i;
        table['a' + i] = 0xD5 + i;
    }
    table[static_cast<unsigned char>('^')] = 0xFF;
    return table;
}
constexpr std::array<int, 256> kEncode = MakeEncodeTable();

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Codes are compared as two upper-case digits, so only those form a code; any other pair matches nothing.
int UpperHexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string DecodeName(const HexFunctions::HexByteString& entry) {
    std::string name;
    // A trailing single digit is a pair of its own that matches no code.
    for (size_t i = 0; i + 1 < entry.size(); i += 2) {
        const int high = UpperHexValue(entry[i]);
        const int low = UpperHexValue(entry[i + 1]);
        if (high < 0 || low < 0) continue;
        const int code = high * 16 + low;
        if (code == 0xFF) break;
        name += kDecode[code];
    }
    return name;
}

std::string DecodeCodes(const unsigned char* codes, std::size_t count) {
    // Whole tables are decoded at once, so the pieces are copied whole into a buffer (the longest has five
    // characters, a copy of seven never looks at what follows) and a name becomes a string in one step.
    constexpr std::size_t kChunk = 16;
    char buffer[kChunk * 5 + 7];
    std::string text;
    std::size_t done = 0;
    while (true) {
        const std::size_t end = std::min(count, done + kChunk);
        std::size_t length = 0;
        bool ended = false;
        for (; done < end; ++done) {
            if (codes[done] == 0xFF) {
                ended = true;
                break;
            }
            const Piece& piece = kPieces[codes[done]];
            std::memcpy(buffer + length, piece.text, sizeof piece.text);
            length += piece.size;
        }
        ended = ended || done == count;
        if (ended && text.empty()) return std::string(buffer, length);
        text.append(buffer, length);
        if (ended) return text;
    }
}

std::optional<std::string> EncodeChar(char character) {
    const int code = kEncode[static_cast<unsigned char>(character)];
    if (code < 0) return std::nullopt;
    return std::string{kHexDigits[code >> 4], kHexDigits[code & 0x0F]};
}

HexFunctions::HexByteString EncodeName(const std::string& name) {
    // The padded name is name + "^" + nine spaces cut to 11 characters: 10 for an empty name.
    const size_t length = name.size() + 10 < static_cast<size_t>(kNameEntrySize)
                              ? name.size() + 10
                              : static_cast<size_t>(kNameEntrySize);
    HexFunctions::HexByteString codes;
    codes.reserve(2 * length);
    for (size_t i = 0; i < length; ++i) {
        const char character = i < name.size() ? name[i] : (i == name.size() ? '^' : ' ');
        const int code = kEncode[static_cast<unsigned char>(character)];
        const int byte = code < 0 ? 0 : code;
        codes += kHexDigits[byte >> 4];
        codes += kHexDigits[byte & 0x0F];
    }
    return codes;
}

}  // namespace CharTable
