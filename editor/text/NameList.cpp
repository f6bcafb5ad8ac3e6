#include "text/NameList.h"

#include "CharTable.h"
#include "HexFunctions.h"

std::vector<std::string> LoadNameList(const EditorSession& session) {
    std::vector<std::string> names;
    names.reserve(Species::kCount);
    // One read per entry: the file stays the only copy, so a list rebuilt after a save shows what it now
    // holds.
    for (int32_t i = 0; i < Species::kCount; ++i) {
        names.push_back(CharTable::DecodeName(
            HexFunctions::ReadHexBytes(session.RomPath, Species::NameEntry(session, i), Species::kNameSize)));
    }
    return names;
}

std::vector<std::string> ReadSpeciesNames(const EditorSession& session) {
    const std::string hex =
        HexFunctions::ReadHexBytes(session.RomPath, session.NameOffset, Species::kNameSize * Species::kCount);
    std::vector<std::string> names;
    names.reserve(Species::kCount);
    constexpr size_t kDigits = 2 * Species::kNameSize;
    for (size_t i = 0; i < static_cast<size_t>(Species::kCount); ++i)
        names.push_back(CharTable::DecodeName(hex.substr(kDigits * i, kDigits)));
    return names;
}

std::string NameListText(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + "\r\n";
    return text;
}
