#include "data/settings/password.h"
#include "tests/ui/main_form_fixture.h"
#include "tests/ui/modal_answerer.h"
#include "tests/ui/named_controls.h"
#include "ui/options_page.h"
#include "ui/task_form.h"
#include "ui/task_form_opener.h"

#include <QAction>
#include <QCheckBox>
#include <algorithm>

namespace orvanta::test {
namespace {

namespace keys = data::settings_keys;

class SettingsLock : public MainFormTest {
  protected:
    void Protect(const std::string& password) {
        settings.write(keys::kPasswordProtection, true);
        settings.write(keys::kEncodedPassword, data::EncodePassword(password));
    }
    bool Prompt() { return ui::TLockForm::Ask(*languages, settings, cancelled); }
    // The window shown, its prompt answered and the 100 ms timer after it run out.
    void ShowAndSettle(ModalAnswerer& answers) {
        form->show();
        ASSERT_TRUE(WaitFor([&] { return answers.done() && !form->timers().Timer7.isActive(); }));
        QTest::qWait(150);
    }
    bool cancelled = false;
};

TEST_F(SettingsLock, ThePromptAcceptsOnlyTheStoredPasswordLetterCaseIncluded) {
    Protect("Secret");
    Start();
    const struct {
        const char* entry;
        bool unlocks;
    } cases[] = {{"Secret", true}, {"secret", false}, {"Secre", false}, {"", false}, {"Secret ", false}};
    for (const auto& c : cases) {
        ModalAnswerer answers;
        answers.Password(c.entry);
        if (!c.unlocks) answers.AcknowledgeNotice();
        EXPECT_EQ(Prompt(), c.unlocks) << c.entry;
        EXPECT_EQ(cancelled, !c.unlocks) << c.entry;
        EXPECT_EQ(answers.notices, c.unlocks ? QStringList{} : QStringList{"Password is wrong!"}) << c.entry;
        if (!c.unlocks) EXPECT_EQ(answers.noticeCaptions, QStringList{"Orvanta"});
        EXPECT_EQ(answers.unexpected, 0);
    }
}

TEST_F(SettingsLock, WithNoPasswordStoredOnlyTheEmptyEntryIsRight) {
    settings.write(keys::kPasswordProtection, true);
    Start();
    ModalAnswerer empty;
    empty.Password("");
    EXPECT_TRUE(Prompt());
    ModalAnswerer other;
    other.Password("x").AcknowledgeNotice();
    EXPECT_FALSE(Prompt());
}

TEST_F(SettingsLock, CancelAndTheCloseButtonLeaveThePromptCancelled) {
    Protect("abc");
    Start();
    ModalAnswerer cancel;
    cancel.CancelPrompt();
    EXPECT_FALSE(Prompt());
    ModalAnswerer close;
    close.ClosePrompt();
    EXPECT_FALSE(Prompt());
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(cancel.notices.isEmpty() && close.notices.isEmpty());
}

TEST_F(SettingsLock, EnterOnAWrongPasswordKeepsThePromptOpenForAnotherTry) {
    Protect("abc");
    Start();
    ModalAnswerer answers;
    answers.Password("abd", true).AcknowledgeNotice().Password("abc", true);
    EXPECT_TRUE(Prompt());
    EXPECT_EQ(answers.prompts, 2);
    EXPECT_EQ(answers.notices.size(), 1);
    EXPECT_EQ(answers.unexpected, 0);

    // OK on a wrong password ends the prompt after the notice.
    ModalAnswerer ok;
    ok.Password("abd").AcknowledgeNotice();
    EXPECT_FALSE(Prompt());
    EXPECT_EQ(ok.prompts, 1);
    EXPECT_EQ(ok.unexpected, 0);
}

TEST_F(SettingsLock, TheMainWindowOpensOnlyForTheRightPassword) {
    Protect("abc");
    Start();
    ModalAnswerer right;
    right.Password("abc");
    ShowAndSettle(right);
    EXPECT_EQ(right.prompts, 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->mainWindowUnlocked());

    form->MinimizeToTray();
    ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
    EXPECT_FALSE(form->mainWindowUnlocked());

    // Asked again at every showing; each failure sends the window back to the notification area.
    for (int way = 0; way < 3; ++way) {
        ModalAnswerer refused;
        if (way == 0) refused.Password("ABC").AcknowledgeNotice();
        if (way == 1) refused.CancelPrompt();
        if (way == 2) refused.ClosePrompt();
        form->ShowFromTray(0);
        ASSERT_TRUE(WaitFor([&] { return refused.done(); }));
        ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); })) << way;
        EXPECT_FALSE(form->mainWindowUnlocked()) << way;
        EXPECT_EQ(refused.unexpected, 0);
    }
}

TEST_F(SettingsLock, WithoutATrayRestoringFromTheTaskBarAsksAgain) {
    trayHosts.set({});
    Protect("abc");
    Start();
    ModalAnswerer right;
    right.Password("abc");
    ShowAndSettle(right);
    form->showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(form->isVisible()); // it stays in the task bar
    EXPECT_FALSE(form->mainWindowUnlocked());

    ModalAnswerer refused;
    refused.CancelPrompt();
    form->showNormal();
    ASSERT_TRUE(WaitFor([&] { return refused.done(); }));
    EXPECT_EQ(refused.prompts, 1);
    ASSERT_TRUE(WaitFor([&] { return form->isMinimized(); }));
    EXPECT_FALSE(form->mainWindowUnlocked());
    EXPECT_EQ(refused.unexpected, 0);

    ModalAnswerer again;
    again.Password("abc");
    form->showNormal();
    ASSERT_TRUE(WaitFor([&] { return again.done(); }));
    QTest::qWait(150);
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(form->mainWindowUnlocked());
}

// Counts the password prompts open at once while a second request for one comes in during the first.
class PromptCounter {
  public:
    explicit PromptCounter(std::function<void()> secondRequest) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, secondRequest] {
            int open = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                open += qobject_cast<ui::TLockForm*>(w) && w->isVisible();
            most = std::max(most, open);
            auto* prompt = qobject_cast<ui::TLockForm*>(QApplication::activeModalWidget());
            if (!prompt) return;
            if (!requested_) {
                requested_ = true;
                QTimer::singleShot(0, &timer_, secondRequest);
                return;
            }
            ++cancelled;
            prompt->Button1->click();
        });
        timer_.start();
    }
    int most = 0;
    int cancelled = 0;

  private:
    QTimer timer_;
    bool requested_ = false;
};

TEST_F(SettingsLock, OnlyOnePromptIsOpenAtATime) {
    Protect("abc");
    Start();
    QAction* item = form->menus().RunatWin1;
    {
        PromptCounter counter([&] { item->trigger(); });
        item->trigger();
        EXPECT_EQ(counter.most, 1);
        EXPECT_EQ(counter.cancelled, 1);
    }
    EXPECT_FALSE(item->isChecked());
    {
        // The window shown from the tray menu while the prompt of the editor is open.
        PromptCounter counter([&] { form->ShowFromTray(0); });
        EXPECT_FALSE(form->UnlockForEditor());
        EXPECT_EQ(counter.most, 1);
        ASSERT_TRUE(WaitFor([&] { return !form->isVisible() || form->isMinimized(); }));
        EXPECT_FALSE(form->mainWindowUnlocked());
    }
}

TEST_F(SettingsLock, AWrongPasswordIsClearedFromTheField) {
    Protect("abc");
    Start();
    ui::TLockForm prompt(*languages, settings, cancelled);
    prompt.show();
    prompt.Edit1->setText("abd");
    ModalAnswerer answers;
    answers.AcknowledgeNotice();
    prompt.Edit1EnterPressed();
    EXPECT_EQ(answers.notices, QStringList{"Password is wrong!"});
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(prompt.Edit1->text(), "");
    EXPECT_TRUE(cancelled);
}

TEST_F(SettingsLock, AnUnprotectedMainWindowAsksNothing) {
    settings.write(keys::kEncodedPassword, data::EncodePassword("abc"));
    Start();
    ModalAnswerer answers;
    ShowAndSettle(answers);
    EXPECT_EQ(answers.unexpected, 0);
    EXPECT_TRUE(form->mainWindowUnlocked());
}

TEST_F(SettingsLock, TheEditorAsksOnlyWhileTheMainWindowIsNotInUse) {
    Protect("abc");
    Start();
    {
        ModalAnswerer cancel;
        cancel.CancelPrompt();
        EXPECT_FALSE(form->UnlockForEditor()) << "before the main window was ever shown";
        ModalAnswerer right;
        right.Password("abc");
        EXPECT_TRUE(form->UnlockForEditor());
    }
    ModalAnswerer opening;
    opening.Password("abc");
    ShowAndSettle(opening);
    ModalAnswerer none;
    EXPECT_TRUE(form->UnlockForEditor());
    EXPECT_EQ(none.unexpected, 0) << "the unlocked main window lets the editor in without a prompt";

    form->MinimizeToTray();
    ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
    // The real editor, as "New Scheduled Task" opens it from the notification area.
    ModalAnswerer cancel;
    cancel.CancelPrompt();
    ui::TTaskForm editor(ui::MakeTaskEditorHost(*form, {*languages, clock, power, store, errors, {}}),
                         ui::TMainForm::kNewScheduledTask);
    editor.show();
    ASSERT_TRUE(WaitFor([&] { return cancel.done() && !editor.isVisible(); }));
    EXPECT_EQ(editor.result(), QDialog::Rejected);
}

TEST_F(SettingsLock, ANewTaskAskedForFromOutsideAsksThePasswordFirst) {
    Protect("abc");
    settings.writeText("tray", "tray", "1");
    Start();
    {
        ModalAnswerer cancel;
        cancel.CancelPrompt();
        form->ComeForward(true);
        ASSERT_TRUE(WaitFor([&] { return cancel.done(); }));
        ASSERT_TRUE(WaitFor([&] { return !form->isVisible(); }));
        QTest::qWait(150);
        EXPECT_TRUE(editorOpenings.empty()) << "a cancelled prompt opens no editor";
    }
    ModalAnswerer right;
    right.Password("abc");
    form->ComeForward(true);
    ASSERT_TRUE(WaitFor([&] { return !editorOpenings.empty(); }));
    EXPECT_EQ(right.prompts, 1);
    EXPECT_EQ(editorOpenings, std::vector<QString>{ui::TMainForm::kNewScheduledTask});
    // The password was just given: the editor does not ask it a second time.
    ModalAnswerer none;
    EXPECT_TRUE(form->UnlockForEditor());
    EXPECT_EQ(none.unexpected, 0);
}

TEST_F(SettingsLock, RunAtStartupFromTheTrayChangesOnlyForTheRightPassword) {
    Protect("abc");
    Start();
    QAction* item = form->menus().RunatWin1;
    ASSERT_FALSE(item->isChecked());

    ModalAnswerer cancel;
    cancel.CancelPrompt();
    item->trigger();
    ModalAnswerer wrong;
    wrong.Password("x").AcknowledgeNotice();
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(form->optionsPage(), "CheckBox1")->isChecked());
    EXPECT_TRUE(registry.readString(platform::kRunKeyPath, "Orvanta").empty());

    ModalAnswerer right;
    right.Password("abc");
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(form->optionsPage(), "CheckBox1")->isChecked());
    EXPECT_EQ(registry.readString(platform::kRunKeyPath, "Orvanta"), binFolder + "/orvanta");
    EXPECT_EQ(cancel.unexpected + wrong.unexpected + right.unexpected, 0);
}

TEST_F(SettingsLock, UnprotectedTheTrayItemTogglesWithoutAPrompt) {
    Start();
    form->Timer3Timer();
    ModalAnswerer none;
    form->menus().RunatWin1->trigger();
    EXPECT_TRUE(Control<QCheckBox>(form->optionsPage(), "CheckBox1")->isChecked());
    form->menus().RunatWin1->trigger();
    EXPECT_FALSE(form->menus().RunatWin1->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(form->optionsPage(), "CheckBox1")->isChecked());
    // One write and one delete: the box follows the item without writing again.
    ASSERT_EQ(registry.calls.size(), 3u); // the language folder entry first
    EXPECT_EQ(registry.calls[1].op, "write");
    EXPECT_EQ(registry.calls[2].op, "delete");
    EXPECT_EQ(none.unexpected, 0);
}

TEST_F(SettingsLock, ExitAndQuickLaunchStayAvailableWhileLocked) {
    Protect("abc");
    Start();
    ModalAnswerer none;
    form->menus().CloseMo1->trigger();
    EXPECT_EQ(sessionPower.calls().size(), 1u);
    form->menus().Exit2->trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(none.unexpected, 0);
}

} // namespace
} // namespace orvanta::test
