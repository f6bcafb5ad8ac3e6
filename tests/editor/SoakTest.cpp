// A thousand saves of random edits to random species of one ROM. After each, the whole file must equal a copy
// kept in memory to which exactly the bytes of that edit were applied, so a save that strays by one byte, or
// a byte that an earlier save left wrong, is caught at the save that caused it.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "RomBuilder.h"
#include "RomFiles.h"
#include "SpeciesSave.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::ChangedBytes;
using testsupport::DescribeChanges;
using testsupport::ReadFileBytes;

constexpr int kSaves = 1000;
// A fixed generator start value, so that a failure comes back on every run.
constexpr std::mt19937::result_type kGeneratorStart = 20240611u;

// The characters the names are made of and their codes in the game's character table, written out here
// rather than taken from the encoder, so that the expected bytes do not come from the code under test.
struct NameCharacter {
    char character;
    uint8_t code;
};

std::vector<NameCharacter> NameCharacters() {
    std::vector<NameCharacter> characters = {{' ', 0x00},    {'!', 0xAB},    {'?', 0xAC},   {'.', 0xAD},
                                             {'-', 0xAE},    {'\'', 0xB4},   {'/', 0xB8},   {'\x0B', 0xB5},
                                             {'\x0C', 0xB6}, {'\xE9', 0x1B}, {'\xB7', 0xAF}};
    for (int i = 0; i < 26; ++i) {
        characters.push_back({static_cast<char>('A' + i), static_cast<uint8_t>(0xBB + i)});
        characters.push_back({static_cast<char>('a' + i), static_cast<uint8_t>(0xD5 + i)});
    }
    for (int i = 0; i < 10; ++i)
        characters.push_back({static_cast<char>('0' + i), static_cast<uint8_t>(0xA1 + i)});
    return characters;
}

class Generator {
public:
    explicit Generator(std::mt19937::result_type start) : engine_(start) {}
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }

private:
    std::mt19937 engine_;
};

// One random edit as the window could hand it over: every value within what its control allows.
struct RandomEdit {
    SpeciesEdits edits;
    std::vector<uint8_t> nameCodes;  // the name's codes, FF after them when there is room
};

RandomEdit MakeEdit(Generator& random, const std::vector<NameCharacter>& characters,
                    const RomLayout& layout) {
    RandomEdit made;
    SpeciesEdits& e = made.edits;
    const int length = random.Between(0, 10);
    for (int k = 0; k < length; ++k) {
        const NameCharacter& c =
            characters[static_cast<size_t>(random.Between(0, int(characters.size()) - 1))];
        e.name += c.character;
        made.nameCodes.push_back(c.code);
    }
    made.nameCodes.push_back(0xFF);

    for (double* stat :
         {&e.hp, &e.attack, &e.defense, &e.speed, &e.spAttack, &e.spDefense, &e.baseXp, &e.catchRate})
        *stat = random.Between(0, 255);
    e.safari = random.Between(0, 175);
    for (double* yield : {&e.evHp, &e.evAttack, &e.evDefense, &e.evSpeed, &e.evSpAttack, &e.evSpDefense})
        *yield = random.Between(0, 3);
    e.type1 = random.Between(0, 17);
    e.type2 = random.Between(0, 17);
    e.item1 = random.Between(0, 376);
    e.item2 = random.Between(0, 376);
    e.gender = random.Between(0, 255);
    e.steps = random.Between(0, 255);
    e.eggType1 = random.Between(0, 15);
    e.eggType2 = random.Between(0, 15);
    e.ability1 = random.Between(0, 77);
    e.ability2 = random.Between(0, 77);
    e.iconPalette = random.Between(0, 2);
    for (int32_t* target : {&e.sprite, &e.backSprite, &e.palette, &e.shinyPalette, &e.icon})
        *target = random.Between(0, 0xFFFFFF);

    // Tables go to the back of the file, away from the species tables, as a new table from the insert window
    // would; the tables of different saves overlap freely.
    const int rows = random.Between(0, 24);
    e.attackTable = random.Between(layout.freeSpace + 0x60000, layout.size - 2 * rows);
    for (int r = 0; r < rows; ++r) e.rows.push_back({random.Between(0, 511), random.Between(0, 99)});
    return made;
}

void Put(std::vector<uint8_t>& bytes, int64_t offset, int value) {
    bytes.at(static_cast<size_t>(offset)) = static_cast<uint8_t>(value & 0xFF);
}

void PutPointer(std::vector<uint8_t>& bytes, int64_t entry, int32_t target) {
    for (int k = 0; k < 3; ++k) Put(bytes, entry + k, target >> (8 * k));
}

// The bytes the save of species i must change, in the order the save writes them, so that overlapping
// writes end as they do in the file.
void ApplyExpected(std::vector<uint8_t>& bytes, const RomLayout& l, int i, const RandomEdit& made) {
    const SpeciesEdits& e = made.edits;
    const int64_t name = l.NameOffset + 11 * int64_t{i};
    // The padded name: the codes, FF, then blanks (00) to eleven bytes; an empty name writes ten.
    const size_t nameBytes = e.name.empty() ? 10 : 11;
    for (size_t k = 0; k < nameBytes; ++k)
        Put(bytes, name + int64_t(k), k < made.nameCodes.size() ? made.nameCodes[k] : 0x00);

    const int64_t r = l.DataOffset + 28 * int64_t{i};
    const int stats[] = {int(e.hp),    int(e.attack),   int(e.defense),
                         int(e.speed), int(e.spAttack), int(e.spDefense)};
    for (int k = 0; k < 6; ++k) Put(bytes, r + k, stats[k]);
    Put(bytes, r + 6, e.type1);
    Put(bytes, r + 7, e.type2);
    Put(bytes, r + 8, int(e.catchRate));
    Put(bytes, r + 9, int(e.baseXp));
    // Two bits per yield from the lowest: HP, Attack, Defense, Speed, Sp. Attack, Sp. Defense; bits 12 to 15
    // are cleared.
    const int ev = int(e.evHp) | int(e.evAttack) << 2 | int(e.evDefense) << 4 | int(e.evSpeed) << 6 |
                   int(e.evSpAttack) << 8 | int(e.evSpDefense) << 10;
    Put(bytes, r + 10, ev);
    Put(bytes, r + 11, ev >> 8);
    Put(bytes, r + 12, e.item1);
    Put(bytes, r + 13, e.item1 >> 8);
    Put(bytes, r + 14, e.item2);
    Put(bytes, r + 15, e.item2 >> 8);
    Put(bytes, r + 16, e.gender);
    Put(bytes, r + 17, e.steps);
    Put(bytes, r + 20, e.eggType1);
    Put(bytes, r + 21, e.eggType2);
    Put(bytes, r + 22, e.ability1);
    Put(bytes, r + 23, e.ability2);
    Put(bytes, r + 24, int(e.safari));

    PutPointer(bytes, l.ImageOffset + 8 * i, e.sprite);
    PutPointer(bytes, l.ImageOffset + Species::kBackSpriteDistance + 8 * i, e.backSprite);
    PutPointer(bytes, l.PaletteOffset + 8 * i, e.palette);
    PutPointer(bytes, l.PaletteOffset + Species::kShinyPaletteDistance + 8 * i, e.shinyPalette);
    PutPointer(bytes, l.IconOffset + 4 * i, e.icon);
    Put(bytes, l.IconPalette + i, e.iconPalette);
    PutPointer(bytes, l.AttackTable + 4 * i, e.attackTable);
    for (size_t row = 0; row < e.rows.size(); ++row) {
        const int value = e.rows[row].level * 512 + e.rows[row].attack;
        Put(bytes, e.attackTable + 2 * int64_t(row), value);
        Put(bytes, e.attackTable + 2 * int64_t(row) + 1, value >> 8);
    }
}

TEST(SoakTest, AThousandRandomSavesChangeExactlyTheirBytes) {
    testsupport::TempDir dir;
    const RomBuilder builder(DemoLayout());
    const RomLayout& layout = builder.layout();
    const auto files = testsupport::WriteRomFiles(dir, builder);
    ASSERT_TRUE(files.written);
    std::vector<uint8_t> expected = builder.bytes();
    const std::vector<NameCharacter> characters = NameCharacters();
    Generator random(kGeneratorStart);

    const auto begin = std::chrono::steady_clock::now();
    for (int save = 0; save < kSaves; ++save) {
        const int index = random.Between(0, Species::kCount - 1);
        const RandomEdit made = MakeEdit(random, characters, layout);
        const SaveOutcome outcome = SaveSpecies(files.session, index, made.edits);
        ASSERT_TRUE(outcome.complete) << "save " << save << " of species " << index << ": " << outcome.error;
        ASSERT_FALSE(outcome.report.empty());

        ApplyExpected(expected, layout, index, made);
        const std::vector<uint8_t> actual = ReadFileBytes(files.rom);
        if (actual != expected) {
            FAIL() << "save " << save << " of species " << index << " left the file different from what it "
                   << "should hold:\n"
                   << DescribeChanges(ChangedBytes(expected, actual));
        }
    }
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    RecordProperty("milliseconds", static_cast<int>(took.count()));
    std::printf("%d saves and whole-file checks took %lld ms\n", kSaves,
                static_cast<long long>(took.count()));
}

}  // namespace
