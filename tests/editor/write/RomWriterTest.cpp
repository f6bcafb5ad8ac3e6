#include <random>

#include "DurableFile.h"
#include "EditorTest.h"
#include "Unwritable.h"
#include "write/RomBackups.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

namespace {

class RomWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = WriteRomFiles(dir_, builder_);
        ASSERT_TRUE(files_.written);
        original_ = ReadFileBytes(files_.rom);
    }
    // Three bytes of species 40's record, each set to a value it does not hold.
    WritePlan Plan(uint8_t value, int species = 40) const {
        WritePlan plan;
        plan.label = "Save " + std::to_string(species);
        plan.species = species;
        for (int k = 0; k < 3; ++k) plan.Add("HP", builder_.layout().DataOffset + 28 * species + k, value);
        return plan;
    }

    TempDir dir_;
    RomBuilder builder_{DemoLayout()};
    RomFiles files_;
    Bytes original_;
};

// Each way the file can fail the checks before the first byte: the message, and a file left as it was.
struct Refusal {
    const char* name;
    // The file's bytes as another program leaves them (written back when changed), and the plan.
    std::function<void(Bytes& file, WritePlan&, const std::string& rom)> arrange;
    const char* said;
};

class RomWriterRefusalTest : public RomWriterTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RomWriterRefusalTest, WritesNothing) {
    WritePlan plan = Plan(0xAB);
    Bytes file = original_;
    if (GetParam().arrange) GetParam().arrange(file, plan, files_.rom);
    if (file != original_) {
        ASSERT_TRUE(WriteFileBytes(files_.rom, file));
    }
    const Bytes before = ReadFileBytes(files_.rom);
    std::optional<testsupport::Unwritable> locked;
    if (std::string(GetParam().name) == "ReadOnlyFile") locked.emplace(files_.rom);
    if (std::string(GetParam().name) == "ReadOnlyFolder") locked.emplace(dir_.path().string());
    if (locked && !locked->active()) GTEST_SKIP() << "this file system cannot make it unwritable";
    RomWriter writer = QuietWriter(files_.session);
    const WriteOutcome outcome = writer.Apply(plan);
    locked.reset();
    EXPECT_FALSE(outcome.complete);
    EXPECT_NE(outcome.error.find(GetParam().said), std::string::npos) << outcome.error;
    EXPECT_EQ(Differences(before, ReadFileBytes(files_.rom)), "");
    EXPECT_EQ(writer.History().UndoCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RomWriterRefusalTest,
    ::testing::ValuesIn(std::vector<Refusal>{
        {"PastTheEnd", [](Bytes&, WritePlan& p, auto&) { p.Add("the rows", 0x100000, 1); },
         "the rows at 0x100000 would lie beyond its end"},
        {"BeforeTheStart", [](Bytes&, WritePlan& p, auto&) { p.Add("the rows", -1, 1); }, "the rows at 0x"},
        {"CutAfterOpening", [](Bytes& b, auto&, auto&) { b.resize(0x80000); },
         "had 1048576 bytes and now has 524288"},
        {"AnotherGameCopiedOver",
         [](Bytes& b, auto&, auto&) { b = RomBuilder(FireRedLayout()).bytes(), b.resize(0x100000); },
         "game code or release"},
        {"AnotherRelease", [](Bytes& b, auto&, auto&) { b[0xBC] = 1; }, "game code or release"},
        {"TablesMoved",
         [](Bytes& b, auto&, auto&) { std::fill_n(b.begin() + DemoLayout().AttackTable, 4 * 412, 0); },
         "tables are no longer where section [VRNH]"},
        {"Removed", [](Bytes&, auto&, const std::string& rom) { fs::remove(rom); },
         "cannot be opened for writing"},
        {"ReadOnlyFile", nullptr, "cannot be opened for writing"},
        {"ReadOnlyFolder", nullptr, "journal"},
        {"JournalOfAnEarlierWrite",
         [](Bytes&, auto&,
            const std::string& rom) { EXPECT_TRUE(WriteFileBytes(RomJournal::PathFor(rom), {1, 2, 3})); },
         "of an earlier, interrupted write"}}),
    kCaseName);

// A writer that fails at byte n of a write: for good (a crash, a disk gone) or once (a passing fault).
struct Fault {
    int64_t failAt;
    bool forGood;
    int64_t written = 0;
    bool operator()(const std::string& path, int64_t offset, uint8_t value) {
        const int64_t k = written++;
        if (k == failAt || (forGood && k > failAt)) return false;
        return WriteRomByte(path, offset, value);
    }
};

TEST_F(RomWriterTest, AFailedByteAtAnyPointLeavesTheFileAsItWasOrAJournalThatRestoresIt) {
    WritePlan plan = Plan(0xAB);
    for (int k = 0; k < 60; ++k) plan.Add("row", 0xF0000 + k, static_cast<uint8_t>(k));
    plan.Add("row", 0xF0000, 0x77);  // an offset written twice keeps its first old byte in the journal
    for (const bool forGood : {false, true}) {
        for (int64_t n = 0; n < static_cast<int64_t>(plan.bytes.size()); ++n) {
            SCOPED_TRACE(std::to_string(n) + (forGood ? " for good" : " once"));
            RomWriter writer = QuietWriter(files_.session);
            writer.SetByteWriter(Fault{n, forGood});
            const WriteOutcome outcome = writer.Apply(plan);
            ASSERT_FALSE(outcome.complete);
            const RomJournal::Inspection found = RomJournal::Inspect(files_.rom);
            if (forGood) {
                // The rollback failed as well: the journal is there and restores the file.
                EXPECT_NE(outcome.error.find("rolling the write back failed too"), std::string::npos);
                ASSERT_EQ(found.state, RomJournal::State::Fits) << found.problem;
                ASSERT_EQ(RomJournal::Restore(files_.rom, found.journal), "");
            } else {
                EXPECT_NE(outcome.error.find("was rolled back"), std::string::npos) << outcome.error;
                EXPECT_EQ(found.state, RomJournal::State::None);
            }
            ASSERT_EQ(Differences(original_, ReadFileBytes(files_.rom)), "");
            EXPECT_FALSE(fs::exists(RomJournal::PathFor(files_.rom)));
        }
    }
}

TEST_F(RomWriterTest, UndoAndRedoAcrossTwoSpeciesAndRefusalWhenTheFileChangedBehind) {
    RomWriter writer = QuietWriter(files_.session);
    WritePlan first = Plan(0xA1, 40), second = Plan(0xB2, 41);
    // The first and the last byte of the file are as much the file's as any other.
    first.Add("the first byte", 0, static_cast<uint8_t>(~original_[0]));
    second.Add("the last byte", 0xFFFFF, static_cast<uint8_t>(~original_[0xFFFFF]));
    const Bytes afterFirst = Applied(original_, first.bytes), afterBoth = Applied(afterFirst, second.bytes);
    ASSERT_TRUE(writer.Apply(first).complete);
    ASSERT_TRUE(writer.Apply(second).complete);
    ASSERT_TRUE(writer.Apply(second).complete);  // changes nothing, so it is no step
    EXPECT_EQ(writer.History().UndoCount(), 2u);
    EXPECT_EQ(writer.History().NextUndo()->label, "Save 41");

    const std::pair<bool, const Bytes*> steps[] = {
        {true, &afterFirst}, {true, &original_}, {false, &afterFirst}, {false, &afterBoth}};
    for (const auto& [undo, expected] : steps) {
        const WriteOutcome outcome = undo ? writer.Undo() : writer.Redo();
        ASSERT_TRUE(outcome.complete) << outcome.error;
        EXPECT_EQ(Differences(*expected, ReadFileBytes(files_.rom)), "");
    }
    EXPECT_FALSE(writer.Redo().complete);

    // Another program writes over a byte of the newest step: undoing it would lose that.
    Bytes changed = afterBoth;
    changed[builder_.layout().DataOffset + 28 * 41 + 1] = 0x55;
    ASSERT_TRUE(WriteFileBytes(files_.rom, changed));
    const WriteOutcome refused = writer.Undo();
    EXPECT_NE(refused.error.find("changed by another program"), std::string::npos) << refused.error;
    EXPECT_EQ(Differences(changed, ReadFileBytes(files_.rom)), "");
    EXPECT_EQ(writer.History().UndoCount(), 2u);

    // Put back, the step undoes; a new step then drops what could be redone.
    ASSERT_TRUE(WriteFileBytes(files_.rom, afterBoth));
    ASSERT_TRUE(writer.Undo().complete);
    ASSERT_TRUE(writer.Apply(Plan(0xC3, 42)).complete);
    EXPECT_EQ(writer.History().RedoCount(), 0u);
}

TEST_F(RomWriterTest, BacksUpOnceBeforeTheFirstWriteAndKeepsTheNewestFive) {
    RomWriter writer(files_.session);
    ASSERT_TRUE(writer.Apply(Plan(0xA1)).complete);
    ASSERT_TRUE(writer.Apply(Plan(0xA2)).complete);
    const std::vector<std::string> made = RomBackups::List(files_.rom);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(ReadFileBytes(made[0]), original_);
    EXPECT_EQ(fs::status(made[0]).permissions() & fs::perms::owner_read, fs::perms::owner_read);

    const std::time_t later = 4'102'000'000;  // late in 2099: the stamps hold nines, as real ones may
    for (std::time_t t = later; t < later + 7; ++t) ASSERT_EQ(RomBackups::BackUp(files_.rom, t), "");
    ASSERT_EQ(RomBackups::BackUp(files_.rom, later + 6), "");  // the same second again gets a name of its own
    const std::vector<std::string> kept = RomBackups::List(files_.rom);
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(kept.back().substr(kept.back().size() - 6), "-2.gba");
    EXPECT_FALSE(fs::exists(made[0]));

    // A backup that cannot be made stops the write.
    fs::remove_all(RomBackups::FolderFor(files_.rom));
    ASSERT_TRUE(WriteFileBytes(RomBackups::FolderFor(files_.rom), {0}));
    RomWriter blocked(files_.session);
    const Bytes before = ReadFileBytes(files_.rom);
    const WriteOutcome outcome = blocked.Apply(Plan(0xA3));
    EXPECT_NE(outcome.error.find("could not be backed up"), std::string::npos) << outcome.error;
    EXPECT_EQ(Differences(before, ReadFileBytes(files_.rom)), "");
}

TEST_F(RomWriterTest, AJournalThatDoesNotFitIsToldApart) {
    const std::string journal = RomJournal::PathFor(files_.rom);
    std::mt19937 engine(7u);
    Bytes noise(300);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(engine());
    const std::vector<std::pair<Bytes, const char*>> cases = {
        {{0x56, 0x4F, 0x52}, "damaged"},
        {noise, ""},
        {RomJournal::Encode({512, {{4, 1}}}), "for a file of 512 bytes"},
        {RomJournal::Encode({0x100000, {{0x100000, 1}}}), "offsets outside"}};
    for (auto [bytes, said] : cases) {
        ASSERT_TRUE(WriteFileBytes(journal, bytes));
        const RomJournal::Inspection found = RomJournal::Inspect(files_.rom);
        EXPECT_EQ(found.state, RomJournal::State::DoesNotFit);
        EXPECT_NE(found.problem.find(said), std::string::npos) << found.problem;
    }
    Bytes cut = RomJournal::Encode({0x100000, {{5, 1}, {6, 2}}});
    cut.pop_back();
    EXPECT_FALSE(RomJournal::Decode(cut));
    fs::permissions(dir_.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(files_.rom, fs::perms::others_read, fs::perm_options::add);
    fs::permissions(journal, fs::perms::none);
    const auto unreadable = testsupport::RunInChild(testsupport::BecomeNobody,
                                                    [&] { return RomJournal::Inspect(files_.rom).problem; });
    if (unreadable) {
        EXPECT_NE(unreadable->find("cannot be read"), std::string::npos) << *unreadable;
    }
}

}  // namespace
