#include "species/AttackRowOrder.h"

#include <algorithm>

int AddedRowPosition(const std::vector<int>& levels, int selected, int level) {
    const int count = static_cast<int>(levels.size());
    const int afterSelected = selected >= 0 && selected < count ? selected + 1 : count;
    if (!std::is_sorted(levels.begin(), levels.end())) return afterSelected;
    const int first =
        static_cast<int>(std::lower_bound(levels.begin(), levels.end(), level) - levels.begin());
    const int last = static_cast<int>(std::upper_bound(levels.begin(), levels.end(), level) - levels.begin());
    return afterSelected >= first && afterSelected <= last ? afterSelected : last;
}
