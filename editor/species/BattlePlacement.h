#pragma once

// Where the game draws the two sprites of a single battle on its 240x160 screen, from a species' numbers, so
// that a preview shows a changed number or a new picture where the game will.
namespace BattleScreen {

inline constexpr int kWidth = 240;
inline constexpr int kHeight = 160;
inline constexpr int kSprite = 64;  // sprites are drawn as 64x64 pictures, centred on their place

// The places before the numbers move them: the player's back sprite and the enemy's front sprite.
inline constexpr int kPlayerX = 72, kPlayerY = 80;
inline constexpr int kEnemyX = 176, kEnemyY = 40;
// The player's sprite goes 8 pixels further down, but never lower than this centre.
inline constexpr int kPlayerDrop = 8;
inline constexpr int kPlayerLowest = 104;
// Where a sprite's bottom edge is with no y offset: the ground its creature stands on, for a platform drawn
// under it (and the enemy's shadow when it floats).
inline constexpr int kEnemyGround = kEnemyY + kSprite / 2;
inline constexpr int kPlayerGround = kPlayerY + kPlayerDrop + kSprite / 2;

struct SpritePlace {
    int centreX = 0, centreY = 0;
    [[nodiscard]] int Left() const { return centreX - kSprite / 2; }
    [[nodiscard]] int Top() const { return centreY - kSprite / 2; }
    bool operator==(const SpritePlace&) const = default;
};

struct Placement {
    SpritePlace player, enemy;
    bool enemyShadow = false;  // the game draws a shadow on the ground under an elevated enemy
    bool operator==(const Placement&) const = default;
};

// playerBackY: the player's species' back sprite y offset; the enemy's front sprite y offset and elevation.
[[nodiscard]] Placement PlaceSingleBattle(int playerBackY, int enemyFrontY, int enemyElevation);

}  // namespace BattleScreen
