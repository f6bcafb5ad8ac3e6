#include "species/DescriptionGuide.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "GameText.h"

DescriptionShape DescriptionShapeOf(const std::string& gameCode) {
    static const std::pair<const char*, DescriptionShape> kGames[] = {
        {"BPRE", {3, 43}}, {"BPGE", {3, 47}}, {"AXVE", {3, 42}}, {"AXPE", {3, 42}}, {"BPEE", {4, 49}}};
    for (const auto& [code, shape] : kGames) {
        if (gameCode == code) return shape;
    }
    return {3, 42};
}

std::string DescriptionWarning(const std::string& gameCode, const std::string& text) {
    const GameText::Encoded encoded = GameText::Encode(text);
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
