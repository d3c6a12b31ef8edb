#include "data/database_checks.h"
#include "data/error.h"
#include "data/settings/text_file.h"
#include "data/sqlite_connection.h"
#include "data/task_statements.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/temp_folder.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orvanta::data {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;
namespace fs = std::filesystem;

TaskRecord Task(const std::string& title) {
    TaskRecord t;
    t.title = title;
    t.dateMode = kDaily;
    t.enabled = 1;
    t.time = "9:00:00";
    return t;
}

class DamagedTaskDatabase : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string path = folder.file("task.db");
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    TaskStore store{path, clock};

    // A database of several pages, the way a user's grows.
    std::string SoundDatabase() {
        fs::remove(path);
        SeedTaskDatabase(path);
        for (int i = 0; i < 80; ++i)
            store.InsertTask(Task("task " + std::to_string(i) + std::string(300, 'x')));
        return ReadFileBytes(path);
    }
};

// Ways a file gets damaged in life: cut short by a full disk or an interrupted copy, a page lost or
// overwritten by a failing disk, a header scribbled on.
TEST_F(DamagedTaskDatabase, EachKindIsNamedAndNothingIsWrittenToIt) {
    const std::string sound = SoundDatabase();
    ASSERT_GT(sound.size(), 30000u);
    ASSERT_EQ(DatabaseDamage(path), "");
    const std::size_t page = 4096;
    auto overwrite = [&](std::size_t at, std::size_t length, char with) {
        std::string bytes = sound;
        bytes.replace(at, length, std::string(length, with));
        return bytes;
    };
    const struct {
        const char* kind;
        std::string bytes;
    } cases[] = {
        {"cut at 5000 bytes", sound.substr(0, 5000)},
        {"cut at two pages", sound.substr(0, 2 * page)},
        {"cut half-way", sound.substr(0, sound.size() / 2)},
        {"last page lost", sound.substr(0, sound.size() - page)},
        {"second page zeroed", overwrite(page, page, '\0')},
        {"second page all ones", overwrite(page, page, '\xFF')},
        {"schema page garbled", overwrite(100, 200, '\x5A')},
        {"middle page zeroed", overwrite((sound.size() / page / 2) * page, page, '\0')},
        {"header page count wrong", overwrite(28, 4, '\x7F')},
        {"not a database at all", std::string(8192, 'z')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        WriteFileBytes(path, c.bytes);
        EXPECT_NE(DatabaseDamage(path), "");
        try {
            store.checkIntegrity();
            ADD_FAILURE() << "no damage found";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + path + "\" is damaged"), std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find(".krlbak"), std::string::npos) << e.what();
        }
        const std::function<void()> writes[] = {
            [&] { store.InsertTask(Task("new")); },
            [&] { store.SetTaskEnabled("1", false); },
            [&] { store.UpdateTask("1", Task("changed")); },
            [&] { store.DeleteTask("2"); },
            [&] { store.DeleteAllTimedTasks(); },
            [&] { store.DeleteDisabledHotkeyTasks(); },
            [&] { store.PostponeTask("1", "later", 2025, 3, 8, "9:00:00"); },
        };
        for (const auto& write : writes)
            EXPECT_THROW(write(), Error);
        store.EnsureTaskTable();
        EXPECT_EQ(ReadFileBytes(path), c.bytes) << "the damaged file was written to";
        EXPECT_FALSE(IsTaskDatabase(path)) << "a damaged file is no backup to import";
    }
    // A sound file put in its place is used again.
    WriteFileBytes(path, sound);
    EXPECT_NO_THROW(store.InsertTask(Task("after")));
}

TEST_F(DamagedTaskDatabase, AMissingOrSoundFileIsNotDamaged) {
    EXPECT_EQ(DatabaseDamage(path), "");
    EXPECT_NO_THROW(store.checkIntegrity());
    SoundDatabase();
    EXPECT_NO_THROW(store.checkIntegrity());
    EXPECT_TRUE(IsTaskDatabase(path));
}

// Another program holding the file (a second orvantactl writing, sqlite3 in a transaction) is a wait, and
// one held past the wait is locked; neither is damage, whose message tells the user to move the file away.
TEST_F(DamagedTaskDatabase, AFileHeldByAnotherProgramIsWaitedForAndNeverCalledDamaged) {
    SoundDatabase();
    const TaskStore waiting(path, clock, 2000);
    {
        SqliteConnection other(path);
        other.execute("BEGIN EXCLUSIVE;");
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            other.execute("COMMIT;");
        });
        EXPECT_NO_THROW(waiting.InsertTask(Task("waited")));
        release.join();
    }
    SqliteConnection holder(path);
    holder.execute("BEGIN EXCLUSIVE;");
    EXPECT_EQ(DatabaseDamage(path), "");
    const TaskStore impatient(path, clock);
    try {
        impatient.checkIntegrity();
        impatient.InsertTask(Task("refused"));
        ADD_FAILURE() << "written while another program held the file";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("locked"), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
    }
    holder.execute("COMMIT;");
    EXPECT_NO_THROW(impatient.InsertTask(Task("after")));
}

// A damaged file that another program held while it was checked was not known to be damaged; it is
// checked again before anything writes to it, not taken for sound from then on.
// Another program writing holds SQLite's lock bytes until Release; SQLite's own connection could not
// even begin on a damaged file, so a child process takes them as a writer does.
class FileHolder {
  public:
    explicit FileHolder(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(path.c_str(), O_RDWR);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_start = 0x40000000; // the pending byte, the reserved byte and the shared range
            lock.l_len = 512;
            const char ok = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? '1' : '0';
            (void)!write(ready[1], &ok, 1);
            pause();
            _exit(0);
        }
        char ok = '0';
        holding_ = pid_ > 0 && read(ready[0], &ok, 1) == 1 && ok == '1';
        close(ready[0]);
        close(ready[1]);
    }
    ~FileHolder() { Release(); }
    bool holding() const { return holding_; }
    void Release() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    bool holding_ = false;
};

// A damaged file that another program held while it was checked was not known to be damaged: it is
// checked again before anything writes to it, nothing is written while it stays unchecked, and a damage
// found before stands through a check that could not read the file.
TEST_F(DamagedTaskDatabase, ADamagedFileHeldAtItsCheckIsCheckedAgainBeforeAWrite) {
    const std::string sound = SoundDatabase();
    // The first leaf of the task table zeroed: the check finds it, while a new row, written at the other
    // end of the table, never reads it, so SQLite itself would write on.
    std::string damaged = sound;
    damaged.replace(2 * 4096, 4096, std::string(4096, '\0'));
    WriteFileBytes(path, damaged);
    auto messageOf = [](const std::function<void()>& write) {
        try {
            write();
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("(written)");
    };

    const TaskStore unread(path, clock);
    {
        FileHolder holder(path);
        ASSERT_TRUE(holder.holding());
        EXPECT_NO_THROW(unread.checkIntegrity()) << "a held file read as damaged";
        const std::string refused = messageOf([&] { unread.InsertTask(Task("while held")); });
        EXPECT_NE(refused.find("locked by another program"), std::string::npos) << refused;
    }
    const TaskStore checked(path, clock);
    {
        FileHolder holder(path);
        ASSERT_TRUE(holder.holding());
        EXPECT_NO_THROW(checked.checkIntegrity());
    }
    checked.EnsureTaskTable();
    EXPECT_NE(DatabaseDamage(path), "");
    EXPECT_THROW(checked.InsertTask(Task("into the damage")), Error);
    {
        FileHolder holder(path);
        ASSERT_TRUE(holder.holding());
        const std::string refused = messageOf([&] { checked.SetTaskEnabled("1", false); });
        EXPECT_NE(refused.find("is damaged"), std::string::npos) << refused;
    }
    EXPECT_EQ(ReadFileBytes(path), damaged) << "the damaged file was written to";
}

TEST(BackupObjects, OnlyTheTaskTableAndSqlitesOwnBookkeepingPass) {
    TempFolder folder;
    const std::string path = folder.file("backup.krlbak");
    SeedTaskDatabase(path);
    EXPECT_EQ(ObjectBeyondTaskTable(path), "");
    SqliteConnection(path).execute(
        "CREATE TABLE other (id INTEGER PRIMARY KEY AUTOINCREMENT, t TEXT UNIQUE);");
    EXPECT_EQ(ObjectBeyondTaskTable(path), "table other");
    SqliteConnection(path).execute("DROP TABLE other;");
    SqliteConnection(path).execute("CREATE TRIGGER again AFTER DELETE ON tasklist BEGIN INSERT INTO tasklist "
                                   "(Title) VALUES ('x'); END;");
    EXPECT_EQ(ObjectBeyondTaskTable(path), "trigger again");
    EXPECT_FALSE(IsTaskDatabase(path));

    // A task table made by the store's own statement is the template's, whatever its spacing.
    const std::string made = folder.file("made.db");
    SqliteConnection(made).execute(sql::CreateTableStatement());
    EXPECT_EQ(ObjectBeyondTaskTable(made), "");
    const std::string altered = folder.file("altered.db");
    std::string withDefault = sql::CreateTableStatement();
    withDefault.replace(withDefault.find("[Launch] VARCHAR (255)"), 22, "[Launch] VARCHAR (255) DEFAULT 'x'");
    SqliteConnection(altered).execute(withDefault);
    EXPECT_EQ(ObjectBeyondTaskTable(altered), "a task table defined otherwise");
}

TEST(Seeding, APlantedLinkIsNeitherFollowedNorMovedIntoPlace) {
    TempFolder folder;
    const std::string path = folder.file("task.db");
    const std::string victim = folder.file("victim");
    WriteFileBytes(victim, "someone's file");
    for (const char* planted : {"task.db.seed-tmp", "task.db.tmp"}) {
        std::error_code ec;
        fs::create_symlink(victim, folder.file(planted), ec);
    }
    ASSERT_TRUE(SeedTaskDatabase(path));
    EXPECT_EQ(ReadFileBytes(victim), "someone's file");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_TRUE(IsTaskDatabase(path));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "the task list is the user's alone";
}

TEST(Seeding, NeverReplacesAFileThatIsThere) {
    TempFolder folder;
    const std::string path = folder.file("task.db");
    fs::create_symlink(folder.file("absent"), path);
    EXPECT_FALSE(SeedTaskDatabase(path)) << "a dangling link is something";
    EXPECT_FALSE(fs::exists(folder.file("absent")));
    fs::remove(path);
    WriteFileBytes(path, "the user's own");
    EXPECT_FALSE(ini::PlaceNewFile(path, "new"));
    EXPECT_EQ(ReadFileBytes(path), "the user's own");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"task.db"});
}

} // namespace
} // namespace orvanta::data
