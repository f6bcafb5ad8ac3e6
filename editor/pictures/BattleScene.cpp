#include "pictures/BattleScene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace BattleScene {

namespace {

using namespace BattleScreen;

struct Canvas {
    Picture& picture;

    void Put(int x, int y, uint32_t argb) {
        if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
        picture.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                     static_cast<std::size_t>(x)] = argb;
    }

    // A filled ellipse of radii rx, ry around (cx, cy), its outermost pixels (those with a neighbour outside
    // it) in the edge colour. Each row is a run of pixels, so the drawing costs a square root per row.
    void Ellipse(int cx, int cy, int rx, int ry, uint32_t fill, uint32_t edge) {
        // Measured to the pixels' centres with half a pixel to spare, so that the top and bottom rows are
        // short lines, not single pixels.
        const double a = rx + 0.5, b = ry + 0.5;
        const auto half = [a, b, ry](int dy) {  // the run of row dy reaches from -half to half; -1: no run
            if (dy < -ry || dy > ry) return -1;
            return static_cast<int>(a * std::sqrt(1 - dy * dy / (b * b)));
        };
        for (int dy = -ry; dy <= ry; ++dy) {
            const int run = half(dy), above = half(dy - 1), below = half(dy + 1);
            for (int dx = -run; dx <= run; ++dx) {
                const int out = std::abs(dx);
                Put(cx + dx, cy + dy, out == run || out > above || out > below ? edge : fill);
            }
        }
    }

    void Sprite(const SpritePlace& place, const Picture& sprite) {
        if (!sprite.ok()) return;
        const int width = std::min(sprite.width, kSprite), height = std::min(sprite.height, kSprite);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint32_t argb =
                    sprite.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(sprite.width) +
                                static_cast<std::size_t>(x)];
                if (argb >> 24 != 0) Put(place.Left() + x, place.Top() + y, argb);
            }
        }
    }
};

// Platforms reach a little beyond the sprites' width, as the game's do; the player's is nearer and larger.
constexpr int kEnemyPlatformRx = 44, kEnemyPlatformRy = 10;
constexpr int kPlayerPlatformRx = 52, kPlayerPlatformRy = 12;
constexpr int kShadowRx = 14, kShadowRy = 3;

}  // namespace

Picture DrawSingleBattle(const Placement& placement, const Picture& enemyFront, const Picture& playerBack) {
    Picture screen;
    screen.width = kWidth;
    screen.height = kHeight;
    screen.argb.assign(static_cast<std::size_t>(kWidth) * kHeight, kSky);
    Canvas canvas{screen};
    canvas.Ellipse(kEnemyX, kEnemyGround, kEnemyPlatformRx, kEnemyPlatformRy, kPlatform, kPlatformEdge);
    canvas.Ellipse(kPlayerX, kPlayerGround, kPlayerPlatformRx, kPlayerPlatformRy, kPlatform, kPlatformEdge);
    if (placement.enemyShadow) canvas.Ellipse(kEnemyX, kEnemyGround, kShadowRx, kShadowRy, kShadow, kShadow);
    canvas.Sprite(placement.player, playerBack);
    canvas.Sprite(placement.enemy, enemyFront);
    return screen;
}

}  // namespace BattleScene
