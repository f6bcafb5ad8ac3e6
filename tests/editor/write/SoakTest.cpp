// Each save must leave the whole file as a copy in memory with exactly that edit's bytes applied.

#include <random>

#include "EditorTest.h"
#include "species/SpeciesSave.h"

namespace {

void Put(std::vector<uint8_t>& bytes, int64_t at, int value, int width = 1) {
    for (int k = 0; k < width; ++k)
        bytes.at(static_cast<size_t>(at + k)) = static_cast<uint8_t>(value >> 8 * k);
}

TEST(SoakTest, FourHundredRandomSavesChangeExactlyTheirBytes) {
    TempDir dir;
    const RomBuilder builder(DemoLayout());
    const RomLayout& l = builder.layout();
    const auto files = WriteRomFiles(dir, builder);
    ASSERT_TRUE(files.written);
    RomWriter writer = QuietWriter(files.session);
    std::vector<uint8_t> expected = builder.bytes();
    std::mt19937 engine(20240611u);  // fixed, so that a failure comes back on every run
    auto random = [&engine](int low, int high) { return std::uniform_int_distribution(low, high)(engine); };

    for (int save = 0; save < 400; ++save) {
        const int i = random(0, 411);
        // Each value is drawn within what its control allows and put into the expected bytes at once.
        auto at = [&](int64_t offset, int high, int width = 1) {
            const int value = random(0, high);
            Put(expected, offset, value, width);
            return value;
        };
        SpeciesEdits e;
        // Character codes written out here, not taken from the encoder: letters BB to EE, digits A1, ' B4.
        const std::string characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'";
        const int64_t name = l.NameOffset + 11 * i;
        const int length = random(0, 10);
        for (int k = 0; k < length; ++k) {
            const int pick = random(0, 62);
            e.name += characters[static_cast<size_t>(pick)];
            Put(expected, name + k, pick < 52 ? 0xBB + pick : pick < 62 ? 0xA1 + pick - 52 : 0xB4);
        }
        // FF, then 00 to eleven bytes; an empty name leaves the eleventh alone.
        for (int k = length; k < (length == 0 ? 10 : 11); ++k)
            Put(expected, name + k, k == length ? 0xFF : 0);

        const int64_t r = l.DataOffset + 28 * i;
        e.hp = at(r, 255), e.attack = at(r + 1, 255), e.defense = at(r + 2, 255), e.speed = at(r + 3, 255);
        e.spAttack = at(r + 4, 255), e.spDefense = at(r + 5, 255), e.type1 = at(r + 6, 17);
        e.type2 = at(r + 7, 17), e.catchRate = at(r + 8, 255), e.baseXp = at(r + 9, 255);
        e.item1 = at(r + 12, 376, 2), e.item2 = at(r + 14, 376, 2), e.gender = at(r + 16, 255);
        e.steps = at(r + 17, 255), e.eggType1 = at(r + 20, 15), e.eggType2 = at(r + 21, 15);
        e.ability1 = at(r + 22, 77), e.ability2 = at(r + 23, 77), e.safari = at(r + 24, 175);
        e.iconPalette = at(l.IconPalette + i, 2);
        // Two bits per yield from the lowest; bits 12 to 15 are cleared.
        int ev = 0, shift = 0;
        for (double* yield : {&e.evHp, &e.evAttack, &e.evDefense, &e.evSpeed, &e.evSpAttack, &e.evSpDefense})
            ev |= static_cast<int>(*yield = random(0, 3)) << shift, shift += 2;
        Put(expected, r + 10, ev, 2);
        const int32_t image = l.ImageOffset + 8 * i, palette = l.PaletteOffset + 8 * i;
        // Pointers stay inside the file: every write checks that the tables still point into it.
        e.sprite = at(image, l.size - 1, 3), e.backSprite = at(image + 5280, l.size - 1, 3);
        e.palette = at(palette, l.size - 1, 3), e.shinyPalette = at(palette + 3520, l.size - 1, 3);
        e.icon = at(l.IconOffset + 4 * i, l.size - 1, 3);
        // Tables are typed offsets at the back of the file, those of different saves overlapping. A save
        // keeps at most the rows the table there holds (moves have cases of their own), and a shorter one
        // gets FF FF after its last row.
        e.attackTable = random(l.freeSpace + 0x60000, l.size - 50);
        Put(expected, l.AttackTable + 4 * i, e.attackTable, 3);
        int held = 0;
        auto end = static_cast<size_t>(e.attackTable);
        for (; held < 4096 && end + 1 < expected.size() && (expected[end] & expected[end + 1]) != 0xFF;
             end += 2)
            ++held;
        const bool terminated = held < 4096 && end + 1 < expected.size();
        const int rows = std::min(random(0, 24), held);
        for (int row = 0; row < rows; ++row) {
            e.rows.push_back({random(0, 511), random(0, 99)});
            Put(expected, e.attackTable + 2 * row, e.rows.back().level * 512 + e.rows.back().attack, 2);
        }
        if (rows < held || terminated) Put(expected, e.attackTable + 2 * rows, 0xFFFF, 2);

        const SaveOutcome outcome = SaveSpecies(writer, i, e);
        ASSERT_TRUE(outcome.complete) << "save " << save << " of species " << i << ": " << outcome.error;
        ASSERT_EQ(Differences(expected, ReadFileBytes(files.rom)), "")
            << "save " << save << " of species " << i;
    }
}

}  // namespace
