#include "data/error.h"
#include "data/settings/settings.h"
#include "data/settings/settings_keys.h"
#include "tests/support/temp_folder.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::data {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;
namespace keys = settings_keys;

class SettingsTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string path = folder.file("wake.ini");
    Settings settings{path};
};

TEST_F(SettingsTest, ReadsIntegersAndFlagsOnlyFromWholeNumbers) {
    const struct {
        const char* stored;
        int integer; // with default 77
        bool flag;   // with default true
    } cases[] = {
        {"30", 30, true},
        {"-5", -5, true},
        {"+7", 7, true},
        {"0", 0, false},
        {"0x1E", 30, true},
        {"0X1e", 30, true},
        {"-0x10", -16, true},
        {"\" 12 \"", 77, true},
        {"'12'", 12, true},
        {"  42  ", 42, true},
        {"12abc", 77, true},
        {"", 77, true},
        {"0x", 77, true},
        {"0xG", 77, true},
        {"1.5", 77, true},
        {"yes", 77, true},
        {"--1", 77, true},
        {"-+1", 77, true},
        {"0x-1", 77, true},
        {"2147483647", INT_MAX, true},
        {"-2147483648", INT_MIN, true},
        {"2147483648", 77, true},
        {"0x7FFFFFFF", INT_MAX, true},
        {"0x100000000", 77, true},
    };
    for (const auto& c : cases) {
        WriteFileBytes(path, std::string("[Option]\nvalue=") + c.stored + "\n");
        EXPECT_EQ(settings.readInteger("Option", "value", 77), c.integer) << c.stored;
        EXPECT_EQ(settings.readFlag("Option", "value", true), c.flag) << c.stored;
    }
}

TEST_F(SettingsTest, NonNumericFlagFallsBackToItsDefault) {
    WriteFileBytes(path, "[tray]\ntray=yes\n");
    EXPECT_FALSE(settings.read(keys::kStartMinimized));
    EXPECT_TRUE(settings.readFlag("tray", "tray", true));
}

TEST_F(SettingsTest, WithoutAFileEveryEntryHasItsDefault) {
    ASSERT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(settings.read(keys::kDistantTaskDays), 30);
    EXPECT_TRUE(settings.read(keys::kFirstRun));
    EXPECT_EQ(settings.read(keys::kLanguageExtension), ".enu");
    EXPECT_EQ(settings.read(keys::kLockOnAutomaticResume), "0");
    EXPECT_EQ(settings.read(keys::kOtherLanguageChosen), "0");
    EXPECT_EQ(settings.read(keys::kEncodedPassword), "");
    EXPECT_EQ(settings.read(keys::kLastMacroFile), "");
    for (const FlagSetting& flag :
         {keys::kStartMinimized, keys::kPasswordProtection, keys::kHidePassedTasks, keys::kHideDisabledTasks,
          keys::kHideDistantTasks, keys::kDisableRunWithWindows, keys::kDisableRunMinimized,
          keys::kDisableLockSession, keys::kDisableProtectPassword, keys::kDisableChangeLanguage,
          keys::kDisableCloseQuestion})
        EXPECT_FALSE(settings.read(flag)) << flag.section << "/" << flag.key;
    EXPECT_FALSE(std::filesystem::exists(path)) << "reading must not create the file";
}

TEST_F(SettingsTest, PresentButEmptyTextIsNotTheDefault) {
    WriteFileBytes(path, "[Lang]\nLang=\n");
    EXPECT_EQ(settings.read(keys::kLanguageExtension), "");
}

TEST_F(SettingsTest, WritesCreateTheFileAndReadBack) {
    settings.write(keys::kFirstRun, false);
    settings.write(keys::kDistantTaskDays, -12);
    settings.write(keys::kLastMacroFile, "/home/me/My Macros/a.mco");
    settings.writeFlag("tray", "tray", true);
    EXPECT_EQ(ReadFileBytes(path),
              "[Option]\nmfirst=0\nHideDays=-12\n\n[Last]\n1=/home/me/My Macros/a.mco\n\n"
              "[tray]\ntray=1\n");
    EXPECT_FALSE(settings.read(keys::kFirstRun));
    EXPECT_EQ(settings.read(keys::kDistantTaskDays), -12);
    EXPECT_EQ(settings.read(keys::kLastMacroFile), "/home/me/My Macros/a.mco");
    EXPECT_TRUE(settings.read(keys::kStartMinimized));
}

TEST_F(SettingsTest, WriteKeepsTheRestOfTheFileByteForByte) {
    const std::string before = "; written by hand\r\n[Option]\r\nlock = 1 \r\nHideDays=9\r\n\r\n"
                               "[Disable]\r\nRunMinimized=1\r\n; trailing comment";
    WriteFileBytes(path, before);
    settings.writeInteger("option", "hidedays", 45);
    settings.writeText("Disable", "Extra", "x");
    EXPECT_EQ(ReadFileBytes(path), "; written by hand\r\n[Option]\r\nlock = 1 \r\nHideDays=45\r\n\r\n"
                                   "[Disable]\r\nRunMinimized=1\r\n; trailing comment\r\nExtra=x\r\n");
    EXPECT_TRUE(settings.read(keys::kPasswordProtection));
    EXPECT_TRUE(settings.read(keys::kDisableRunMinimized));
}

TEST_F(SettingsTest, RefusedWriteRaisesTheErrorAndLeavesNoTrace) {
    // A regular file where the folder should be refuses the write even for root.
    const std::string blocker = folder.file("not-a-folder");
    WriteFileBytes(blocker, "x");
    Settings blocked(blocker + "/wake.ini");
    try {
        blocked.write(keys::kFirstRun, false);
        FAIL() << "the write should have been refused";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + blocker + "/wake.ini").c_str());
    }
    EXPECT_EQ(ReadFileBytes(blocker), "x");
    EXPECT_TRUE(blocked.read(keys::kFirstRun));
}

TEST_F(SettingsTest, ValueWithLineBreakIsRefusedAndFileUntouched) {
    WriteFileBytes(path, "[Last]\n1=old\n");
    EXPECT_THROW(settings.write(keys::kLastMacroFile, "a\nb"), Error);
    EXPECT_EQ(ReadFileBytes(path), "[Last]\n1=old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "no temporary file may be left behind";
}

} // namespace
} // namespace orvanta::data
