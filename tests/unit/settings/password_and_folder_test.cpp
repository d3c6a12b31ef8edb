#include "data/settings/data_folder.h"
#include "data/settings/password.h"
#include "platform/fake/fake_system_paths.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace orvanta::data {
namespace {

TEST(EncodePassword, CombinesEachByteWithItsSuccessor) {
    const struct {
        std::string plain;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"abc", "ikd"},
        {"a", "f"},
        {"Abc", "Ikf"},
        {"0000", "8888"},
        // 0xFF counts as 255 (255 mod 10 is 5), not as -1.
        {"\xFF"
         "A",
         "\xFA"
         "D"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodePassword(c.plain), c.encoded) << c.plain;
}

TEST(DataFolder, IsOrvantaUnderTheAppDataRootAndIsCreated) {
    test::TempFolder temp;
    platform::fake::FakeSystemPaths paths(temp.file("share/deep"), "/opt/orvanta/bin/orvanta");
    const std::string folder = ResolveDataFolder(paths);
    EXPECT_EQ(folder, temp.file("share/deep") + "/Orvanta");
    EXPECT_EQ(paths.ensuredFolders, std::vector<std::string>{folder});
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(SettingsFilePath(folder, '/'), folder + "/wake.ini");
    EXPECT_EQ(TaskDatabasePath(folder, '/'), folder + "/task.db");
}

TEST(DataFolder, FallsBackToTheExecutableFolder) {
    const struct {
        std::string executable;
        std::string folder;
    } cases[] = {{"/opt/orvanta/bin/orvanta", "/opt/orvanta/bin"}, {"/orvanta", "/"}, {"orvanta", "."}};
    for (const auto& c : cases) {
        platform::fake::FakeSystemPaths paths("", c.executable);
        paths.refuseFolders = true; // a failure to create is not reported
        EXPECT_EQ(ResolveDataFolder(paths), c.folder) << c.executable;
        EXPECT_EQ(paths.ensuredFolders, std::vector<std::string>{c.folder});
    }
}

TEST(DataFolder, JoinsWithoutDoublingTheSeparator) {
    platform::fake::FakeSystemPaths paths("/", "/x");
    paths.refuseFolders = true;
    EXPECT_EQ(ResolveDataFolder(paths), "/Orvanta");
    EXPECT_EQ(SettingsFilePath("C:\\Data\\", '\\'), "C:\\Data\\wake.ini");
    EXPECT_EQ(TaskDatabasePath("C:\\Data", '\\'), "C:\\Data\\task.db");
}

} // namespace
} // namespace orvanta::data
