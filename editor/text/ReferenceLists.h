#pragma once

#include <string>
#include <vector>

// The choice lists of the window: entry n stands for the stored number n.

// Entry n of a name file: the text split at every CR LF (a final CR LF adds an empty entry; an empty or
// missing file gives no entries).
[[nodiscard]] std::vector<std::string> SplitListFile(const std::string& text);
[[nodiscard]] std::vector<std::string> LoadListFile(const std::string& path);

// "M% Male F% Female " for positions 0 to 254, with the given decimal separator.
[[nodiscard]] std::string GenderRatioText(int position, char decimalSeparator = '.');
// 256 entries: the 255 ratios and "None".
[[nodiscard]] std::vector<std::string> GenderRatioList(char decimalSeparator = '.');

// "0", "256", ... "65280".
[[nodiscard]] std::vector<std::string> StepsList();
// "Pal 1", "Pal 2", "Pal 3".
[[nodiscard]] std::vector<std::string> IconPaletteList();
