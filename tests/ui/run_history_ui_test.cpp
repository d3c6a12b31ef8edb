#include "data/settings/settings.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_locale_info.h"
#include "platform/fake/fake_run_history.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/named_controls.h"
#include "tests/ui/task_form_fixture.h"
#include "ui/history_form.h"
#include "ui/reminder.h"

#include <QAction>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>

// What the confirmation window tells the run history, and the window that shows the history.
namespace orvanta::test {
namespace {

using scheduler::RunOutcome;

class ConfirmationHistoryTest : public TaskFormTest {
  protected:
    scheduler::CloseAllowanceFlag closing;
    RecordingPorts history; // its Record keeps the events

    std::unique_ptr<ui::TReminder> Remind(int countdown, const std::string& launch = "/bin/app") {
        scheduler::ReminderRequest r;
        r.taskId = "4";
        r.title = "nightly";
        r.dueKey = "2025-3-7-9-5-0";
        r.countdown = countdown;
        r.launchMarker = "OpenEXE";
        r.program = launch;
        ui::ReminderPorts ports{*languages, clock, store, actions, closing, errors, [] {}, {}};
        ports.events = &history;
        auto reminder = std::make_unique<ui::TReminder>(ports, r);
        reminder->show();
        return reminder;
    }
    std::vector<std::string> Outcomes() const {
        std::vector<std::string> words;
        for (const scheduler::RunEvent& e : history.events)
            words.push_back(std::string(scheduler::OutcomeWord(e.outcome)) + ":" + e.reason);
        return words;
    }
};

TEST_F(ConfirmationHistoryTest, EachWayOutIsToldOnceWithHowItEnded) {
    Click(*Remind(5), "Button2");
    Remind(5)->close(); // the close button passes too
    auto counting = Remind(1);
    QMetaObject::invokeMethod(Control<QTimer>(*counting, "Timer1"), "timeout", Qt::DirectConnection);
    EXPECT_EQ(Outcomes(), (std::vector<std::string>{"passed:passed by the user", "confirmation-ended:passed",
                                                    "passed:passed by the user", "confirmation-ended:passed",
                                                    "ran:the count-down ended", "confirmation-ended:ran"}));
    EXPECT_EQ(history.events.front().dueKey, "2025-3-7-9-5-0");
    EXPECT_EQ(history.events.front().action, "Launch");
}

TEST_F(ConfirmationHistoryTest, APostponementNamesTheNewMomentAndAProgramThatCannotStartIsAFailure) {
    clock.set({2025, 12, 31, 23, 50, 0, 0});
    Control<QAction>(*Remind(30), "wait15")->trigger();
    actions.failing["launch"] = {RunOutcome::kFailed, "Launch", "no such program: /no/app"};
    Click(*Remind(30, "/no/app"), "Button1");
    EXPECT_EQ(Outcomes(), (std::vector<std::string>{
                              "postponed:postponed to 2026-01-01 0:05:00", "confirmation-ended:postponed",
                              "failed:no such program: /no/app", "confirmation-ended:ran"}));
}

TEST(HistoryForm, ShowsTheLastDaysOldestFirstAndSaysWhyWhenItCannotRead) {
    test::TempFolder folder;
    platform::fake::FakeClock clock{{2025, 3, 7, 12, 0, 0, 0}};
    const std::int64_t now = clock.nowUtcMs();
    std::int64_t stamp = 0;
    platform::fake::FakeRunHistory history([&] { return stamp; });
    stamp = now - 10LL * 86'400'000; // beyond the week shown
    history.write({0, "1", "old", "2025-2-25-12-0-0", "Launch", "ran", ""});
    stamp = now - 3'600'000;
    history.write({0, "2", "backup", "2025-3-7-11-0-0", "Launch", "failed", "no such program: /x"});
    stamp = now - 60'000;
    history.write({0, "3", "keys", "", "LockWS", "ran", ""});
    data::Settings settings(folder.file("wake.ini"));
    platform::fake::FakeLocaleInfo locale;
    i18n::TLangMgr languages(folder.path(), '/', settings, locale);

    ui::THistoryForm form(languages, history, clock);
    auto* list = form.findChild<QTableWidget*>("HistoryList");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(0, 1)->text(), "2");
    EXPECT_EQ(list->item(0, 3)->text(), "2025-03-07 11:00:00");
    EXPECT_EQ(list->item(0, 4)->text(), "failed");
    EXPECT_EQ(list->item(0, 6)->text(), "no such program: /x");
    EXPECT_EQ(list->item(1, 3)->text(), "hotkey");
    EXPECT_FALSE(form.findChild<QLabel*>("ErrorLabel")->isVisibleTo(&form));

    form.findChild<QSpinBox*>("DaysBox")->setValue(30);
    EXPECT_EQ(list->rowCount(), 3);

    history.failReadsWith("no journal can be read here");
    form.Reload();
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_TRUE(form.findChild<QLabel*>("ErrorLabel")->isVisibleTo(&form));
    EXPECT_TRUE(form.findChild<QLabel*>("ErrorLabel")->text().contains("no journal can be read here"));
}

} // namespace
} // namespace orvanta::test
