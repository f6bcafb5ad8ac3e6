#include "pictures/Lz77Compressor.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace Lz77 {
namespace {

constexpr std::size_t kMinLength = 3;
constexpr std::size_t kMaxLength = 18;
constexpr std::size_t kMinDistance = 2;
constexpr std::size_t kMaxDistance = 4096;
// Candidates looked at per position after the likely distances: the builder compresses over a thousand
// pictures per ROM, and a deeper search gains little on tile data.
constexpr int kChainDepth = 8;
// A match this long is taken at once: looking one position further rarely finds a better one.
constexpr std::size_t kLazyBelow = 8;
constexpr unsigned kHashBits = 10;
constexpr int32_t kNone = -1;
static_assert(kNone == ~0, "the head table is cleared by setting every bit");
// Tile data repeats most often one pixel row (4 bytes), one tile (32 bytes), one pixel pair or one row of
// a 64-pixel sprite's tiles (256 bytes) back.
constexpr std::size_t kLikelyDistances[] = {4, 32, 2, 256};
constexpr std::size_t kLikelyCount = std::size(kLikelyDistances);

// Inlined even in unoptimised builds, where it runs once per input byte.
[[gnu::always_inline]] inline std::size_t Hash(const uint8_t* at) {
    const uint32_t key =
        static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16;
    return (key * 2654435761u) >> (32 - kHashBits);
}

struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
};

// The positions seen so far, chained by the hash of the three bytes that start there. Written with plain
// pointers and no helper calls in the inner loops, because the builder also runs in unoptimised sanitizer
// builds, where every call and checked access counts.
class MatchFinder {
public:
    explicit MatchFinder(const std::vector<uint8_t>& data)
        : data_(data.data()),
          size_(data.size()),
          previousStore_(new int32_t[data.size()]),
          previous_(previousStore_.get()) {
        // All bits set is kNone in every entry; each previous_ entry is written when its position is entered.
        std::memset(head_, 0xFF, sizeof head_);
    }

    // The longest earlier copy of the bytes at position, at least kMinDistance back. Positions must be asked
    // for in increasing order; all those before it are entered first.
    Match Longest(std::size_t position) {
        const uint8_t* const data = data_;
        int32_t* const head = head_;
        int32_t* const previous = previous_;
        for (; entered_ < position && entered_ + kMinLength <= size_; ++entered_) {
            const uint8_t* const at = data + entered_;
            const std::size_t hash = Hash(at);
            previous[entered_] = head[hash];
            head[hash] = static_cast<int32_t>(entered_);
        }
        Match best;
        if (position + kMinLength > size_) return best;
        const std::size_t limit = std::min(kMaxLength, size_ - position);
        const uint8_t* const here = data + position;

        std::size_t tried = 0;
        int32_t candidate = head[Hash(here)];
        for (;;) {
            std::size_t distance;
            if (tried < kLikelyCount) {
                distance = kLikelyDistances[tried];
            } else {
                if (candidate == kNone || tried >= kLikelyCount + kChainDepth) break;
                distance = position - static_cast<std::size_t>(candidate);
                candidate = previous[candidate];
                if (distance > kMaxDistance) break;
            }
            ++tried;
            if (distance < kMinDistance || distance > position) continue;
            const uint8_t* const from = here - distance;
            if (from[0] != here[0] || from[best.length] != here[best.length]) continue;
            std::size_t length = 1;
            while (length < limit && from[length] == here[length]) ++length;
            if (length > best.length) {
                best = Match{length, distance};
                if (length == limit) break;
            }
        }
        if (best.length < kMinLength) best = Match{};
        return best;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    int32_t head_[std::size_t{1} << kHashBits];
    std::unique_ptr<int32_t[]> previousStore_;
    int32_t* previous_;
    std::size_t entered_ = 0;
};

}  // namespace

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
    if (data.size() > kMaxInput) return {};
    const std::size_t n = data.size();
    // The worst case, every byte a literal: the header, the bytes, a flag byte per eight, padding.
    std::vector<uint8_t> out(4 + n + n / 8 + 8, 0);
    uint8_t* const start = out.data();
    uint8_t* write = start;
    *write++ = 0x10;
    *write++ = static_cast<uint8_t>(n & 0xFF);
    *write++ = static_cast<uint8_t>(n >> 8 & 0xFF);
    *write++ = static_cast<uint8_t>(n >> 16 & 0xFF);

    MatchFinder finder(data);
    uint8_t* flags = nullptr;
    int block = 8;
    const auto nextBlock = [&]() {
        if (block == 8) {
            flags = write++;
            block = 0;
        }
        return block++;
    };

    // Greedy with one step of look-ahead: a match is put off for a literal when the next position has a
    // longer one, which catches most of what an exhaustive parse would gain.
    std::size_t i = 0;
    Match current = finder.Longest(0);
    while (i < n) {
        if (current.length >= kMinLength && current.length < kLazyBelow && i + 1 < n) {
            const Match next = finder.Longest(i + 1);
            if (next.length > current.length) {
                nextBlock();
                *write++ = data[i];
                ++i;
                current = next;
                continue;
            }
        }
        const int bit = nextBlock();
        if (current.length < kMinLength) {
            *write++ = data[i];
            ++i;
        } else {
            const std::size_t distance = current.distance - 1;
            *flags = static_cast<uint8_t>(*flags | 0x80 >> bit);
            *write++ = static_cast<uint8_t>((current.length - kMinLength) << 4 | distance >> 8);
            *write++ = static_cast<uint8_t>(distance & 0xFF);
            i += current.length;
        }
        current = finder.Longest(i);
    }
    std::size_t length = static_cast<std::size_t>(write - start);
    length = (length + 3) & ~std::size_t{3};
    out.resize(length);
    return out;
}

}  // namespace Lz77
