#include <gtest/gtest.h>

#include <filesystem>

#include "MainSettings.h"
#include "ReadINI.h"
#include "TempDir.h"

namespace {

// Where each file can be written, what the user's copy held, and where the stored value must be found.
struct StoreCase {
    const char* name;
    bool dataWritable;
    const char* copyBefore;  // nullptr: no copy yet
    bool copyWritable;
    bool ok;
    const char* dataAfter;  // "" for a file that cannot be read
    const char* copyAfter;
};

class MainSettingsStore : public testing::TestWithParam<StoreCase> {};

TEST_P(MainSettingsStore, ValueReadsBackFromWhereItIsReadFirstOrIsReported) {
    const StoreCase& c = GetParam();
    testsupport::TempDir dir;
    ASSERT_TRUE(ReadINI::WriteTextFile(dir.File("blocked"), "a file where a folder would be"));
    // A path below a plain file can be neither read nor written, by root too.
    const std::string data = c.dataWritable ? dir.File("Data.ini") : dir.File("blocked/Data.ini");
    const std::string copy =
        c.copyWritable ? dir.File("user/Vornhal/Data.ini") : dir.File("blocked/copy.ini");
    if (c.dataWritable) {
        ASSERT_TRUE(ReadINI::WriteIniValue(data, "Main", "ShowSave", "1"));
    }
    if (c.copyBefore) {
        std::filesystem::create_directories(dir.path() / "user" / "Vornhal");
        ASSERT_TRUE(ReadINI::WriteIniValue(copy, "Main", "ShowSave", c.copyBefore));
    }
    const MainSettings settings(data, copy);

    const SettingsStored stored = settings.Store({{"ShowSave", "0"}, {"NewKey", "7"}});
    EXPECT_EQ(stored.ok, c.ok) << stored.error;
    EXPECT_EQ(ReadINI::ReadIniValue(data, "Main", "ShowSave"), c.dataAfter);
    EXPECT_EQ(ReadINI::ReadIniValue(copy, "Main", "ShowSave"), c.copyAfter);
    if (c.ok) {
        EXPECT_EQ(settings.Read("ShowSave"), "0");
        EXPECT_EQ(settings.Read("NewKey"), "7");
    } else {
        EXPECT_EQ(stored.error, "The settings ShowSave and NewKey could not be stored: neither \"" + data +
                                    "\" nor \"" + copy +
                                    "\" can be written. It stays in effect until the "
                                    "program ends.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Places, MainSettingsStore,
    testing::Values(StoreCase{"DataIniTakesIt", true, nullptr, true, true, "0", ""},
                    StoreCase{"ReadOnlyDataIniLeavesItToTheCopy", false, nullptr, true, true, "", "0"},
                    // The copy is read first, so an older value there would hide the new one.
                    StoreCase{"ACopyIsKeptUpToDate", true, "1", true, true, "0", "0"},
                    StoreCase{"NeitherIsReported", false, nullptr, false, false, "", ""}),
    [](const testing::TestParamInfo<StoreCase>& info) { return std::string(info.param.name); });

TEST(MainSettingsTest, TheUserCopyIsReadFirst) {
    testsupport::TempDir dir;
    const MainSettings settings(dir.File("Data.ini"), dir.File("copy.ini"));
    ASSERT_TRUE(ReadINI::WriteIniValue(settings.DataIni(), "Main", "ShowSave", "1"));
    EXPECT_EQ(settings.Read("ShowSave"), "1");
    ASSERT_TRUE(ReadINI::WriteIniValue(settings.UserCopy(), "Main", "ShowSave", "0"));
    EXPECT_EQ(settings.Read("ShowSave"), "0");
    EXPECT_EQ(settings.Read("Missing"), "");
}

}  // namespace
