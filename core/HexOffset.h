#pragma once

#include <cstdint>
#include <string>

// A file offset as messages show it: "0x1A2B3C".
[[nodiscard]] std::string HexOffset(int64_t offset);
