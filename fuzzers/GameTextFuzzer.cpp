// The game text codec: any codes decode to a text that encodes back to the same codes (up to the first FF),
// and any text either encodes to codes that decode and encode again to themselves, or is refused.

#include <algorithm>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "GameText.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> codes(data, data + size);
    const std::vector<uint8_t> kept(codes.begin(), std::find(codes.begin(), codes.end(), GameText::kEnd));
    const std::string text = GameText::Decode(codes);
    const GameText::Encoded again = GameText::Encode(text);
    Require(again.ok(), "a decoded text encodes");
    Require(again.codes == kept, "decode then encode gives the codes up to the first FF");

    // The same bytes as typed text: refused, or stable from then on.
    const GameText::Encoded typed = GameText::Encode(std::string(data, data + size));
    if (typed.ok()) {
        Require(std::find(typed.codes.begin(), typed.codes.end(), GameText::kEnd) == typed.codes.end(),
                "an encoded text holds no FF");
        const GameText::Encoded twice = GameText::Encode(GameText::Decode(typed.codes));
        Require(twice.ok() && twice.codes == typed.codes, "encoded codes survive decode and encode");
    }
    return 0;
}
