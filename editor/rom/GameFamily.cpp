#include "rom/GameFamily.h"

namespace {

constexpr GameFamily kFamilies[] = {
    {"BPR", "Pokemon FireRed", "BPRE"},  {"BPG", "Pokemon LeafGreen", "BPGE"},
    {"BPE", "Pokemon Emerald", "BPEE"},  {"AXV", "Pokemon Ruby", "AXVE"},
    {"AXP", "Pokemon Sapphire", "AXPE"},
};

std::string PrefixOf(const std::string& code) {
    std::string prefix = code.substr(0, 3);
    for (char& c : prefix) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return prefix;
}

}  // namespace

const GameFamily* FamilyOf(const std::string& gameCode) {
    const std::string prefix = PrefixOf(gameCode);
    for (const GameFamily& family : kFamilies) {
        if (prefix == family.prefix) return &family;
    }
    return nullptr;
}

bool IsRubyOrSapphire(const std::string& codeOrSection) {
    const std::string prefix = PrefixOf(codeOrSection);
    return prefix == "AXV" || prefix == "AXP";
}

bool IsFireRedOrLeafGreen(const std::string& codeOrSection) {
    const std::string prefix = PrefixOf(codeOrSection);
    return prefix == "BPR" || prefix == "BPG";
}
