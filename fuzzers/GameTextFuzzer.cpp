// The game text codec in either language (the first byte chooses): any codes decode to a text that encodes
// back to the same codes (up to the first FF), and any text either encodes to codes that decode and encode
// again to themselves, or is refused. The Latin letters and both languages' quotes are among the bytes.

#include <algorithm>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "GameText.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const GameText::Language language = data[0] & 1 ? GameText::Language::German : GameText::Language::English;
    ++data;
    --size;
    const std::vector<uint8_t> codes(data, data + size);
    const std::vector<uint8_t> kept(codes.begin(), std::find(codes.begin(), codes.end(), GameText::kEnd));
    const std::string text = GameText::Decode(codes, language);
    const GameText::Encoded again = GameText::Encode(text, language);
    Require(again.ok(), "a decoded text encodes");
    Require(again.codes == kept, "decode then encode gives the codes up to the first FF");

    // The same bytes as typed text: refused, or stable from then on.
    const GameText::Encoded typed = GameText::Encode(std::string(data, data + size), language);
    if (typed.ok()) {
        Require(std::find(typed.codes.begin(), typed.codes.end(), GameText::kEnd) == typed.codes.end(),
                "an encoded text holds no FF");
        const GameText::Encoded twice = GameText::Encode(GameText::Decode(typed.codes, language), language);
        Require(twice.ok() && twice.codes == typed.codes, "encoded codes survive decode and encode");
    }
    return 0;
}
