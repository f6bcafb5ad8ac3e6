#include "species/AttackTableSave.h"

#include <algorithm>
#include <cstdio>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/RomPointer.h"
#include "species/AttackTable.h"
#include "write/KnownTables.h"
#include "write/TableMover.h"

namespace {

std::vector<uint8_t> TableBytes(const std::vector<LevelUpAttackEntry>& rows, bool terminator) {
    std::vector<uint8_t> bytes;
    bytes.reserve(2 * rows.size() + 2);
    for (const LevelUpAttackEntry& row : rows) {
        // The same bytes as the rows the window has always saved.
        const std::string digits = EncodeAttackEntry(row.attack, row.level);
        bytes.push_back(static_cast<uint8_t>(HexFunctions::ByteAt(digits, 0)));
        bytes.push_back(static_cast<uint8_t>(HexFunctions::ByteAt(digits, 1)));
    }
    if (terminator) bytes.insert(bytes.end(), {0xFF, 0xFF});
    return bytes;
}

// The old table may become free space only when it is the species' own and nothing else points into it.
bool OnlyThisSpeciesUses(const EditorSession& session, int32_t index, const ByteRange& table) {
    const std::vector<std::optional<int64_t>> targets =
        ReadPointerTargets(session.RomPath, session.AttackTable, Species::kCount, 4, session.FileSize);
    if (targets.at(static_cast<size_t>(index)) != table.start) return false;
    for (size_t k = 0; k < targets.size(); ++k) {
        if (k != static_cast<size_t>(index) && targets[k] && table.Contains(*targets[k])) return false;
    }
    return true;
}

}  // namespace

SpeciesTablePlan PlanSpeciesWithAttackTable(const EditorSession& session, int32_t index,
                                            const SpeciesEdits& edits, FreeSpaceMap& space) {
    SpeciesTablePlan result;
    // No pointer can hold such an offset, so there is no table there to measure: the species' plan says so.
    if (edits.attackTable < 0 || edits.attackTable >= RomPointer::kSpan) {
        result.error = PlanSpeciesSave(session, index, edits).error;
        return result;
    }
    if (edits.rows.size() > static_cast<size_t>(kMaxAttackRows)) {
        result.error = "The attack table has " + std::to_string(edits.rows.size()) +
                       " rows; the editor reads at most " + std::to_string(kMaxAttackRows) +
                       ", so it does not save more. Nothing was saved.";
        return result;
    }
    const AttackTableExtent extent = MeasureAttackTable(session.RomPath, edits.attackTable);
    TableToPlace table;
    table.name = "the attack table";
    table.old = {extent.start, extent.start + extent.Bytes()};
    const bool sameRowsWithoutEnd =
        !extent.terminated && edits.rows.size() == static_cast<size_t>(extent.rows);
    table.data = TableBytes(edits.rows, !sameRowsWithoutEnd);
    if (static_cast<int64_t>(table.data.size()) > table.old.size())
        table.freeOld = extent.terminated && OnlyThisSpeciesUses(session, index, table.old);

    const TablePlacement placement = PlaceTable(table, space);
    if (!placement.ok) {
        result.error = placement.error + " Nothing was saved.";
        return result;
    }
    // The species' plan points the table pointer at the place, its fourth byte included.
    SpeciesEdits species = edits;
    species.rows.clear();
    species.attackTable = static_cast<int32_t>(placement.offset);
    result.planned = PlanSpeciesSave(session, index, species);
    if (!result.planned.error.empty()) {
        result.error = result.planned.error;
        return result;
    }
    result.planned.plan.Append(placement.bytes);
    if (placement.moved) {
        result.planned.report += "\r\n" + AttackTableMovedLine(placement.offset);
        result.movedTo = placement.offset;
    }
    result.ok = true;
    return result;
}

std::string AttackTableMovedLine(int64_t offset) {
    return "Attack Table Moved To: " + std::to_string(offset) + " (" + HexOffset(offset) + ")";
}
