#include "rom/TableSearch.h"

#include <algorithm>

#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/PointerSearch.h"

std::optional<TableSearch> TableSearch::Read(const std::string& romPath, int64_t fileSize) {
    std::optional<std::vector<uint8_t>> image = HexFunctions::ReadBytes(romPath, 0, fileSize);
    if (!image) return std::nullopt;
    return TableSearch(std::move(*image));
}

TableSearch::TableSearch(std::vector<uint8_t> image) : image_(std::move(image)) {
    const auto size = static_cast<int64_t>(image_.size());
    std::vector<int64_t> pointed;
    for (int64_t at = 0; at + 4 <= size; at += 4) {
        const int64_t target = int64_t{PointerSearch::WordAt(image_.data() + at)} - PointerSearch::kRomBase;
        if (target >= 0 && target < size) pointed.push_back(target);
    }
    std::sort(pointed.begin(), pointed.end());
    for (const int64_t target : pointed) {
        if (!targets_.empty() && targets_.back().first == target) {
            ++targets_.back().second;
        } else {
            targets_.emplace_back(target, 1);
        }
    }
}

TableSearch::Found TableSearch::Find(const TableShapes::Shape& shape, TableShapes::Context context,
                                     const std::vector<int64_t>& claimed) const {
    if (!shape.searched) {
        Found unsearched;
        unsearched.problem = kUnsearched;
        return unsearched;
    }
    context.image = &image_;
    std::vector<std::pair<int64_t, int>> candidates;
    for (const auto& [target, count] : targets_) {
        if (target % shape.alignment != 0 || !shape.fits(context, target)) continue;
        if (std::find(claimed.begin(), claimed.end(), target) != claimed.end()) continue;
        if (shape.sharpened && !shape.sharpened(context, target)) continue;
        candidates.emplace_back(target, count);
    }
    Found found;
    if (candidates.empty()) {
        found.problem = "no other place that the file's pointers lead to looks like them";
        return found;
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    const auto pointers = [](int count) {
        return std::to_string(count) + (count == 1 ? " pointer" : " pointers");
    };
    if (candidates.size() > 1 && candidates[1].second == candidates[0].second) {
        found.ambiguous = true;
        found.problem = HexOffset(candidates[0].first) + " and " + HexOffset(candidates[1].first) +
                        " both look like them, " + pointers(candidates[0].second) + " each";
        return found;
    }
    found.offset = static_cast<int32_t>(candidates[0].first);
    found.pointers = candidates[0].second;
    return found;
}
