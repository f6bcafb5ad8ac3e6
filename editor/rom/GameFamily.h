#pragma once

#include <string>

// The five games of the generation, each told by the first three letters of its game code: every release of a
// game (another language, a later revision) keeps the game's formats though its tables lie elsewhere, so a
// release Data.ini does not know can be read by searching with the formats of a known one.
struct GameFamily {
    const char* prefix;   // "BPR"
    const char* name;     // "Pokemon FireRed", as the question to the user names it
    const char* section;  // the Data.ini section whose formats the game's releases share
};

// The game of a code whose first three letters name one (upper or lower case), or nullptr.
[[nodiscard]] const GameFamily* FamilyOf(const std::string& gameCode);

// Ruby and Sapphire in any release (their Pokédex entries have two pages), by code or section name.
[[nodiscard]] bool IsRubyOrSapphire(const std::string& codeOrSection);
// FireRed and LeafGreen in any release (three of their tutors are in the game's code).
[[nodiscard]] bool IsFireRedOrLeafGreen(const std::string& codeOrSection);
