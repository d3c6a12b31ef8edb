#include "data/error.h"
#include "data/sqlite_connection.h"
#include "hotkeys/hotkey_tasks.h"
#include "platform/fake/fake_global_hotkeys.h"
#include "tests/ui/main_form_fixture.h"
#include "ui/hotkey_list_view.h"
#include "ui/hotkey_page.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QTimer>

namespace orvanta::test {
namespace {

namespace fs = std::filesystem;
using Titles = std::vector<std::string>;

constexpr unsigned kCtrlShift = platform::kHotkeyControl | platform::kHotkeyShift;
constexpr unsigned kKeyQ = 0x51;

// The main window with real hotkey tasks on fake global hotkeys, and file dialogs the test answers.
class BackupCommandsTest : public MainFormTest {
  protected:
    TempFolder files;
    platform::fake::FakeGlobalHotkeys globalHotkeys;
    hotkeys::HotkeyRegistrar registrar{globalHotkeys};
    std::atomic<bool> macroStop{false};
    hotkeys::HotkeyTasks hotkeyTasks{
        registrar, [](const std::string&, const std::vector<scheduler::TaskRow>&) {}, macroStop};
    int hotkeyLoads = 0;
    std::string exportAnswer;
    std::string importAnswer;
    int dialogsShown = 0;

    BackupCommandsTest() { hotkeyList = &hotkeyTasks; }

    void Start() {
        ui::MainFormPorts ports = Ports(instance);
        ports.backupDialogs = {[this] {
                                   ++dialogsShown;
                                   return exportAnswer;
                               },
                               [this] {
                                   ++dialogsShown;
                                   return importAnswer;
                               }};
        form = std::make_unique<ui::TMainForm>(std::move(ports));
        form->timers().tmr302.stop();
        // Each load of the hotkey tasks shows them anew in the hotkey list.
        QObject::connect(&form->hotkeyPage()->hotkeylist()->model(), &QAbstractItemModel::modelReset,
                         [this] { ++hotkeyLoads; });
    }

    std::string AddHotkeyTask(const std::string& title, unsigned modifiers, unsigned key) {
        data::TaskRecord t;
        t.title = title;
        t.dateMode = data::kHotkey;
        t.enabled = 1;
        t.hotkey1 = modifiers - 1; // stored one below the system's modifier set
        t.hotkey2 = key;
        if (!fs::exists(store.path())) data::SeedTaskDatabase(store.path());
        return store.InsertTask(t);
    }

    // Answers the question box, if one comes, with the button; returns the questions asked.
    QStringList Trigger(QAction* action, int button = 1) {
        QuestionAnswerer answer(*form, button);
        action->trigger();
        return answer.questions;
    }

    // Imports the file, which is refused in the error box and leaves the task database as it was.
    void ExpectImportRefused(const std::string& file, const std::string& databaseBefore) {
        errors.errors.clear();
        importAnswer = file;
        EXPECT_EQ(Trigger(form->menus().Import1), QStringList{});
        ASSERT_EQ(errors.errors.size(), 1);
        EXPECT_TRUE(errors.errors[0].contains("not an Orvanta tasks file"));
        EXPECT_EQ(ReadFileBytes(store.path()), databaseBefore);
    }

    std::vector<std::string> FilesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(BackupCommandsTest, AnImportBringsBackTheExportedTasksListsAndHotkeys) {
    AddTask("alpha", "10:00:00");
    AddTask("beta", "11:00:00");
    AddHotkeyTask("quick", kCtrlShift, kKeyQ);
    Start();
    ASSERT_TRUE(globalHotkeys.isRegistered(kCtrlShift, kKeyQ));
    ASSERT_TRUE(form->menus().Export1->isEnabled());
    ASSERT_TRUE(form->menus().Import1->isEnabled());

    // A name typed without the extension gets it; a new file needs no question.
    exportAnswer = files.file("tasks");
    EXPECT_EQ(Trigger(form->menus().Export1), QStringList{});
    EXPECT_EQ(FilesIn(files.path()), Titles{"tasks.krlbak"});
    EXPECT_TRUE(data::IsTaskDatabase(files.file("tasks.krlbak")));
    EXPECT_TRUE(errors.errors.isEmpty());

    // The tasks change after the backup.
    store.DeleteAllTimedTasks();
    store.DeleteAllHotkeyTasks();
    AddTask("gamma", "12:00:00");
    form->RebuildRunTable();
    form->hotkeyPage()->LoadHotkeyTasks();
    ASSERT_EQ(ListTitles(), Titles{"gamma"});
    ASSERT_FALSE(globalHotkeys.isRegistered(kCtrlShift, kKeyQ));
    const int loadsBefore = hotkeyLoads;

    importAnswer = files.file("tasks.krlbak");
    EXPECT_EQ(Trigger(form->menus().Import1), QStringList{"Confirm import?"});
    EXPECT_TRUE(errors.errors.isEmpty());
    EXPECT_EQ(ListTitles(), (Titles{"alpha", "beta"}));
    EXPECT_EQ(hotkeyLoads, loadsBefore + 1);
    EXPECT_TRUE(globalHotkeys.isRegistered(kCtrlShift, kKeyQ));
    EXPECT_EQ(hotkeyTasks.hotkeyTaskCount(), 8u); // the template's seven and ours
}

TEST_F(BackupCommandsTest, ExportKeepsAGivenExtensionAndAsksBeforeReplacingAFile) {
    AddTask("alpha", "10:00:00");
    Start();
    const std::string file = files.file("old.krlbak");
    WriteFileBytes(file, "notes that are not a database");

    exportAnswer = file;
    EXPECT_EQ(Trigger(form->menus().Export1, 2), QStringList{"The file exists! Do you want to rewrite it?"});
    EXPECT_EQ(ReadFileBytes(file), "notes that are not a database");

    // Confirmed, the file is replaced whole, whatever it held, and nothing is left beside it.
    EXPECT_EQ(Trigger(form->menus().Export1, 1), QStringList{"The file exists! Do you want to rewrite it?"});
    EXPECT_TRUE(errors.errors.isEmpty());
    EXPECT_EQ(FilesIn(files.path()), Titles{"old.krlbak"});
    ASSERT_TRUE(data::IsTaskDatabase(file));
    EXPECT_EQ(data::TaskStore(file, clock).ReadTimedTasks(false).rowCount(), 1u);

    // A cancelled dialog asks nothing and writes nothing.
    exportAnswer.clear();
    fs::remove(file);
    EXPECT_EQ(Trigger(form->menus().Export1), QStringList{});
    EXPECT_EQ(FilesIn(files.path()), Titles{});
}

TEST_F(BackupCommandsTest, AFileThatIsNoTaskDatabaseIsRefusedAndTheTasksStay) {
    AddTask("alpha", "10:00:00");
    Start();
    const std::string before = ReadFileBytes(store.path());
    const int loadsBefore = hotkeyLoads;

    const std::string text = files.file("notes.krlbak");
    WriteFileBytes(text, "just some text");
    // An SQLite file, but of another program.
    const std::string otherDatabase = files.file("other.krlbak");
    data::SqliteConnection(otherDatabase).execute("CREATE TABLE tasklist (id INTEGER, Title TEXT);");

    for (const std::string& file : {text, otherDatabase}) {
        SCOPED_TRACE(file);
        ExpectImportRefused(file, before);
    }
    EXPECT_EQ(ListTitles(), Titles{"alpha"});
    EXPECT_EQ(hotkeyLoads, loadsBefore);
}

// A backup is a plain copy of someone's task database: whatever else it holds came from elsewhere.
TEST_F(BackupCommandsTest, ABackupCarryingTriggersOrViewsIsRefusedWhole) {
    AddTask("alpha", "10:00:00");
    Start();
    exportAnswer = files.file("clean");
    Trigger(form->menus().Export1);
    const std::string clean = files.file("clean.krlbak");
    ASSERT_TRUE(data::IsTaskDatabase(clean));
    const std::string added[] = {
        // Brings back a task that launches a program whenever the user deletes one.
        "CREATE TRIGGER keep AFTER DELETE ON tasklist BEGIN INSERT INTO tasklist (Enabled, Title, DateMode, "
        "Launch) VALUES (1, 'hidden', 1, 'evil'); END;",
        "CREATE VIEW everything AS SELECT * FROM tasklist;",
        "CREATE TABLE notes (text TEXT);",
        "CREATE INDEX by_title ON tasklist (Title);",
    };
    const std::string before = ReadFileBytes(store.path());
    for (const std::string& statement : added) {
        SCOPED_TRACE(statement);
        const std::string file = files.file("carrying.krlbak");
        fs::copy_file(clean, file, fs::copy_options::overwrite_existing);
        data::SqliteConnection(file).execute(statement);
        ExpectImportRefused(file, before);
    }
    EXPECT_EQ(ListTitles(), Titles{"alpha"});
}

// A task database cut short by a full disk or a copy that stopped half-way.
TEST_F(BackupCommandsTest, ADamagedTaskDatabaseIsNamedAtStartAndNotWrittenTo) {
    for (int i = 0; i < 60; ++i)
        AddTask("task " + std::to_string(i) + std::string(200, 'x'), "10:00:00");
    ASSERT_GT(fs::file_size(store.path()), 12000u);
    fs::resize_file(store.path(), 5000);
    const std::string damaged = ReadFileBytes(store.path());
    Start();
    const QString told = errors.errors.join("\n");
    EXPECT_TRUE(told.contains(QString::fromStdString(store.path()) + "\" is damaged")) << told.toStdString();
    EXPECT_TRUE(told.contains("Import Tasks File")) << told.toStdString();

    // Neither the editor's save nor a toggle reaches the file.
    errors.errors.clear();
    data::TaskRecord t;
    t.title = "new";
    t.dateMode = data::kDaily;
    t.enabled = 1;
    t.time = "9:00:00";
    EXPECT_THROW(store.InsertTask(t), orvanta::Error);
    EXPECT_EQ(ReadFileBytes(store.path()), damaged);

    // Once the user has put a sound file in its place, saving works again.
    fs::remove(store.path());
    data::SeedTaskDatabase(store.path());
    EXPECT_NO_THROW(store.InsertTask(t));
}

TEST_F(BackupCommandsTest, ACancelledImportChangesNothing) {
    AddTask("alpha", "10:00:00");
    Start();
    exportAnswer = files.file("tasks.krlbak");
    Trigger(form->menus().Export1);
    store.DeleteAllTimedTasks();
    const std::string before = ReadFileBytes(store.path());
    const int loadsBefore = hotkeyLoads;

    importAnswer.clear();
    EXPECT_EQ(Trigger(form->menus().Import1), QStringList{});
    importAnswer = files.file("tasks.krlbak");
    EXPECT_EQ(Trigger(form->menus().Import1, 2), QStringList{"Confirm import?"});

    EXPECT_EQ(ReadFileBytes(store.path()), before);
    EXPECT_EQ(hotkeyLoads, loadsBefore);
    EXPECT_EQ(dialogsShown, 3);
}

TEST_F(BackupCommandsTest, UninstallEndsTheServiceStartsTheUninstallerAndQuits) {
    processes.setProcesses({{10, "/opt/orvanta/OrvantaService", "OrvantaService", "OrvantaService", ""},
                            {11, "/usr/bin/editor", "editor", "editor", ""},
                            {12, "/usr/lib/OrvantaService", "OrvantaService", "OrvantaServ", ""}});
    const std::string uninstaller = binFolder + "/orvanta-uninstall";
    WriteFileBytes(uninstaller, "#!/bin/sh\n");
    Start();
    EXPECT_TRUE(form->menus().Uninstall2->isEnabled());
    form->menus().Uninstall2->trigger();

    EXPECT_EQ(processes.killed(), (std::vector<std::int64_t>{10, 12}));
    ASSERT_EQ(launcher.requests().size(), 1u);
    EXPECT_EQ(launcher.requests()[0].kind, "startProgram");
    EXPECT_EQ(launcher.requests()[0].start, (platform::ProgramStart{uninstaller, "", {}}));
    EXPECT_TRUE(form->CloseAllowed());
    EXPECT_EQ(quits, 1);
}

TEST_F(BackupCommandsTest, WithoutAnUninstallerTheItemIsGreyAndNothingEnds) {
    processes.setProcesses({{10, "/opt/orvanta/OrvantaService", "OrvantaService", "OrvantaService", ""}});
    Start();
    EXPECT_FALSE(form->menus().Uninstall2->isEnabled());
    form->menus().Uninstall2->trigger();
    EXPECT_TRUE(processes.killed().empty());
    EXPECT_TRUE(launcher.requests().empty());
    EXPECT_FALSE(form->CloseAllowed());
    EXPECT_EQ(quits, 0);
}

// The desktop's dialogs as the window uses them: filtered to backups, and without a second overwrite
// question of their own.
TEST(DesktopBackupDialogs, OfferOnlyBackupsAndLeaveTheOverwriteQuestionToTheCommand) {
    TempFolder folder;
    WriteFileBytes(folder.file("old.krlbak"), "x");
    const ui::BackupFileDialogs dialogs = ui::DesktopBackupFileDialogs(nullptr);
    QStringList filters;
    bool confirmsOverwrite = true;
    bool stuck = false;
    QTimer poll;
    poll.setInterval(10);
    QString name;
    QWidget* answered = nullptr;
    int ticksSinceAnswer = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        // A question of the dialog's own, or the dialog still open well after our answer.
        if (!dialog || (modal == answered && ++ticksSinceAnswer > 100)) {
            stuck = true;
            if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
            return;
        }
        if (modal == answered) return;
        answered = modal;
        ticksSinceAnswer = 0;
        filters = dialog->nameFilters();
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(name);
        // Accepted once this tick is over: a question the dialog may ask then is seen by the next tick.
        QMetaObject::invokeMethod(
            dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); }, Qt::QueuedConnection);
    });
    poll.start();
    auto answer = [&](const QString& chosen) {
        name = chosen;
        answered = nullptr;
    };

    answer(QString::fromStdString(folder.file("old.krlbak")));
    EXPECT_EQ(dialogs.chooseExportFile(), folder.file("old.krlbak"));
    EXPECT_EQ(filters, QStringList{"*.krlbak"});
    EXPECT_FALSE(confirmsOverwrite);
    EXPECT_FALSE(stuck);

    answer(QString::fromStdString(folder.file("old.krlbak")));
    EXPECT_EQ(dialogs.chooseImportFile(), folder.file("old.krlbak"));
    EXPECT_EQ(filters, QStringList{"*.krlbak"});

    answer({});
    EXPECT_EQ(dialogs.chooseImportFile(), "");
    EXPECT_FALSE(stuck);
}

} // namespace
} // namespace orvanta::test
