#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// The file offsets from start up to, not including, end.
struct ByteRange {
    int64_t start = 0;
    int64_t end = 0;

    [[nodiscard]] int64_t size() const { return end > start ? end - start : 0; }
    [[nodiscard]] bool empty() const { return end <= start; }
    [[nodiscard]] bool Overlaps(const ByteRange& other) const {
        return start < other.end && other.start < end && !empty() && !other.empty();
    }
    [[nodiscard]] bool Contains(int64_t offset) const { return offset >= start && offset < end; }
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// The offsets of `ranges` that lie in none of `removed`, as sorted ranges that neither overlap nor touch.
[[nodiscard]] inline std::vector<ByteRange> Subtract(std::vector<ByteRange> ranges,
                                                     std::vector<ByteRange> removed) {
    const auto byStart = [](const ByteRange& a, const ByteRange& b) { return a.start < b.start; };
    std::erase_if(ranges, [](const ByteRange& r) { return r.empty(); });
    std::erase_if(removed, [](const ByteRange& r) { return r.empty(); });
    std::sort(ranges.begin(), ranges.end(), byStart);
    std::sort(removed.begin(), removed.end(), byStart);
    std::vector<ByteRange> merged;
    for (const ByteRange& range : ranges) {
        if (!merged.empty() && range.start <= merged.back().end)
            merged.back().end = std::max(merged.back().end, range.end);
        else
            merged.push_back(range);
    }
    std::vector<ByteRange> left;
    size_t cut = 0;
    for (ByteRange range : merged) {
        while (cut < removed.size() && removed[cut].end <= range.start) ++cut;
        for (size_t k = cut; k < removed.size() && removed[k].start < range.end; ++k) {
            if (removed[k].start > range.start) left.push_back({range.start, removed[k].start});
            range.start = std::max(range.start, removed[k].end);
        }
        if (!range.empty()) left.push_back(range);
    }
    return left;
}
