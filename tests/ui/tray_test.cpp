#include "platform/fake/fake_desktop_notifications.h"
#include "tests/ui/main_form_fixture.h"
#include "ui/desktop_notices.h"

#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <thread>

namespace orvanta::test {
namespace {

// The notification area as panels come, go and come back while the program runs.
class TrayHosts : public MainFormTest {
  protected:
    // The watch reports from a thread of its own; the window takes it up on its own thread.
    void HostsBecome(platform::TrayHosts hosts) {
        std::thread([&] { trayHosts.set(hosts); }).join();
        QCoreApplication::processEvents();
    }
    bool Hidden() {
        return QTest::qWaitFor([&] { return !form->isVisible(); }, 2000);
    }
};

TEST_F(TrayHosts, APanelThatComesLaterTakesTheIconAndGoingItBringsTheWindowBack) {
    trayHosts.set({});
    settings.writeText("tray", "tray", "1"); // start minimised: impossible without a panel
    Start();
    EXPECT_FALSE(form->StartsHidden());
    form->ShowAtStart();
    EXPECT_EQ(form->tray().icon(), nullptr);
    EXPECT_TRUE(form->statusLine().contains("notification area"));
    form->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible()); // in the task bar, as without a tray
    form->showNormal();

    HostsBecome({true, false});
    ASSERT_NE(form->tray().icon(), nullptr);
    EXPECT_TRUE(form->tray().available());
    EXPECT_TRUE(form->statusLine().isEmpty());
    EXPECT_FALSE(form->statusBar()->isVisible());
    form->showMinimized();
    EXPECT_TRUE(Hidden());

    // The panel goes while the window is in it: the window comes back, and says why it stays.
    HostsBecome({});
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(form->statusLine().contains("notification area"));
    form->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible());

    // It comes back, and the same icon is in it again.
    QSystemTrayIcon* icon = form->tray().icon();
    HostsBecome({true, false});
    EXPECT_EQ(form->tray().icon(), icon);
    EXPECT_TRUE(form->tray().available());
}

TEST_F(TrayHosts, TheIconKeepsToTheKindOfHostItWasMadeFor) {
    trayHosts.set({false, true});
    Start();
    form->show();
    ASSERT_NE(form->tray().icon(), nullptr);
    form->showMinimized();
    ASSERT_TRUE(Hidden());
    // The toolkit's icon talks to the status notifier watcher only: an embedding tray does not show it.
    HostsBecome({true, false});
    EXPECT_FALSE(form->tray().available());
    EXPECT_TRUE(form->isVisible());
    HostsBecome({true, true});
    EXPECT_TRUE(form->tray().available());
}

TEST_F(TrayHosts, ASingleActivationOpensTheWindowAsADoubleClickDoes) {
    Start();
    form->show();
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}) {
        form->showMinimized();
        ASSERT_TRUE(Hidden());
        emit form->tray().icon()->activated(reason);
        EXPECT_TRUE(form->isVisible()) << reason;
        EXPECT_FALSE(form->isMinimized()) << reason;
        EXPECT_TRUE(form->mainWindowUnlocked()) << reason;
    }
    // The context menu's click opens nothing.
    form->showMinimized();
    ASSERT_TRUE(Hidden());
    emit form->tray().icon()->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(TrayHosts, ACopyThatHandedOverStaysOutOfSightWhateverThePanelDoes) {
    platform::fake::FakeSingleInstance taken{instance.handOverAddress(), true};
    trayHosts.set({});
    form = std::make_unique<ui::TMainForm>(Ports(taken));
    ASSERT_TRUE(form->HandedOver());
    HostsBecome({true, false});
    HostsBecome({});
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->tray().icon(), nullptr);
}

// Where the balloons go: the desktop's notification server first, then the icon, then the status line.
class Balloons : public MainFormTest {
  protected:
    platform::fake::FakeDesktopNotifications server;
    std::unique_ptr<ui::DesktopNotices> desktop = std::make_unique<ui::DesktopNotices>(server);

    ~Balloons() override { form.reset(); }

    void WarnOnBattery() {
        power.setAcLineStatus(platform::AcLineStatus::Offline);
        form->tmr302Timer();
    }
};

TEST_F(Balloons, ANotificationServerTakesThemInTheProgramsName) {
    server.present = true;
    notices = desktop.get();
    Start();
    WarnOnBattery();
    ASSERT_EQ(server.shown.size(), 1u);
    const platform::NotificationRequest& shown = server.shown[0];
    EXPECT_EQ(shown.appName, "Orvanta");
    EXPECT_EQ(shown.appIcon, "org.orvanta.Orvanta");
    EXPECT_EQ(shown.desktopEntry, "org.orvanta.Orvanta");
    EXPECT_EQ(shown.urgency, platform::NotificationUrgency::Normal);
    EXPECT_EQ(shown.summary, "Orvanta");
    EXPECT_TRUE(QString::fromStdString(shown.body).startsWith("Warning: The AC power supply is unplugged"));
    EXPECT_TRUE(shown.actions.empty());
    EXPECT_FALSE(form->statusLine().startsWith("Warning"));
}

TEST_F(Balloons, WithoutAServerTheIconOrElseTheStatusLineSaysIt) {
    // A server that does not answer leaves the balloon to the icon.
    server.present = server.failing = true;
    notices = desktop.get();
    Start();
    WarnOnBattery();
    EXPECT_TRUE(server.shown.empty());
    EXPECT_FALSE(form->statusLine().startsWith("Warning"));

    form.reset();
    trayHosts.set({});
    Start();
    WarnOnBattery();
    EXPECT_TRUE(form->statusLine().startsWith("Warning: The AC power supply is unplugged"));
}

} // namespace
} // namespace orvanta::test
