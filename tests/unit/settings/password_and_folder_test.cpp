#include "data/settings/data_folder.h"
#include "data/settings/ini_document.h"
#include "data/settings/password.h"
#include "data/settings/settings.h"
#include "data/settings/settings_keys.h"
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

// The stored form must read back as written, or the right password is wrong for good. Three printable
// characters cover each way an encoded value can begin and end; the file access around it is the same
// for every value.
TEST(EncodePassword, EveryPrintablePasswordOfUpToThreeCharactersReadsBackFromTheSettingsText) {
    std::vector<std::string> lost;
    ini::IniDocument document("[Option]\nlock=1\n");
    auto check = [&](const std::string& password) {
        const std::string encoded = EncodePassword(password);
        ASSERT_TRUE(document.setValue("Option", "pword", encoded));
        if (document.value("Option", "pword") != encoded && lost.size() < 10) lost.push_back(password);
    };
    long tried = 0;
    for (char a = ' '; a <= '~'; ++a) {
        check({a});
        for (char b = ' '; b <= '~'; ++b) {
            check({a, b});
            for (char c = ' '; c <= '~'; ++c, ++tried)
                check({a, b, c});
        }
    }
    EXPECT_EQ(tried, 95 * 95 * 95);
    EXPECT_EQ(lost, std::vector<std::string>{});
    // The same through the file, for the kinds that once failed.
    test::TempFolder temp;
    Settings settings(temp.file("wake.ini"));
    for (const char* password : {"Qwerty!", "orvanta!", "summer%"}) {
        settings.write(settings_keys::kEncodedPassword, EncodePassword(password));
        EXPECT_EQ(settings.read(settings_keys::kEncodedPassword), EncodePassword(password)) << password;
    }
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
