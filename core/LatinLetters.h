#pragma once

#include <cstdint>

// The accented and other Latin letters of the games' character set, which the European releases (German
// names and Pokédex texts) use: each code with its Windows-1252 byte, one character per code both ways. Names
// and running text share them.
namespace LatinLetters {

struct Letter {
    uint8_t code;
    char character;
};

inline constexpr Letter kAll[] = {
    {0x01, '\xC0'}, {0x02, '\xC1'}, {0x03, '\xC2'}, {0x04, '\xC7'}, {0x05, '\xC8'}, {0x06, '\xC9'},
    {0x07, '\xCA'}, {0x08, '\xCB'}, {0x09, '\xCC'}, {0x0B, '\xCE'}, {0x0C, '\xCF'}, {0x0D, '\xD2'},
    {0x0E, '\xD3'}, {0x0F, '\xD4'}, {0x10, '\x8C'}, {0x11, '\xD9'}, {0x12, '\xDA'}, {0x13, '\xDB'},
    {0x14, '\xD1'}, {0x15, '\xDF'}, {0x16, '\xE0'}, {0x17, '\xE1'}, {0x19, '\xE7'}, {0x1A, '\xE8'},
    {0x1B, '\xE9'}, {0x1C, '\xEA'}, {0x1D, '\xEB'}, {0x1E, '\xEC'}, {0x20, '\xEE'}, {0x21, '\xEF'},
    {0x22, '\xF2'}, {0x23, '\xF3'}, {0x24, '\xF4'}, {0x25, '\x9C'}, {0x26, '\xF9'}, {0x27, '\xFA'},
    {0x28, '\xFB'}, {0x29, '\xF1'}, {0x2A, '\xBA'}, {0x2B, '\xAA'}, {0x51, '\xBF'}, {0x52, '\xA1'},
    {0x5A, '\xCD'}, {0x68, '\xE2'}, {0x6F, '\xED'}, {0xF1, '\xC4'}, {0xF2, '\xD6'}, {0xF3, '\xDC'},
    {0xF4, '\xE4'}, {0xF5, '\xF6'}, {0xF6, '\xFC'},
};

}  // namespace LatinLetters
