#include "species/MoreDataSave.h"

#include <cstdio>

#include "HexOffset.h"
#include "species/SpeciesEggMoves.h"

MoreDataPlan PlanMoreDataSave(const EditorSession& session, int32_t index, const SpeciesTableValues& values,
                              FreeSpaceMap& space) {
    MoreDataPlan plan;
    plan.bytes = PlanSpeciesTableWrites(session, index, values);
    if (values.eggMoves) {
        const EggMoveSavePlan eggMoves = PlanEggMoveSave(session, index, *values.eggMoves, space);
        if (!eggMoves.ok) {
            plan.error = eggMoves.error;
            return plan;
        }
        plan.bytes.insert(plan.bytes.end(), eggMoves.bytes.begin(), eggMoves.bytes.end());
        if (eggMoves.movedTo) {
            plan.moved.push_back("the egg move table moved to " + HexOffset(*eggMoves.movedTo));
            plan.eggMovesMovedTo = eggMoves.movedTo;
        }
    }
    if (values.dex) {
        const DexSavePlan dex = PlanDexEntrySave(session, index, *values.dex, space);
        if (!dex.ok) {
            plan.error = dex.error;
            return plan;
        }
        plan.bytes.insert(plan.bytes.end(), dex.bytes.begin(), dex.bytes.end());
        plan.moved.insert(plan.moved.end(), dex.moved.begin(), dex.moved.end());
    }
    if (values.battle) {
        const BattleSavePlan battle = PlanBattleSave(session, index, *values.battle, space);
        if (!battle.ok) {
            plan.error = battle.error;
            return plan;
        }
        plan.bytes.insert(plan.bytes.end(), battle.bytes.begin(), battle.bytes.end());
        if (battle.footprintMovedTo)
            plan.moved.push_back("the footprint moved to " + HexOffset(*battle.footprintMovedTo));
    }
    plan.ok = true;
    return plan;
}
