#pragma once

#include "pictures/SpritePictures.h"
#include "species/BattlePlacement.h"

// The single battle screen as a picture, so that a user sees where the game will put a species: a plain
// background, a platform on the ground under each side, the enemy's shadow when it floats, and the two
// sprites at their places. The game draws its own terrain; only the places are the game's.
namespace BattleScene {

// Colours of what is not a sprite (ARGB).
inline constexpr uint32_t kSky = 0xFFE8F0F8;
inline constexpr uint32_t kPlatform = 0xFFC8D8A0;
inline constexpr uint32_t kPlatformEdge = 0xFF90A870;
inline constexpr uint32_t kShadow = 0xFF687060;

// A picture that is not ok (no sprite to show) leaves its place empty; pixels of colour 0 are transparent.
// Sprites wider or taller than 64 pixels are cut to their first 64x64, as the game shows one frame.
[[nodiscard]] Picture DrawSingleBattle(const BattleScreen::Placement& placement, const Picture& enemyFront,
                                       const Picture& playerBack);

}  // namespace BattleScene
