#include "RomBuilder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>

#include "pictures/Lz77Compressor.h"
#include "rom/GameFamily.h"
#include "rom/TableShapes.h"

namespace {

constexpr int kSpeciesCount = 412;
constexpr int kNameSize = 11;
constexpr int kRecordSize = 28;
constexpr uint32_t kRomBase = 0x08000000;

// Header fields of a GBA cartridge image.
constexpr int32_t kTitleOffset = 0xA0;
constexpr int32_t kTitleSize = 12;
constexpr int32_t kCodeOffset = 0xAC;
constexpr int32_t kMakerOffset = 0xB0;
constexpr int32_t kFixedValueOffset = 0xB2;
constexpr int32_t kVersionOffset = 0xBC;
constexpr int32_t kChecksumOffset = 0xBD;
constexpr int32_t kHeaderSize = 0xC0;

// Where the made-up data goes inside the free space: attack tables first, then the three icon palettes and
// each species' pictures one after the other, every part on a 4-byte boundary.
constexpr int32_t kGraphicsArea = 0x4000;
constexpr int kIconPaletteCount = 3;

// SplitMix64: small, fast and the same on every platform, so a variety always gives the same ROM.
class Random {
public:
    explicit Random(uint64_t start) : state_(start) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number from low to high, both included.
    int Between(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
    }
    template <typename T, size_t N>
    T Pick(const T (&choices)[N]) {
        return choices[Next() % N];
    }

private:
    uint64_t state_;
};

Random RandomFor(uint32_t variety, int index, uint32_t purpose) {
    return Random((static_cast<uint64_t>(variety) << 32) ^ (static_cast<uint64_t>(purpose) << 20) ^
                  static_cast<uint64_t>(index));
}

enum Purpose : uint32_t {
    kNamePurpose = 1,
    kRecordPurpose,
    kAttackPurpose,
    kPalettePurpose,
    kPicturePurpose,
    kListNamePurpose
};

// The game's character codes for the characters a made-up or test name uses.
uint8_t GameCode(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(0xBB + (c - 'A'));
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(0xD5 + (c - 'a'));
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(0xA1 + (c - '0'));
    switch (c) {
        case '!':
            return 0xAB;
        case '?':
            return 0xAC;
        case '.':
            return 0xAD;
        case '-':
            return 0xAE;
        case '\xB7':
            return 0xAF;
        case '"':
            return 0xB1;
        case '\'':
            return 0xB4;
        case '\x0B':
            return 0xB5;
        case '\x0C':
            return 0xB6;
        case '\xC4':
            return 0xF1;
        case '\xD6':
            return 0xF2;
        case '\xDC':
            return 0xF3;
        case '\xE4':
            return 0xF4;
        case '\xF6':
            return 0xF5;
        case '\xFC':
            return 0xF6;
        case '\xDF':
            return 0x15;
        case '/':
            return 0xB8;
        case '\xE9':
            return 0x1B;
        default:
            return 0x00;
    }
}

std::string MadeUpName(Random& random) {
    static const char* const kOnsets[] = {"b",  "ch", "d", "f",  "g",  "gr", "k",  "kr", "l", "m", "n", "p",
                                          "pr", "r",  "s", "sh", "sn", "t",  "th", "tr", "v", "z", "zw"};
    static const char* const kVowels[] = {"a", "e", "i", "o", "u", "a", "o", "ee", "oo", "ai", "y"};
    static const char* const kCodas[] = {"", "", "", "n", "r", "s", "l", "x", "m", "k"};
    std::string name;
    const int syllables = random.Between(2, 3);
    for (int s = 0; s < syllables; ++s) {
        std::string syllable = std::string(random.Pick(kOnsets)) + random.Pick(kVowels);
        if (s == syllables - 1) syllable += random.Pick(kCodas);
        if (name.size() + syllable.size() > 10) break;
        name += syllable;
    }
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

// A made-up name as a German release might spell it: umlauts and ß where the English one has double
// vowels and x.
std::string Germanised(const std::string& name) {
    static const std::pair<const char*, const char*> kSpellings[] = {
        {"oo", "\xF6"}, {"ee", "\xE4"}, {"ai", "\xFC"}, {"x", "\xDF"}, {"Oo", "\xD6"}, {"Ai", "\xDC"}};
    std::string spelled = name;
    for (const auto& [from, to] : kSpellings) {
        for (size_t at = spelled.find(from); at != std::string::npos; at = spelled.find(from, at + 1))
            spelled.replace(at, std::string(from).size(), to);
    }
    return spelled;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// A made-up name for entry i of a names list, in capitals as the games write them; entry 0 is the games'
// placeholder.
std::string MadeUpListName(RomNames::List list, int i, Random& random) {
    static const char* const kMoveWords[] = {"KICK", "BEAM",  "WAVE",  "FANG",
                                             "SLAM", "DANCE", "PUNCH", "STORM"};
    static const char* const kAbilityWords[] = {"SKIN", "AURA", "GUARD", "SENSE", "VEIL", "HEART"};
    static const char* const kItemWords[] = {"BERRY", "ORB", "STONE", "DUST", "HERB", "SHELL", "BELL"};
    static const char* const kPlaceholders[] = {"-", "-------", "???", "????????"};
    if (i == 0) return kPlaceholders[list];
    const std::string word = Upper(MadeUpName(random));
    switch (list) {
        case RomNames::kMoves:
            return word + " " + random.Pick(kMoveWords);
        case RomNames::kAbilities:
            return word + " " + random.Pick(kAbilityWords);
        case RomNames::kTypes:
            return word;
        default:
            return word + " " + random.Pick(kItemWords);
    }
}

std::array<uint8_t, 28> MadeUpRecord(Random& random) {
    static const int kCatchRates[] = {3, 25, 45, 60, 75, 90, 120, 127, 190, 200, 225, 235, 255};
    static const int kGenders[] = {0, 31, 63, 127, 127, 191, 254, 255};
    static const int kSteps[] = {5, 10, 15, 20, 20, 25, 30, 35, 40, 80, 120};
    static const int kFriendship[] = {35, 70, 70, 70, 100, 140};
    static const int kSafari[] = {0, 25, 50, 75, 100, 125, 150};

    std::array<uint8_t, 28> r{};
    for (int stat = 0; stat < 6; ++stat) r[stat] = static_cast<uint8_t>(random.Between(20, 160));
    r[6] = static_cast<uint8_t>(random.Between(0, 17));
    r[7] = random.Between(0, 1) ? r[6] : static_cast<uint8_t>(random.Between(0, 17));
    r[8] = static_cast<uint8_t>(random.Pick(kCatchRates));
    r[9] = static_cast<uint8_t>(random.Between(36, 255));

    // One to three yield points spread over the six 2-bit fields; some words carry bits in 12 to 15, which
    // the editor neither shows nor keeps.
    uint16_t ev = 0;
    for (int point = random.Between(1, 3); point > 0; --point) {
        const int field = random.Between(0, 5);
        const int shift = 2 * field;
        const int yield = std::min(3, ((ev >> shift) & 3) + 1);
        ev = static_cast<uint16_t>((ev & ~(3 << shift)) | (yield << shift));
    }
    if (random.Between(0, 2) == 0) ev = static_cast<uint16_t>(ev | (random.Between(1, 15) << 12));
    r[10] = static_cast<uint8_t>(ev & 0xFF);
    r[11] = static_cast<uint8_t>(ev >> 8);

    // Held items: mostly none, some above 255 so that the high byte is in use.
    for (int slot = 0; slot < 2; ++slot) {
        const int roll = random.Between(0, 9);
        const int item = roll < 6 ? 0 : roll < 8 ? random.Between(1, 255) : random.Between(256, 376);
        r[12 + 2 * slot] = static_cast<uint8_t>(item & 0xFF);
        r[13 + 2 * slot] = static_cast<uint8_t>(item >> 8);
    }
    r[16] = static_cast<uint8_t>(random.Pick(kGenders));
    r[17] = static_cast<uint8_t>(random.Pick(kSteps));
    r[18] = static_cast<uint8_t>(random.Pick(kFriendship));
    r[19] = static_cast<uint8_t>(random.Between(1, 5));
    r[20] = static_cast<uint8_t>(random.Between(1, 15));
    r[21] = random.Between(0, 1) ? r[20] : static_cast<uint8_t>(random.Between(1, 15));
    r[22] = static_cast<uint8_t>(random.Between(1, 76));
    r[23] = random.Between(0, 2) == 0 ? static_cast<uint8_t>(random.Between(1, 76)) : 0;
    r[24] = static_cast<uint8_t>(random.Pick(kSafari));
    r[25] = static_cast<uint8_t>(random.Between(1, 9) | (random.Between(0, 1) << 7));
    r[26] = static_cast<uint8_t>(random.Between(1, 255));
    r[27] = static_cast<uint8_t>(random.Between(1, 255));
    return r;
}

std::vector<LevelUpAttackEntry> MadeUpAttacks(Random& random) {
    std::vector<LevelUpAttackEntry> rows;
    const int count = random.Between(3, 12);
    int level = 1;
    for (int row = 0; row < count; ++row) {
        rows.push_back({random.Between(1, 354), level});
        level += random.Between(1, 8);
    }
    return rows;
}

// Made-up pictures: a creature of a few ellipses and triangles, drawn in colour numbers whose role is the
// same in every palette the builder writes, so one drawing fits the sprite, shiny and icon palettes alike.
enum Ink : uint8_t { kClear = 0, kOutline, kBody, kShade, kBelly, kAccent, kEyeWhite, kPupil, kCheek };
constexpr int kInkCount = 16;

constexpr int kSpriteSide = 64;
constexpr int kIconSide = 32;
// Canvas positions are kept in 1/256 pixel, so that scaled shapes stay exact in integers: the same pictures
// on every platform.
constexpr int64_t kSub = 256;

// Shapes in sprite pixels: a 64x64 picture with the ground line at its bottom edge.
struct Ellipse {
    int cx, cy, rx, ry;
};
struct Triangle {
    int x0, y0, x1, y1, x2, y2;
};

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

int64_t SquareRoot(int64_t value) {
    int64_t root = static_cast<int64_t>(std::sqrt(static_cast<double>(value)));
    while (root * root > value) --root;
    while ((root + 1) * (root + 1) <= value) ++root;
    return root;
}

// How a creature is placed on a canvas: scaled to its side, zoomed around the middle of the ground line,
// and moved down by some sprite pixels, so the back view can come closer than the front one.
struct View {
    int side = kSpriteSide;
    int zoomPercent = 100;
    int drop = 0;
};

class Canvas {
public:
    explicit Canvas(View view)
        : view_(view),
          scale_(static_cast<int64_t>(view.side) * view.zoomPercent * kSub),
          ink_(static_cast<size_t>(view.side * view.side), kClear) {}

    void Draw(const Ellipse& e, Ink ink) {
        const int64_t cx = X(e.cx), cy = Y(e.cy);
        const int64_t rx = std::max<int64_t>(Length(e.rx), 1), ry = std::max<int64_t>(Length(e.ry), 1);
        const int n = view_.side;
        const int top = static_cast<int>(std::max<int64_t>(0, FloorDiv(cy - ry, kSub)));
        const int bottom = static_cast<int>(std::min<int64_t>(n - 1, FloorDiv(cy + ry, kSub)));
        for (int y = top; y <= bottom; ++y) {
            const int64_t dy = y * kSub + kSub / 2 - cy;
            if (dy * dy > ry * ry) continue;
            // Pixel centres x with (x - cx)^2 * ry^2 + dy^2 * rx^2 <= rx^2 * ry^2.
            const int64_t half = SquareRoot(rx * rx * (ry * ry - dy * dy) / (ry * ry));
            const int64_t left = std::max<int64_t>(0, -FloorDiv(-(cx - half - kSub / 2), kSub));
            const int64_t right = std::min<int64_t>(n - 1, FloorDiv(cx + half - kSub / 2, kSub));
            if (left > right) continue;
            const int width = static_cast<int>(right - left + 1);
            std::memset(ink_.data() + static_cast<size_t>(y * n + left), ink, static_cast<size_t>(width));
            drawn_[static_cast<size_t>(y)] |= (width == 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1)
                                              << left;
        }
    }

    void Draw(const Triangle& t, Ink ink) {
        const int64_t xs[3] = {X(t.x0), X(t.x1), X(t.x2)};
        const int64_t ys[3] = {Y(t.y0), Y(t.y1), Y(t.y2)};
        const int n = view_.side;
        const int left =
            static_cast<int>(std::max<int64_t>(0, FloorDiv(*std::min_element(xs, xs + 3), kSub)));
        const int right =
            static_cast<int>(std::min<int64_t>(n - 1, FloorDiv(*std::max_element(xs, xs + 3), kSub)));
        const int top = static_cast<int>(std::max<int64_t>(0, FloorDiv(*std::min_element(ys, ys + 3), kSub)));
        const int bottom =
            static_cast<int>(std::min<int64_t>(n - 1, FloorDiv(*std::max_element(ys, ys + 3), kSub)));
        for (int y = top; y <= bottom; ++y) {
            const int64_t py = y * kSub + kSub / 2;
            for (int x = left; x <= right; ++x) {
                const int64_t px = x * kSub + kSub / 2;
                int64_t sides[3];
                for (int k = 0; k < 3; ++k) {
                    const int j = (k + 1) % 3;
                    sides[k] = (xs[j] - xs[k]) * (py - ys[k]) - (ys[j] - ys[k]) * (px - xs[k]);
                }
                const bool inside = (sides[0] >= 0 && sides[1] >= 0 && sides[2] >= 0) ||
                                    (sides[0] <= 0 && sides[1] <= 0 && sides[2] <= 0);
                if (inside) {
                    ink_[static_cast<size_t>(y * n + x)] = ink;
                    drawn_[static_cast<size_t>(y)] |= uint64_t{1} << x;
                }
            }
        }
    }

    // Every drawn pixel next to an empty one or the border becomes outline: the cartoon edge. Worked out on
    // the rows' bit masks, where the four neighbours of a whole row are a few shifts.
    void Outline() {
        const int n = view_.side;
        for (int y = 0; y < n; ++y) {
            const uint64_t row = drawn_[static_cast<size_t>(y)];
            if (row == 0) continue;
            const uint64_t up = y > 0 ? drawn_[static_cast<size_t>(y - 1)] : 0;
            const uint64_t down = y < n - 1 ? drawn_[static_cast<size_t>(y + 1)] : 0;
            // Bits beyond the side are never set, so the right border reads as empty like the left one.
            uint64_t edge = row & ~(row << 1 & row >> 1 & up & down);
            while (edge != 0) {
                const int x = std::countr_zero(edge);
                ink_[static_cast<size_t>(y * n + x)] = kOutline;
                edge &= edge - 1;
            }
        }
    }

    // The picture moved up by whole pixels, the rows coming in at the bottom empty.
    void ShiftUp(int rows) {
        const size_t moved = static_cast<size_t>(rows * view_.side);
        std::copy(ink_.begin() + static_cast<std::ptrdiff_t>(moved), ink_.end(), ink_.begin());
        std::fill(ink_.end() - static_cast<std::ptrdiff_t>(moved), ink_.end(), kClear);
        std::copy(drawn_.begin() + rows, drawn_.end(), drawn_.begin());
        std::fill(drawn_.end() - rows, drawn_.end(), 0);
    }

    // 8x8 tiles row by row, 32 bytes each, the left pixel of a pair in the low nibble.
    void AppendTiles(std::vector<uint8_t>& tiles) const {
        const int n = view_.side;
        const size_t first = tiles.size();
        tiles.insert(tiles.end(), static_cast<size_t>(n) * static_cast<size_t>(n) / 2, uint8_t{0});
        uint8_t* write = tiles.data() + first;
        const uint8_t* ink = ink_.data();
        const uint64_t* drawn = drawn_.data();
        for (int ty = 0; ty < n; ty += 8) {
            for (int tx = 0; tx < n; tx += 8) {
                // Tiles where nothing was drawn stay as the zeros inserted above.
                uint64_t used = 0;
                for (int y = ty; y < ty + 8; ++y) used |= drawn[y] >> tx & 0xFF;
                if (used == 0) {
                    write += 32;
                    continue;
                }
                for (int y = ty; y < ty + 8; ++y) {
                    const uint8_t* row = ink + y * n + tx;
                    for (int x = 0; x < 8; x += 2) *write++ = static_cast<uint8_t>(row[x] | row[x + 1] << 4);
                }
            }
        }
    }

private:
    // Sprite pixels to 1/256 canvas pixels.
    int64_t Length(int64_t sprite) const { return sprite * scale_ / (kSpriteSide * 100); }
    int64_t X(int sprite) const { return kSub * view_.side / 2 + Length(sprite - kSpriteSide / 2); }
    int64_t Y(int sprite) const {
        return kSub * view_.side + Length(sprite - kSpriteSide) +
               kSub * view_.drop * view_.side / kSpriteSide;
    }

    View view_;
    int64_t scale_;
    std::vector<uint8_t> ink_;
    std::array<uint64_t, kSpriteSide> drawn_{};  // per row, bit x set where pixel x is not clear
};

enum class Ears { kNone, kRound, kPointed, kAntennae };

// The measurements of one made-up creature, in sprite pixels.
struct Creature {
    Ellipse body{}, head{}, belly{}, tail{}, leftFoot{}, rightFoot{};
    bool hasHead = false, hasBelly = false, hasTail = false, hasCheeks = false;
    Ears ears = Ears::kNone;
    int earSize = 0;
    Ellipse leftEye{}, rightEye{};
    int spots = 0;  // marks on the back
};

Creature MadeUpCreature(Random& random) {
    constexpr int kGround = 61;
    Creature c;
    const int footRx = random.Between(4, 8);
    const int footRy = random.Between(3, 5);
    c.body.rx = random.Between(12, 26);
    c.body.ry = random.Between(10, 20);
    c.body.cx = 32;
    c.body.cy = kGround - footRy - c.body.ry + 2;
    const int footDx = std::max(footRx, c.body.rx * random.Between(40, 70) / 100);
    c.leftFoot = {32 - footDx, kGround - footRy, footRx, footRy};
    c.rightFoot = {32 + footDx, kGround - footRy, footRx, footRy};

    c.hasHead = random.Between(0, 2) != 0;
    Ellipse face = c.body;
    if (c.hasHead) {
        c.head.rx = random.Between(9, 16);
        c.head.ry = random.Between(8, 13);
        c.head.cx = 32;
        c.head.cy = std::max(c.head.ry + 12, c.body.cy - c.body.ry - c.head.ry / 2 + 5);
        face = c.head;
    }
    c.ears = static_cast<Ears>(random.Between(0, 3));
    c.earSize = random.Between(4, 9);

    const int eyeRx = random.Between(2, 4);
    const int eyeRy = random.Between(eyeRx, 6);
    const int eyeGap = std::max(eyeRx + 2, face.rx * random.Between(30, 50) / 100);
    const int eyeCy = face.cy - (c.hasHead ? random.Between(0, 3) : face.ry / 3);
    c.leftEye = {32 - eyeGap, eyeCy, eyeRx, eyeRy};
    c.rightEye = {32 + eyeGap, eyeCy, eyeRx, eyeRy};
    c.hasCheeks = random.Between(0, 2) == 0;

    c.hasBelly = random.Between(0, 3) != 0;
    c.belly = {32, c.body.cy + c.body.ry / 4, c.body.rx * 6 / 10, c.body.ry * 55 / 100};
    c.hasTail = random.Between(0, 1) == 1;
    const int side = random.Between(0, 1) == 0 ? -1 : 1;
    c.tail = {32 + side * c.body.rx, c.body.cy - c.body.ry / 2, random.Between(4, 7), random.Between(7, 11)};
    c.spots = random.Between(0, 3);
    return c;
}

void DrawEars(Canvas& canvas, const Creature& c) {
    const Ellipse& face = c.hasHead ? c.head : c.body;
    const int top = face.cy - face.ry;
    const int offset = face.rx * 55 / 100;
    const int s = c.earSize;
    for (int sideSign : {-1, 1}) {
        const int x = 32 + sideSign * offset;
        switch (c.ears) {
            case Ears::kNone:
                break;
            case Ears::kRound:
                canvas.Draw(Ellipse{x, top + 2, s - 1, s - 1}, kAccent);
                break;
            case Ears::kPointed:
                canvas.Draw(
                    Triangle{x - s / 2 - 2, top + 4, x + s / 2 + 2, top + 4, x + sideSign * 2, top - s},
                    kAccent);
                break;
            case Ears::kAntennae:
                canvas.Draw(Triangle{x - 1, top + 3, x + 1, top + 3, x + sideSign * 3, top - s}, kShade);
                canvas.Draw(Ellipse{x + sideSign * 3, top - s, 2, 2}, kAccent);
                break;
        }
    }
}

Canvas DrawFront(const Creature& c, View view) {
    Canvas canvas(view);
    if (c.hasTail) canvas.Draw(c.tail, kShade);
    DrawEars(canvas, c);
    canvas.Draw(c.leftFoot, kShade);
    canvas.Draw(c.rightFoot, kShade);
    canvas.Draw(c.body, kBody);
    if (c.hasHead) canvas.Draw(c.head, kBody);
    if (c.hasBelly) canvas.Draw(c.belly, kBelly);
    canvas.Outline();
    for (const Ellipse& eye : {c.leftEye, c.rightEye}) {
        canvas.Draw(eye, kEyeWhite);
        canvas.Draw(Ellipse{eye.cx, eye.cy + eye.ry / 3, std::max(1, eye.rx - 1), std::max(1, eye.ry / 2)},
                    kPupil);
        if (c.hasCheeks) canvas.Draw(Ellipse{eye.cx, eye.cy + eye.ry + 3, 3, 2}, kCheek);
    }
    return canvas;
}

// The creature from behind and closer, as the player's own creature is seen: no face, marks on the back.
Canvas DrawBack(const Creature& c) {
    Canvas canvas(View{kSpriteSide, 118, 5});
    DrawEars(canvas, c);
    canvas.Draw(c.leftFoot, kShade);
    canvas.Draw(c.rightFoot, kShade);
    canvas.Draw(c.body, kBody);
    if (c.hasHead) canvas.Draw(c.head, kBody);
    for (int spot = 0; spot < c.spots; ++spot) {
        const int dx = (spot - (c.spots - 1) / 2) * c.body.rx * 2 / 5;
        canvas.Draw(Ellipse{32 + dx, c.body.cy - c.body.ry / 4 + (spot % 2) * 3, 3, 3}, kAccent);
    }
    if (c.hasTail) canvas.Draw(Ellipse{32, c.body.cy + c.body.ry * 3 / 5, c.tail.rx, c.tail.rx}, kShade);
    canvas.Outline();
    return canvas;
}

// Two 32x32 frames one below the other; the second hops by a pixel, as icons bob in the party menu.
std::vector<uint8_t> DrawIcon(const Creature& c) {
    Canvas canvas = DrawFront(c, View{kIconSide, 100, 0});
    std::vector<uint8_t> icon;
    canvas.AppendTiles(icon);
    canvas.ShiftUp(1);
    canvas.AppendTiles(icon);
    return icon;
}

std::vector<uint8_t> Tiles(const Canvas& canvas) {
    std::vector<uint8_t> tiles;
    canvas.AppendTiles(tiles);
    return tiles;
}

// An 8-bit colour from hue (degrees), saturation and value (percent), in integers.
struct Rgb {
    int r, g, b;
};

Rgb FromHsv(int hue, int saturation, int value) {
    hue = ((hue % 360) + 360) % 360;
    saturation = std::clamp(saturation, 0, 100);
    value = std::clamp(value, 0, 100);
    const int v = value * 255 / 100;
    const int chroma = v * saturation / 100;
    const int rising = chroma * (hue % 60) / 60;
    const int low = v - chroma;
    switch (hue / 60) {
        case 0:
            return {v, low + rising, low};
        case 1:
            return {v - rising, v, low};
        case 2:
            return {low, v, low + rising};
        case 3:
            return {low, v - rising, v};
        case 4:
            return {low + rising, low, v};
        default:
            return {v, low, v - rising};
    }
}

struct Colouring {
    int hue, saturation, value, accentShift;
};

// 16 little-endian BGR555 colours, one for each ink; the inks no drawing uses form a grey ramp.
std::vector<uint8_t> PaletteBytes(const Colouring& k) {
    std::array<Rgb, kInkCount> colours{};
    colours[kOutline] = FromHsv(k.hue, k.saturation + 10, k.value * 30 / 100);
    colours[kBody] = FromHsv(k.hue, k.saturation, k.value);
    colours[kShade] = FromHsv(k.hue + 10, k.saturation + 5, k.value * 72 / 100);
    colours[kBelly] = FromHsv(k.hue, k.saturation * 35 / 100, k.value + 15);
    colours[kAccent] = FromHsv(k.hue + k.accentShift, k.saturation, k.value);
    colours[kEyeWhite] = FromHsv(0, 0, 97);
    colours[kPupil] = FromHsv(230, 50, 15);
    colours[kCheek] = FromHsv(350, 55, 95);
    for (int ink = kCheek + 1; ink < kInkCount; ++ink) {
        const int level = (ink - kCheek) * 255 / (kInkCount - kCheek);
        colours[ink] = {level, level, level};
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(2 * kInkCount);
    for (const Rgb& c : colours) {
        const int bgr555 = (c.r >> 3) | (c.g >> 3) << 5 | (c.b >> 3) << 10;
        bytes.push_back(static_cast<uint8_t>(bgr555 & 0xFF));
        bytes.push_back(static_cast<uint8_t>(bgr555 >> 8));
    }
    return bytes;
}

// Everything the builder writes for one species' pictures.
struct SpeciesPictures {
    std::vector<uint8_t> front, back, palette, shinyPalette, icon;

    // The bytes they take one after the other, each on a 4-byte boundary.
    [[nodiscard]] int64_t AlignedSize() const {
        int64_t total = 0;
        for (const auto* part : {&front, &back, &palette, &shinyPalette, &icon}) {
            total += (static_cast<int64_t>(part->size()) + 3) & ~int64_t{3};
        }
        return total;
    }
};

// The file offsets of one species' pictures.
struct PlacedPictures {
    int32_t front = 0, back = 0, palette = 0, shinyPalette = 0, icon = 0;
};

SpeciesPictures MadeUpPictures(Random& random) {
    static const int kAccentShifts[] = {40, 60, 120, 180, 200};
    const Creature creature = MadeUpCreature(random);
    Colouring colouring{random.Between(0, 359), random.Between(45, 85), random.Between(70, 95),
                        random.Pick(kAccentShifts)};
    SpeciesPictures pictures;
    pictures.front = Lz77::Compress(Tiles(DrawFront(creature, View{})));
    pictures.back = Lz77::Compress(Tiles(DrawBack(creature)));
    pictures.palette = Lz77::Compress(PaletteBytes(colouring));
    // The rare colouring: the same creature with every tinted colour turned around the colour wheel.
    colouring.hue += random.Between(90, 270);
    pictures.shinyPalette = Lz77::Compress(PaletteBytes(colouring));
    pictures.icon = DrawIcon(creature);
    return pictures;
}

using PictureSet = std::vector<SpeciesPictures>;

// Every species' pictures for a variety. They depend on nothing else, and a test process builds many ROMs of
// the same variety, so the last few sets are kept: only the first build pays for drawing and compressing.
std::shared_ptr<const PictureSet> PicturesFor(uint32_t variety) {
    constexpr std::size_t kKept = 4;
    static std::mutex mutex;
    static std::deque<std::pair<uint32_t, std::shared_ptr<const PictureSet>>> kept;
    const std::lock_guard<std::mutex> lock(mutex);
    for (const auto& [keptVariety, set] : kept) {
        if (keptVariety == variety) return set;
    }
    auto set = std::make_shared<PictureSet>();
    set->reserve(kSpeciesCount);
    for (int i = 0; i < kSpeciesCount; ++i) {
        Random random = RandomFor(variety, i, kPicturePurpose);
        set->push_back(MadeUpPictures(random));
    }
    if (kept.size() == kKept) kept.pop_front();
    kept.emplace_back(variety, set);
    return set;
}

std::string HeaderTitle(const std::string& title) {
    std::string text;
    for (char c : title) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') text += c;
    }
    return text.substr(0, kTitleSize);
}

std::string HexNumber(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "&H%X", static_cast<unsigned>(value));
    return text;
}

// Evolutions, TM/HM and tutor compatibility: made-up data of the games' shapes. Their purposes lie apart from
// the others so that adding either kind never changes the other's data.
constexpr uint32_t kEvolutionPurpose = 100;
constexpr uint32_t kCompatibilityPurpose = 101;
constexpr uint32_t kMoveListPurpose = 102;

struct MadeUpEvolution {
    int method, parameter, target;
};

// Mostly none or one evolution into the next species; now and then the games' rarer shapes: an item, a
// trade, the three Attack/Defense branches, the two halves of a personality split, a pair, beauty.
std::vector<MadeUpEvolution> MadeUpEvolutions(Random& random, int index) {
    const auto next = [index](int k) { return (index + k - 1) % (kSpeciesCount - 1) + 1; };
    const int level = random.Between(16, 55);
    switch (random.Between(0, 19)) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
            return {};
        case 9:
        case 10:
        case 11:
        case 12:
            return {{4, level, next(1)}};
        case 13:
            return {{7, random.Between(93, 98), next(1)}};
        case 14:
            return {{random.Between(1, 3), 0, next(1)}};
        case 15:
            return {{5, 0, next(1)}, {6, random.Between(187, 200), next(2)}};
        case 16:
            return {{8, 20, next(1)}, {9, 20, next(2)}, {10, 20, next(3)}};
        case 17:
            return {{11, 7, next(1)}, {12, 7, next(3)}};
        case 18:
            return {{13, 20, next(1)}, {14, 20, next(2)}};
        default:
            return {{15, 170, next(1)}};
    }
}

// count different move numbers from 1 to 354, the same for the same variety.
std::vector<int> MadeUpMoveList(uint32_t variety, int count, uint32_t list) {
    Random random = RandomFor(variety, static_cast<int>(list), kMoveListPurpose);
    std::vector<int> moves;
    while (static_cast<int>(moves.size()) < count) {
        const int move = random.Between(1, 354);
        if (std::find(moves.begin(), moves.end(), move) == moves.end()) moves.push_back(move);
    }
    return moves;
}

std::vector<uint8_t> LittleEndian(uint64_t value, int bytes) {
    std::vector<uint8_t> data;
    for (int k = 0; k < bytes; ++k) data.push_back(static_cast<uint8_t>(value >> (8 * k)));
    return data;
}

std::vector<uint8_t> MoveListBytes(const std::vector<int>& moves) {
    std::vector<uint8_t> data;
    for (int move : moves) {
        for (uint8_t byte : LittleEndian(static_cast<uint64_t>(move), 2)) data.push_back(byte);
    }
    return data;
}

// Each species learns about three in eight of the list's moves; species 0, the placeholder, none.
void PlaceCompatibility(RomBuilder& builder, uint32_t variety, int32_t table, int32_t moves, int count,
                        int entrySize, uint32_t list) {
    builder.Fill(moves, MoveListBytes(MadeUpMoveList(variety, count, list)));
    const uint64_t used = count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    for (int i = 0; i < kSpeciesCount; ++i) {
        Random random = RandomFor(variety, i, kCompatibilityPurpose + 16 * list);
        const uint64_t mask = i == 0 ? 0 : (random.Next() | random.Next()) & random.Next() & used;
        builder.Fill(table + entrySize * i, LittleEndian(mask, entrySize));
    }
}

void PlaceSpeciesTables(RomBuilder& builder, uint32_t variety) {
    const RomLayout& l = builder.layout();
    if (l.EvolutionTable != 0) {
        for (int i = 0; i < kSpeciesCount; ++i) {
            Random random = RandomFor(variety, i, kEvolutionPurpose);
            std::vector<uint8_t> entries(40, 0x00);
            const std::vector<MadeUpEvolution> evolutions =
                i == 0 ? std::vector<MadeUpEvolution>{} : MadeUpEvolutions(random, i);
            for (size_t k = 0; k < evolutions.size(); ++k) {
                const MadeUpEvolution& e = evolutions[k];
                const uint64_t packed = static_cast<uint64_t>(e.method) |
                                        static_cast<uint64_t>(e.parameter) << 16 |
                                        static_cast<uint64_t>(e.target) << 32;
                const std::vector<uint8_t> entry = LittleEndian(packed, 8);
                std::copy(entry.begin(), entry.end(), entries.begin() + static_cast<std::ptrdiff_t>(8 * k));
            }
            builder.Fill(l.EvolutionTable + 40 * i, entries);
        }
    }
    if (l.TMHMTable != 0) PlaceCompatibility(builder, variety, l.TMHMTable, l.TMHMMoves, 58, 8, 0);
    if (l.TutorCount > 0) {
        PlaceCompatibility(builder, variety, l.TutorTable, l.TutorMoves, l.TutorCount,
                           l.TutorCount <= 16 ? 2 : 4, 1);
    }
}

// Egg moves and the Pokédex, apart from the other purposes like the tables above.
constexpr uint32_t kEggMovePurpose = 103;
constexpr uint32_t kDexPurpose = 104;

// About one species in four opens a block of one to eight moves, in species order as in the games.
void PlaceEggMoves(RomBuilder& builder, uint32_t variety) {
    const RomLayout& l = builder.layout();
    std::vector<uint8_t> table;
    const auto word = [&table](int value) {
        for (uint8_t byte : LittleEndian(static_cast<uint64_t>(value), 2)) table.push_back(byte);
    };
    for (int i = 1; i < kSpeciesCount; ++i) {
        Random random = RandomFor(variety, i, kEggMovePurpose);
        if (random.Between(0, 3) != 0) continue;
        word(20000 + i);
        for (int move : MadeUpMoveList(variety ^ static_cast<uint32_t>(i), random.Between(1, 8), 2))
            word(move);
    }
    word(0xFFFF);
    builder.Fill(l.EggMoves, table);
    for (const int32_t reference : l.eggMoveReferences) builder.SetPointer(reference, l.EggMoves);
}

// A description as the game stores it: lines of words joined by the line break FE, ended by FF, now and then
// with the characters game text has and names do not: commas, quotes, parentheses, an apostrophe, é.
std::vector<uint8_t> MadeUpDescription(Random& random, int lines, int longest) {
    static const char* const kWords[] = {
        "it",   "lives",  "in",     "deep",   "forests",  "and",    "sleeps", "by",    "day",
        "the",  "glow",   "of",     "its",    "tail",     "grows",  "when",   "angry", "rivers",
        "it",   "hums",   "softly", "to",     "calm",     "others", "stones", "warm",  "nests",
        "high", "cliffs", "a",      "gentle", "creature", "rarely", "seen"};
    std::vector<uint8_t> text;
    for (int line = 0; line < lines; ++line) {
        if (line > 0) text.push_back(0xFE);
        int used = 0;
        for (int w = 0; used < longest - 12; ++w) {
            if (w > 0) text.push_back(0x00);
            const std::string word = random.Pick(kWords);
            const int extra = random.Between(0, 11);
            if (extra == 0) {
                for (char c : std::string("POK")) text.push_back(GameCode(c));
                text.push_back(0x1B);
                for (char c : std::string("MON")) text.push_back(GameCode(c));
                used += 8;
                continue;
            }
            if (extra == 1) text.push_back(0x5C);
            if (extra == 2) text.push_back(0xB1);
            for (size_t k = 0; k < word.size(); ++k)
                text.push_back(
                    GameCode(line == 0 && w == 0 && k == 0 ? static_cast<char>(word[k] - 32) : word[k]));
            if (extra == 1) text.push_back(0x5D);
            if (extra == 2) text.push_back(0xB2);
            if (extra == 3) text.insert(text.end(), {0xB4, 0xE7});  // ’s
            used += static_cast<int>(word.size()) + 3;
        }
        text.push_back(line + 1 == lines ? 0xAD : 0xB8);
    }
    text.push_back(0xFF);
    return text;
}

void PlaceDex(RomBuilder& builder, uint32_t variety) {
    static const char* const kCategories[] = {"PEBBLE", "FLUFF",  "EMBER", "RIPPLE", "THORN",   "GUST",
                                              "GLOW",   "BURROW", "CREST", "DRIFT",  "LANTERN", "MOSS"};
    const RomLayout& l = builder.layout();
    std::vector<uint8_t> numbers;
    for (int i = 1; i < kSpeciesCount; ++i) {
        for (uint8_t byte : LittleEndian(static_cast<uint64_t>(MadeUpNationalNumber(i)), 2))
            numbers.push_back(byte);
    }
    builder.Fill(l.NationalDex, numbers);

    // Texts one after the other; a layout whose room runs out points the rest at the first.
    int32_t cursor = l.dexTexts;
    const auto place = [&builder, &cursor, &l](const std::vector<uint8_t>& text) {
        if (cursor + static_cast<int32_t>(text.size()) > l.dexTextsEnd) return l.dexTexts;
        builder.Fill(cursor, text);
        cursor += static_cast<int32_t>(text.size());
        return cursor - static_cast<int32_t>(text.size());
    };
    const int32_t unused =
        place({0xC8, 0xE3, 0xE8, 0x00, 0xE9, 0xE7, 0xD9, 0xD8, 0xAD, 0xFF});  // "Not used."
    const bool twoPages = IsRubyOrSapphire(l.gameCode);
    const bool small = l.size <= 0x100000;
    for (int n = 0; n <= 386; ++n) {
        Random random = RandomFor(variety, n, kDexPurpose);
        std::vector<uint8_t> entry(static_cast<size_t>(l.DexEntrySize), 0x00);
        const std::string category = random.Pick(kCategories);
        for (size_t k = 0; k < category.size(); ++k) entry[k] = GameCode(category[k]);
        entry[category.size()] = 0xFF;
        const auto put = [&entry](size_t at, uint64_t value, int bytes) {
            const std::vector<uint8_t> data = LittleEndian(value, bytes);
            std::copy(data.begin(), data.end(), entry.begin() + static_cast<std::ptrdiff_t>(at));
        };
        put(12, static_cast<uint64_t>(random.Between(1, 200)), 2);
        put(14, static_cast<uint64_t>(random.Between(1, 9999)), 2);
        const int lines = small ? random.Between(1, 2) : random.Between(2, 3);
        put(16, 0x08000000u + static_cast<uint32_t>(place(MadeUpDescription(random, lines, small ? 20 : 40))),
            4);
        size_t rest = 20;
        if (l.DexEntrySize >= 36) {
            const int32_t second =
                twoPages ? place(MadeUpDescription(random, random.Between(1, 3), 40)) : unused;
            put(20, 0x08000000u + static_cast<uint32_t>(second), 4);
            rest = 24;
        }
        // The scale and offset values the editor leaves alone.
        for (size_t at = rest; at + 2 <= entry.size(); at += 2)
            put(at, static_cast<uint64_t>(random.Between(0, 512)), 2);
        builder.Fill(l.DexEntries + l.DexEntrySize * n, entry);
    }
}

// How the species stand in battle, apart from the other purposes like the tables above.
constexpr uint32_t kBattlePurpose = 105;
constexpr uint32_t kFootprintPurpose = 106;
constexpr int kSpriteEntries = 440;

// A paw: a pad and three or four toes, in the games' footprint form (four 8x8 tiles of 1 bit, the lowest bit
// the leftmost pixel). Now and then none at all, as for the species that leave no print.
std::vector<uint8_t> MadeUpFootprint(Random& random) {
    std::vector<uint8_t> bytes(32, 0x00);
    if (random.Between(0, 11) == 0) return bytes;
    const auto set = [&bytes](int x, int y) {
        if (x < 0 || x > 15 || y < 0 || y > 15) return;
        bytes[static_cast<size_t>(((y / 8) * 2 + x / 8) * 8 + y % 8)] |= static_cast<uint8_t>(1 << (x % 8));
    };
    const auto blot = [&set](int cx, int cy, int rx, int ry) {
        for (int y = cy - ry; y <= cy + ry; ++y) {
            for (int x = cx - rx; x <= cx + rx; ++x) {
                if ((x - cx) * (x - cx) * ry * ry + (y - cy) * (y - cy) * rx * rx <= rx * rx * ry * ry)
                    set(x, y);
            }
        }
    };
    const int padY = random.Between(9, 11);
    blot(8, padY, random.Between(3, 5), random.Between(2, 3));
    const int toes = random.Between(3, 4);
    const int toeSize = random.Between(1, 2);
    for (int toe = 0; toe < toes; ++toe) {
        const int x = 8 + (2 * toe - (toes - 1)) * 5 / 2;
        blot(x, padY - 5 - (toe == 0 || toe == toes - 1 ? 0 : 1), toeSize, toeSize);
    }
    return bytes;
}

void PlaceBattle(RomBuilder& builder, uint32_t variety) {
    const RomLayout::BattleTables& b = builder.layout().battle;
    // Coordinates of every sprite entry: mostly the full 64x64, a y offset of up to 20 (a few far larger),
    // and the two bytes of padding.
    for (int entry = 0; entry < kSpriteEntries; ++entry) {
        Random random = RandomFor(variety, entry, kBattlePurpose);
        static const int kSizes[] = {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x78, 0x68, 0x66};
        const auto offset = [&random](int most) {
            return random.Between(0, 19) == 0 ? random.Between(most + 1, 40) : random.Between(0, most);
        };
        builder.Fill(b.FrontCoords + 4 * entry,
                     {static_cast<uint8_t>(random.Pick(kSizes)), static_cast<uint8_t>(offset(20)), 0, 0});
        builder.Fill(b.BackCoords + 4 * entry, {0x88, static_cast<uint8_t>(offset(16)), 0, 0});
    }
    // Most species stand on the ground; about one in eight flies or floats.
    std::vector<uint8_t> elevations, animations;
    for (int i = 0; i < kSpeciesCount; ++i) {
        Random random = RandomFor(variety, i, kBattlePurpose + 16);
        elevations.push_back(
            static_cast<uint8_t>(i > 0 && random.Between(0, 7) == 0 ? random.Between(8, 16) : 0));
        if (i > 0) animations.push_back(static_cast<uint8_t>(random.Between(0, 150)));
    }
    builder.Fill(b.Elevation, elevations);
    if (b.FrontAnimIds != 0) builder.Fill(b.FrontAnimIds, animations);

    // Species 0 and the placeholders share one footprint; once the room for pictures is full, the rest share
    // those already drawn.
    std::vector<int32_t> drawn;
    for (int i = 0; i < kSpeciesCount; ++i) {
        const bool placeholder = i == 0 || (i >= 252 && i <= 276);
        int32_t at = 0;
        if (placeholder && !drawn.empty()) {
            at = drawn.front();
        } else if (b.footprintArt + 32 * static_cast<int32_t>(drawn.size() + 1) <= b.footprintArtEnd) {
            at = b.footprintArt + 32 * static_cast<int32_t>(drawn.size());
            Random random = RandomFor(variety, i, kFootprintPurpose);
            builder.Fill(at, MadeUpFootprint(random));
            drawn.push_back(at);
        } else {
            at = drawn[static_cast<size_t>(i) % drawn.size()];
        }
        builder.SetPointer(b.Footprints + 4 * i, at);
    }
}

}  // namespace

int MadeUpNationalNumber(int index) {
    if (index <= 251) return index;
    if (index <= 276) return 387 + (index - 252);
    return index - 25;
}

RomLayout DemoLayout() {
    RomLayout layout;
    layout.gameCode = "VRNH";
    layout.version = 0;
    layout.size = 0x100000;
    layout.NameOffset = 0x10000;
    layout.DataOffset = 0x12000;
    layout.ImageOffset = 0x15000;
    layout.PaletteOffset = 0x18000;
    layout.IconOffset = 0x1A000;
    layout.IconPalette = 0x1A800;
    layout.AttackTable = 0x1AA00;
    layout.IconPaletteTable = 0x1B100;
    layout.freeSpace = 0x20000;
    layout.FreeSpaceKey = 0xF8000;
    layout.title = "Demo (generated)";
    layout.EvolutionTable = 0x4000;
    layout.TMHMTable = 0x8100;
    layout.TMHMMoves = 0x8E00;
    layout.TutorMoves = 0x8E80;
    layout.TutorTable = 0x8EC0;
    layout.TutorCount = 30;
    // Names tables where the first 64 KiB leave room beside the evolution, TM/HM and tutor tables.
    layout.MoveNames = 0x1000;
    layout.AbilityNames = 0x2400;
    layout.TypeNames = 0x2800;
    layout.ItemTable = 0x9600;
    layout.ItemCount = 377;
    layout.NationalDex = 0x2C00;
    layout.EggMoves = 0x3000;
    layout.DexEntries = 0x1B200;
    layout.DexEntrySize = 36;
    layout.eggMoveReferences = {0x2900, 0x2A04};
    layout.dexTexts = 0xD700;
    layout.dexTextsEnd = 0x10000;
    // In the gaps the tables above leave, the sprite tables taken as the games' 440 entries.
    layout.battle = {0x17280, 0x1E900, 0x19C00, 0x17980, 0, 0x1F000, 0x20000};
    return layout;
}

RomLayout FireRedLayout() {
    RomLayout layout;
    layout.gameCode = "BPRE";
    layout.version = 0;
    layout.size = 0x1000000;
    layout.NameOffset = 0x245EE0;
    layout.DataOffset = 0x254784;
    layout.ImageOffset = 0x2350AC;
    layout.PaletteOffset = 0x23730C;
    layout.IconOffset = 0x3D37A0;
    layout.IconPalette = 0x3D3E80;
    layout.AttackTable = 0x25D7B4;
    layout.IconPaletteTable = 0x3D4038;
    layout.freeSpace = 0x800000;
    layout.FreeSpaceKey = 0x71A23C;
    layout.title = "Pokemon FireRed (U)";
    layout.EvolutionTable = 0x259754;
    layout.TMHMTable = 0x252BC8;
    layout.TMHMMoves = 0x45A80C;
    layout.TutorTable = 0x459B7E;
    layout.TutorMoves = 0x459B60;
    layout.TutorCount = 15;
    layout.MoveNames = 0x247094;
    layout.AbilityNames = 0x24FC40;
    layout.TypeNames = 0x24F1A0;
    layout.ItemTable = 0x3DB028;
    layout.ItemCount = 375;
    layout.NationalDex = 0x251FEE;
    layout.EggMoves = 0x25EF0C;
    layout.DexEntries = 0x44E850;
    layout.DexEntrySize = 36;
    layout.eggMoveReferences = {0x045F8C, 0x046A40};
    layout.dexTexts = 0x42E850;
    layout.dexTextsEnd = 0x43E850;
    // The footprints' pictures follow their pointers; the descriptions keep clear of both.
    layout.battle = {0x2349CC, 0x235E6C, 0x23A004, 0x43FAB0, 0, 0x440120, 0x4434A0};
    layout.references = {
        {"NameOffset", 0x144},      {"DataOffset", 0x1BC},       {"ImageOffset", 0x128},
        {"BackImageOffset", 0x12C}, {"PaletteOffset", 0x130},    {"ShinyPaletteOffset", 0x134},
        {"IconOffset", 0x138},      {"IconPalette", 0x13C},      {"IconPaletteTable", 0x140},
        {"AttackTable", 0x3EA7C},   {"EvolutionTable", 0x42F6C}, {"TMHMTable", 0x43C68},
        {"TMHMMoves", 0x125A8C},    {"TutorTable", 0x120C30},    {"TutorMoves", 0x120BE4},
        {"MoveNames", 0x148},       {"AbilityNames", 0x1C0},     {"TypeNames", 0x309C8},
        {"ItemTable", 0x1C8},       {"NationalDex", 0x4323C},    {"DexEntries", 0x88E34},
    };
    return layout;
}

RomLayout EmeraldLayout() {
    RomLayout layout = FireRedLayout();
    layout.gameCode = "BPEE";
    layout.NameOffset = 0x3185C8;
    layout.DataOffset = 0x3203CC;
    layout.ImageOffset = 0x301418;
    layout.PaletteOffset = 0x303678;
    layout.IconOffset = 0x57BCA8;
    layout.IconPalette = 0x57C388;
    layout.AttackTable = 0x32937C;
    layout.IconPaletteTable = 0x57C540;
    layout.AnimatedImageOffset = 0x30A18C;
    layout.title = "Pokemon Emerald (U)";
    layout.EvolutionTable = 0x32531C;
    layout.TMHMTable = 0x31E898;
    layout.TMHMMoves = 0x616040;
    layout.TutorTable = 0x615048;
    layout.TutorMoves = 0x61500C;
    layout.TutorCount = 30;
    layout.MoveNames = 0x31977C;
    layout.AbilityNames = 0x31B6DB;
    layout.TypeNames = 0x31AE38;
    layout.ItemTable = 0x5839A0;
    layout.ItemCount = 377;
    layout.NationalDex = 0x31DC82;
    layout.EggMoves = 0x32ADD8;
    layout.DexEntries = 0x56B5B0;
    layout.DexEntrySize = 32;
    layout.dexTexts = 0x55B5B0;
    layout.dexTextsEnd = 0x56B5B0;
    layout.battle = {0x300D38, 0x3021D8, 0x305DCC, 0x56E694, 0x3299EC, 0x56ED04, 0x572084};
    // The header at 0x100 holds the same pointers as FireRed's, but its 0x128 leads to the animated sprites;
    // the code's references are Emerald's own.
    const std::pair<const char*, int32_t> own[] = {{"ImageOffset", 0x2CAE0},    {"AttackTable", 0x6930C},
                                                   {"EvolutionTable", 0x6D140}, {"TMHMTable", 0x6E048},
                                                   {"TMHMMoves", 0x1B6D10},     {"TutorTable", 0x1B2390},
                                                   {"TutorMoves", 0x13AF04},    {"TypeNames", 0x166F4},
                                                   {"NationalDex", 0x6D448},    {"DexEntries", 0xBFA20}};
    for (auto& [key, at] : layout.references) {
        for (const auto& [ownKey, ownAt] : own) {
            if (key == ownKey) at = ownAt;
        }
    }
    layout.references.emplace_back("AnimatedImageOffset", 0x128);
    return layout;
}

RomLayout RubyLayout() {
    RomLayout layout = FireRedLayout();
    layout.gameCode = "AXVE";
    layout.NameOffset = 0x1F716C;
    layout.DataOffset = 0x1FEC18;
    layout.ImageOffset = 0x1E8354;
    layout.PaletteOffset = 0x1EA5B4;
    layout.IconOffset = 0x3BBD20;
    layout.IconPalette = 0x3BC400;
    layout.AttackTable = 0x207BC8;
    layout.IconPaletteTable = 0x3BC5B8;
    layout.title = "Pokemon Ruby (U)";
    layout.EvolutionTable = 0x203B68;
    layout.TMHMTable = 0x1FD0F0;
    layout.TMHMMoves = 0x376504;
    layout.TutorTable = 0;
    layout.TutorMoves = 0;
    layout.TutorCount = 0;
    layout.MoveNames = 0x1F8320;
    layout.AbilityNames = 0x1FA248;
    layout.TypeNames = 0x1F9870;
    layout.ItemTable = 0x3C5564;
    layout.ItemCount = 349;
    layout.NationalDex = 0x1FC516;
    layout.EggMoves = 0x2091DC;
    layout.DexEntries = 0x3B1858;
    layout.DexEntrySize = 36;
    layout.dexTexts = 0x391858;
    layout.dexTextsEnd = 0x3B1858;
    layout.battle = {0x1E7C74, 0x1E9114, 0x1ECB14, 0x3B4EE4, 0, 0x3B5554, 0x3B88D4};
    layout.references = {
        {"NameOffset", 0xFA58},      {"DataOffset", 0x10B64},     {"ImageOffset", 0xD324},
        {"BackImageOffset", 0xD3D8}, {"PaletteOffset", 0x40954},  {"ShinyPaletteOffset", 0x4098C},
        {"IconOffset", 0x99AA0},     {"IconPalette", 0x99BB0},    {"IconPaletteTable", 0x9D53C},
        {"AttackTable", 0x3B7BC},    {"EvolutionTable", 0x3F534}, {"TMHMTable", 0x403B0},
        {"TMHMMoves", 0x6F038},      {"MoveNames", 0x2E18C},      {"AbilityNames", 0x9FE64},
        {"TypeNames", 0x2E3A8},      {"ItemTable", 0xA98F0},      {"NationalDex", 0x3F83C},
        {"DexEntries", 0x8F508},
    };
    return layout;
}

RomLayout RubyGermanLayout() {
    RomLayout layout = RubyLayout();
    layout.gameCode = "AXVD";
    layout.title = "Pokemon Rubin-Edition (D)";
    layout.language = "de";
    layout.battle = {};  // not measured in the German releases
    layout.NameOffset = 0x2040E8;
    layout.DataOffset = 0x20BBE8;
    layout.ImageOffset = 0x1F52D0;
    layout.PaletteOffset = 0x1F7530;
    layout.IconOffset = 0x3C7C30;
    layout.IconPalette = 0x3C8310;
    layout.AttackTable = 0x214B98;
    layout.IconPaletteTable = 0x3C84C8;
    layout.EvolutionTable = 0x210B38;
    layout.TMHMTable = 0x20A0C0;
    layout.TMHMMoves = 0x381CEC;
    layout.MoveNames = 0x20529C;
    layout.AbilityNames = 0x207218;
    layout.TypeNames = 0x2067EC;
    layout.ItemTable = 0x3D13DC;
    layout.EggMoves = 0x2161AC;
    layout.NationalDex = 0x2094E6;
    layout.DexEntries = 0x3BD768;
    layout.dexTexts = 0x39D768;
    layout.dexTextsEnd = 0x3BD768;
    layout.FreeSpaceKey = 0xEB0F58;
    layout.references = {
        {"NameOffset", 0xFC2C},      {"DataOffset", 0x10D38},     {"ImageOffset", 0xD4F8},
        {"BackImageOffset", 0xD5AC}, {"PaletteOffset", 0x40B48},  {"ShinyPaletteOffset", 0x40B80},
        {"IconOffset", 0x99BF4},     {"IconPalette", 0x99D04},    {"IconPaletteTable", 0x9D690},
        {"AttackTable", 0x3B990},    {"EvolutionTable", 0x3F708}, {"TMHMTable", 0x405A4},
        {"TMHMMoves", 0x6F378},      {"MoveNames", 0x2E360},      {"AbilityNames", 0x9FFB8},
        {"TypeNames", 0x2E57C},      {"ItemTable", 0xA9A40},      {"NationalDex", 0x3FA10},
        {"DexEntries", 0x8F90C},
    };
    return layout;
}

RomLayout SapphireGermanLayout() {
    RomLayout layout = RubyGermanLayout();
    layout.gameCode = "AXPD";
    layout.title = "Pokemon Saphir-Edition (D)";
    const std::pair<int32_t*, int32_t> offsets[] = {
        {&layout.NameOffset, 0x20407C},     {&layout.DataOffset, 0x20BB7C},
        {&layout.ImageOffset, 0x1F5264},    {&layout.PaletteOffset, 0x1F74C4},
        {&layout.IconOffset, 0x3C7B9C},     {&layout.IconPalette, 0x3C827C},
        {&layout.AttackTable, 0x214B2C},    {&layout.IconPaletteTable, 0x3C8434},
        {&layout.EvolutionTable, 0x210ACC}, {&layout.TMHMTable, 0x20A054},
        {&layout.TMHMMoves, 0x381C80},      {&layout.MoveNames, 0x205230},
        {&layout.AbilityNames, 0x2071AC},   {&layout.TypeNames, 0x206780},
        {&layout.ItemTable, 0x3D1348},      {&layout.EggMoves, 0x216140},
        {&layout.NationalDex, 0x20947A},    {&layout.DexEntries, 0x3BD6D4},
        {&layout.FreeSpaceKey, 0xEB0FF8},
    };
    for (const auto& [field, value] : offsets) *field = value;
    layout.dexTexts = 0x39D6D4;
    layout.dexTextsEnd = 0x3BD6D4;
    for (auto& [key, at] : layout.references) {
        if (key == "TMHMMoves") at = 0x6F37C;
    }
    return layout;
}

RomLayout ExpandedLayout() {
    RomLayout layout = FireRedLayout();
    layout.size = 0x2000000;
    layout.freeSpace = 0x1800000;
    layout.MoveNames = 0x1F00000;
    return layout;
}

RomBuilder::RomBuilder(RomLayout layout, uint32_t variety)
    : layout_(std::move(layout)), bytes_(static_cast<size_t>(std::max(layout_.size, kHeaderSize)), 0xFF) {
    // Header: a branch over the header as the entry point, the title, the codes, the release and the
    // complement check that the console verifies.
    std::fill(bytes_.begin(), bytes_.begin() + kHeaderSize, 0x00);
    Fill(0, {0x2E, 0x00, 0x00, 0xEA});
    const std::string title = HeaderTitle(layout_.title);
    Fill(kTitleOffset, std::vector<uint8_t>(title.begin(), title.end()));
    std::string code = (layout_.gameCode + "    ").substr(0, 4);
    Fill(kCodeOffset, std::vector<uint8_t>(code.begin(), code.end()));
    Fill(kMakerOffset, {'0', '1'});
    bytes_[kFixedValueOffset] = 0x96;
    bytes_[kVersionOffset] = layout_.version;
    uint8_t check = 0;
    for (int32_t i = kTitleOffset; i < kChecksumOffset; ++i) check = static_cast<uint8_t>(check - bytes_[i]);
    bytes_[kChecksumOffset] = static_cast<uint8_t>(check - 0x19);

    for (int i = 0; i < kSpeciesCount; ++i) {
        Random nameRandom = RandomFor(variety, i, kNamePurpose);
        const std::string name = MadeUpName(nameRandom);
        SetName(i, i == 0 ? std::string(10, '?') : layout_.language == "de" ? Germanised(name) : name);
        Random recordRandom = RandomFor(variety, i, kRecordPurpose);
        SetRecord(i, MadeUpRecord(recordRandom));
    }

    // Pictures go one after the other, so a layout's free space holds as much as their compressed sizes
    // allow; the icon palettes come first because every species' icon uses one of them.
    int32_t picturesCursor = layout_.freeSpace + kGraphicsArea;
    const auto place = [this, &picturesCursor](const std::vector<uint8_t>& data) {
        const int32_t at = picturesCursor;
        Fill(at, data);
        picturesCursor += (static_cast<int32_t>(data.size()) + 3) & ~3;
        return at;
    };

    if (layout_.IconPaletteTable != 0) {
        Random hues = RandomFor(variety, 0, kPalettePurpose);
        const int firstHue = hues.Between(0, 359);
        for (int p = 0; p < kIconPaletteCount; ++p) {
            const int32_t palette = place(PaletteBytes(Colouring{firstHue + 120 * p, 70, 90, 180}));
            const int32_t entry = layout_.IconPaletteTable + 8 * p;
            SetPointer(entry, palette);
            const int tag = 0xDAC0 + p;
            Fill(entry + 4, {static_cast<uint8_t>(tag & 0xFF), static_cast<uint8_t>(tag >> 8), 0, 0});
        }
    }

    const std::shared_ptr<const PictureSet> pictureSet = PicturesFor(variety);
    std::optional<PlacedPictures> firstPlaced;
    int32_t cursor = layout_.freeSpace;
    for (int i = 0; i < kSpeciesCount; ++i) {
        Random attackRandom = RandomFor(variety, i, kAttackPurpose);
        const std::vector<LevelUpAttackEntry> rows = MadeUpAttacks(attackRandom);
        SetAttackTable(i, cursor, rows);
        cursor += 2 * static_cast<int32_t>(rows.size()) + 2;
        cursor = (cursor + 3) & ~3;

        const SpeciesPictures& pictures = (*pictureSet)[static_cast<size_t>(i)];
        // A layout whose free space runs out shows the first species' pictures for the rest rather than
        // pointing past the end of the file.
        PlacedPictures placed;
        if (firstPlaced && picturesCursor + pictures.AlignedSize() > static_cast<int64_t>(bytes_.size())) {
            placed = *firstPlaced;
        } else {
            placed = {place(pictures.front), place(pictures.back), place(pictures.palette),
                      place(pictures.shinyPalette), place(pictures.icon)};
            if (!firstPlaced) firstPlaced = placed;
        }
        // Sprite entries carry the data size and a tag after the pointer, palette entries a tag, as in the
        // games; the editor reads only the pointers.
        const auto low = [](int value) { return static_cast<uint8_t>(value & 0xFF); };
        const auto high = [](int value) { return static_cast<uint8_t>((value >> 8) & 0xFF); };
        const int32_t front = layout_.ImageOffset + 8 * i;
        const int32_t back = layout_.ImageOffset + TableShapes::kBackSpriteDistance + 8 * i;
        const int32_t palette = layout_.PaletteOffset + 8 * i;
        const int32_t shiny = layout_.PaletteOffset + TableShapes::kShinyPaletteDistance + 8 * i;
        SetPointer(front, placed.front);
        Fill(front + 4, {0x00, 0x08, low(i), high(i)});
        SetPointer(back, placed.back);
        Fill(back + 4, {0x00, 0x08, low(i), high(i)});
        SetPointer(palette, placed.palette);
        Fill(palette + 4, {low(i), high(i), 0x00, 0x00});
        SetPointer(shiny, placed.shinyPalette);
        Fill(shiny + 4, {low(i + 500), high(i + 500), 0x00, 0x00});
        SetPointer(layout_.IconOffset + 4 * i, placed.icon);
        Fill(layout_.IconPalette + i, {static_cast<uint8_t>(i % kIconPaletteCount)});
    }
    if (layout_.AnimatedImageOffset != 0) PlaceAnimatedFronts(variety, picturesCursor);
    PlaceSpeciesTables(*this, variety);
    WriteNameTables(variety);
    if (layout_.EggMoves != 0) PlaceEggMoves(*this, variety);
    if (layout_.DexEntries != 0) PlaceDex(*this, variety);
    if (layout_.battle.Footprints != 0) PlaceBattle(*this, variety);
    for (const auto& [key, at] : layout_.references) {
        if (TableOffset(key) != 0) SetPointer(at, TableOffset(key));
    }
}

int32_t RomBuilder::TableOffset(const std::string& key) const {
    const RomLayout& l = layout_;
    const std::pair<const char*, int32_t> tables[] = {
        {"NameOffset", l.NameOffset},
        {"DataOffset", l.DataOffset},
        {"ImageOffset", l.ImageOffset},
        {"BackImageOffset", l.ImageOffset + TableShapes::kBackSpriteDistance},
        {"PaletteOffset", l.PaletteOffset},
        {"ShinyPaletteOffset", l.PaletteOffset + TableShapes::kShinyPaletteDistance},
        {"IconOffset", l.IconOffset},
        {"IconPalette", l.IconPalette},
        {"IconPaletteTable", l.IconPaletteTable},
        {"AttackTable", l.AttackTable},
        {"AnimatedImageOffset", l.AnimatedImageOffset},
        {"EvolutionTable", l.EvolutionTable},
        {"TMHMTable", l.TMHMTable},
        {"TMHMMoves", l.TMHMMoves},
        {"TutorTable", l.TutorCount > 0 ? l.TutorTable : 0},
        {"TutorMoves", l.TutorCount > 0 ? l.TutorMoves : 0},
        {"MoveNames", l.MoveNames},
        {"AbilityNames", l.AbilityNames},
        {"TypeNames", l.TypeNames},
        {"ItemTable", l.ItemTable},
        {"EggMoves", l.EggMoves},
        {"NationalDex", l.NationalDex},
        {"DexEntries", l.DexEntries},
        {"FrontCoords", l.battle.FrontCoords},
        {"BackCoords", l.battle.BackCoords},
        {"Elevation", l.battle.Elevation},
        {"Footprints", l.battle.Footprints},
        {"FrontAnimIds", l.battle.FrontAnimIds},
    };
    for (const auto& [name, offset] : tables) {
        if (key == name) return offset;
    }
    return 0;
}

void RomBuilder::MoveTable(int32_t from, int32_t to, int32_t length, bool leaveOldCopy) {
    std::copy_n(bytes_.begin() + from, length, bytes_.begin() + to);
    const uint32_t old = 0x08000000u + static_cast<uint32_t>(from);
    for (size_t at = 0; at + 4 <= bytes_.size(); at += 4) {
        const uint32_t word = uint32_t{bytes_[at]} | uint32_t{bytes_[at + 1]} << 8 |
                              uint32_t{bytes_[at + 2]} << 16 | uint32_t{bytes_[at + 3]} << 24;
        if (word == old) SetPointer(static_cast<int32_t>(at), to);
    }
    if (!leaveOldCopy) std::fill_n(bytes_.begin() + from, length, 0xFF);
}

void RomBuilder::WriteNameTables(uint32_t variety) {
    for (int k = 0; k < RomNames::kListCount; ++k) {
        const auto list = static_cast<RomNames::List>(k);
        if (ListTable(list) == 0) continue;
        for (int i = 0; i < ListCount(list); ++i) {
            Random random = RandomFor(variety, k * 0x10000 + i, kListNamePurpose);
            SetListName(list, i, MadeUpListName(list, i, random));
        }
    }
}

int32_t RomBuilder::ListTable(RomNames::List list) const {
    const int32_t tables[] = {layout_.MoveNames, layout_.AbilityNames, layout_.TypeNames, layout_.ItemTable};
    return tables[list];
}

int32_t RomBuilder::ListCount(RomNames::List list) const {
    return list == RomNames::kItems ? layout_.ItemCount : RomNames::Format(list).defaultCount;
}

void RomBuilder::SetListName(RomNames::List list, int index, const std::string& name) {
    const RomNames::TableFormat& format = RomNames::Format(list);
    // Cut so that the FF fits, without a space left dangling at the cut.
    std::string shown = name.substr(0, static_cast<size_t>(format.nameWidth - 1));
    while (!shown.empty() && shown.back() == ' ') shown.pop_back();
    std::vector<uint8_t> entry(static_cast<size_t>(format.nameWidth), 0x00);
    for (size_t k = 0; k < shown.size(); ++k) entry[k] = GameCode(shown[k]);
    entry[shown.size()] = 0xFF;
    Fill(ListTable(list) + format.entrySize * index, entry);
}

void RomBuilder::PlaceAnimatedFronts(uint32_t variety, int32_t cursor) {
    // The same creatures as the still pictures, drawn again: the second frame hops by a pixel.
    std::optional<int32_t> first;
    for (int i = 0; i < kSpeciesCount; ++i) {
        Random random = RandomFor(variety, i, kPicturePurpose);
        Canvas canvas = DrawFront(MadeUpCreature(random), View{});
        std::vector<uint8_t> frames;
        canvas.AppendTiles(frames);
        canvas.ShiftUp(1);
        canvas.AppendTiles(frames);
        const std::vector<uint8_t> packed = Lz77::Compress(frames);
        // A layout whose free space runs out points the rest at the first species' frames.
        int32_t at = first.value_or(cursor);
        if (!first || cursor + static_cast<int64_t>(packed.size()) <= static_cast<int64_t>(bytes_.size())) {
            at = cursor;
            Fill(at, packed);
            cursor += (static_cast<int32_t>(packed.size()) + 3) & ~3;
            if (!first) first = at;
        }
        const int32_t entry = layout_.AnimatedImageOffset + 8 * i;
        SetPointer(entry, at);
        Fill(entry + 4, {0x00, 0x10, static_cast<uint8_t>(i & 0xFF), static_cast<uint8_t>(i >> 8)});
    }
}

void RomBuilder::SetName(int index, const std::string& name) {
    std::vector<uint8_t> entry(kNameSize, 0x00);
    const size_t length = std::min(name.size(), static_cast<size_t>(kNameSize));
    for (size_t k = 0; k < length; ++k) entry[k] = GameCode(name[k]);
    if (length < static_cast<size_t>(kNameSize)) entry[length] = 0xFF;
    Fill(layout_.NameOffset + kNameSize * index, entry);
}

void RomBuilder::SetRecord(int index, const std::array<uint8_t, 28>& record) {
    Fill(layout_.DataOffset + kRecordSize * index, std::vector<uint8_t>(record.begin(), record.end()));
}

std::array<uint8_t, 28> RomBuilder::Record(int index) const {
    std::array<uint8_t, 28> record{};
    const int64_t base = static_cast<int64_t>(layout_.DataOffset) + kRecordSize * index;
    for (int k = 0; k < kRecordSize; ++k) {
        const int64_t at = base + k;
        if (at >= 0 && at < static_cast<int64_t>(bytes_.size())) record[k] = bytes_[static_cast<size_t>(at)];
    }
    return record;
}

void RomBuilder::SetPointer(int32_t entryOffset, int32_t target) {
    const uint32_t value = kRomBase + static_cast<uint32_t>(target);
    Fill(entryOffset, {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
                       static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>(value >> 24)});
}

void RomBuilder::SetAttackTable(int index, int32_t offset, const std::vector<LevelUpAttackEntry>& rows) {
    std::vector<uint8_t> data;
    for (const LevelUpAttackEntry& row : rows) {
        const int value = row.level * 512 + row.attack;
        data.push_back(static_cast<uint8_t>(value & 0xFF));
        data.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    }
    data.push_back(0xFF);
    data.push_back(0xFF);
    Fill(offset, data);
    SetPointer(layout_.AttackTable + 4 * index, offset);
}

void RomBuilder::Fill(int32_t offset, const std::vector<uint8_t>& data) {
    // Bytes that would fall outside the image are dropped, as they would be on a cartridge of that size.
    const int64_t begin = std::max<int64_t>(offset, 0);
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(offset) + static_cast<int64_t>(data.size()),
                                          static_cast<int64_t>(bytes_.size()));
    if (begin >= end) return;
    std::memcpy(bytes_.data() + begin, data.data() + (begin - offset), static_cast<size_t>(end - begin));
}

EditorSession RomBuilder::Session(const std::string& path) const {
    EditorSession session;
    session.RomPath = path;
    session.NameOffset = layout_.NameOffset;
    session.DataOffset = layout_.DataOffset;
    session.ImageOffset = layout_.ImageOffset;
    session.PaletteOffset = layout_.PaletteOffset;
    session.IconOffset = layout_.IconOffset;
    session.IconPalette = layout_.IconPalette;
    session.AttackTable = layout_.AttackTable;
    session.BackImageOffset = TableOffset("BackImageOffset");
    session.ShinyPaletteOffset = TableOffset("ShinyPaletteOffset");
    if (layout_.IconPaletteTable != 0) session.IconPaletteTable = layout_.IconPaletteTable;
    for (int k = 0; k < RomNames::kListCount; ++k) {
        const auto list = static_cast<RomNames::List>(k);
        if (ListTable(list) != 0) session.NameTables[k].offset = HexNumber(ListTable(list));
    }
    if (layout_.ItemTable != 0)
        session.NameTables[RomNames::kItems].count = std::to_string(layout_.ItemCount);
    if (layout_.FreeSpaceKey != 0) session.FreeSpace = layout_.FreeSpaceKey;
    if (layout_.AnimatedImageOffset != 0) session.AnimatedImageOffset = layout_.AnimatedImageOffset;
    session.GameCode = layout_.gameCode;
    session.Version = layout_.version;
    session.FileSize = static_cast<int64_t>(bytes_.size());
    session.Section = SectionName();
    session.Title = layout_.title;
    if (layout_.language == "de") session.TextLanguage = GameText::Language::German;
    if (layout_.EvolutionTable != 0) session.Tables.evolutions.where = layout_.EvolutionTable;
    if (layout_.TMHMTable != 0)
        session.Tables.tmhm.where = CompatibilityTable{layout_.TMHMTable, layout_.TMHMMoves, 58, 8};
    if (layout_.TutorCount > 0) {
        session.Tables.tutors.where = CompatibilityTable{
            layout_.TutorTable, layout_.TutorMoves, layout_.TutorCount, layout_.TutorCount <= 16 ? 2 : 4};
    }
    if (layout_.EggMoves != 0)
        session.Tables.eggMoves.where = EggMovePlace{layout_.EggMoves, layout_.EggMoves, 2};
    if (layout_.DexEntries != 0) {
        const bool twoPages = IsRubyOrSapphire(layout_.gameCode);
        session.Tables.dex.where =
            DexPlace{layout_.NationalDex, layout_.DexEntries, layout_.DexEntrySize, twoPages};
    }
    if (const RomLayout::BattleTables& b = layout_.battle; b.Footprints != 0) {
        session.Tables.battle.where =
            BattlePlace{b.FrontCoords, b.BackCoords, b.Elevation, b.Footprints,
                        b.FrontAnimIds != 0 ? std::optional(b.FrontAnimIds) : std::nullopt};
    }
    return session;
}

std::string RomBuilder::SectionName() const {
    if (layout_.version == 0) return layout_.gameCode;
    return layout_.gameCode + "-" + std::to_string(layout_.version);
}

std::string RomBuilder::IniSection() const {
    std::string text = "[" + SectionName() + "]\r\n";
    auto key = [&text](const char* name, int32_t value) {
        text += std::string(name) + "=" + HexNumber(value) + "\r\n";
    };
    key("NameOffset", layout_.NameOffset);
    key("DataOffset", layout_.DataOffset);
    key("ImageOffset", layout_.ImageOffset);
    key("PaletteOffset", layout_.PaletteOffset);
    key("IconOffset", layout_.IconOffset);
    key("IconPalette", layout_.IconPalette);
    key("AttackTable", layout_.AttackTable);
    if (layout_.IconPaletteTable != 0) key("IconPaletteTable", layout_.IconPaletteTable);
    if (layout_.FreeSpaceKey != 0) key("FreeSpace", layout_.FreeSpaceKey);
    if (layout_.AnimatedImageOffset != 0) key("AnimatedImageOffset", layout_.AnimatedImageOffset);
    text += "Title=" + layout_.title + "\r\n";
    if (!layout_.language.empty()) text += "Language=" + layout_.language + "\r\n";
    if (layout_.EvolutionTable != 0) key("EvolutionTable", layout_.EvolutionTable);
    if (layout_.TMHMTable != 0) {
        key("TMHMTable", layout_.TMHMTable);
        key("TMHMMoves", layout_.TMHMMoves);
    }
    if (layout_.TutorCount > 0) {
        key("TutorTable", layout_.TutorTable);
        key("TutorMoves", layout_.TutorMoves);
    }
    if (layout_.TutorCount >= 0) text += "TutorCount=" + std::to_string(layout_.TutorCount) + "\r\n";
    for (int k = 0; k < RomNames::kListCount; ++k) {
        const auto list = static_cast<RomNames::List>(k);
        if (ListTable(list) != 0) key(RomNames::Format(list).offsetKey, ListTable(list));
    }
    if (layout_.ItemTable != 0) text += "ItemCount=" + std::to_string(layout_.ItemCount) + "\r\n";
    if (layout_.EggMoves != 0) {
        key("EggMoves", layout_.EggMoves);
        text += "EggMoveRefs=2\r\n";
    }
    if (layout_.DexEntries != 0) {
        key("NationalDex", layout_.NationalDex);
        key("DexEntries", layout_.DexEntries);
        text += "DexEntrySize=" + std::to_string(layout_.DexEntrySize) + "\r\n";
    }
    if (layout_.battle.Footprints != 0) {
        for (const char* table : {"FrontCoords", "BackCoords", "Elevation", "Footprints", "FrontAnimIds"}) {
            if (TableOffset(table) != 0) key(table, TableOffset(table));
        }
    }
    for (const auto& [table, at] : layout_.references) {
        if (TableOffset(table) != 0) key(TableShapes::Find(table)->refKey, at);
    }
    return text;
}

bool RomBuilder::WriteTo(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    out.close();
    return static_cast<bool>(out);
}
