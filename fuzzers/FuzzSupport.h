#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// The entry point libFuzzer calls, and that ReplayMain.cpp calls once per corpus file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// A broken property has to end the run the way a crash does: libFuzzer then keeps the input, and the replay
// test over the corpus fails.
inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "Property does not hold: %s\n", property);
    std::abort();
}

// Takes the input apart front to back. Reads past the end give zeros, so every input, however short, is a
// whole case and the mutator never has to learn a minimum length.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    uint16_t Word() {
        const uint16_t low = Byte();
        return static_cast<uint16_t>(low | (Byte() << 8));
    }

    std::string Text(size_t length) {
        const size_t taken = length < Left() ? length : Left();
        std::string text(reinterpret_cast<const char*>(data_ + pos_), taken);
        pos_ += taken;
        return text;
    }

    std::string Rest() { return Text(Left()); }

    size_t Left() const { return size_ - pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace fuzz
