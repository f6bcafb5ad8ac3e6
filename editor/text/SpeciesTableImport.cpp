#include "text/SpeciesTableImport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "HexOffset.h"
#include "Windows1252.h"

namespace {

struct KnownField {
    const FieldGroup* group;
    const SpeciesField* field;
    size_t ordinal;  // the field's place among all of them
};

std::unordered_map<std::string, KnownField> FieldsByKey() {
    std::unordered_map<std::string, KnownField> known;
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        for (const SpeciesField& field : group.fields) known[field.key] = {&group, &field, known.size()};
    }
    return known;
}

bool Available(const FieldGroup& group, const EditorSession& session) {
    return !group.available || group.available(session);
}

// The labels of the change lines: the names as the ROM holds them now, with the index where another species
// has the same name.
std::vector<std::string> SpeciesLabels(const ChoiceNames& names) {
    std::vector<std::string> labels;
    std::unordered_map<std::string, int> count;
    for (const std::string& name : names.Names(ChoiceList::Species)) {
        labels.push_back(Windows1252::ToUtf8(name));
        ++count[labels.back()];
    }
    labels.resize(Species::kCount);
    for (size_t index = 0; index < labels.size(); ++index) {
        const std::string number = "#" + std::to_string(index);
        std::string& label = labels[index];
        label = label.empty() ? number : count[label] > 1 ? label + " " + number : label;
    }
    return labels;
}

// A value on one line of the change list: a description's line breaks show as \n.
std::string Shown(const std::string& text) {
    if (text.empty()) return "(none)";
    std::string shown;
    for (const char c : text) shown += c == '\n' ? std::string("\\n") : std::string(1, c);
    return shown;
}

std::string RowNotation(const std::vector<TextPart>& row) {
    TextValue one;
    one.isList = true;
    one.rows.push_back(row);
    return ListNotation(one);
}

void AddChanges(const SpeciesField& field, const FieldValue& was, const FieldValue& now,
                const ChoiceNames& names, FieldChange base, std::vector<FieldChange>& changes) {
    const TextValue before = ValueText(field, was, names);
    const TextValue after = ValueText(field, now, names);
    base.field = field.key;
    if (field.isList && before.rows.size() == after.rows.size()) {
        for (size_t r = 0; r < after.rows.size(); ++r) {
            std::string row = RowNotation(before.rows[r]);
            std::string other = RowNotation(after.rows[r]);
            if (row == other) continue;
            FieldChange change = base;
            change.field = field.key + "[" + std::to_string(r + 1) + "]";
            change.before = std::move(row);
            change.after = std::move(other);
            changes.push_back(std::move(change));
        }
        return;
    }
    base.before = Shown(ListNotation(before));
    base.after = Shown(ListNotation(after));
    changes.push_back(std::move(base));
}

// A table a plan moved, as a line of its own.
void AddMoves(const PlannedPart& part, const FieldChange& base, std::vector<FieldChange>& changes) {
    for (const PlannedPart::Moved& moved : part.moved) {
        FieldChange change = base;
        change.field = moved.key;
        change.before = moved.before;
        change.after = moved.before.empty() ? moved.after : moved.after + " (moved into free space)";
        changes.push_back(std::move(change));
    }
}

// A field the file gives (or a group completes), with its value as the ROM holds it.
struct Given {
    const FieldGroup* group;
    const SpeciesField* field;
    FieldValue value;
    bool same;  // the file gives the value the ROM holds
};

ImportPlan Refused(std::string error) {
    ImportPlan refused;
    if (!error.empty() && error[0] >= 'a' && error[0] <= 'z')
        error[0] = static_cast<char>(error[0] - 'a' + 'A');
    refused.error = std::move(error);
    return refused;
}

}  // namespace

ImportPlan PlanSpeciesTableImport(const EditorSession& session, const ChoiceNames& names,
                                  const TableText& table, const std::string& label) {
    const std::unordered_map<std::string, KnownField> known = FieldsByKey();
    const std::vector<std::string> labels = SpeciesLabels(names);
    std::vector<const FieldGroup*> groups;
    for (const FieldGroup& group : SpeciesFieldGroups()) {
        if (Available(group, session)) groups.push_back(&group);
    }

    // Every species once, before anything else is read.
    std::array<const SpeciesText*, Species::kCount> entryOf{};
    std::vector<int32_t> indices;
    for (const SpeciesText& species : table.species) {
        if (!species.index)
            return Refused(species.where +
                           ": the species has no \"index\", so it cannot be told which it is.");
        const std::optional<int32_t> index = ParseIndex(*species.index);
        if (!index)
            return Refused(species.where + ": the index \"" + species.index->text +
                           "\" is not a species index from 0 to " + std::to_string(Species::kCount - 1) +
                           ".");
        if (const SpeciesText* first = entryOf[static_cast<size_t>(*index)])
            return Refused("Species " + std::to_string(*index) + " appears twice in the file (" +
                           first->where + " and " + species.where + "); each species may appear once.");
        entryOf[static_cast<size_t>(*index)] = &species;
        indices.push_back(*index);
    }

    ImportPlan result;
    result.plan.label = label;
    std::map<int64_t, std::pair<uint8_t, int32_t>> planned;  // offset: value and the species that plans it
    FreeSpaceMap space(session);
    std::map<const FieldGroup*, std::vector<StateChange>> shared;
    std::vector<const KnownField*> keyAt;  // the field found at each place of the previous species' fields
    // A part's bytes into the plan; two species that want one byte different are refused.
    const auto take = [&](const PlannedPart& part, int32_t index) -> std::string {
        for (const PlannedByte& byte : part.bytes) {
            auto [at, added] = planned.try_emplace(byte.offset, byte.value, index);
            if (added) {
                result.plan.bytes.push_back(byte);
            } else if (at->second.first != byte.value) {
                return "Species " + std::to_string(at->second.second) + " and species " +
                       std::to_string(index) + " both change the byte at " + HexOffset(byte.offset) + " (" +
                       byte.field +
                       "), to different values; they may share a table. Change it in one of them only.";
            }
        }
        return {};
    };
    for (size_t k = 0; k < indices.size(); ++k) {
        const int32_t index = indices[k];
        const SpeciesText& species = table.species[k];
        const auto who = [&] {
            return species.where + ", species " + std::to_string(index) + " (" +
                   labels[static_cast<size_t>(index)] + ")";
        };
        const SpeciesState before = ReadSpeciesState(session, index);
        SpeciesState after = before;
        std::vector<std::string> given;
        std::vector<Given> was;  // each given field as the ROM holds it
        given.reserve(species.fields.size());
        was.reserve(species.fields.size());
        std::vector<bool> seen(known.size(), false);
        for (size_t k = 0; k < species.fields.size(); ++k) {
            const TextField& text = species.fields[k];
            // Files give the same keys in the same order for every species: the previous species' lookup at
            // this place usually serves.
            if (k >= keyAt.size()) keyAt.resize(k + 1, nullptr);
            const KnownField* found = keyAt[k] && keyAt[k]->field->key == text.key ? keyAt[k] : nullptr;
            if (!found) {
                const auto entry = known.find(text.key);
                if (entry == known.end()) return Refused(who() + ": there is no field \"" + text.key + "\".");
                found = keyAt[k] = &entry->second;
            }
            if (seen[found->ordinal])
                return Refused(who() + ": the field \"" + text.key + "\" is given twice.");
            seen[found->ordinal] = true;
            const KnownField& field = *found;
            if (!Available(*field.group, session))
                return Refused(who() + ": field \"" + text.key + "\": section [" + session.Section +
                               "] of Data.ini does not give this game's " + field.group->name + ".");
            FieldValue current = field.field->get(before);
            const ValueCheck check{&session, &names, &current};
            bool same = GivesCurrentValue(*field.field, text.value, check);
            if (!same) {
                const ParsedValue parsed = ParseValue(*field.field, text.value, check);
                if (!parsed.value)
                    return Refused(who() + ", field \"" + text.key + "\": " + parsed.problem + ".");
                same = *parsed.value == current;
                if (!same) field.field->set(after, *parsed.value);
            }
            given.push_back(text.key);
            was.push_back({field.group, field.field, std::move(current), same});
        }

        // A group that completes a file's fields may change fields the file leaves out.
        std::vector<decltype(FieldGroup::settle)> settled;
        for (const FieldGroup* group : groups) {
            if (!group->settle || std::find(settled.begin(), settled.end(), group->settle) != settled.end())
                continue;
            settled.push_back(group->settle);
            group->settle(session, before, after, given);
            for (const SpeciesField& field : group->fields) {
                if (std::find(given.begin(), given.end(), field.key) == given.end())
                    was.push_back({group, &field, field.get(before), false});
            }
        }

        FieldChange base;
        base.index = index;
        base.species = labels[static_cast<size_t>(index)];
        std::vector<decltype(FieldGroup::plan)> planners;
        std::vector<const FieldGroup*> sharing;
        for (const Given& given : was) {
            // A value the file leaves as it is stays so, unless a group completes it (settle).
            if (given.same && !given.group->settle) continue;
            const FieldValue now = given.field->get(after);
            if (given.value == now) continue;
            AddChanges(*given.field, given.value, now, names, base, result.changes);
            const FieldGroup* group = given.group;
            if (group->planShared) {
                if (std::find(sharing.begin(), sharing.end(), group) == sharing.end())
                    sharing.push_back(group);
            } else if (std::find(planners.begin(), planners.end(), group->plan) == planners.end()) {
                planners.push_back(group->plan);
            }
        }
        for (const FieldGroup* group : sharing) shared[group].push_back({index, before, after});

        for (const auto plan : planners) {
            PlannedPart part = plan(session, index, before, after, space);
            if (!part.error.empty()) return Refused(who() + ", field " + part.error + ".");
            AddMoves(part, base, result.changes);
            if (std::string conflict = take(part, index); !conflict.empty())
                return Refused(std::move(conflict));
        }
    }

    // Tables every species shares, once all their changes are known.
    for (const FieldGroup* group : groups) {
        const auto changes = shared.find(group);
        if (changes == shared.end()) continue;
        PlannedPart part = group->planShared(session, changes->second, space);
        if (!part.error.empty()) return Refused("The " + group->name + ", field " + part.error + ".");
        FieldChange base;
        base.index = -1;
        base.species = "(" + group->name + ")";
        AddMoves(part, base, result.changes);
        if (std::string conflict = take(part, changes->second.front().index); !conflict.empty())
            return Refused(std::move(conflict));
    }
    return result;
}
