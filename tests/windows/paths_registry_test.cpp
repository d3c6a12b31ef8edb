#include "platform/windows/windows_locale_info.h"
#include "platform/windows/windows_system_paths.h"
#include "platform/windows/windows_user_registry.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

namespace wb = orvanta::platform::windows_backend;
namespace fs = std::filesystem;

TEST(WindowsSystemPaths, NamesAnExistingDataRootAndThisProgram) {
    wb::WindowsSystemPaths paths;
    const std::string root = paths.appDataRoot();
    ASSERT_FALSE(root.empty());
    EXPECT_TRUE(fs::is_directory(root)) << root;

    const std::string self = paths.executablePath();
    EXPECT_TRUE(fs::is_regular_file(self)) << self;
    EXPECT_EQ(fs::path(self).filename().string(), "windows_backend_tests.exe");
    EXPECT_EQ(paths.pathSeparator(), '\\');
}

TEST(WindowsSystemPaths, EnsureFolderMakesEveryMissingParentAndAcceptsAnExistingOne) {
    orvanta::test::TempFolder temp;
    wb::WindowsSystemPaths paths;
    const std::string nested = temp.path() + "\\Orvanta\\deeper\\deepest";
    EXPECT_TRUE(paths.ensureFolder(nested));
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_TRUE(paths.ensureFolder(nested));

    // A file in the way cannot become a folder.
    const std::string blocked = temp.file("plain-file");
    orvanta::test::WriteFileBytes(blocked, "x");
    EXPECT_FALSE(paths.ensureFolder(blocked + "\\inside"));
}

class WindowsUserRegistryTest : public ::testing::Test {
  protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
    static constexpr const char* kTestRoot = "Software\\OrvantaRegistryTest";
    const std::string key_ = std::string(kTestRoot) + "\\Run";
    wb::WindowsUserRegistry registry_;
};

TEST_F(WindowsUserRegistryTest, ValuesAreWrittenReadReplacedAndDeleted) {
    EXPECT_EQ(registry_.readString(key_, "Orvanta"), "") << "a missing key reads as empty";

    ASSERT_TRUE(registry_.writeString(key_, "Orvanta", "C:\\Program Files\\Orvanta\\Orvanta.exe"));
    EXPECT_EQ(registry_.readString(key_, "Orvanta"), "C:\\Program Files\\Orvanta\\Orvanta.exe");
    EXPECT_EQ(registry_.readString(key_, "Other"), "") << "a missing value in an existing key reads as empty";

    ASSERT_TRUE(registry_.writeString(key_, "Orvanta", "short"));
    EXPECT_EQ(registry_.readString(key_, "Orvanta"), "short")
        << "a shorter value leaves nothing of the longer";

    ASSERT_TRUE(registry_.writeString(key_, "Empty", ""));
    EXPECT_EQ(registry_.readString(key_, "Empty"), "");

    registry_.deleteValue(key_, "Orvanta");
    EXPECT_EQ(registry_.readString(key_, "Orvanta"), "");
    registry_.deleteValue(key_, "Orvanta");
    registry_.deleteValue(std::string(kTestRoot) + "\\Missing", "Orvanta");
}

TEST_F(WindowsUserRegistryTest, WrittenValuesAreOrdinaryStringsOfTheCurrentUser) {
    ASSERT_TRUE(registry_.writeString(key_, "Language", "C:\\Lang"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    char data[64] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Language", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(data, "C:\\Lang");

    // A value another program stored without its terminator reads whole, and no further.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    RegCloseKey(key);
    EXPECT_EQ(registry_.readString(key_, "Bare"), "abc");
}

TEST(WindowsLocaleInfo, AnswersAThreeLetterUpperCaseName) {
    const std::string name = wb::WindowsLocaleInfo().abbreviatedLanguageName();
    ASSERT_EQ(name.size(), 3u) << name;
    for (char c : name)
        EXPECT_TRUE(c >= 'A' && c <= 'Z') << name;
}
