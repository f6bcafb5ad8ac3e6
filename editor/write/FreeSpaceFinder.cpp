#include "write/FreeSpaceFinder.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

#include "HexFunctions.h"
#include "HexOffset.h"

namespace {

constexpr uint8_t kFree = 0xFF;
constexpr uint64_t kAllFree = ~uint64_t{0};

int64_t AlignUp(int64_t value, int64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// The FF bytes at the start and at the end of bytes[0, count), a word at a time: free space runs for
// megabytes, and data has FF bytes in short runs everywhere.
size_t LeadingFree(const uint8_t* bytes, size_t count) {
    size_t k = 0;
    for (; k + 32 <= count; k += 32) {
        uint64_t w[4];
        std::memcpy(w, bytes + k, sizeof w);
        if ((w[0] & w[1] & w[2] & w[3]) != kAllFree) break;
    }
    if constexpr (std::endian::native == std::endian::little) {
        for (; k + 8 <= count; k += 8) {
            uint64_t w;
            std::memcpy(&w, bytes + k, sizeof w);
            if (w != kAllFree) return k + static_cast<size_t>(std::countr_zero(~w) / 8);
        }
    }
    while (k < count && bytes[k] == kFree) ++k;
    return k;
}

size_t TrailingFree(const uint8_t* bytes, size_t count) {
    size_t k = count;
    if constexpr (std::endian::native == std::endian::little) {
        for (; k >= 8; k -= 8) {
            uint64_t w;
            std::memcpy(&w, bytes + k - 8, sizeof w);
            if (w != kAllFree) return count - k + static_cast<size_t>(std::countl_zero(~w) / 8);
        }
    }
    while (k > 0 && bytes[k - 1] == kFree) --k;
    return count - k;
}

// Follows the runs of FF bytes through the pieces of one searched range. A run qualifies once it reaches the
// end of the request's bytes and margin after the first aligned offset past its own margin. Data between runs
// is mostly skipped: a run long enough must cover the byte `needed - 1` places on, so the byte there is
// looked at first.
class RunFollower {
public:
    RunFollower(int64_t length, int64_t margin, int64_t alignment)
        : length_(length), margin_(margin), alignment_(alignment), needed_(length + 2 * margin) {}

    // False once a place is found.
    bool Visit(int64_t base, const uint8_t* bytes, size_t count) {
        size_t i = 0;
        if (runStart_ >= 0) {
            if (Extend(base, bytes, count)) return false;
            if (runStart_ >= 0) return true;
            i = next_;
        }
        while (i < count) {
            const int64_t peek = static_cast<int64_t>(i) + needed_ - 1;
            if (peek >= static_cast<int64_t>(count)) {
                // Only a run that reaches the end of this piece can go on into the next.
                const size_t j = count - TrailingFree(bytes + i, count - i);
                if (j < count) Start(base + static_cast<int64_t>(j));
                return true;
            }
            const auto at = static_cast<size_t>(peek);
            if (bytes[at] != kFree) {
                i = at + 1;
                continue;
            }
            // The run is too short unless it also holds the byte `needed` places before its end.
            const size_t end = at + 1 + LeadingFree(bytes + at + 1, count - at - 1);
            if (end < count && bytes[end - static_cast<size_t>(needed_)] != kFree) {
                i = end + 1;
                continue;
            }
            Start(base + static_cast<int64_t>(at - TrailingFree(bytes + i, at - i)));
            if (base + static_cast<int64_t>(end) >= reach_) {
                found_ = place_;
                return false;
            }
            if (end == count) return true;  // the run goes on into the next piece
            runStart_ = -1;
            i = end + 1;
        }
        return true;
    }

    void EndOfRange() { runStart_ = -1; }
    [[nodiscard]] std::optional<int64_t> Found() const { return found_; }

private:
    void Start(int64_t runStart) {
        runStart_ = runStart;
        place_ = AlignUp(runStart + margin_, alignment_);
        reach_ = place_ + length_ + margin_;
    }

    // Follows the run of the last piece into this one; true when it reaches far enough. Otherwise the run
    // either ended (next_ is the byte after it) or goes on past this piece too.
    bool Extend(int64_t base, const uint8_t* bytes, size_t count) {
        const auto limit = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), reach_ - base));
        const size_t end = LeadingFree(bytes, limit);
        if (base + static_cast<int64_t>(end) >= reach_) {
            found_ = place_;
            return true;
        }
        if (end < count) {
            runStart_ = -1;
            next_ = end + 1;
        }
        return false;
    }

    int64_t length_, margin_, alignment_, needed_;
    int64_t runStart_ = -1;  // the first FF byte of the run that reaches the current piece, or -1
    int64_t place_ = 0;      // the run's first usable offset
    int64_t reach_ = 0;      // where the run must reach for place_ to fit
    size_t next_ = 0;
    std::optional<int64_t> found_;
};

}  // namespace

FreeSpaceFound FindFreeSpace(const std::string& romPath, const FreeSpaceRequest& request) {
    FreeSpaceFound result;
    if (request.length <= 0 || request.margin < 0 || request.alignment <= 0) {
        result.error = "There is nothing to place.";
        return result;
    }
    // The searched ranges are read in one go; a piece that does not follow on from the last one starts a new
    // range, and runs do not cross from one range into the next.
    std::vector<HexFunctions::ByteSpan> spans;
    for (const ByteRange& range : Subtract(request.searchIn, request.avoid)) {
        if (range.size() >= request.length + 2 * request.margin) spans.push_back({range.start, range.size()});
    }
    RunFollower follower(request.length, request.margin, request.alignment);
    int64_t next = -1;
    const bool read = HexFunctions::VisitBytes(
        romPath, spans, [&follower, &next](int64_t base, const uint8_t* bytes, size_t count) {
            if (base != next) follower.EndOfRange();
            next = base + static_cast<int64_t>(count);
            return follower.Visit(base, bytes, count);
        });
    if (!read) {
        result.error = "The file \"" + romPath + "\" cannot be read where free space is searched.";
        return result;
    }
    if (const std::optional<int64_t> found = follower.Found()) {
        result.offset = found;
        return result;
    }
    std::string searched;
    for (const ByteRange& range : Subtract(request.searchIn, {}))
        searched += (searched.empty() ? "" : ", ") + HexOffset(range.start) + " to " + HexOffset(range.end);
    result.error = "No run of " + std::to_string(request.length + 2 * request.margin) +
                   " unused (FF) bytes (" + std::to_string(request.length) + " for the data and " +
                   std::to_string(request.margin) + " on either side) lies in the free space (" +
                   (searched.empty() ? "none" : searched) + ") outside the tables the editor knows.";
    return result;
}
