#include "platform/linux/linux_user_registry.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <orvanta_app_id.h>
#include <sys/stat.h>

namespace orvanta::platform::linux_backend {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class LinuxUserRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) savedConfigHome_ = old;
        setenv("XDG_CONFIG_HOME", config.file("config").c_str(), 1);
    }
    void TearDown() override {
        if (savedConfigHome_)
            setenv("XDG_CONFIG_HOME", savedConfigHome_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::string autostartFile() const { return config.file("config/autostart/Orvanta.desktop"); }

    test::TempFolder config;

  private:
    std::optional<std::string> savedConfigHome_;
};

TEST_F(LinuxUserRegistryTest, RunValueIsAnAutostartEntryNamingTheExactPath) {
    LinuxUserRegistry registry;
    const std::string paths[] = {
        "/usr/bin/orvanta",
        "/home/me/My Programs/orvanta",
        "/opt/a\"b'c/$HOME/`x`/back\\slash/100%/tab\there/~user;&|<>*?#()",
        " /leading blank",
        "/line\nbreak",
    };
    for (const std::string& path : paths) {
        ASSERT_TRUE(registry.writeString(kRunKeyPath, "Orvanta", path)) << path;
        EXPECT_EQ(registry.readString(kRunKeyPath, "Orvanta"), path);
        EXPECT_EQ(LinuxUserRegistry().readString(kRunKeyPath, "Orvanta"), path) << "a fresh reader agrees";
    }
    // The start-up check compares exactly, so the stored letter case must survive.
    ASSERT_TRUE(registry.writeString(kRunKeyPath, "Orvanta", "/Opt/Orvanta"));
    EXPECT_NE(registry.readString(kRunKeyPath, "Orvanta"), "/opt/orvanta");
    const std::string content = ReadFileBytes(autostartFile());
    EXPECT_NE(content.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(content.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(content.find("\nName=Orvanta\n"), std::string::npos);
    EXPECT_NE(content.find("\nX-GNOME-Autostart-enabled=true\n"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(stat(config.file("config/autostart").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(LinuxUserRegistryTest, TheAutostartEntryIsAValidDesktopEntryShowingTheProgramsIcon) {
    LinuxUserRegistry registry;
    ASSERT_TRUE(registry.writeString(kRunKeyPath, "Orvanta", "/usr/bin/orvanta"));
    const std::string content = ReadFileBytes(autostartFile());
    EXPECT_NE(content.find("\nExec=/usr/bin/orvanta\n"), std::string::npos) << content;
    EXPECT_NE(content.find("\nIcon=" + std::string(kAppId) + "\n"), std::string::npos) << content;
    EXPECT_EQ(test::RunProgram({"desktop-file-validate", autostartFile()}), 0)
        << "desktop-file-validate finds fault with:\n"
        << content;
}

TEST_F(LinuxUserRegistryTest, ExecLinesAreQuotedAsDesktopEntriesRequire) {
    const struct {
        std::string path;
        std::string exec;
    } cases[] = {
        {"/usr/bin/orvanta", "/usr/bin/orvanta"},
        {"/opt/My Apps/orvanta", "\"/opt/My Apps/orvanta\""},
        {"/opt/a\"b", "\"/opt/a\\\\\"b\""},
        {"/opt/back\\slash", "\"/opt/back\\\\\\\\slash\""},
        {"/opt/$x", "\"/opt/\\\\$x\""},
        {"/opt/50%", "/opt/50%%"},
        {"", "\"\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesktopExecValue(c.path), c.exec) << c.path;
        EXPECT_EQ(ProgramFromDesktopExec(c.exec), c.path) << c.exec;
    }
    EXPECT_EQ(ProgramFromDesktopExec("/usr/bin/orvanta --hidden"), "/usr/bin/orvanta --hidden");
    EXPECT_EQ(ProgramFromDesktopExec("\"/unterminated"), "\"/unterminated");
}

TEST_F(LinuxUserRegistryTest, MissingOrSwitchedOffRunValueReadsEmpty) {
    LinuxUserRegistry registry;
    EXPECT_EQ(registry.readString(kRunKeyPath, "Orvanta"), "");
    std::filesystem::create_directories(config.file("config/autostart"));
    WriteFileBytes(autostartFile(),
                   "[Desktop Entry]\nType=Application\nExec=/usr/bin/orvanta\nHidden=true\n");
    EXPECT_EQ(registry.readString(kRunKeyPath, "Orvanta"), "");
    WriteFileBytes(autostartFile(),
                   "[Desktop Entry]\r\nExec = /usr/bin/orvanta\r\n[Desktop Action x]\r\nExec=/bin/no\r\n");
    EXPECT_EQ(registry.readString(kRunKeyPath, "Orvanta"), "/usr/bin/orvanta");
}

TEST_F(LinuxUserRegistryTest, DeletingRunValueRemovesTheFileAndToleratesAbsence) {
    LinuxUserRegistry registry;
    registry.deleteValue(kRunKeyPath, "Orvanta");
    ASSERT_TRUE(registry.writeString(kRunKeyPath, "Orvanta", "/usr/bin/orvanta"));
    ASSERT_TRUE(std::filesystem::exists(autostartFile()));
    registry.deleteValue(kRunKeyPath, "Orvanta");
    EXPECT_FALSE(std::filesystem::exists(autostartFile()));
    EXPECT_EQ(registry.readString(kRunKeyPath, "Orvanta"), "");
}

TEST_F(LinuxUserRegistryTest, OtherKeysLiveInOneSectionPerKeyPath) {
    LinuxUserRegistry registry;
    const std::string values[] = {"/opt/orvanta", " padded ", "\"quoted\"", "'single'", ""};
    for (const std::string& value : values) {
        ASSERT_TRUE(registry.writeString(kLangManagerKeyPath, "Orvanta", value));
        EXPECT_EQ(registry.readString(kLangManagerKeyPath, "Orvanta"), value);
    }
    ASSERT_TRUE(registry.writeString("Software\\Other", "Orvanta", "other"));
    EXPECT_EQ(registry.readString(kLangManagerKeyPath, "Orvanta"), "");
    EXPECT_EQ(registry.readString("software\\other", "orvanta"), "other");
    EXPECT_EQ(registry.readString(kLangManagerKeyPath, "Missing"), "");

    registry.deleteValue("Software\\Other", "Orvanta");
    registry.deleteValue("Software\\Other", "Orvanta");
    EXPECT_EQ(registry.readString("Software\\Other", "Orvanta"), "");
    EXPECT_EQ(ReadFileBytes(config.file("config/Orvanta/registry.ini")),
              "[Software\\Talvenor\\LangManager]\nOrvanta=\n\n[Software\\Other]\n");
}

TEST_F(LinuxUserRegistryTest, RefusedWritesReportFalse) {
    // A regular file where the configuration folder should be stops even root.
    WriteFileBytes(config.file("config"), "x");
    LinuxUserRegistry registry;
    EXPECT_FALSE(registry.writeString(kRunKeyPath, "Orvanta", "/usr/bin/orvanta"));
    EXPECT_FALSE(registry.writeString(kLangManagerKeyPath, "Orvanta", "/opt"));
    std::filesystem::remove(config.file("config"));
    EXPECT_FALSE(registry.writeString(kRunKeyPath, "../escape", "/usr/bin/orvanta"));
    EXPECT_FALSE(registry.writeString(kLangManagerKeyPath, "Orvanta", "two\nlines"));
}

TEST_F(LinuxUserRegistryTest, AFolderWhereAFileBelongsReadsEmptyAndRefusesWrites) {
    std::filesystem::create_directories(autostartFile());
    std::filesystem::create_directories(config.file("config/Orvanta/registry.ini"));
    LinuxUserRegistry registry;
    EXPECT_EQ(registry.readString(kRunKeyPath, "Orvanta"), "");
    EXPECT_EQ(registry.readString(kLangManagerKeyPath, "Orvanta"), "");
    EXPECT_FALSE(registry.writeString(kRunKeyPath, "Orvanta", "/usr/bin/orvanta"));
    EXPECT_FALSE(registry.writeString(kLangManagerKeyPath, "Orvanta", "/opt"));
    EXPECT_TRUE(std::filesystem::is_directory(autostartFile()));
}

TEST_F(LinuxUserRegistryTest, ValuesThatReadingWouldChangeComeBackExactly) {
    LinuxUserRegistry registry;
    for (const std::string value : {" lead", "trail\t", "\"\"both\"\"", "'one'", "\"half", "''"}) {
        ASSERT_TRUE(registry.writeString(kLangManagerKeyPath, "Orvanta", value));
        EXPECT_EQ(registry.readString(kLangManagerKeyPath, "Orvanta"), value);
    }
}

} // namespace
} // namespace orvanta::platform::linux_backend
