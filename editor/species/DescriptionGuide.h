#pragma once

#include <string>

#include "GameText.h"

// How much of a Pokédex description the games show, measured on the retail games: lines per page and the
// characters of their longest line. The font is proportional, so this is a guide, not a rule.
struct DescriptionShape {
    int lines = 0;
    int longestLine = 0;
};

// The shape of the game of gameCode; the tightest of them for a game it does not know.
[[nodiscard]] DescriptionShape DescriptionShapeOf(const std::string& gameCode);

// Sentences saying how text goes beyond the shape ("It has 4 lines; the game's have at most 3."), or empty
// when it does not or when the text cannot be encoded (the save says why then).
[[nodiscard]] std::string DescriptionWarning(const std::string& gameCode, GameText::Language language,
                                             const std::string& text);
