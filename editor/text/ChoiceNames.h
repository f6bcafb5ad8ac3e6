#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "rom/EditorSession.h"

// The lists whose entry n names the stored number n, as the window's choice lists show them.
enum class ChoiceList {
    Types,
    Items,
    Abilities,
    EggGroups,
    Attacks,
    EvolutionMethods,
    Species,
    TmHm,
    Tutors
};
inline constexpr int kChoiceListCount = 9;

// "type", "item", ... for messages.
[[nodiscard]] const char* ChoiceListWord(ChoiceList list);

// Names for numbers and numbers for names, for files that people read and edit. A name stands for its number
// only when nothing else can be meant: it is the name of no other entry, it is not itself a number and it
// holds no character the list notation of the files uses (":" ";"), nor blanks at its ends.
class ChoiceNames {
public:
    // Entry n of names stands for the stored number n (Windows-1252 text).
    void SetList(ChoiceList list, std::vector<std::string> names);

    [[nodiscard]] const std::vector<std::string>& Names(ChoiceList list) const;
    // The name to write for the number, in UTF-8 as the files hold it; null when the number has to be
    // written.
    [[nodiscard]] const std::string* WrittenName(ChoiceList list, int64_t number) const;

    struct Lookup {
        std::optional<int64_t> number;
        std::string problem;  // when no number: why ("no entry is named ...", "... names 3 entries")
    };
    // The number a name stands for: the name as written, else the one name that matches without regard to
    // the case of the letters A to Z.
    [[nodiscard]] Lookup NumberFor(ChoiceList list, const std::string& name) const;

    // Where the names came from, for `info` and messages.
    std::string source;

private:
    struct Indexed {
        std::vector<std::string> names;
        // Every name, and every name with its letters upper-cased: the first entry and how many carry it.
        std::unordered_map<std::string, std::pair<int64_t, int>> exact, folded;
        std::vector<std::string>
            written;  // per entry: its name in UTF-8 where it stands for its number, else ""
    };
    std::array<Indexed, kChoiceListCount> lists_;
};

// The lists the window fills its choice lists from: the names of moves, abilities, types and items from the
// ROM's tables where its section gives them and namesFromRom is on, else from the list files of the data
// folder (Attacks.txt, Abilities.txt, Types.txt, Items.txt), egg groups from EggTypes.txt; the species names,
// the TM/HM and tutor move lists of the ROM (tutors by their moves' names) and the evolution methods, as the
// More Data window shows them.
[[nodiscard]] ChoiceNames LoadChoiceNames(const EditorSession& session, const std::string& dataFolder,
                                          bool namesFromRom = true);
