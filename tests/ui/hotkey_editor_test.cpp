#include "tests/ui/hotkey_page_fixture.h"
#include "tests/ui/named_controls.h"
#include "ui/task_form.h"
#include "ui/task_form_opener.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace orvanta::test {
namespace {

using hotkeys::kListId;
using hotkeys::kListText;

// The editor over the main window, connected to the hotkey tab as the program connects it.
class HotkeyEditorTest : public HotkeyPageTest {
  protected:
    std::unique_ptr<ui::TTaskForm> Open(const char* mode, const std::string& id = {}) {
        form->scheduler().currentTaskId() = id;
        ui::TaskEditorHost host = ui::MakeTaskEditorHost(
            *form, {*languages, clock, power, store, errors, [](const std::string&) {}});
        ui::ConnectEditorToHotkeyPage(host, *page, *form->PageControl1());
        auto editor = std::make_unique<ui::TTaskForm>(std::move(host), QString::fromLatin1(mode));
        editor->show();
        WaitUntilLoaded(*editor);
        return editor;
    }
    // The cbHK2 item of a digit or capital letter.
    static int KeyItem(char key) { return key <= '9' ? key - '0' : key - 'A' + 10; }
};

TEST_F(HotkeyEditorTest, SavingAnEditedHotkeyReloadsTheListAndSelectsItOnItsTab) {
    AddHotkey("first", 0, '1');
    const std::string second = AddHotkey("second", 0, '2');
    StartWith();
    form->PageControl1()->setCurrentIndex(0);

    auto editor = Open(ui::kModeEditHotkey, second);
    EXPECT_EQ(Control<QLineEdit>(*editor, "title")->text(), "second");
    EXPECT_TRUE(Control<QRadioButton>(*editor, "RadioButton6")->isChecked());
    Control<QLineEdit>(*editor, "title")->setText("renamed");
    Control<QComboBox>(*editor, "cbHK1")->setCurrentIndex(1);
    Control<QComboBox>(*editor, "cbHK2")->setCurrentIndex(KeyItem('Z'));
    Click(*editor, "Button2");

    EXPECT_TRUE(errors.errors.isEmpty()) << errors.errors.join("\n").toStdString();
    const int row = RowOfHotkey(second);
    ASSERT_EQ(row, 1); // kept its place
    EXPECT_EQ(Rows()[row][kListText], "           Ctrl + Z ---- renamed");
    EXPECT_EQ(List().currentRow(), row);
    EXPECT_EQ(form->PageControl1()->currentWidget()->objectName(), "TabSheet3");
    EXPECT_TRUE(globalHotkeys.isRegistered(kCtrl, 'Z'));
    EXPECT_FALSE(globalHotkeys.isRegistered(kAlt, '2'));
    EXPECT_TRUE(globalHotkeys.isRegistered(kAlt, '1'));
}

TEST_F(HotkeyEditorTest, ANewHotkeyTaskAppearsAtTheEndAndWorksAtOnce) {
    AddHotkey("old", 0, '1');
    StartWith();
    auto editor = Open(ui::kModeNewHotkey);
    EXPECT_TRUE(Control<QRadioButton>(*editor, "RadioButton6")->isChecked());
    Control<QLineEdit>(*editor, "title")->setText("fresh");
    Control<QCheckBox>(*editor, "CheckBox12")->setChecked(true);
    Control<QPlainTextEdit>(*editor, "Memo1")->setPlainText("hello");
    Control<QComboBox>(*editor, "cbHK2")->setCurrentIndex(KeyItem('B'));
    Click(*editor, "Button2");

    ASSERT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Rows()[1][kListText], "           Alt + B ---- fresh");
    EXPECT_EQ(List().currentRow(), 1);
    EXPECT_EQ(form->PageControl1()->currentIndex(), 1);
    EXPECT_TRUE(globalHotkeys.press(kAlt, 'B'));
    ASSERT_EQ(dispatched.size(), 1u);
    EXPECT_EQ(dispatched[0], Rows()[1][kListId]);
}

TEST_F(HotkeyEditorTest, SwitchingAHotkeyTaskToATimeMovesItToTheScheduledTab) {
    const std::string moved = AddHotkey("moved", 0, '5');
    StartWith();
    auto editor = Open(ui::kModeEditHotkey, moved);
    Control<QRadioButton>(*editor, "RadioButton1")->setChecked(true); // Daily
    Click(*editor, "Button2");

    EXPECT_EQ(Texts(), std::vector<std::string>{"None"});
    EXPECT_FALSE(globalHotkeys.isRegistered(kAlt, '5'));
    EXPECT_EQ(form->PageControl1()->currentIndex(), 0);
    EXPECT_EQ(RowOf(moved), form->TaskList()->selectedRow());
}

} // namespace
} // namespace orvanta::test
