#include "tests/ui/task_form_fixture.h"
#include "ui/program_form.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

namespace orvanta::test {
namespace {

using ui::kModeEditHotkey;
using ui::kModeEditScheduled;
using ui::kModeNewHotkey;
using ui::kModeNewScheduled;

data::TaskRecord WithoutIdAndLast(data::TaskRecord t) {
    t.id = 0;
    t.last.clear();
    return t;
}

TEST_F(TaskFormTest, EachModeFillsItsDefaults) {
    clock.set({2025, 3, 7, 9, 41, 27, 0});
    auto added = Open(kModeNewScheduled);
    EXPECT_EQ(added->windowTitle(), "Add Task");
    EXPECT_TRUE(Control<QRadioButton>(*added, "RadioButton2")->isChecked());
    EXPECT_TRUE(Control<QDateEdit>(*added, "DateTimePicker1")->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(*added, "Mon")->isEnabled());
    EXPECT_EQ(Control<QTimeEdit>(*added, "TimeP1")->time(), QTime(9, 41, 0));
    EXPECT_EQ(Control<QDateEdit>(*added, "DateTimePicker1")->date(), QDate(2025, 3, 7));
    EXPECT_EQ(Control<QComboBox>(*added, "ComboBox11")->currentText(), "3");
    EXPECT_EQ(Control<QComboBox>(*added, "ComboBox8")->currentText(), "7");
    EXPECT_EQ(Control<QComboBox>(*added, "cbox_loop")->itemText(1), "10Minutes");
    EXPECT_EQ(Control<QComboBox>(*added, "cbox_loop")->itemText(7), "2Hours");
    EXPECT_FALSE(Control<QTimeEdit>(*added, "dt_endtime")->isVisibleTo(added.get()));

    auto hotkey = Open(kModeNewHotkey);
    EXPECT_TRUE(Control<QRadioButton>(*hotkey, "RadioButton6")->isChecked());
    EXPECT_TRUE(Control<QComboBox>(*hotkey, "cbHK2")->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(*hotkey, "CheckBox6")->isEnabled());
    EXPECT_FALSE(Control<QTimeEdit>(*hotkey, "TimeP1")->isEnabled());
    EXPECT_EQ(Control<QComboBox>(*hotkey, "cbHK1")->currentText(), "Alt");

    auto missing = Open(kModeEditScheduled, "999");
    EXPECT_EQ(missing->windowTitle(), "Modify Task");
    EXPECT_TRUE(missing->editingId().empty());
}

TEST_F(TaskFormTest, EveryKindOfStoredRowSavesBackUnchanged) {
    std::vector<data::TaskRecord> kinds;
    data::TaskRecord weekly = Plain("weekly launch");
    weekly.dateMode = data::kWeekly;
    weekly.sun = 1, weekly.fri = 0;
    weekly.launch = "/usr/bin/app | --fast";
    weekly.countdown = 45;
    kinds.push_back(weekly);
    data::TaskRecord once = Plain("once wake");
    once.dateMode = data::kOnce;
    once.year = 2026, once.month = 11, once.day = 2;
    once.event = data::kEventWakeAndRun;
    once.openUrl = "http://example.org";
    once.message = "line one\nline two";
    once.macro = "/home/u/m.mco";
    kinds.push_back(once);
    data::TaskRecord monthly = Plain("monthly shutdown");
    monthly.dateMode = data::kMonthly;
    monthly.day = 15;
    monthly.event = data::kEventShutDown;
    kinds.push_back(monthly);
    data::TaskRecord annual = Plain("annual");
    annual.dateMode = data::kAnnually;
    annual.month = 12, annual.day = 25;
    annual.terminate = "app.exe";
    annual.openFile = "/tmp/doc.txt";
    kinds.push_back(annual);
    data::TaskRecord daily = Plain("daily repeat");
    daily.loop = 30;
    daily.endTime = "18:00:00";
    daily.event = data::kEventWakeOnly;
    kinds.push_back(daily);
    data::TaskRecord noBar = Plain("no bar");
    noBar.launch = "/usr/bin/tool";
    noBar.loop = 180;
    kinds.push_back(noBar);

    for (data::TaskRecord& kind : kinds) {
        SCOPED_TRACE(kind.title);
        const std::string id = store.InsertTask(kind);
        kind.id = std::stoll(id);
        form->RebuildRunTable();
        const std::size_t count = Stored().size();
        auto editor = Open(kModeEditScheduled, id);
        EXPECT_EQ(editor->editingId(), id);
        Click(*editor, "Button2");
        EXPECT_TRUE(errors.errors.isEmpty()) << errors.errors.join("\n").toStdString();
        EXPECT_EQ(WithoutIdAndLast(StoredTask(id)), WithoutIdAndLast(kind));
        EXPECT_EQ(Stored().size(), count);
    }
}

TEST_F(TaskFormTest, ARowIsLoadedIntoItsControls) {
    data::TaskRecord t = Plain("shown");
    t.launch = "/usr/bin/tool";
    t.loop = 0;
    t.countdown = 0;
    t.hotkey2 = 65;
    t.id = 7;
    hotkeyRows = {RowOf(t)};
    auto editor = Open(kModeEditHotkey, "7");
    EXPECT_EQ(Control<QLineEdit>(*editor, "Edit2")->text(), "/usr/bin/tool /usr/bin/tool");
    EXPECT_EQ(Control<QComboBox>(*editor, "cbHK2")->currentText(), "A");
    EXPECT_EQ(Control<QLineEdit>(*editor, "num")->text(), "0");
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox15")->isChecked());
    EXPECT_FALSE(Control<QTimeEdit>(*editor, "dt_endtime")->isVisibleTo(editor.get()));
    EXPECT_TRUE(Control<QRadioButton>(*editor, "RadioButton1")->isChecked());
}

// Opening the editor must not copy a table of tens of thousands of tasks to find one.
TEST_F(TaskFormTest, AnEditedTaskIsLookedUpByItsIdAlone) {
    std::vector<std::string> ids;
    for (const char* title : {"first", "second", "third"})
        ids.push_back(store.InsertTask(Plain(title)));
    form->RebuildRunTable();
    ui::TaskEditorHost host = Host();
    const auto lookup = host.scheduledRow;
    std::vector<std::string> asked;
    host.scheduledRow = [&](const std::string& id) {
        asked.push_back(id);
        return lookup(id);
    };
    form->scheduler().currentTaskId() = ids[1];
    ui::TTaskForm editor(host, QString::fromLatin1(kModeEditScheduled));
    editor.show();
    WaitUntilLoaded(editor);
    EXPECT_EQ(asked, std::vector<std::string>{ids[1]});
    EXPECT_EQ(Control<QLineEdit>(editor, "title")->text(), "second");

    ASSERT_TRUE(lookup(ids[2]));
    EXPECT_EQ((*lookup(ids[2]))[scheduler::kColTitle], "third");
    EXPECT_FALSE(lookup(ids[2] + "0"));
    EXPECT_FALSE(lookup(""));
}

TEST_F(TaskFormTest, RepeatListMapsMinutesBothWays) {
    EXPECT_EQ(ui::LoopIndexOfMinutes(90), 6);
    EXPECT_EQ(ui::LoopIndexOfMinutes(10), 1);
    EXPECT_EQ(ui::LoopIndexOfMinutes(120), 7);
    EXPECT_EQ(ui::LoopIndexOfMinutes(300), 10);
    EXPECT_EQ(ui::LoopIndexOfMinutes(0), 0);
    EXPECT_EQ(ui::LoopMinutesOfIndex(6), 60);
    EXPECT_EQ(ui::LoopMinutesOfIndex(8), 180);

    data::TaskRecord t = Plain("ninety");
    t.loop = 90;
    t.openUrl = "http://n";
    const std::string id = store.InsertTask(t);
    form->RebuildRunTable();
    auto editor = Open(kModeEditScheduled, id);
    EXPECT_EQ(Control<QComboBox>(*editor, "cbox_loop")->currentIndex(), 6);
    EXPECT_TRUE(Control<QTimeEdit>(*editor, "dt_endtime")->isVisibleTo(editor.get()));
    Click(*editor, "Button2");
    EXPECT_EQ(StoredTask(id).loop, 60);
}

TEST_F(TaskFormTest, ActionBoxesExcludeEachOther) {
    auto editor = Open(kModeNewScheduled);
    Control<QCheckBox>(*editor, "CheckBox2")->setChecked(true); // Reboot
    Control<QCheckBox>(*editor, "CheckBox9")->setChecked(true); // Launch Program
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox2")->isChecked());
    Control<QCheckBox>(*editor, "CheckBox11")->setChecked(true);
    Control<QCheckBox>(*editor, "CheckBox6")->setChecked(true); // Wake up keeps the program actions
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox9")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox11")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox6")->isChecked());
    Control<QCheckBox>(*editor, "CheckBox14")->setChecked(true); // Close Monitor clears everything else
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox9")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox11")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox6")->isChecked());
    Control<QCheckBox>(*editor, "CheckBox3")->setChecked(true);
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox14")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox3")->font().bold());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox14")->font().bold());

    Control<QCheckBox>(*editor, "CheckBox6")->setChecked(true);
    Control<QCheckBox>(*editor, "CheckBox15")->setChecked(true);
    Control<QRadioButton>(*editor, "RadioButton6")->setChecked(true);
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox6")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox15")->isChecked());
}

TEST_F(TaskFormTest, WakeUpNeedsAClockThatWakes) {
    power.setCanWakeFromSleep(false);
    QuestionAnswerer answer(*form, 1);
    auto editor = Open(kModeNewScheduled);
    Control<QCheckBox>(*editor, "CheckBox6")->setChecked(true);
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox6")->isChecked());
    ASSERT_EQ(answer.questions.size(), 1);
    EXPECT_EQ(answer.questions[0], "Your hardware does not support this function.");
    EXPECT_EQ(answer.title, "Add Task");
}

TEST_F(TaskFormTest, WakeUpWithoutThePrivilegeSaysHowToGrantIt) {
    power.setWakeFromSleep({false, true});
    {
        QuestionAnswerer answer(*form, 1);
        auto editor = Open(kModeNewScheduled);
        Control<QCheckBox>(*editor, "CheckBox6")->setChecked(true);
        EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox6")->isChecked());
        ASSERT_EQ(answer.questions.size(), 1);
        EXPECT_TRUE(
            answer.questions[0].startsWith("Orvanta is not allowed to set timers that wake the computer"))
            << answer.questions[0].toStdString();
        EXPECT_TRUE(answer.questions[0].contains("sudo setcap cap_wake_alarm+ep " +
                                                 QCoreApplication::applicationFilePath()));
        EXPECT_FALSE(answer.questions[0].contains("hardware"));
    }
    // Neither: the privilege alone would not help, so the hardware is named.
    power.setWakeFromSleep({false, false});
    QuestionAnswerer answer(*form, 1);
    auto editor = Open(kModeNewScheduled);
    Control<QCheckBox>(*editor, "CheckBox6")->setChecked(true);
    ASSERT_EQ(answer.questions.size(), 1);
    EXPECT_EQ(answer.questions[0], "Your hardware does not support this function.");
}

TEST_F(TaskFormTest, ShutDownAsksForSleepInstead) {
    {
        QuestionAnswerer answer(*form, 1);
        auto editor = Open(kModeNewScheduled);
        Control<QCheckBox>(*editor, "CheckBox1")->setChecked(true);
        EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox1")->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox4")->isChecked());
        EXPECT_EQ(answer.captions, QStringList({"OK", "Cancel"}));
    }
    {
        QuestionAnswerer answer(*form, 2);
        auto editor = Open(kModeNewScheduled);
        Control<QCheckBox>(*editor, "CheckBox9")->setChecked(true);
        Control<QCheckBox>(*editor, "CheckBox1")->setChecked(true);
        EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox1")->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox9")->isChecked());
        EXPECT_EQ(answer.questions.size(), 1);
    }
    {
        QuestionAnswerer answer(*form, 1);
        ui::TaskEditorHost host = Host();
        host.prefersHibernate = [] { return true; };
        ui::TTaskForm editor(host, kModeNewScheduled);
        WaitUntilLoaded(editor);
        Control<QCheckBox>(editor, "CheckBox1")->setChecked(true);
        EXPECT_TRUE(Control<QCheckBox>(editor, "CheckBox5")->isChecked());
    }
}

TEST_F(TaskFormTest, ShutDownOffersHibernateWhereThePlatformPrefersIt) {
    for (const bool prefers : {true, false}) {
        power.setPrefersHibernateToSleep(prefers);
        QuestionAnswerer answer(*form, 1);
        auto editor = Open(kModeNewScheduled);
        Control<QCheckBox>(*editor, "CheckBox1")->setChecked(true);
        EXPECT_EQ(Control<QCheckBox>(*editor, "CheckBox5")->isChecked(), prefers);
        EXPECT_EQ(Control<QCheckBox>(*editor, "CheckBox4")->isChecked(), !prefers);
        EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox1")->isChecked());
    }
}

TEST_F(TaskFormTest, ALoadedShutDownAsksNothing) {
    data::TaskRecord t = Plain("off");
    t.event = data::kEventShutDown;
    const std::string id = store.InsertTask(t);
    form->RebuildRunTable();
    QuestionAnswerer answer(*form, 1);
    form->scheduler().currentTaskId() = id;
    ui::TTaskForm editor(Host(), kModeEditScheduled);
    EXPECT_TRUE(editor.loading());
    EXPECT_TRUE(Control<QCheckBox>(editor, "CheckBox1")->isChecked());
    EXPECT_TRUE(answer.questions.isEmpty());
}

TEST_F(TaskFormTest, ValidationStopsWithoutWriting) {
    const std::size_t before = Stored().size();
    {
        QuestionAnswerer answer(*form, 1);
        auto editor = Open(kModeNewScheduled);
        Click(*editor, "Button2");
        ASSERT_EQ(answer.questions.size(), 1);
        EXPECT_EQ(answer.questions[0], "You have not chosen anything! Do you want to continue? ");
        EXPECT_TRUE(editor->isVisible());
    }
    {
        QuestionAnswerer answer(*form, 2);
        auto editor = Open(kModeNewScheduled);
        Click(*editor, "Button2");
        EXPECT_FALSE(editor->isVisible());
    }
    {
        QuestionAnswerer answer(*form, 1);
        auto editor = Open(kModeNewScheduled);
        Control<QCheckBox>(*editor, "CheckBox3")->setChecked(true);
        Control<QTimeEdit>(*editor, "TimeP1")->setTime(QTime(22, 0, 0));
        Control<QTimeEdit>(*editor, "dt_endtime")
            ->setTime(QTime(21, 0, 0)); // hidden: no repeat, still checked
        Click(*editor, "Button2");
        ASSERT_EQ(answer.questions.size(), 1);
        EXPECT_EQ(answer.questions[0], "The end time can not be less than the start time.");
        EXPECT_TRUE(Control<QTimeEdit>(*editor, "dt_endtime")->styleSheet().contains("red"));
        EXPECT_TRUE(editor->isVisible());
    }
    {
        QuestionAnswerer answer(*form, 1);
        auto editor = Open(kModeNewHotkey);
        Control<QCheckBox>(*editor, "CheckBox3")->setChecked(true);
        Click(*editor, "Button2");
        ASSERT_EQ(answer.questions.size(), 1);
        EXPECT_EQ(answer.questions[0], "Please specify your hotkey before saving.");
        EXPECT_TRUE(Control<QComboBox>(*editor, "cbHK2")->styleSheet().contains("red"));
    }
    EXPECT_EQ(Stored().size(), before);
}

TEST_F(TaskFormTest, DaysAndMonthsOffTheCalendarAreRefusedBeforeAnythingIsWritten) {
    const QString day = "The day must be a number from 1 to 31.";
    const QString month = "The month must be a number from 1 to 12.";
    const std::size_t before = Stored().size();
    const struct {
        bool annually;
        const char* month;
        const char* day;
        QString message;
    } cases[] = {{false, "", "45", day},  {false, "", "0", day},    {false, "", "abc", day},
                 {false, "", "", day},    {true, "13", "5", month}, {true, "0", "5", month},
                 {true, "x", "5", month}, {true, "2", "32", day},   {true, "12", "-1", day}};
    for (const auto& c : cases) {
        QuestionAnswerer answer(*form, 1);
        auto editor = Open(kModeNewScheduled);
        Control<QCheckBox>(*editor, "CheckBox3")->setChecked(true);
        (c.annually ? Control<QRadioButton>(*editor, "RadioButton4")
                    : Control<QRadioButton>(*editor, "RadioButton3"))
            ->setChecked(true);
        if (c.annually) Control<QComboBox>(*editor, "ComboBox11")->setEditText(c.month);
        (c.annually ? Control<QComboBox>(*editor, "ComboBox10") : Control<QComboBox>(*editor, "ComboBox8"))
            ->setEditText(c.day);
        Click(*editor, "Button2");
        EXPECT_EQ(answer.questions, QStringList{c.message}) << c.month << "/" << c.day;
        QComboBox* field = c.message == month ? Control<QComboBox>(*editor, "ComboBox11")
                           : c.annually       ? Control<QComboBox>(*editor, "ComboBox10")
                                              : Control<QComboBox>(*editor, "ComboBox8");
        EXPECT_TRUE(field->styleSheet().contains("red")) << c.month << "/" << c.day;
        EXPECT_TRUE(editor->isVisible());
        EXPECT_TRUE(errors.errors.isEmpty());
    }
    EXPECT_EQ(Stored().size(), before);

    // The ends of the ranges are days of the calendar.
    QuestionAnswerer none(*form, 1);
    auto edge = Open(kModeNewScheduled);
    Control<QCheckBox>(*edge, "CheckBox3")->setChecked(true);
    Control<QRadioButton>(*edge, "RadioButton4")->setChecked(true);
    Control<QComboBox>(*edge, "ComboBox11")->setEditText("12");
    Control<QComboBox>(*edge, "ComboBox10")->setEditText(" 31");
    Click(*edge, "Button2");
    EXPECT_TRUE(none.questions.isEmpty());
    ASSERT_EQ(Stored().size(), before + 1);
    EXPECT_EQ(Stored().back().day, 31);
}

TEST_F(TaskFormTest, UntitledTasksAreNamedAfterTheirActions) {
    auto save = [&](auto setUp) {
        auto editor = Open(kModeNewScheduled);
        Control<QLineEdit>(*editor, "title")->setText("   ");
        setUp(*editor);
        Click(*editor, "Button2");
        return StoredTask(editor->editingId());
    };
    EXPECT_EQ(save([](ui::TTaskForm& e) { Control<QCheckBox>(e, "CheckBox14")->setChecked(true); }).title,
              "Close Monitor");
    const data::TaskRecord mixed = save([](ui::TTaskForm& e) {
        Control<QCheckBox>(e, "CheckBox6")->setChecked(true);
        // The program dialog's OK hands its two fields to the editor.
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<ui::TProgramForm*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->findChild<QLineEdit*>("Edit2")->setText("C:\\Tools\\app.exe");
            dialog->findChild<QLineEdit*>("Edit1")->setText("/q");
            dialog->findChild<QPushButton*>("Button2")->click();
        });
        Click(e, "suiButton9");
        Control<QCheckBox>(e, "CheckBox11")->setChecked(true); // leaves "http://" as the address
        Control<QPlainTextEdit>(e, "Memo1")->setPlainText("  hello \n");
        Control<QCheckBox>(e, "CheckBox12")->setChecked(true);
    });
    EXPECT_EQ(mixed.title, "Wake up  Launch Program: app.exe   Open URL: http://  Reminder: hello");
    EXPECT_EQ(mixed.openUrl, "http://");
    EXPECT_EQ(mixed.message, "hello");
    EXPECT_EQ(mixed.launch, "C:\\Tools\\app.exe | /q");
    EXPECT_EQ(mixed.event, data::kEventWakeAndRun);
    EXPECT_EQ(mixed.dateMode, data::kOnce);
    EXPECT_EQ(mixed.hotkey2, 47);
    EXPECT_EQ(mixed.countdown, 0);
}

TEST_F(TaskFormTest, HotkeyTasksCarryNoWakeOrCountDown) {
    auto editor = Open(kModeNewHotkey);
    Control<QComboBox>(*editor, "cbHK1")->setCurrentIndex(1);
    Control<QComboBox>(*editor, "cbHK2")->setCurrentIndex(12); // "C"
    Control<QLineEdit>(*editor, "num")->setText("15");
    Control<QCheckBox>(*editor, "CheckBox11")->setChecked(true);
    Click(*editor, "Button2");
    const data::TaskRecord t = StoredTask(editor->editingId());
    EXPECT_EQ(t.dateMode, data::kHotkey);
    EXPECT_EQ(t.hotkey1, 1);
    EXPECT_EQ(t.hotkey2, 67);
    EXPECT_EQ(t.event, data::kEventNone);
    EXPECT_EQ(t.countdown, 15); // typing a count checks the box again
}

TEST_F(TaskFormTest, AHotkeyInUseIsNamedBeforeSavingAndMayBeSavedDisabled) {
    data::TaskRecord mail = Plain("  mail  ");
    mail.dateMode = data::kHotkey;
    mail.hotkey2 = 65; // Alt + A
    mail.openUrl = "http://mail";
    mail.id = std::stoll(store.InsertTask(mail));
    data::TaskRecord asleep = mail;
    asleep.title = "asleep";
    asleep.enabled = 0;
    asleep.hotkey2 = 66; // Alt + B, but disabled
    asleep.id = std::stoll(store.InsertTask(asleep));
    hotkeyRows = {RowOf(mail), RowOf(asleep)};
    heldByOthers = {"1/67"}; // Ctrl + C
    const std::size_t before = Stored().size();

    auto save = [this](std::unique_ptr<ui::TTaskForm>& editor, int modifier, int key) {
        editor->findChild<QComboBox*>("cbHK1")->setCurrentIndex(modifier);
        editor->findChild<QComboBox*>("cbHK2")->setCurrentIndex(key);
        editor->findChild<QCheckBox*>("CheckBox11")->setChecked(true);
        editor->findChild<QPushButton*>("Button2")->click();
    };
    const QString choice = " Choose OK to save this task disabled, or Cancel to choose another hotkey.";
    // The key's name is one unbreakable piece of the question.
    auto unbroken = [](QString name) { return name.replace(' ', QChar::Nbsp); };
    {
        QuestionAnswerer cancel(*form, 2);
        auto editor = Open(kModeNewHotkey);
        save(editor, 0, 10);
        EXPECT_EQ(cancel.questions,
                  QStringList{unbroken("Alt + A") + " is already the hotkey of the enabled task \"mail\"." +
                              choice});
        EXPECT_TRUE(editor->isVisible());
        EXPECT_TRUE(editor->findChild<QComboBox*>("cbHK2")->styleSheet().contains("red"));
        EXPECT_EQ(Stored().size(), before);
    }
    {
        QuestionAnswerer cancel(*form, 2);
        auto editor = Open(kModeNewHotkey);
        save(editor, 1, 12);
        EXPECT_EQ(cancel.questions,
                  QStringList{"Another program already holds " + unbroken("Ctrl + C") + "." + choice});
        EXPECT_EQ(Stored().size(), before);
    }
    {
        QuestionAnswerer ok(*form, 1);
        auto editor = Open(kModeNewHotkey);
        save(editor, 0, 10);
        EXPECT_EQ(ok.questions.size(), 1);
        ASSERT_EQ(Stored().size(), before + 1);
        EXPECT_EQ(Stored().back().enabled, 0);
        EXPECT_EQ(Stored().back().hotkey2, 65);
    }
    {
        // A disabled task's combination, and a task keeping its own, are no conflict.
        QuestionAnswerer none(*form, 2);
        auto fresh = Open(kModeNewHotkey);
        save(fresh, 0, 11);
        auto own = Open(kModeEditHotkey, std::to_string(mail.id));
        own->findChild<QPushButton*>("Button2")->click();
        EXPECT_TRUE(none.questions.isEmpty()) << none.questions.join("|").toStdString();
        ASSERT_EQ(Stored().size(), before + 2);
        EXPECT_EQ(Stored().back().enabled, 1);
        EXPECT_EQ(StoredTask(std::to_string(mail.id)).enabled, 1);
    }
    {
        // A timed task is not asked about the hotkey its hidden fields still hold.
        QuestionAnswerer none(*form, 2);
        auto timed = Open(kModeNewScheduled);
        timed->findChild<QComboBox*>("cbHK2")->setCurrentIndex(10);
        timed->findChild<QCheckBox*>("CheckBox11")->setChecked(true);
        timed->findChild<QPushButton*>("Button2")->click();
        EXPECT_TRUE(none.questions.isEmpty());
    }
    EXPECT_TRUE(errors.errors.isEmpty()) << errors.errors.join("\n").toStdString();
}

TEST_F(TaskFormTest, EditingAHotkeyKeepsItsPlaceUnlessTheTriggerChanges) {
    data::TaskRecord t = Plain("key");
    t.dateMode = data::kHotkey;
    t.hotkey2 = 65;
    t.hkLoop = 3;
    t.openUrl = "http://a";
    const std::string id = store.InsertTask(t);
    const std::string last = StoredTask(id).last;
    clock.set({2025, 4, 1, 12, 0, 0, 0});
    t.id = std::stoll(id);
    hotkeyRows = {RowOf(t)};
    auto editor = Open(kModeEditHotkey, id);
    Control<QLineEdit>(*editor, "title")->setText("key 2");
    Click(*editor, "Button2");
    EXPECT_EQ(StoredTask(id).last, last);
    EXPECT_EQ(StoredTask(id).title, "key 2");
    EXPECT_EQ(StoredTask(id).hkLoop, 3);

    auto moved = Open(kModeEditHotkey, id);
    Control<QRadioButton>(*moved, "RadioButton1")->setChecked(true);
    Click(*moved, "Button2");
    EXPECT_NE(StoredTask(id).last, last);
    EXPECT_EQ(StoredTask(id).dateMode, data::kDaily);
}

TEST_F(TaskFormTest, SavingEnablesRefreshesAndSelects) {
    data::TaskRecord t = Plain("sleeper");
    t.enabled = 0;
    t.openUrl = "http://b";
    const std::string id = store.InsertTask(t);
    form->RebuildRunTable();
    auto editor = Open(kModeEditScheduled, id);
    Click(*editor, "Button2");
    EXPECT_EQ(StoredTask(id).enabled, 1);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(ListRows()[form->TaskList()->selectedRow()][scheduler::kDispId], id);
    EXPECT_TRUE(form->scheduler().currentTaskId().empty());
}

TEST_F(TaskFormTest, EnterTwiceInTheMemoSaves) {
    auto editor = Open(kModeNewScheduled);
    QFocusEvent enter(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(Control<QPlainTextEdit>(*editor, "Memo1"),
                                &enter); // clicking into the memo asks for the reminder
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox12")->isChecked());
    QCoreApplication::sendEvent(Control<QLineEdit>(*editor, "edit5"), &enter);
    Control<QLineEdit>(*editor, "edit5")->clear(); // an empty address is dropped on saving
    QTest::keyClicks(Control<QPlainTextEdit>(*editor, "Memo1"), "hi");
    QTest::keyClick(Control<QPlainTextEdit>(*editor, "Memo1"), Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->editingId().empty());
    QTest::keyClick(Control<QPlainTextEdit>(*editor, "Memo1"), Qt::Key_Return);
    ASSERT_FALSE(editor->editingId().empty());
    EXPECT_EQ(StoredTask(editor->editingId()).message, "hi");
}

TEST_F(TaskFormTest, TabbingThroughTheFieldsLeavesTheActionsAlone) {
    auto editor = Open(kModeNewScheduled);
    Control<QCheckBox>(*editor, "CheckBox3")->setChecked(true); // Lock Desktop
    for (QWidget* field : std::initializer_list<QWidget*>{Control<QLineEdit>(*editor, "edit5"),
                                                          Control<QPlainTextEdit>(*editor, "Memo1")}) {
        QFocusEvent tabbed(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(field, &tabbed);
        QFocusEvent back(QEvent::FocusIn, Qt::BacktabFocusReason);
        QCoreApplication::sendEvent(field, &back);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox3")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox11")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox12")->isChecked());

    // Typing into a field is choosing its action.
    QTest::keyClicks(Control<QLineEdit>(*editor, "edit5"), "x");
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox11")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox3")->isChecked());
    Control<QCheckBox>(*editor, "CheckBox3")->setChecked(true);
    QTest::keyClicks(Control<QPlainTextEdit>(*editor, "Memo1"), "y");
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox12")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*editor, "CheckBox3")->isChecked());
    Control<QCheckBox>(*editor, "CheckBox3")->setChecked(true);
    QTest::mouseClick(Control<QLineEdit>(*editor, "edit5"), Qt::LeftButton);
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox11")->isChecked());
}

TEST_F(TaskFormTest, PickersFillTheirFields) {
    auto editor = Open(kModeNewScheduled);
    nextPick = "C:\\Tools\\app.exe";
    Click(*editor, "suiButton10");
    EXPECT_EQ(Control<QLineEdit>(*editor, "Edit3")->text(), "app.exe");
    EXPECT_TRUE(Control<QCheckBox>(*editor, "CheckBox10")->isChecked());
    nextPick = "/home/u/doc.txt";
    Click(*editor, "suiButton7");
    EXPECT_EQ(Control<QLineEdit>(*editor, "Edit4")->text(), "/home/u/doc.txt");
    EXPECT_EQ(pickedFilters, QStringList({"*.exe", "*.*"}));
    nextPick.clear();
    Click(*editor, "suiButton7");
    EXPECT_EQ(Control<QLineEdit>(*editor, "Edit4")->text(), "/home/u/doc.txt");
}

// The lines the program writes to its log while one is alive, with their categories.
class LogCapture {
  public:
    QStringList lines;
    LogCapture() : previous_(qInstallMessageHandler(&Record)) { Current() = this; }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        Current() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

  private:
    static LogCapture*& Current() {
        static LogCapture* current = nullptr;
        return current;
    }
    static void Record(QtMsgType, const QMessageLogContext& context, const QString& message) {
        if (Current()) Current()->lines << QString::fromLatin1(context.category) + ": " + message;
    }
    QtMessageHandler previous_;
};

// A failure in a command reaches the user in the error box and the journal through the log.
TEST_F(TaskFormTest, AFailedCommandIsShownAndLogged) {
    ui::TProgramForm dialog(
        *languages,
        {nullptr, [](const std::string&) { throw std::runtime_error("no such program"); }, errors});
    Control<QLineEdit>(dialog, "Edit2")->setText("/usr/bin/missing");
    LogCapture log;
    Click(dialog, "test");
    EXPECT_EQ(errors.errors, QStringList{"no such program"});
    EXPECT_EQ(log.lines, QStringList{"orvanta.ui: no such program"});
}

TEST_F(TaskFormTest, ProgramDialogSplitsAndTests) {
    ui::TProgramForm dialog(*languages,
                            {nullptr, [this](const std::string& v) { launched.push_back(v); }, errors});
    dialog.SetLaunchCommand("C:\\Tools\\app.exe | /q");
    EXPECT_EQ(Control<QLineEdit>(dialog, "Edit2")->text(), "C:\\Tools\\app.exe");
    EXPECT_EQ(Control<QLineEdit>(dialog, "Edit1")->text(), "/q");
    Click(dialog, "test");
    EXPECT_EQ(launched, std::vector<std::string>({"C:\\Tools\\app.exe|/q"}));
    Control<QLineEdit>(dialog, "Edit2")->clear();
    Click(dialog, "test");
    EXPECT_EQ(launched.size(), 1u);
}

} // namespace
} // namespace orvanta::test
