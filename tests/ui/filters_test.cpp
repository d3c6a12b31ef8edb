#include "tests/ui/main_form_fixture.h"
#include "ui/day_limit_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace orvanta::test {
namespace {

namespace keys = data::settings_keys;
using Titles = std::vector<std::string>;

class ListFilters : public MainFormTest {
  protected:
    // Opens the day-limit question, lets the test work the open dialog, and returns when it has closed.
    void AnswerDayLimit(const std::function<void(ui::DayLimitDialog&)>& answer) {
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (ui::DayLimitDialog* dialog = form->openDayLimitDialog(); dialog && dialog->isVisible()) {
                poll.stop();
                answer(*dialog);
            }
        });
        poll.start();
        form->HideLaterClick();
    }
};

TEST_F(ListFilters, StartUpTakesTheFiltersAndTheDayLimitFromTheSettings) {
    settings.write(keys::kHidePassedTasks, true);
    settings.write(keys::kHideDistantTasks, true);
    settings.write(keys::kDistantTaskDays, 12);
    Start();
    const auto& m = form->menus();
    EXPECT_TRUE(m.HidePassed->isChecked());
    EXPECT_FALSE(m.HideDisabled->isChecked());
    EXPECT_TRUE(m.HideLater->isChecked());
    EXPECT_EQ(m.HideLater->text(), "Hide pending days > 12");
    EXPECT_TRUE(form->scheduler().filters().hidePassed);
    EXPECT_EQ(form->scheduler().filters().hideDays, 12);
}

TEST_F(ListFilters, HidePassedAndHideDisabledToggleStoreAndRebuild) {
    AddTask("passed", "8:00:00", data::kOnce);
    AddTask("off", "11:00:00", data::kDaily, false);
    AddTask("on", "10:00:00");
    Start();
    EXPECT_EQ(ListTitles(), (Titles{"on", "off", "passed"}));

    form->HidePassedClick();
    EXPECT_TRUE(form->menus().HidePassed->isChecked());
    EXPECT_TRUE(settings.read(keys::kHidePassedTasks));
    EXPECT_EQ(ListTitles(), (Titles{"on", "off"}));

    form->HideDisabledClick();
    EXPECT_TRUE(settings.read(keys::kHideDisabledTasks));
    EXPECT_EQ(ListTitles(), Titles{"on"});

    form->HidePassedClick();
    form->HideDisabledClick();
    EXPECT_FALSE(settings.read(keys::kHidePassedTasks));
    EXPECT_FALSE(form->menus().HideDisabled->isChecked());
    EXPECT_EQ(ListTitles().size(), 3u);
}

TEST_F(ListFilters, HideLaterAsksForTheDayLimitInADigitsOnlyField) {
    AddTask("soon", "10:00:00", data::kOnce);
    AddTask("far", "10:00:00", data::kOnce, true, 6, 1);
    Start();
    ASSERT_EQ(ListTitles(), (Titles{"soon", "far"}));
    QString prompt;
    AnswerDayLimit([&](ui::DayLimitDialog& dialog) {
        prompt = dialog.prompt()->text();
        EXPECT_EQ(dialog.windowTitle(), "Input number");
        EXPECT_EQ(dialog.entry()->text(), "30");
        dialog.entry()->clear();
        QTest::keyClicks(dialog.entry(), "1x-5");
        EXPECT_EQ(dialog.entry()->text(), "15");
        dialog.accept();
    });
    EXPECT_TRUE(
        prompt.startsWith("The pending tasks after how many days from now in the list will be hided?"));
    EXPECT_TRUE(prompt.endsWith(QString(21, ' ')));
    EXPECT_TRUE(form->menus().HideLater->isChecked());
    EXPECT_EQ(form->menus().HideLater->text(), "Hide pending days > 15");
    EXPECT_TRUE(settings.read(keys::kHideDistantTasks));
    EXPECT_EQ(settings.read(keys::kDistantTaskDays), 15);
    EXPECT_EQ(ListTitles(), Titles{"soon"});

    form->HideLaterClick(); // checked: switches off without asking
    EXPECT_FALSE(form->menus().HideLater->isChecked());
    EXPECT_FALSE(settings.read(keys::kHideDistantTasks));
    EXPECT_EQ(settings.read(keys::kDistantTaskDays), 15);
    EXPECT_EQ(ListTitles().size(), 2u);
}

TEST_F(ListFilters, CancellingOrZeroLeavesTheFilterOffButStillStoresAndRebuilds) {
    Start();
    const int before = Rebuilds();
    AnswerDayLimit([](ui::DayLimitDialog& dialog) { dialog.reject(); });
    AnswerDayLimit([](ui::DayLimitDialog& dialog) {
        dialog.entry()->setText("0");
        dialog.accept();
    });
    AnswerDayLimit([](ui::DayLimitDialog& dialog) {
        dialog.entry()->clear();
        dialog.accept();
    });
    EXPECT_FALSE(form->menus().HideLater->isChecked());
    EXPECT_FALSE(settings.read(keys::kHideDistantTasks));
    EXPECT_EQ(settings.readText("Option", "HideDays", ""), "30");
    EXPECT_EQ(Rebuilds(), before + 3);
}

} // namespace
} // namespace orvanta::test
