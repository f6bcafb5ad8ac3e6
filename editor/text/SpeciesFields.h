#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "rom/EditorSession.h"
#include "species/AttackTable.h"
#include "species/SpeciesRecord.h"
#include "species/SpeciesTableValues.h"
#include "text/ChoiceNames.h"
#include "write/FreeSpaceMap.h"
#include "write/WritePlan.h"

// Everything the editor reads of one species, as the window shows it.
struct SpeciesState {
    std::string name;  // Windows-1252, symbols as characters 11 and 12
    SpeciesValues values;
    std::vector<LevelUpAttackEntry> attacks;  // the table at values.attackTable
    SpeciesTableValues
        tables;        // evolutions, TM/HM and tutors, egg moves, Pokédex entry, where the game has them
    int national = 0;  // the national number; 0 for species 0, which has none
};

// A field's value: a number, a text (the name), or rows of numbers (a list such as the attack table).
// A list's rows one after another, each as many numbers as its field has parts.
using ValueRows = std::vector<int64_t>;
using FieldValue = std::variant<int64_t, std::string, ValueRows>;

enum class ValueKind {
    Number,    // decimal, 0 to upper (the limit of the window's box)
    Offset,    // a file offset as hexadecimal digits, as the pointer boxes show it; inside the file
    Choice,    // an entry of a choice list: its name or its number, below the list's size and up to upper
    Text,      // the species name: at most upper characters, each one the game can store
    GameText,  // running text (Pokédex): at most upper codes, each character one the game's text has
};

struct ValueSpec {
    ValueKind kind = ValueKind::Number;
    int64_t upper = 255;
    ChoiceList list = ChoiceList::Types;
};

// One named field of a species. A single value has one part; a list has rows of `parts` each.
struct SpeciesField {
    std::string key;
    std::vector<ValueSpec> parts;
    bool isList = false;
    size_t maxRows = 0;  // a list's most rows; 0: no limit
    std::function<FieldValue(const SpeciesState&)> get;
    std::function<void(SpeciesState&, const FieldValue&)> set;
    bool readOnly = false;  // shown for reference: a file may repeat it but not change it
};

struct PlannedPart {
    std::vector<PlannedByte> bytes;
    std::string error;  // when not empty the species cannot be written as asked; the reason, naming the field
    // Tables the plan moves into free space beyond what was asked: a key or name, where it was and is to be.
    struct Moved {
        std::string key, before, after;
    };
    std::vector<Moved> moved;
};

// A species a write changes, as read and as it is to be.
struct StateChange {
    int32_t index = 0;
    SpeciesState before, after;
};

// The fields a part of the ROM holds for every species, how to read them and how to write a change of them.
// Groups that share a table share its reader and planner: each runs once per species.
struct FieldGroup {
    std::string name;
    std::vector<SpeciesField> fields;
    // Whether the open game has this part (a table its Data.ini section may lack); empty: every game.
    std::function<bool(const EditorSession&)> available;
    // Fills the group's part of the state. Runs in group order, so a later group may use an earlier one's.
    void (*read)(const EditorSession&, int32_t index, SpeciesState&) = nullptr;
    // The bytes that take the species from `before` (as read) to `after`: only bytes that change.
    // Tables that move take their room from `space`, shared by the whole write.
    PlannedPart (*plan)(const EditorSession&, int32_t index, const SpeciesState& before,
                        const SpeciesState& after, FreeSpaceMap& space) = nullptr;
    // Completes `after` once a file's fields are in, given the keys the file named (may be empty).
    void (*settle)(const EditorSession&, const SpeciesState& before, SpeciesState& after,
                   const std::vector<std::string>& given) = nullptr;
    // For a table every species shares (the egg moves): the bytes of all the species' changes at once,
    // planned after each species' own parts. A group with it does not use plan.
    PlannedPart (*planShared)(const EditorSession&, const std::vector<StateChange>& changes,
                              FreeSpaceMap& space) = nullptr;
};

// Every group in the order the files hold them: name, record, EV yields, graphics, icon palette, attack
// table, evolutions, TM/HM, tutors, egg moves, Pokédex entry (and its second page), the battle numbers and
// Emerald's front animation number.
[[nodiscard]] const std::vector<FieldGroup>& SpeciesFieldGroups();

// The species as the window would show it: every available group read once.
[[nodiscard]] SpeciesState ReadSpeciesState(const EditorSession& session, int32_t index);

// The file offset a pointer text of the state addresses, or nothing when the text is no offset.
[[nodiscard]] std::optional<int64_t> OffsetOf(const std::string& pointerText);
// The pointer text the window shows for an offset.
[[nodiscard]] std::string PointerTextOf(int64_t offset);
