#include "text/ChoiceNames.h"

#include <iterator>

#include "Windows1252.h"
#include "rom/RomNameTables.h"
#include "species/Evolutions.h"
#include "species/MoveCompatibility.h"
#include "text/NameList.h"
#include "text/ReferenceLists.h"

namespace {

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// A name that is all digits would read back as a number.
bool IsDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool Usable(const std::string& name) {
    return !name.empty() && !IsDigits(name) && name.find_first_of(":;") == std::string::npos &&
           name.front() != ' ' && name.back() != ' ';
}

const char* const kListFiles[] = {"Types.txt", "Items.txt", "Abilities.txt", "EggTypes.txt", "Attacks.txt"};
const char* const kListWords[kChoiceListCount] = {
    "type", "item", "ability", "egg group", "attack", "evolution method", "species", "TM/HM", "tutor move"};

}  // namespace

void ChoiceNames::SetList(ChoiceList list, std::vector<std::string> names) {
    Indexed& indexed = lists_[static_cast<size_t>(list)];
    indexed = Indexed{};
    indexed.names = std::move(names);
    for (size_t n = 0; n < indexed.names.size(); ++n) {
        const std::string& name = indexed.names[n];
        for (auto [map, key] :
             {std::pair{&indexed.exact, name}, std::pair{&indexed.folded, UpperAscii(name)}}) {
            auto [entry, added] = map->try_emplace(key, static_cast<int64_t>(n), 0);
            ++entry->second.second;
        }
    }
    indexed.written.reserve(indexed.names.size());
    for (const std::string& name : indexed.names) {
        const bool writable = Usable(name) && indexed.exact.at(name).second == 1;
        indexed.written.push_back(writable ? Windows1252::ToUtf8(name) : std::string());
    }
}

const std::vector<std::string>& ChoiceNames::Names(ChoiceList list) const {
    return lists_[static_cast<size_t>(list)].names;
}

const std::string* ChoiceNames::WrittenName(ChoiceList list, int64_t number) const {
    const Indexed& indexed = lists_[static_cast<size_t>(list)];
    if (number < 0 || number >= static_cast<int64_t>(indexed.written.size())) return nullptr;
    const std::string& name = indexed.written[static_cast<size_t>(number)];
    return name.empty() ? nullptr : &name;
}

ChoiceNames::Lookup ChoiceNames::NumberFor(ChoiceList list, const std::string& name) const {
    const Indexed& indexed = lists_[static_cast<size_t>(list)];
    const std::string word = ChoiceListWord(list);
    const auto find = [](const auto& map, const std::string& key) -> std::pair<int64_t, int> {
        const auto found = map.find(key);
        return found == map.end() ? std::pair<int64_t, int>{0, 0} : found->second;
    };
    auto [number, count] = find(indexed.exact, name);
    if (count == 0) std::tie(number, count) = find(indexed.folded, UpperAscii(name));
    if (count == 1) return {number, {}};
    if (count == 0) return {std::nullopt, "no " + word + " has this name"};
    return {std::nullopt,
            std::to_string(count) + " entries of the " + word + " list have this name: write the number"};
}

const char* ChoiceListWord(ChoiceList list) {
    return kListWords[static_cast<size_t>(list)];
}

ChoiceNames LoadChoiceNames(const EditorSession& session, const std::string& dataFolder, bool namesFromRom) {
    ChoiceNames names;
    for (size_t k = 0; k < std::size(kListFiles); ++k)
        names.SetList(static_cast<ChoiceList>(k), LoadListFile(dataFolder + "/" + kListFiles[k]));
    // As in the window: a names table of the ROM serves where the section gives one that holds names.
    const RomNames::Names fromRom = RomNames::ReadNames(session, namesFromRom);
    const std::pair<RomNames::List, ChoiceList> tables[] = {{RomNames::kMoves, ChoiceList::Attacks},
                                                            {RomNames::kAbilities, ChoiceList::Abilities},
                                                            {RomNames::kTypes, ChoiceList::Types},
                                                            {RomNames::kItems, ChoiceList::Items}};
    for (const auto& [table, list] : tables) {
        if (fromRom.lists[table].FromRom()) names.SetList(list, fromRom.lists[table].names);
    }
    std::string source = RomNames::SourceText(fromRom);
    if (source.rfind("Names: ", 0) == 0) source.erase(0, 7);
    names.source = source + " Egg groups and the list files from " + dataFolder + ".";
    names.SetList(ChoiceList::EvolutionMethods, EvolutionMethodNames());
    names.SetList(ChoiceList::Species, ReadSpeciesNames(session));
    if (const std::optional<Compatibility> tmhm = ReadTmHmCompatibility(session, 0)) {
        std::vector<std::string> tms;
        for (size_t bit = 0; bit < tmhm->moves.size(); ++bit) tms.push_back(TmHmName(static_cast<int>(bit)));
        names.SetList(ChoiceList::TmHm, std::move(tms));
    }
    if (const std::optional<Compatibility> tutors = ReadTutorCompatibility(session, 0)) {
        const std::vector<std::string>& attacks = names.Names(ChoiceList::Attacks);
        std::vector<std::string> moves;
        for (int move : tutors->moves)
            moves.push_back(move >= 0 && static_cast<size_t>(move) < attacks.size()
                                ? attacks[static_cast<size_t>(move)]
                                : "");
        names.SetList(ChoiceList::Tutors, std::move(moves));
    }
    return names;
}
