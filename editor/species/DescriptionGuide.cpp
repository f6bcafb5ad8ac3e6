#include "species/DescriptionGuide.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "GameText.h"
#include "rom/GameFamily.h"

DescriptionShape DescriptionShapeOf(const std::string& gameCode) {
    // Every release of a game draws its Pokédex alike.
    static const std::pair<const char*, DescriptionShape> kGames[] = {
        {"BPR", {3, 43}}, {"BPG", {3, 47}}, {"AXV", {3, 42}}, {"AXP", {3, 42}}, {"BPE", {4, 49}}};
    const GameFamily* family = FamilyOf(gameCode);
    for (const auto& [prefix, shape] : kGames) {
        if (family && family->prefix == std::string(prefix)) return shape;
    }
    return {3, 42};
}

std::string DescriptionWarning(const std::string& gameCode, GameText::Language language,
                               const std::string& text) {
    const GameText::Encoded encoded = GameText::Encode(text, language);
    if (!encoded.ok()) return {};
    const DescriptionShape shape = DescriptionShapeOf(gameCode);
    const std::vector<int> lengths = GameText::LineLengths(encoded.codes);
    std::string warning;
    if (static_cast<int>(lengths.size()) > shape.lines) {
        warning = "It has " + std::to_string(lengths.size()) + " lines; the game's have at most " +
                  std::to_string(shape.lines) + ".";
    }
    const auto longest = std::max_element(lengths.begin(), lengths.end());
    if (*longest > shape.longestLine) {
        warning += std::string(warning.empty() ? "" : " ") + "Line " +
                   std::to_string(longest - lengths.begin() + 1) + " has " + std::to_string(*longest) +
                   " characters; the game's longest has " + std::to_string(shape.longestLine) + ".";
    }
    return warning;
}
