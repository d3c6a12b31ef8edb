#include "tests/ui/hotkey_page_fixture.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace orvanta::test {
namespace {

using hotkeys::kListEnabled;
using hotkeys::kListId;
using hotkeys::kListName;

const std::string kRoom = "           "; // the blanks the check box is drawn over

TEST_F(HotkeyPageTest, TheListShowsEnabledTasksFirstAndRegistersOnlyThem) {
    AddHotkey("gamma", 0, 'G', false);
    const std::string alpha = AddHotkey("alpha", 1, '7', true, 3);
    AddHotkey("   ", 0, 'A', true);
    StartWith();

    EXPECT_EQ(Texts(),
              (std::vector<std::string>{kRoom + "Ctrl + 7 ---- Repeat: 3 ---- alpha",
                                        kRoom + "Alt + A ---- No title", kRoom + "Alt + G ---- gamma"}));
    EXPECT_EQ(Rows()[0][kListId], alpha);
    EXPECT_EQ(Rows()[0][kListName], "KRL155");
    EXPECT_EQ(Rows()[1][kListName], "KRL065");
    EXPECT_EQ(Rows()[2][kListName], "");
    EXPECT_EQ(Rows()[2][kListEnabled], "0");
    EXPECT_TRUE(List().model().withCheckBoxes());
    EXPECT_EQ(globalHotkeys.registered().size(), 2u);
    EXPECT_TRUE(globalHotkeys.isRegistered(kCtrl, '7'));
    EXPECT_FALSE(globalHotkeys.isRegistered(kAlt, 'G'));
    // The first row is current from the start.
    EXPECT_EQ(List().currentRow(), 0);

    // A press runs the task once, whatever its repeat count; a disabled task's keys do nothing.
    EXPECT_TRUE(globalHotkeys.press(kCtrl, '7'));
    EXPECT_FALSE(globalHotkeys.press(kAlt, 'G'));
    EXPECT_EQ(dispatched, std::vector<std::string>{alpha});
}

TEST_F(HotkeyPageTest, TheTemplatesHotkeyTasksAreListedUnticked) {
    StartWith(true);
    ASSERT_EQ(Rows().size(), 7u);
    for (const auto& row : Rows()) {
        EXPECT_EQ(row[kListEnabled], "0");
        EXPECT_EQ(row[kListName], "");
    }
    EXPECT_EQ(globalHotkeys.registerCalls(), 0);
}

TEST_F(HotkeyPageTest, ARefusedCombinationShowsRegisterFailedAndDoesNotRun) {
    globalHotkeys.takeByOtherProgram(kAlt, 'J');
    const std::string taken = AddHotkey("taken", 0, 'J');
    const std::string first = AddHotkey("first", 0, 'K');
    const std::string second = AddHotkey("second", 0, 'K');
    StartWith();

    EXPECT_EQ(Texts(), (std::vector<std::string>{kRoom + "Register failed ---- Alt + J ---- taken",
                                                 kRoom + "Alt + K ---- first",
                                                 kRoom + "Register failed ---- Alt + K ---- second"}));
    EXPECT_EQ(Rows()[0][kListName], "");
    EXPECT_EQ(Rows()[2][kListName], "");
    globalHotkeys.press(kAlt, 'K');
    EXPECT_EQ(dispatched, std::vector<std::string>{first});
    EXPECT_TRUE(errors.errors.isEmpty());

    // Each reload gives back what the previous one took, so the earlier task keeps its combination.
    page->LoadHotkeyTasks();
    page->LoadHotkeyTasks();
    EXPECT_EQ(globalHotkeys.registered().size(), 1u);
    EXPECT_EQ(Rows()[1][kListName], "KRL075");
    EXPECT_EQ(Rows()[0][kListId], taken);
    EXPECT_EQ(Rows()[2][kListId], second);
}

TEST_F(HotkeyPageTest, WithoutADisplayEveryEnabledTaskShowsRegisterFailed) {
    globalHotkeys.setUnavailable(true);
    AddHotkey("one", 0, '1');
    AddHotkey("two", 1, '2', false);
    StartWith();
    EXPECT_EQ(Texts(), (std::vector<std::string>{kRoom + "Register failed ---- Alt + 1 ---- one",
                                                 kRoom + "Ctrl + 2 ---- two"}));
    EXPECT_TRUE(errors.errors.isEmpty());
}

// The hint of a failed row is the reason, in the language of the window: the desktop's own where it
// gives no program hotkeys, else that someone holds the combination.
TEST_F(HotkeyPageTest, TheHintOfARegisterFailedRowSaysWhy) {
    platform::fake::FakeDesktopFeatures desktop;
    desktop.refuse(platform::DesktopFeature::GlobalHotkeys, "WaylandNoHotkeys", "no GlobalShortcuts portal");
    features = &desktop;
    globalHotkeys.takeByOtherProgram(kAlt, '1');
    AddHotkey("one", 0, '1');
    AddHotkey("two", 0, '2');
    WriteFileBytes(binFolder + "/Language/Orvanta.DEU",
                   "[General]\nLanguage=Deutsch\n[TMainForm]\nWaylandNoHotkeys=kein Portal\n");
    StartWith();
    auto hint = [this](int row) {
        return List().model().data(List().model().index(row, 0), Qt::ToolTipRole).toString().toStdString();
    };
    EXPECT_EQ(hint(0), "Another program, or another task listed above, holds this combination.");
    EXPECT_EQ(hint(1), Texts()[1]) << "a registered row keeps its text as its tooltip";

    globalHotkeys.setUnavailable(true);
    const auto& items = languages->Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].FileName.ends_with(".DEU")) languages->SetLanguage(static_cast<int>(i));
    page->LoadHotkeyTasks();
    EXPECT_EQ(hint(0), "kein Portal");
    EXPECT_EQ(hint(1), "kein Portal");
}

// A desktop that asks the user before it binds answers long after the load: its refusal shows on the list
// then, as Register failed with the desktop's reason as the row's hint.
TEST_F(HotkeyPageTest, ARefusalTheDesktopTellsAfterTheLoadShowsOnTheList) {
    AddHotkey("kept", 0, 'A');
    AddHotkey("moved", 0, 'B');
    StartWith();
    globalHotkeys.setOnBound(
        [this](std::vector<platform::HotkeyRefusal> refused) { page->ShowLateRefusals(std::move(refused)); });
    auto* list = form->findChild<ui::HotkeyListView*>();
    ASSERT_NE(list, nullptr);
    auto text = [list](int row) {
        return list->model().data(list->model().index(row, 0), Qt::DisplayRole).toString().toStdString();
    };
    auto hint = [list](int row) {
        return list->model().data(list->model().index(row, 0), Qt::ToolTipRole).toString().toStdString();
    };
    EXPECT_EQ(text(1).find("Register failed"), std::string::npos);

    globalHotkeys.bindEndsLater(
        {{registrar.atomOf("KRL066"), platform::HotkeyRefusal::Why::AssignedOther, "Ctrl+Shift+B"}});
    EXPECT_EQ(Texts(), (std::vector<std::string>{kRoom + "Alt + A ---- kept",
                                                 kRoom + "Register failed ---- Alt + B ---- moved"}));
    EXPECT_EQ(hint(1), "The desktop bound this shortcut to Ctrl+Shift+B instead.");
    EXPECT_EQ(hint(0), text(0));
}

TEST_F(HotkeyPageTest, WithoutHotkeyTasksOnlyAddDoesAnything) {
    AddTask("timed", "10:00:00");
    StartWith();
    EXPECT_EQ(Texts(), std::vector<std::string>{"None"});
    EXPECT_FALSE(List().model().withCheckBoxes());

    QuestionAnswerer answer(*form, 1);
    page->EditBtn2Click();
    page->DelBtn2Click();
    page->DelAllBtn2Click();
    page->ClearAllDisabled1Click();
    ClickRow(0, 10);
    EXPECT_TRUE(answer.questions.isEmpty());
    EXPECT_TRUE(hotkeyEditorOpenings.empty());
    EXPECT_FALSE(page->reGet_hk().isActive());
    EXPECT_EQ(ListRows().size(), 1u); // the timed task is untouched

    page->newBtn2Click();
    ASSERT_EQ(hotkeyEditorOpenings.size(), 1u);
    EXPECT_EQ(hotkeyEditorOpenings[0].first, "New Hotkey");
}

TEST_F(HotkeyPageTest, ModifyAndDoubleClickEditTheCurrentTask) {
    AddHotkey("one", 0, '1');
    const std::string two = AddHotkey("two", 0, '2');
    StartWith();
    List().selectRow(RowOfHotkey(two));
    page->findChild<QToolButton*>("EditBtn2")->click();
    form->PageControl1()->setCurrentIndex(1);
    List().resize(400, 300);
    const QRect cell = List().visualRect(List().model().index(0, 0));
    const QPoint at(100, cell.center().y());
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(hotkeyEditorOpenings.size(), 2u);
    EXPECT_EQ(hotkeyEditorOpenings[0], std::make_pair(QString("Edit Hotkey Settings"), two));
    EXPECT_EQ(hotkeyEditorOpenings[1].first, "Edit Hotkey Settings");
    EXPECT_EQ(hotkeyEditorOpenings[1].second, Rows()[0][kListId]);
}

TEST_F(HotkeyPageTest, DeleteAsksAndRemovesTheCurrentTaskAndItsCombination) {
    const std::string one = AddHotkey("one", 0, '1');
    const std::string two = AddHotkey("two", 0, '2');
    StartWith();
    List().selectRow(RowOfHotkey(two));
    {
        QuestionAnswerer answer(*form, 2);
        page->DelBtn2Click();
        EXPECT_EQ(answer.questions, QStringList{"Confirm delete?"});
        EXPECT_EQ(answer.captions, (QStringList{"OK", "Cancel"}));
        EXPECT_EQ(answer.title, form->windowTitle());
    }
    EXPECT_EQ(Rows().size(), 2u);
    {
        QuestionAnswerer answer(*form, 1);
        page->DelBtn2Click();
    }
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][kListId], one);
    EXPECT_FALSE(globalHotkeys.isRegistered(kAlt, '2'));
    EXPECT_TRUE(globalHotkeys.isRegistered(kAlt, '1'));
    EXPECT_FALSE(globalHotkeys.press(kAlt, '2'));
}

TEST_F(HotkeyPageTest, EmptyRemovesEveryHotkeyTaskButNoTimedOne) {
    AddHotkey("one", 0, '1');
    AddHotkey("two", 1, '2', false);
    AddTask("timed", "10:00:00");
    StartWith();
    {
        QuestionAnswerer answer(*form, 1);
        page->DelAllBtn2Click();
        EXPECT_EQ(answer.questions, QStringList{"Confirm delete all?"});
    }
    EXPECT_EQ(Texts(), std::vector<std::string>{"None"});
    EXPECT_TRUE(globalHotkeys.registered().empty());
    EXPECT_EQ(store.ReadHotkeyTasks().rowCount(), 0u);
    EXPECT_EQ(store.readAllTasks().rowCount(), 1u);
}

TEST_F(HotkeyPageTest, ClearDisabledAsksOnlyWhenADisabledTaskIsListed) {
    const std::string on = AddHotkey("on", 0, '1');
    StartWith();
    {
        QuestionAnswerer answer(*form, 1);
        page->findChild<QAction*>("ClearAllDisabled1")->trigger();
        EXPECT_TRUE(answer.questions.isEmpty());
    }
    AddHotkey("off", 0, '2', false);
    page->LoadHotkeyTasks();
    {
        QuestionAnswerer answer(*form, 1);
        page->ClearAllDisabled1Click();
        EXPECT_EQ(answer.questions, QStringList{"Confirm delete?"});
    }
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][kListId], on);
    EXPECT_TRUE(globalHotkeys.isRegistered(kAlt, '1'));
}

TEST_F(HotkeyPageTest, ACheckBoxClickWritesAtOnceAndRegistersOnlyAtTheDelayedReload) {
    const std::string on = AddHotkey("on", 0, '1');
    const std::string off = AddHotkey("off", 0, '2', false);
    StartWith();
    ASSERT_EQ(RowOfHotkey(off), 1);

    ClickRow(1, 10);
    EXPECT_TRUE(StoredEnabled(off));
    EXPECT_EQ(Rows()[1][kListEnabled], "1");
    EXPECT_EQ(page->hotkeys().list()[1][kListEnabled], "1");
    EXPECT_EQ(page->selectedHotkeyId(), off);
    EXPECT_TRUE(page->reGet_hk().isActive());
    EXPECT_EQ(page->reGet_hk().interval(), 500);

    // Disabling the other: its combination keeps working until the reload.
    ClickRow(0, 5);
    EXPECT_FALSE(StoredEnabled(on));
    EXPECT_TRUE(globalHotkeys.press(kAlt, '1'));
    EXPECT_FALSE(globalHotkeys.press(kAlt, '2'));
    EXPECT_EQ(dispatched, std::vector<std::string>{on});

    Tick(5); // the wait each click starts again
    EXPECT_TRUE(page->reGet_hk().isActive());
    EXPECT_TRUE(globalHotkeys.isRegistered(kAlt, '1'));
    Tick(1);
    EXPECT_FALSE(page->reGet_hk().isActive());
    EXPECT_FALSE(globalHotkeys.isRegistered(kAlt, '1'));
    EXPECT_TRUE(globalHotkeys.isRegistered(kAlt, '2'));
    // The last clicked task is current again, in its new place.
    EXPECT_EQ(RowOfHotkey(off), 0);
    EXPECT_EQ(List().currentRow(), RowOfHotkey(on));
}

TEST_F(HotkeyPageTest, APressBesideTheBoxOnlyRemembersTheTaskForTheReload) {
    AddHotkey("a", 0, '1');
    const std::string b = AddHotkey("b", 0, '2');
    AddHotkey("c", 0, '3', false);
    StartWith();
    for (int x : {3, 19, 100}) {
        ClickRow(RowOfHotkey(b), x);
        EXPECT_TRUE(StoredEnabled(b)) << x;
    }
    EXPECT_EQ(page->selectedHotkeyId(), b);
    // Another task is added meanwhile; the reload shows it and keeps the remembered task current.
    AddHotkey("d", 0, '4');
    List().selectRow(0);
    Tick(6);
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(List().currentRow(), RowOfHotkey(b));
}

TEST_F(HotkeyPageTest, AStoreFailureIsShownAndNothingPretendsToHaveChanged) {
    AddHotkey("one", 0, '1');
    StartWith();
    ASSERT_TRUE(globalHotkeys.isRegistered(kAlt, '1'));
    WriteFileBytes(store.path(), std::string(4096, 'x')); // no database any more

    // The refused toggle leaves the box ticked, as the task still is.
    ClickRow(0, 10);
    EXPECT_EQ(errors.errors.size(), 1);
    EXPECT_EQ(Rows()[0][kListEnabled], "1");
    EXPECT_EQ(page->hotkeys().table()[0][scheduler::kColEnabled], "1");

    // A failed load leaves the "None" list with nothing registered.
    ui::RunGuarded(errors, [this] { page->LoadHotkeyTasks(); });
    EXPECT_EQ(errors.errors.size(), 2);
    EXPECT_EQ(Texts(), std::vector<std::string>{"None"});
    EXPECT_TRUE(globalHotkeys.registered().empty());
}

TEST_F(HotkeyPageTest, TheTabsTextsComeFromTheLanguageFile) {
    WriteFileBytes(binFolder + "/Language/Orvanta.DEU", "[General]\nLanguage=Deutsch\n[TMainForm]\n"
                                                        "newBtn2.Caption=Neu\nClearAllDisabled1.Caption=Aus\n"
                                                        "RegFailed=Gescheitert\nNone=Keine\n");
    globalHotkeys.takeByOtherProgram(kCtrl, 'Q');
    AddHotkey("q", 1, 'Q');
    StartWith();
    const auto& items = languages->Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].FileName.ends_with(".DEU")) languages->SetLanguage(static_cast<int>(i));
    page->LoadHotkeyTasks();
    EXPECT_EQ(page->findChild<QToolButton*>("newBtn2")->text(), "Neu");
    EXPECT_EQ(page->findChild<QAction*>("ClearAllDisabled1")->text(), "Aus");
    EXPECT_EQ(Texts(), std::vector<std::string>{kRoom + "Gescheitert ---- Ctrl + Q ---- q"});
    store.DeleteAllHotkeyTasks();
    page->LoadHotkeyTasks();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Keine"});
    // The commands still know the list is empty.
    QuestionAnswerer answer(*form, 1);
    page->DelAllBtn2Click();
    EXPECT_TRUE(answer.questions.isEmpty());
}

} // namespace
} // namespace orvanta::test
