#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SpaceForMoves.h"

namespace testsupport {

// Free space at offsets the test chose, handed out in order; none left is the finder's "no room".
class FixedSpace : public SpaceForMoves {
public:
    explicit FixedSpace(std::vector<int64_t> offsets) : offsets_(std::move(offsets)) {}
    std::optional<int64_t> Take(int64_t length, std::string* error) override {
        if (next_ >= offsets_.size()) {
            *error = "No free space of " + std::to_string(length) + " bytes is left.";
            return std::nullopt;
        }
        taken.push_back({offsets_[next_], length});
        return offsets_[next_++];
    }
    void Avoid(int64_t start, int64_t end) override { avoided.push_back({start, end}); }

    std::vector<std::pair<int64_t, int64_t>> taken, avoided;  // (start, length) and (start, end)

private:
    std::vector<int64_t> offsets_;
    size_t next_ = 0;
};

}  // namespace testsupport
