// The battle screen a preview shows: sprites at the places the game gives them, cut to one 64x64 frame and to
// the screen, their transparent pixels showing what lies behind, and the shadow only under a floating enemy.

#include <gtest/gtest.h>

#include "pictures/BattleScene.h"

namespace {

using namespace BattleScene;

constexpr uint32_t kEnemy = 0xFF0000F0, kPlayer = 0xFF00F000;

Picture Solid(int width, int height, uint32_t argb) {
    return {width, height, std::vector<uint32_t>(size_t(width * height), argb), {}};
}

uint32_t At(const Picture& screen, int x, int y) {
    return screen.argb[size_t(y * screen.width + x)];
}

TEST(BattleSceneTest, SpritesPlatformsAndShadowWhereTheGameHasThem) {
    Picture enemy = Solid(64, 64, kEnemy);
    enemy.argb[20 * 64 + 5] = 0;                    // transparent
    const Picture player = Solid(64, 80, kPlayer);  // a second frame below the first
    // Elevated by 16: the enemy's centre is at (176, 24), its top 8 rows above the screen; the player's
    // centre is at (72, 88).
    const Picture floating = DrawSingleBattle(BattleScreen::PlaceSingleBattle(0, 0, 16), enemy, player);
    ASSERT_EQ(floating.argb.size(), size_t(240 * 160));
    const struct {
        int x, y;
        uint32_t expected;
    } probes[] = {{0, 0, kSky},      {144, 0, kEnemy},    {207, 55, kEnemy},    {208, 55, kSky},
                  {149, 12, kSky},   {176, 72, kShadow},  {146, 72, kPlatform}, {132, 72, kPlatformEdge},
                  {40, 56, kPlayer}, {103, 119, kPlayer}, {40, 120, kPlatform}, {20, 120, kPlatformEdge}};
    for (const auto& [x, y, expected] : probes)
        EXPECT_EQ(At(floating, x, y), expected) << "at (" << x << ", " << y << ")";

    // On the ground the enemy hides nothing at its feet and casts no shadow; a sprite that could not be read
    // leaves its place empty.
    const Picture grounded = DrawSingleBattle(BattleScreen::PlaceSingleBattle(0, 0, 0), enemy, Picture{});
    EXPECT_EQ(At(grounded, 144, 71), kEnemy);
    EXPECT_EQ(At(grounded, 176, 72), kPlatform);
    EXPECT_EQ(At(grounded, 72, 88), kSky);
}

}  // namespace
