#include "tests/ui/task_form_fixture.h"

#include <QPalette>

namespace orvanta::test {
namespace {

// Stored rows the rebuild cannot schedule, as an older version or an imported file may have left them.
class UnscheduledRows : public TaskFormTest {
  protected:
    void SetUp() override { data::SeedTaskDatabase(store.path()); }
    int ListRow(const std::string& id) const { return MainFormTest::RowOf(id); }
    QVariant Cell(int row, int role) const {
        const auto& model = form->TaskList()->model();
        return model.data(model.index(row, 0), role);
    }
};

TEST_F(UnscheduledRows, AreListedWithTheirProblemAndReportedOnce) {
    AddTask("good", "10:00:00");
    const std::string bad = AddTask("broken", "11:00:00", data::kAnnually, true, 13, 5);
    Start();
    ASSERT_EQ(errors.errors.size(), 1);
    EXPECT_TRUE(errors.errors[0].contains("Month 13 is out of range"));

    const int row = ListRow(bad);
    ASSERT_GE(row, 0) << "the task is missing from the list";
    EXPECT_EQ(ListRows().size(), 2u);
    EXPECT_TRUE(ListRows()[row][scheduler::kDispText].find("broken") != std::string::npos);
    EXPECT_TRUE(Cell(row, Qt::ToolTipRole).toString().contains("Month 13 is out of range"));
    EXPECT_EQ(Cell(row, Qt::ForegroundRole).value<QBrush>().color(),
              form->TaskList()->palette().color(QPalette::Disabled, QPalette::Text));
    EXPECT_FALSE(Cell(1 - row, Qt::ForegroundRole).isValid());

    ui::RunGuarded(errors, [this] { form->RebuildRunTable(); });
    form->tmr302Timer();
    EXPECT_EQ(errors.errors.size(), 1) << "reported again";
    EXPECT_GE(ListRow(bad), 0);

    // The editor opens it with its stored values, so it can be mended.
    Select(bad);
    form->EditBtnClick();
    ASSERT_EQ(editorOpenings.size(), 1u);
    auto editor = Open(ui::kModeEditScheduled, bad);
    EXPECT_EQ(editor->editingId(), bad);
    EXPECT_EQ(Control<QLineEdit>(*editor, "title")->text(), "broken");
    EXPECT_EQ(Control<QComboBox>(*editor, "ComboBox11")->currentText(), "13");
    Control<QComboBox>(*editor, "ComboBox11")->setEditText("12");
    Click(*editor, "Button2");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(errors.errors.size(), 1);
    ASSERT_GE(ListRow(bad), 0);
    EXPECT_FALSE(Cell(ListRow(bad), Qt::ForegroundRole).isValid());
}

// A rebuild that leaves a task out has still read the file: a change from outside counts as taken in (the
// folder watch must not read it again, the command line must not be told it failed); a rebuild that
// could not read the file has not.
TEST_F(UnscheduledRows, ARebuildThatLeavesATaskOutHasStillReadTheFile) {
    AddTask("good", "10:00:00");
    const std::string bad = AddTask("broken", "11:00:00", data::kAnnually, true, 13, 5);
    Start();
    ASSERT_EQ(errors.errors.size(), 1);
    EXPECT_EQ(tablesRead, 1);
    EXPECT_TRUE(form->LastRebuildReadTheTable());

    AddTask("also broken", "12:00:00", data::kAnnually, true, 14, 5);
    EXPECT_THROW(form->RebuildRunTable(), Error) << "the new problem is raised";
    EXPECT_EQ(tablesRead, 2);
    EXPECT_TRUE(form->LastRebuildReadTheTable());

    std::filesystem::remove(store.path());
    std::filesystem::create_directory(store.path()); // a folder where the file was: nothing can be read
    EXPECT_THROW(form->RebuildRunTable(), Error);
    EXPECT_EQ(tablesRead, 2);
    EXPECT_FALSE(form->LastRebuildReadTheTable());
}

TEST_F(UnscheduledRows, CanBeDeletedAlsoWhenNoOtherTaskIsListed) {
    const std::string bad = AddTask("broken", "11:00:00", data::kMonthly, true, 3, 45);
    Start();
    ASSERT_EQ(ListRows().size(), 1u);
    EXPECT_EQ(ListRows()[0][scheduler::kDispId], bad);
    Select(bad);
    QuestionAnswerer yes(*form, 1);
    form->DelBtnClick();
    EXPECT_EQ(yes.questions, QStringList{"Confirm delete?"});
    EXPECT_EQ(ListRow(bad), -1);
    EXPECT_EQ(ListRows()[0][scheduler::kDispText], "None");
    EXPECT_EQ(errors.errors.size(), 1);
}

TEST_F(UnscheduledRows, ABreakageAfterAMendIsReportedAgain) {
    const std::string bad = AddTask("broken", "11:00:00", data::kMonthly, true, 3, 45);
    Start();
    data::TaskRecord t;
    t.title = "broken";
    t.dateMode = data::kMonthly;
    t.year = 2025, t.month = 3, t.day = 4;
    t.time = "11:00:00";
    t.endTime = "23:59:59";
    t.launch = "/bin/x";
    t.enabled = 1;
    store.UpdateTask(bad, t);
    ui::RunGuarded(errors, [this] { form->RebuildRunTable(); });
    EXPECT_EQ(errors.errors.size(), 1);
    t.day = 0;
    store.UpdateTask(bad, t);
    ui::RunGuarded(errors, [this] { form->RebuildRunTable(); });
    EXPECT_EQ(errors.errors.size(), 2);
}

} // namespace
} // namespace orvanta::test
