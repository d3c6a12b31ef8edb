#include "data/sqlite_connection.h"
#include "i18n/text_lookup.h"
#include "scheduler/run_table.h"
#include "tests/ui/main_form_fixture.h"
#include "ui/toggled_row_text.h"

#include <QAbstractItemView>
#include <QTest>

namespace orvanta::test {
namespace {

using scheduler::kDispEnabled;
using scheduler::kDispText;

class InPlaceToggle : public MainFormTest {
  protected:
    void ClickCheckBox(const std::string& id, int x = 10) {
        QAbstractItemView* list = form->TaskList();
        const QRect cell = list->visualRect(list->model()->index(RowOf(id), 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(x, cell.center().y()));
    }
    // The delayed refresh's ticks, without waiting for them.
    void Tick(int times) {
        for (int i = 0; i < times && form->timers().reGet.isActive(); ++i)
            form->reGetTimer();
    }
    bool StoredEnabled(const std::string& id) {
        data::DataSet all = store.readAllTasks();
        for (all.first(); !all.eof(); all.next())
            if (all.fieldAsText("id") == id) return all.fieldAsText("Enabled") == "1";
        return false;
    }
};

TEST_F(InPlaceToggle, ClickingTheBoxSwitchesAtOnceAndRebuildsOnceAfterTheCountdown) {
    const std::string first = AddTask("first", "10:00:00");
    const std::string second = AddTask("second", "11:00:00");
    Start();
    form->show();
    const int before = Rebuilds();

    ClickCheckBox(first);
    const auto& row = ListRows()[RowOf(first)];
    EXPECT_EQ(row[kDispEnabled], "0");
    EXPECT_NE(row[kDispText].find("Disabled ----"), std::string::npos);
    EXPECT_FALSE(StoredEnabled(first));
    EXPECT_TRUE(form->timers().reGet.isActive());
    EXPECT_EQ(form->reselectTaskId(), first);

    Tick(5);
    EXPECT_EQ(Rebuilds(), before);
    Tick(1);
    EXPECT_EQ(Rebuilds(), before + 1);
    EXPECT_FALSE(form->timers().reGet.isActive());
    // Disabled tasks follow the waiting ones; the toggled task is still the selected one.
    EXPECT_EQ(ListTitles(), (std::vector<std::string>{"second", "first"}));
    EXPECT_EQ(form->TaskList()->selectedRow(), RowOf(first));
}

TEST_F(InPlaceToggle, FiveQuickClicksEndEnabledOrDisabledByTheirCountWithOneRebuild) {
    const std::string task = AddTask("task", "10:00:00");
    Start();
    form->show();
    const int before = Rebuilds();
    for (int i = 0; i < 5; ++i) {
        ClickCheckBox(task);
        Tick(2); // a click about every second
    }
    EXPECT_EQ(Rebuilds(), before);
    Tick(6);
    EXPECT_EQ(Rebuilds(), before + 1);
    EXPECT_FALSE(StoredEnabled(task));
    EXPECT_EQ(ListRows()[RowOf(task)][kDispEnabled], "0");
}

TEST_F(InPlaceToggle, TheRefreshComesOnItsOwnAfterAboutThreeSeconds) {
    const std::string task = AddTask("task", "10:00:00");
    Start();
    form->show();
    const int before = Rebuilds();
    form->Disabled1Click();
    QTest::qWait(2000); // the six ticks cannot have passed yet
    EXPECT_EQ(Rebuilds(), before);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Rebuilds() == before + 1; }, 10000));
}

TEST_F(InPlaceToggle, APressOutsideTheBoxOnlySelects) {
    const std::string task = AddTask("task", "10:00:00");
    Start();
    form->show();
    ClickCheckBox(task, 40);
    EXPECT_EQ(form->reselectTaskId(), task);
    EXPECT_EQ(ListRows()[RowOf(task)][kDispEnabled], "1");
    EXPECT_FALSE(form->timers().reGet.isActive());
}

TEST_F(InPlaceToggle, APassedTaskOpensTheEditorInsteadOfBeingEnabled) {
    const std::string passed = AddTask("passed", "8:00:00", data::kOnce);
    Start();
    form->show();
    ClickCheckBox(passed);
    Select(passed);
    form->Enabled1Click();
    EXPECT_EQ(editorOpenings, (std::vector<QString>{"Edit Scheduled Task", "Edit Scheduled Task"}));
    EXPECT_EQ(form->scheduler().currentTaskId(), passed);
    EXPECT_TRUE(StoredEnabled(passed));
}

TEST_F(InPlaceToggle, ARefusedWriteLeavesTheBoxTheRowAndTheScheduleAsStored) {
    const std::string task = AddTask("task", "10:00:00");
    Start();
    {
        data::SqliteConnection db(store.path());
        db.execute(
            "CREATE TRIGGER refuse BEFORE UPDATE ON tasklist BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    }
    Select(task);
    const std::string textBefore(ListRows()[RowOf(task)][kDispText]);
    form->Disabled1Click();
    EXPECT_EQ(errors.errors.size(), 1);
    EXPECT_EQ(ListRows()[RowOf(task)][kDispEnabled], "1");
    EXPECT_EQ(ListRows()[RowOf(task)][kDispText], textBefore);
    EXPECT_TRUE(StoredEnabled(task));
    // The dispatcher still runs the task it was told stays enabled.
    const scheduler::RunTable& table = form->scheduler().table();
    ASSERT_EQ(table.taskRows.size(), 1u);
    EXPECT_EQ(table.taskRows[0][scheduler::kColEnabled], "1");
    EXPECT_EQ((*table.displayRows)[0][kDispEnabled], "1");
    EXPECT_FALSE(form->timers().reGet.isActive());
}

TEST(ToggledRowText, ARepeatingTaskReadsLoopWithLabelsJoinedByColons) {
    scheduler::TaskRow row{};
    row.Set(scheduler::kColId, "4");
    row.Set(scheduler::kColEnabled, "1");
    row.Set(scheduler::kColTitle, "Backup");
    row.Set(scheduler::kColDateMode, "1");
    row.Set(scheduler::kColYear, "2025"), row.Set(scheduler::kColMonth, "3"),
        row.Set(scheduler::kColDay, "7");
    for (std::size_t d = scheduler::kColSun; d <= scheduler::kColSat; ++d)
        row.Set(d, "0");
    row.Set(scheduler::kColTime, "9:00:00");
    row.Set(scheduler::kColEndTime, "17:00:00");
    row.Set(scheduler::kColLoop, "120");
    row.Set(scheduler::kColStatus, "Waiting");
    const i18n::EnglishTextLookup english;
    EXPECT_EQ(ui::ToggledRowText(row, english),
              "           Waiting ---- Daily ---- Loop:2 Hours  Start:9:00:00   End:17:00:00 ---- Backup");
    row.Set(scheduler::kColLoop, "0");
    row.Set(scheduler::kColEnabled, "0");
    row.Set(scheduler::kColTitle, "");
    EXPECT_EQ(ui::ToggledRowText(row, english), "           Disabled ---- Daily ---- 9:00:00 ---- No title");
}

} // namespace
} // namespace orvanta::test
