#include "tests/support/temp_folder.h"
#include "tests/ui/main_form_fixture.h"
#include "ui/about_form.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace orvanta::test {
namespace {

class HelpMenu : public MainFormTest {
  protected:
    void StartWith(const ui::AboutInfo& about) {
        form.reset();
        ui::MainFormPorts ports = Ports(instance);
        ports.about = about;
        form = std::make_unique<ui::TMainForm>(ports);
        form->timers().tmr302.stop();
    }
    std::vector<platform::fake::FakeProgramLauncher::Request> Opened(const std::string& kind) const {
        std::vector<platform::fake::FakeProgramLauncher::Request> found;
        for (const auto& r : launcher.requests())
            if (r.kind == kind) found.push_back(r);
        return found;
    }
};

TEST_F(HelpMenu, TheManualOpensWhereItIsShippedAndIsGreyedWhereItIsNot) {
    StartWith({});
    EXPECT_FALSE(form->menus().UserManual1->isEnabled());
    EXPECT_FALSE(form->menus().Help2->isEnabled());
    EXPECT_FALSE(form->menus().Visitwebsite1->isEnabled());

    std::filesystem::create_directories(binFolder + "/doc");
    WriteFileBytes(binFolder + "/doc/orvanta-manual.html", "<html></html>");
    StartWith({"help@orvanta.test", "https://orvanta.test/"});
    ASSERT_TRUE(form->menus().UserManual1->isEnabled());
    form->menus().UserManual1->trigger();
    form->menus().Help2->trigger();
    const auto manual = Opened("openDocument");
    ASSERT_EQ(manual.size(), 2u);
    EXPECT_EQ(manual[0].target, binFolder + "/doc/orvanta-manual.html");
    ASSERT_TRUE(form->menus().Visitwebsite1->isEnabled());
    form->menus().Visitwebsite1->trigger();
    const auto site = Opened("openAddress");
    ASSERT_EQ(site.size(), 1u);
    EXPECT_EQ(site[0].target, "https://orvanta.test/");
}

TEST_F(HelpMenu, AboutShowsTheProductItsVersionAndTheAddressesThatAreSet) {
    StartWith({"help@orvanta.test", ""});
    QStringList seen;
    bool websiteShown = true;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto* about = qobject_cast<ui::TAboutForm*>(QApplication::activeModalWidget());
        if (!about) return;
        seen = {about->ProductLabel->text(), about->VersionLabel->text(), about->SupportAddress->text()};
        seen << (about->SupportAddress->isVisibleTo(about) ? "support shown" : "support hidden");
        websiteShown = about->WebsiteAddress->isVisibleTo(about) || about->WebsiteLabel->isVisibleTo(about);
        about->OkButton->click();
    });
    probe.start();
    form->menus().About1->trigger();
    ASSERT_EQ(seen.size(), 4);
    EXPECT_EQ(seen[0], "Orvanta");
    EXPECT_EQ(seen[1], "Version:3.00");
    EXPECT_TRUE(seen[2].contains("mailto:help@orvanta.test"));
    EXPECT_EQ(seen[3], "support shown");
    EXPECT_FALSE(websiteShown);
    seen.clear();
    form->menus().About2->trigger();
    EXPECT_EQ(seen.size(), 4) << "the tray's About opens the same box";
}

TEST_F(HelpMenu, TheAboutBoxSpeaksTheLanguageAndShowsAnAddressAsText) {
    WriteFileBytes(
        binFolder + "/Language/Orvanta.DEU",
        "[General]\nLanguage=Deutsch\n[TAboutForm]\nCaption=Info\nWebsiteLabel.Caption=Webseite:\n");
    StartWith({});
    const auto& items = languages->Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].FileName.ends_with(".DEU")) languages->SetLanguage(static_cast<int>(i));
    ui::TAboutForm about(*languages, {"", "https://orvanta.test/?a=1&b=<2>"});
    EXPECT_EQ(about.windowTitle(), "Info");
    EXPECT_EQ(about.WebsiteLabel->text(), "Webseite:");
    EXPECT_TRUE(about.WebsiteAddress->text().contains("&amp;b=&lt;2&gt;"));
    EXPECT_FALSE(about.SupportLabel->isVisibleTo(&about));
}

} // namespace
} // namespace orvanta::test
