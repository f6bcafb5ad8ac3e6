#include "species/BattlePlacement.h"

#include <algorithm>

namespace BattleScreen {

Placement PlaceSingleBattle(int playerBackY, int enemyFrontY, int enemyElevation) {
    Placement placement;
    placement.player = {kPlayerX, std::min(kPlayerY + playerBackY + kPlayerDrop, kPlayerLowest)};
    placement.enemy = {kEnemyX, kEnemyY + enemyFrontY - enemyElevation};
    placement.enemyShadow = enemyElevation != 0;
    return placement;
}

}  // namespace BattleScreen
