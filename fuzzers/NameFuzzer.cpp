// The species name codec: DecodeName on any text (entries come from the ROM, but the function takes any
// string), EncodeName on any single-byte text the name box can hold.

#include <algorithm>
#include <string>

#include "CharTable.h"
#include "FuzzSupport.h"

namespace {

using fuzz::Require;

bool IsUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::string UpperHexOf(const std::string& bytes) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char byte : bytes) {
        hex += kDigits[static_cast<unsigned char>(byte) >> 4];
        hex += kDigits[static_cast<unsigned char>(byte) & 0x0F];
    }
    return hex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // As digits of any case, odd length and other characters included, and as a true ROM entry.
    (void)CharTable::DecodeName(bytes);
    (void)CharTable::DecodeName(UpperHexOf(bytes));

    const std::string encoded = CharTable::EncodeName(bytes);
    Require(encoded.size() == (bytes.empty() ? 20u : 22u), "an encoded name has 10 or 11 codes");
    Require(std::all_of(encoded.begin(), encoded.end(), IsUpperHexDigit), "codes are upper-case digits");
    const std::string decoded = CharTable::DecodeName(encoded);

    // A name of characters that all have a code comes back cut to the entry's 11 characters. "^" is excluded:
    // its code FF is the name's end.
    const std::string kept = bytes.substr(0, CharTable::kNameEntrySize);
    const bool encodable = std::all_of(
        kept.begin(), kept.end(), [](char c) { return c != '^' && CharTable::EncodeChar(c).has_value(); });
    if (encodable) Require(decoded == kept, "an encodable name decodes to itself");
    return 0;
}
