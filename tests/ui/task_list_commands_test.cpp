#include "tests/ui/main_form_fixture.h"

#include <QAction>

namespace orvanta::test {
namespace {

using scheduler::kDispStatus;
using Titles = std::vector<std::string>;

class TaskListCommands : public MainFormTest {};

TEST_F(TaskListCommands, DeleteAsksAndRemovesOnlyTheSelectedTaskOnOk) {
    AddTask("alpha", "10:00:00");
    const std::string beta = AddTask("beta", "11:00:00");
    Start();
    Select(beta);
    {
        QuestionAnswerer cancel(*form, 2);
        form->DelBtnClick();
        EXPECT_EQ(cancel.questions, QStringList{"Confirm delete?"});
        EXPECT_EQ(cancel.captions, (QStringList{"OK", "Cancel"}));
        EXPECT_EQ(cancel.title, "Orvanta");
    }
    EXPECT_EQ(ListTitles(), (Titles{"alpha", "beta"}));
    {
        QuestionAnswerer ok(*form, 1);
        form->DelBtnClick();
    }
    EXPECT_EQ(ListTitles(), Titles{"alpha"});
    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 1u);
}

TEST_F(TaskListCommands, EmptyDeletesEveryTimedTaskButNoHotkeyTask) {
    AddTask("alpha", "10:00:00");
    AddTask("beta", "11:00:00");
    Start();
    QuestionAnswerer ok(*form, 1);
    form->DelAllBtnClick();
    EXPECT_EQ(ok.questions, QStringList{"Confirm delete all?"});
    EXPECT_EQ(ListTitles(), Titles{"None"});
    EXPECT_EQ(store.ReadHotkeyTasks().rowCount(), 7u); // the template's samples
}

TEST_F(TaskListCommands, ClearPassedDeletesTheShownPassedTasksOnly) {
    const std::string early = AddTask("early", "8:00:00", data::kOnce);
    AddTask("late", "10:00:00", data::kOnce);
    AddTask("daily", "7:00:00");
    Start();
    ASSERT_EQ(ListRows()[RowOf(early)][kDispStatus], "Passed");
    QuestionAnswerer ok(*form, 1);
    form->DeletePassed1Click();
    EXPECT_EQ(ok.questions, QStringList{"Confirm delete?"});
    EXPECT_EQ(ListTitles(), (Titles{"late", "daily"}));
}

TEST_F(TaskListCommands, ClearDisabledAsksOnlyWhenTheListShowsADisabledTask) {
    AddTask("on", "10:00:00");
    AddTask("off", "11:00:00", data::kDaily, false);
    settings.write(data::settings_keys::kHideDisabledTasks, true);
    Start();
    QuestionAnswerer ok(*form, 1);
    form->DeleteDisabled1Click(); // hidden disabled tasks are not the list's
    EXPECT_TRUE(ok.questions.isEmpty());

    form->HideDisabledClick();
    form->DeleteDisabled1Click();
    EXPECT_EQ(ok.questions.size(), 1);
    EXPECT_EQ(ListTitles(), Titles{"on"});
    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 1u);
}

TEST_F(TaskListCommands, AListShowingOnlyNoneIgnoresEveryCommand) {
    AddTask("off", "11:00:00", data::kDaily, false);
    settings.write(data::settings_keys::kHideDisabledTasks, true);
    Start();
    ASSERT_EQ(ListTitles(), Titles{"None"});
    QuestionAnswerer ok(*form, 1);
    form->EditBtnClick();
    form->TaskListDblClick();
    form->DelBtnClick();
    form->DelAllBtnClick();
    form->DeletePassed1Click();
    form->DeleteDisabled1Click();
    EXPECT_TRUE(ok.questions.isEmpty());
    EXPECT_TRUE(editorOpenings.empty());
    EXPECT_EQ(store.ReadTimedTasks(false).rowCount(), 1u);
}

TEST_F(TaskListCommands, ModifyOpensTheEditorForTheSelectedTask) {
    AddTask("alpha", "10:00:00");
    const std::string beta = AddTask("beta", "11:00:00");
    Start();
    Select(beta);
    form->EditBtnClick();
    EXPECT_EQ(editorOpenings, std::vector<QString>{"Edit Scheduled Task"});
    EXPECT_EQ(form->scheduler().currentTaskId(), beta);
    form->NewBtnClick();
    EXPECT_EQ(form->editorMode(), "New Scheduled Task");
}

TEST_F(TaskListCommands, WithoutTheEditorItsCommandsAreOffAndNothingBreaks) {
    openTaskEditor = nullptr;
    AddTask("alpha", "10:00:00");
    Start();
    EXPECT_FALSE(form->menus().NewScheduledTask1->isEnabled());
    form->EditBtnClick();
    EXPECT_TRUE(errors.errors.isEmpty());
}

TEST_F(TaskListCommands, TheContextMenuOffersWhatTheSelectedRowAllows) {
    const std::string on = AddTask("on", "10:00:00");
    const std::string off = AddTask("off", "11:00:00", data::kDaily, false);
    const std::string passed = AddTask("passed", "8:00:00", data::kOnce);
    Start();
    const auto& m = form->menus();
    auto offered = [&](const std::string& id) {
        Select(id);
        form->PopupMenu2Popup();
        return std::pair{m.Enabled1->isEnabled(), m.Disabled1->isEnabled()};
    };
    EXPECT_EQ(offered(on), std::pair(false, true));
    EXPECT_EQ(offered(off), std::pair(true, false));
    EXPECT_EQ(offered(passed), std::pair(true, false));
}

TEST_F(TaskListCommands, ADatabaseErrorIsShownAndTheListFallsBackToNone) {
    AddTask("alpha", "10:00:00");
    Start();
    WriteFileBytes(store.path(), "not a database at all, but long enough to be read as one");
    form->HidePassedClick();
    EXPECT_EQ(errors.errors.size(), 1);
    EXPECT_EQ(ListTitles(), Titles{"None"});
    EXPECT_EQ(form->tray().hint(), "Upcoming event: None");
}

} // namespace
} // namespace orvanta::test
