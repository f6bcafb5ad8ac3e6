#include "text/ReferenceLists.h"

#include "ReadINI.h"
#include "species/FieldLimits.h"

std::vector<std::string> SplitListFile(const std::string& text) {
    return ReadINI::SplitText(text, "\r\n");
}

std::vector<std::string> LoadListFile(const std::string& path) {
    return SplitListFile(ReadINI::ReadTextFile(path));
}

namespace {

// The list shows each share cut to five characters, whatever the digits after that.
std::string ShareText(double share, char decimalSeparator) {
    std::string text = FieldLimits::DecimalText(share);
    for (char& c : text) {
        if (c == '.') c = decimalSeparator;
    }
    return text.substr(0, 5);
}

}  // namespace

std::string GenderRatioText(int position, char decimalSeparator) {
    const double female = position * 100 / 254.0;
    const double male = 100 - female;
    return ShareText(male, decimalSeparator) + "% Male " + ShareText(female, decimalSeparator) + "% Female ";
}

std::vector<std::string> GenderRatioList(char decimalSeparator) {
    std::vector<std::string> list;
    list.reserve(256);
    for (int position = 0; position <= 254; ++position)
        list.push_back(GenderRatioText(position, decimalSeparator));
    list.emplace_back("None");
    return list;
}

std::vector<std::string> StepsList() {
    std::vector<std::string> list;
    list.reserve(256);
    for (int position = 0; position < 256; ++position) list.push_back(std::to_string(position * 256));
    return list;
}

std::vector<std::string> IconPaletteList() {
    return {"Pal 1", "Pal 2", "Pal 3"};
}
