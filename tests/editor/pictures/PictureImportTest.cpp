#include "EditorTest.h"
#include "pictures/PictureImport.h"
#include "pictures/PictureReplacements.h"
#include "pictures/SpritePictures.h"
#include "rom/RomPointer.h"
#include "species/SpeciesRecord.h"
#include "write/FreeSpaceMap.h"

namespace {

using namespace PictureImport;
using Kind = PictureImport::Kind;

// Colour 0 (a backdrop), then colours of which some lie between two 15-bit colours.
const std::vector<uint32_t> kFrontColours = {
    0xFF00FF00, 0xFF101820, 0xFFF8F8F8, 0xFFC03018, 0xFF7B5A29, 0xFF3060A0, 0xFF000000, 0xFFFFFFFF,
    0xFF808080, 0xFF12AB34, 0xFFE0C000, 0xFF400040, 0xFF00C8C8, 0xFF884422, 0xFF224488, 0xFFFA7F01};

// Colour 0 at the top-left, and every other colour somewhere in a pattern that differs per frame.
PixelImage Drawn(int width, int height, const std::vector<uint32_t>& colours) {
    PixelImage image{width, height, {}, {}};
    const std::size_t n = colours.size();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.argb.push_back(x + y == 0 ? colours[0] : colours[(x / 5 + y / 3 + x * y % 7 + y / 64) % n]);
    }
    return image;
}

// What the preview must show of the picture's top-left: nothing for its top-left colour or a transparent one.
std::vector<uint32_t> Shown(const PixelImage& image, int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t argb = image.argb[static_cast<std::size_t>(y * image.width + x)];
            const bool zero = argb >> 24 == 0 || argb == image.argb[0];
            pixels.push_back(zero ? 0 : ShownColour(ToBgr555(argb)));
        }
    }
    return pixels;
}

// The colours of a palette the preview shows, colour 0 transparent.
std::vector<uint32_t> ColoursOf(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> colours = {0};
    const PaletteWords palette = PaletteFromBytes(bytes.data());
    for (int n = 1; n < 16; ++n) colours.push_back(ShownColour(palette[n]));
    return colours;
}

int32_t Hex(const std::string& text) {
    return static_cast<int32_t>(std::stol(text, nullptr, 16));
}

TEST(PictureRoundTrip, ImportsReadBackPixelForPixelAndSaveAsOneStep) {
    for (const auto& [layout, i] : {std::pair{&DemoLayout, 25}, {&FireRedLayout, 1}, {&EmeraldLayout, 411}}) {
        SCOPED_TRACE(i);
        const WrittenRom written(layout());
        const EditorSession& session = written.files.session;
        const bool emerald = session.AnimatedImageOffset.has_value();
        const SpeciesValues before = ReadSpecies(session, i);
        const ShownPictures shown{Hex(before.sprite), Hex(before.palette), Hex(before.shinyPalette)};

        PictureReplacements replaced;
        const PixelImage front = Drawn(64, emerald ? 128 : 64, kFrontColours);
        const ReplaceOutcome imported = ReplacePicture(Kind::FrontSprite, front, session, i, shown, replaced);
        ASSERT_EQ(imported.error, "");
        EXPECT_EQ(imported.colours, 16);
        EXPECT_TRUE(imported.rounded);
        // The back sprite in the new palette's colours, the shiny picture the front one's pattern in others.
        const PixelImage back = Drawn(64, 64, ColoursOf(*replaced.palette));
        std::vector<uint32_t> shinyColours = kFrontColours;
        for (uint32_t& colour : shinyColours) colour = 0xFF000000u | ((colour & 0xFFFFFF) ^ 0x5A3C1E);
        const PixelImage shiny = Drawn(64, 64, shinyColours);
        std::string problem;
        const auto iconPalette =
            SpritePictures::ReadIconPalette(session.RomPath, *session.IconPaletteTable, 2, &problem);
        ASSERT_TRUE(iconPalette) << problem;
        const PixelImage icon = Drawn(32, 64, ColoursOf(*iconPalette));
        for (const auto& [kind, image] :
             {std::pair{Kind::BackSprite, &back}, {Kind::ShinyPalette, &shiny}, {Kind::Icon, &icon}}) {
            const ReplaceOutcome outcome = ReplacePicture(kind, *image, session, i, shown, replaced);
            ASSERT_EQ(outcome.error, "") << KindName(kind);
            EXPECT_EQ(outcome.iconPalette, kind == Kind::Icon ? std::optional<int>(2) : std::nullopt);
        }

        SpeciesEdits edits = EditsAsShown(session, i);
        edits.iconPalette = 2;
        FreeSpaceMap space(session);
        const PicturesPlan plan = PlanPictureReplacements(
            session, i, replaced, [&space](int64_t length) { return space.Take(length); }, edits);
        ASSERT_EQ(plan.error, "");
        RomWriter writer = QuietWriter(session);
        ASSERT_TRUE(SaveSpecies(writer, i, edits, plan.bytes).complete);

        using SpritePictures::ReadSprite;
        const std::string& rom = session.RomPath;
        EXPECT_EQ(ReadSprite(rom, edits.sprite, edits.palette).argb, Shown(front, 64, 64));
        EXPECT_EQ(ReadSprite(rom, edits.sprite, edits.shinyPalette).argb, Shown(shiny, 64, 64));
        EXPECT_EQ(ReadSprite(rom, edits.backSprite, edits.palette).argb, Shown(back, 64, 64));
        EXPECT_EQ(SpritePictures::ReadIcon(rom, edits.icon, 2, session.IconPaletteTable).argb,
                  Shown(icon, 32, 32));
        if (emerald) {
            // Emerald's animated table points at both frames.
            const std::vector<uint8_t> saved = ReadFileBytes(rom);
            const int64_t target = PointerTarget(saved, *session.AnimatedImageOffset + 8 * i);
            const auto frames =
                SpritePictures::Decompress(saved.data() + target, saved.size() - target, 4096, &problem);
            ASSERT_TRUE(frames) << problem;
            const Picture both =
                SpritePictures::DecodeTiles(frames->data(), frames->size(), 8, 16,
                                            SpritePictures::DecodePalette(replaced.palette->data()));
            EXPECT_EQ(both.argb, Shown(front, 64, 128));
        }
        ASSERT_TRUE(writer.Undo().complete);
        EXPECT_EQ(Differences(written.rom.bytes(), ReadFileBytes(rom)), "");
    }
}

TEST(PictureImport, FifteenBitColoursRoundToTheNearestAndSurviveTheirOwnRoundTrip) {
    for (uint16_t level = 0; level < 32; ++level) {
        const uint16_t grey = static_cast<uint16_t>(level | level << 5 | level << 10);
        EXPECT_EQ(ToBgr555(ShownColour(grey)), grey);
    }
    const std::pair<uint32_t, uint16_t> cases[] = {
        {0xFF000000, 0x0000}, {0xFFFFFFFF, 0x7FFF}, {0xFF040404, 0x0000}, {0xFF050505, 0x0421},
        {0xFFFF0000, 0x001F}, {0xFF0000FF, 0x7C00}, {0x00FF0000, 0x001F}};
    for (const auto& [argb, bgr] : cases) EXPECT_EQ(ToBgr555(argb), bgr) << std::hex << argb;
}

TEST(PictureImport, EmeraldTakesASixtyFourSquareForBothFramesAndOtherGamesRefuseTwoFrames) {
    const PixelImage still = Drawn(64, 64, {0xFF00FF00, 0xFF000000, 0xFFFFFFFF});
    const FrontSprite front = ImportFrontSprite(still, true);
    ASSERT_EQ(front.error, "");
    Bytes twice = front.tiles;
    twice.insert(twice.end(), front.tiles.begin(), front.tiles.end());
    EXPECT_EQ(front.animated, twice);
    EXPECT_TRUE(ImportFrontSprite(still, false).animated.empty());
    EXPECT_NE(ImportFrontSprite(Drawn(64, 128, {0xFF00FF00, 0xFF000000}), false).error.find("64 x 64 pixels"),
              std::string::npos);
    // An indexed file whose first colour is the top-left one keeps its colour numbers.
    PixelImage indexed = still;
    indexed.colourTable = {0xFF00FF00, 0xFF123456, 0xFFFFFFFF, 0xFF000000};
    const PaletteWords palette = ImportFrontSprite(indexed, false).palette;
    EXPECT_EQ(palette[2], 0x7FFF);
    EXPECT_EQ(palette[3], 0x0000);
}

// A picture that cannot replace one of species 1's, with the pointers the window's boxes hold (the
// species' own when unset); the window shows the sentence.
struct Refusal {
    const WrittenRom* rom;
    Kind kind;
    PixelImage image;
    const char* reason;
    std::optional<ShownPictures> shown = std::nullopt;
};

TEST(PictureImport, EveryRefusalNamesItsReasonAndReplacesNothing) {
    const WrittenRom demo(DemoLayout());
    // Emerald with the animated entry of species 1 pointing at a one-frame sprite.
    const WrittenRom moved(EmeraldLayout(), [](RomBuilder& rom) {
        const Bytes& b = rom.bytes();
        rom.Fill(rom.layout().AnimatedImageOffset + 8,
                 {b.begin() + rom.layout().ImageOffset + 8, b.begin() + rom.layout().ImageOffset + 12});
    });
    const std::vector<uint32_t> greys = {0xFF000000, 0xFF0F0F0F, 0xFF1E1E1E};
    std::vector<uint32_t> seventeen = kFrontColours;
    seventeen.push_back(0xFF445566);
    PixelImage outside{64, 64, std::vector<uint32_t>(64 * 64, 0xFF000000), {}};
    outside.argb[4 * 64 + 9] = 0xFFABCDEF;
    const Refusal cases[] = {
        {&demo, Kind::FrontSprite, Drawn(64, 60, greys), "64 x 60 pixels; the front sprite must be 64 x 64"},
        // Only a front sprite may hold Emerald's two frames.
        {&moved, Kind::ShinyPalette, Drawn(64, 128, greys), "64 x 128 pixels"},
        {&demo, Kind::FrontSprite, Drawn(64, 64, seventeen), "has 17 colours"},
        {&demo, Kind::BackSprite, outside, "#ABCDEF at pixel (9, 4) is not in the species' normal palette"},
        // A pattern that does not follow the front sprite's gives one colour number two shiny colours.
        {&demo, Kind::ShinyPalette, Drawn(64, 64, greys), "stand where the front sprite has the same colour"},
        {&demo, Kind::Icon, PixelImage{32, 64, std::vector<uint32_t>(32 * 64, 0xFF01FE03), {}},
         "#01FE03 at pixel (0, 0) is in none of the icon palettes"},
        {&moved, Kind::FrontSprite, Drawn(64, 64, greys), "does not point at a two-frame sprite"},
        // What the picture builds on cannot be read.
        {&demo, Kind::BackSprite, Drawn(64, 64, kFrontColours),
         "The normal palette cannot be read: its pointer box does not hold an offset",
         ShownPictures{0, {}, 0}},
        {&demo, Kind::ShinyPalette, Drawn(64, 64, kFrontColours),
         "The front sprite cannot be read: ", ShownPictures{0x100000, 0, 0}}};
    for (const auto& [rom, kind, image, reason, shown] : cases) {
        const SpeciesValues own = ReadSpecies(rom->files.session, 1);
        const ShownPictures pointers =
            shown.value_or(ShownPictures{Hex(own.sprite), Hex(own.palette), Hex(own.shinyPalette)});
        PictureReplacements replaced;
        const std::string error =
            ReplacePicture(kind, image, rom->files.session, 1, pointers, replaced).error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_TRUE(replaced.empty()) << reason;
    }
}

// Free space that no ROM pointer reaches is refused before any byte is planned.
TEST(PictureImport, FreeSpaceBeyondThePointersReachIsRefused) {
    const WrittenRom rom(DemoLayout());
    PictureReplacements replaced;
    replaced.icon = Bytes(kIconTileBytes, 0x11);
    const int64_t last = RomPointer::kSpan - static_cast<int64_t>(kIconTileBytes);
    for (const auto& [at, refused] : {std::pair{int64_t{-4}, true}, {last + 4, true}, {last, false}}) {
        SpeciesEdits edits = EditsAsShown(rom.files.session, 1);
        const TakeSpace there = [at](int64_t) { return FreeSpaceFound{at, ""}; };
        const PicturesPlan plan = PlanPictureReplacements(rom.files.session, 1, replaced, there, edits);
        EXPECT_EQ(plan.error.find("lies where no ROM pointer reaches") != std::string::npos, refused) << at;
        EXPECT_EQ(plan.bytes.empty(), refused) << at;
    }
}

}  // namespace
