#include "EditorTest.h"
#include "ReadINI.h"
#include "Unwritable.h"
#include "text/MainSettings.h"

namespace {

// Which file can be written, what the user's copy held before, and where the stored value is found after.
struct StoreCase {
    const char* name;
    bool dataWritable, copyWritable;
    const char* copyBefore;  // nullptr: no copy yet
    bool ok;
    const char *dataAfter, *copyAfter;  // "" also for a file that cannot be read
    bool copyLocked = false;            // the copy can be read but not written
};

class MainSettingsStore : public testing::TestWithParam<StoreCase> {};

TEST_P(MainSettingsStore, TheValueReadsBackOrIsReported) {
    const StoreCase& c = GetParam();
    TempDir dir;
    // A path below a plain file can be neither read nor written, by root too.
    ASSERT_TRUE(ReadINI::WriteTextFile(dir.File("file"), "x"));
    const std::string data = dir.File(c.dataWritable ? "Data.ini" : "file/Data.ini");
    const std::string copy = dir.File(c.copyWritable ? "user/Vornhal/Data.ini" : "file/copy.ini");
    const MainSettings settings(data, copy);
    if (c.dataWritable) {
        ASSERT_TRUE(ReadINI::WriteIniValue(data, "Main", "ShowSave", "1"));
    }
    if (c.copyBefore) {
        std::filesystem::create_directories(dir.path() / "user" / "Vornhal");
        ASSERT_TRUE(ReadINI::WriteIniValue(copy, "Main", "ShowSave", c.copyBefore));
        EXPECT_EQ(settings.Read("ShowSave"), c.copyBefore);  // read first
    }
    std::optional<testsupport::Unwritable> locked;
    if (c.copyLocked) locked.emplace(copy);
    if (locked && !locked->active()) GTEST_SKIP() << "this file system cannot make it unwritable";

    const SettingsStored stored = settings.Store({{"ShowSave", "0"}, {"NewKey", "7"}});
    EXPECT_EQ(stored.ok, c.ok);
    EXPECT_EQ(ReadINI::ReadIniValue(data, "Main", "ShowSave"), c.dataAfter);
    EXPECT_EQ(ReadINI::ReadIniValue(copy, "Main", "ShowSave"), c.copyAfter);
    const std::string ends = " could not be stored: ", stays = ". It stays in effect until the program ends.";
    if (c.ok)
        EXPECT_EQ(settings.Read("ShowSave") + settings.Read("NewKey"), "07");
    else if (c.copyLocked)
        EXPECT_EQ(stored.error, "The setting ShowSave" + ends + "\"" + copy + "\", which is read before \"" +
                                    data + "\", cannot be written" + stays);
    else
        EXPECT_EQ(stored.error, "The settings ShowSave and NewKey" + ends + "neither \"" + data +
                                    "\" nor \"" + copy + "\" can be written" + stays);
}

INSTANTIATE_TEST_SUITE_P(
    Places, MainSettingsStore,
    testing::Values(StoreCase{"DataIniTakesIt", true, true, nullptr, true, "0", ""},
                    StoreCase{"AnUnwritableDataIniLeavesItToTheCopy", false, true, nullptr, true, "", "0"},
                    // The copy is read first, so an older value there would hide the new one.
                    StoreCase{"ACopyIsKeptUpToDate", true, true, "2", true, "0", "0"},
                    StoreCase{"NeitherIsReported", false, false, nullptr, false, "", ""},
                    // Stored in Data.ini only, the value would stay hidden behind the copy's.
                    StoreCase{"ACopyThatCannotBeWrittenIsNamed", true, true, "2", false, "0", "2", true}),
    kCaseName);

}  // namespace
