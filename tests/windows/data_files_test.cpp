#include "data/settings/data_folder.h"
#include "data/settings/settings.h"
#include "data/settings/settings_keys.h"
#include "data/task_store.h"
#include "platform/windows/windows_clock.h"
#include "platform/windows/windows_system_paths.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

namespace wb = orvanta::platform::windows_backend;
namespace fs = std::filesystem;

namespace {
// The real backend with the application-data root moved into a test folder.
class RootedPaths : public wb::WindowsSystemPaths {
  public:
    explicit RootedPaths(std::string root) : root_(std::move(root)) {}
    std::string appDataRoot() const override { return root_; }

  private:
    std::string root_;
};
} // namespace

TEST(WindowsDataFiles, TheStoreAndTheSettingsLiveInTheDataFolderOnRealFiles) {
    orvanta::test::TempFolder temp;
    std::string root = temp.path();
    for (char& c : root)
        if (c == '/') c = '\\';
    RootedPaths paths(root);
    const std::string folder = orvanta::data::ResolveDataFolder(paths);
    EXPECT_EQ(folder, root + "\\Orvanta");
    ASSERT_TRUE(fs::is_directory(folder));

    const std::string database = orvanta::data::TaskDatabasePath(folder, paths.pathSeparator());
    ASSERT_TRUE(orvanta::data::SeedTaskDatabase(database));
    EXPECT_FALSE(orvanta::data::SeedTaskDatabase(database)) << "an existing database is never replaced";
    EXPECT_TRUE(orvanta::data::IsTaskDatabase(database));

    wb::WindowsClock clock;
    orvanta::data::TaskStore store(database, clock);
    store.EnsureTaskTable();
    const auto before = store.readAllTasks().rowCount();
    EXPECT_GT(before, 0u) << "the template brings its starter tasks";
    store.DeleteAllHotkeyTasks();
    store.DeleteAllTimedTasks();
    EXPECT_EQ(orvanta::data::TaskStore(database, clock).readAllTasks().rowCount(), 0u);

    const std::string backup = folder + "\\copy.krlbak";
    orvanta::data::SeedTaskDatabase(backup);
    orvanta::data::CopyDatabase(database, backup);
    EXPECT_EQ(orvanta::data::TaskStore(backup, clock).readAllTasks().rowCount(), 0u);

    const std::string ini = orvanta::data::SettingsFilePath(folder, paths.pathSeparator());
    orvanta::data::Settings writer(ini);
    writer.write(orvanta::data::settings_keys::kHidePassedTasks, true);
    writer.write(orvanta::data::settings_keys::kEncodedPassword, "A1B2");
    orvanta::data::Settings reader(ini);
    EXPECT_TRUE(reader.read(orvanta::data::settings_keys::kHidePassedTasks));
    EXPECT_EQ(reader.read(orvanta::data::settings_keys::kEncodedPassword), "A1B2");
    EXPECT_NE(orvanta::test::ReadFileBytes(ini).find("HidePassed=1"), std::string::npos);
}

TEST(WindowsDataFiles, TheDatabaseFunctionsComeFromTheLoaderLibrary) {
    // The store has run by now in this process, or runs here: either way its SQLite is loader.dll's.
    orvanta::test::TempFolder temp;
    orvanta::data::SeedTaskDatabase(temp.file("task.db"));
    HMODULE loader = GetModuleHandleA("loader.dll");
    ASSERT_NE(loader, nullptr);
    EXPECT_NE(GetProcAddress(loader, "sqlite3_prepare_v2"), nullptr);
    EXPECT_NE(GetProcAddress(loader, "sqlite3_backup_init"), nullptr);
}

TEST(WindowsDataFiles, AReadOnlyDatabaseRefusesWritesAndStillReads) {
    orvanta::test::TempFolder temp;
    const std::string path = temp.file("task.db");
    wb::WindowsClock clock;
    orvanta::data::TaskStore store(path, clock);
    store.EnsureTaskTable();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    // Under Wine run as root the attribute becomes file modes, which root ignores.
    HANDLE writable = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (writable != INVALID_HANDLE_VALUE) {
        CloseHandle(writable);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "this process may write read-only files";
    }
    std::string message = "(no error)";
    try {
        store.DeleteTask("1");
    } catch (const std::exception& e) {
        message = e.what();
    }
    EXPECT_EQ(message,
              "Error executing SQL statement.\rError [8]: Attempt to write a readonly database.\r\"delete "
              "from tasklist where id=1; \": attempt to write a readonly database");
    EXPECT_NO_THROW(store.ReadTimedTasks(false));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}
