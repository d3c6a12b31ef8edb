#include "actions/reminder_messages.h"
#include "data/settings/settings.h"
#include "i18n/lang_mgr.h"
#include "platform/fake/fake_alert_sound.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_locale_info.h"
#include "tests/support/temp_folder.h"
#include "ui/message_form.h"
#include "ui/message_window_port.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

class MessageWindow : public ::testing::Test {
  protected:
    TempFolder folder;
    data::Settings settings{folder.file("wake.ini")};
    platform::fake::FakeLocaleInfo locale;
    i18n::TLangMgr languages{folder.path(), '/', settings, locale};
    ui::MessageWindowPort port{languages};
    ui::TMessageForm& window = port.form();
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 5, 0, 0}};
    platform::fake::FakeAlertSound sound;

    // As a task's reminder message arrives: through the action that stamps and shows it.
    void Arrive(const std::string& message) {
        actions::ShowReminderMessage(
            port, sound, clock,
            [](const platform::LocalDateTime& at) {
                return std::to_string(at.hour) + ":" + std::to_string(at.minute);
            },
            message);
    }
};

// A run without messages never pays for the window; the first message makes it, and it stays.
TEST(MessageWindowPort, TheWindowIsMadeByTheFirstMessageAndKept) {
    TempFolder folder;
    data::Settings settings{folder.file("wake.ini")};
    platform::fake::FakeLocaleInfo locale;
    i18n::TLangMgr languages{folder.path(), '/', settings, locale};
    ui::MessageWindowPort port{languages};
    EXPECT_EQ(port.text(), "");
    EXPECT_FALSE(port.built()) << "reading the (empty) messages must not build the window";
    port.setText("one");
    port.showModeless();
    ASSERT_TRUE(port.built());
    ui::TMessageForm* first = &port.form();
    EXPECT_TRUE(first->isVisible());
    port.setText("two\r\n\r\none");
    EXPECT_EQ(&port.form(), first);
    EXPECT_EQ(port.text(), "two\r\n\r\none");
}

TEST_F(MessageWindow, StartsHiddenAtTheTopLeft) {
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.pos(), QPoint(10, 10));
    EXPECT_EQ(window.windowTitle(), "Reminder");
}

TEST_F(MessageWindow, TheNewestMessageIsOnTopWithAnEmptyLineBetween) {
    Arrive("first");
    Arrive("second");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.text(), "9:5\r\nsecond\r\n\r\n9:5\r\nfirst");
    EXPECT_EQ(window.Label1()->text(), "9:5\nsecond\n\n9:5\nfirst");
}

TEST_F(MessageWindow, TheTitleBarCloseOnlyHidesAndTheMessagesStay) {
    Arrive("old");
    window.close();
    EXPECT_FALSE(window.isVisible());
    Arrive("new");
    EXPECT_EQ(window.text(), "9:5\r\nnew\r\n\r\n9:5\r\nold");
}

TEST_F(MessageWindow, OkClearsSoOnlyLaterMessagesShow) {
    Arrive("old");
    QTest::mouseClick(window.Button1(), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.text(), "");
    Arrive("new");
    EXPECT_EQ(window.text(), "9:5\r\nnew");
}

TEST_F(MessageWindow, ALongMessageScrollsAndOkStaysInView) {
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "line " + std::to_string(i) + "\r\n";
    Arrive(many);
    QCoreApplication::processEvents();
    EXPECT_GT(window.ScrollBox1()->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(window.rect().contains(window.Button1()->geometry()));
}

} // namespace
} // namespace orvanta::test
