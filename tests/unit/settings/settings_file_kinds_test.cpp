#include "data/error.h"
#include "data/settings/settings.h"
#include "data/settings/settings_keys.h"
#include "data/settings/text_file.h"
#include "tests/support/temp_folder.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanta::data {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;
namespace fs = std::filesystem;
namespace keys = settings_keys;

// Runs the check in a child with a deadline, so a read that blocks or never ends fails the test instead
// of hanging it or eating the machine's memory.
bool FinishesWithin(unsigned seconds, const std::function<bool()>& check) {
    pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        bool passed = false;
        try {
            passed = check();
        } catch (...) {
            // An escaping error is a failure too, and must not run the rest of the tests in the child.
        }
        _exit(passed ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SettingsFileKinds : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string path = folder.file("wake.ini");
    Settings settings{path};

    // Every read gives its default, at once; every write is refused with the user's message.
    bool ReadsDefaultsAndRefusesWrites() {
        if (settings.read(keys::kDistantTaskDays) != 30 || !settings.read(keys::kFirstRun) ||
            settings.read(keys::kLanguageExtension) != ".enu")
            return false;
        try {
            settings.write(keys::kHidePassedTasks, true);
        } catch (const Error& e) {
            return std::string(e.what()) == "Unable to write to " + path;
        }
        return false;
    }
};

TEST_F(SettingsFileKinds, AnythingButASaneRegularFileReadsAsEmptyAndRefusesWrites) {
    const struct {
        const char* kind;
        std::function<void(const std::string&)> make;
    } kinds[] = {
        {"folder", [](const std::string& p) { fs::create_directory(p); }},
        {"pipe", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"endless device", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }},
        {"huge file",
         [](const std::string& p) {
             WriteFileBytes(p, "[Option]\nHideDays=7\n" + std::string(2 << 20, ';'));
         }},
        {"link to a folder",
         [this](const std::string& p) {
             fs::create_directory(folder.file("elsewhere"));
             fs::create_symlink(folder.file("elsewhere"), p);
         }},
    };
    for (const auto& k : kinds) {
        fs::remove_all(path);
        k.make(path);
        const fs::file_type before = fs::symlink_status(path).type();
        EXPECT_TRUE(FinishesWithin(3, [&] { return ReadsDefaultsAndRefusesWrites(); })) << k.kind;
        EXPECT_EQ(fs::symlink_status(path).type(), before) << k.kind << " was replaced";
    }
}

TEST_F(SettingsFileKinds, ARefusedFileIsToldOnceNotAtEveryRead) {
    fs::create_directory(path);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i)
        (void)settings.read(keys::kDistantTaskDays);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
    EXPECT_NE(told.find(path), std::string::npos) << told;
}

TEST_F(SettingsFileKinds, ALinkToARegularFileIsStillFollowed) {
    const std::string real = folder.file("real.ini");
    WriteFileBytes(real, "[Option]\nHideDays=12\n");
    fs::create_symlink(real, path);
    EXPECT_EQ(settings.read(keys::kDistantTaskDays), 12);
    settings.write(keys::kDistantTaskDays, 13);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadFileBytes(real), "[Option]\nHideDays=13\n");
}

TEST_F(SettingsFileKinds, AReadOnlyFileIsNotRewritten) {
    WriteFileBytes(path, "[Option]\nHideDays=12\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(settings.read(keys::kDistantTaskDays), 12);
    try {
        settings.write(keys::kDistantTaskDays, 13);
        ADD_FAILURE() << "the read-only file was rewritten";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadFileBytes(path), "[Option]\nHideDays=12\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

std::vector<std::string> Temporaries(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (ini::IsTemporaryNameOf(entry.path().filename().string(), "wake.ini"))
            found.push_back(entry.path().string());
    return found;
}

// A writer killed at random moments, round after round: the file is always whole, and what a kill leaves
// behind is private and cleared by the next start.
TEST_F(SettingsFileKinds, KilledWritersLeaveAWholeFileAndOnlyPrivateLeftovers) {
    WriteFileBytes(path, "[Option]\nHideDays=1\npword=" + std::string(200, 'p') + "\n");
    std::mt19937 random(17);
    std::uniform_int_distribution<int> delayUs(0, 3000);
    int leftovers = 0;
    for (int round = 0; round < 60; ++round) {
        pid_t writer = fork();
        if (writer == 0) {
            Settings own(path);
            for (int i = 2;; ++i)
                own.write(keys::kDistantTaskDays, i);
        }
        ASSERT_GT(writer, 0);
        usleep(static_cast<useconds_t>(500 + delayUs(random)));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);

        const std::string text = ReadFileBytes(path);
        ASSERT_EQ(text.rfind("[Option]\nHideDays=", 0), 0u) << "round " << round << ": " << text;
        ASSERT_NE(text.find("\npword=" + std::string(200, 'p') + "\n"), std::string::npos) << round;
        EXPECT_GT(settings.read(keys::kDistantTaskDays), 0);
        for (const std::string& temporary : Temporaries(folder.path())) {
            ++leftovers;
            EXPECT_EQ(fs::status(temporary).permissions() & fs::perms::all,
                      fs::perms::owner_read | fs::perms::owner_write)
                << temporary;
        }
        ini::RemoveStaleTemporaries(path);
        EXPECT_EQ(Temporaries(folder.path()), std::vector<std::string>{});
    }
    RecordProperty("leftovers", leftovers);
}

TEST_F(SettingsFileKinds, OnlyOurOwnTemporariesAreCleared) {
    WriteFileBytes(path, "[Option]\n");
    const std::string ours = path + ".tmp0123456789abcdef";
    const std::string otherName = path + ".tmp-mine";
    const std::string otherFile = folder.file("task.db.tmp0123456789abcdef");
    const std::string link = path + ".tmpfedcba9876543210";
    WriteFileBytes(ours, "x");
    WriteFileBytes(otherName, "x");
    WriteFileBytes(otherFile, "x");
    WriteFileBytes(folder.file("target"), "x");
    fs::create_symlink(folder.file("target"), link);
    ini::RemoveStaleTemporaries(path);
    EXPECT_FALSE(fs::exists(ours));
    EXPECT_TRUE(fs::exists(otherName));
    EXPECT_TRUE(fs::exists(otherFile));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::exists(folder.file("target")));
}

} // namespace
} // namespace orvanta::data
