#include "HexOffset.h"

#include <cstdio>

std::string HexOffset(int64_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(offset));
    return text;
}
