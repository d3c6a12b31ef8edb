#include "data/settings/settings.h"
#include "i18n/lang_mgr.h"
#include "platform/fake/fake_locale_info.h"
#include "platform/linux/linux_user_registry.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/named_controls.h"
#include "tests/ui/recording_ports.h"
#include "ui/lang_form.h"
#include "ui/options_page.h"

#include <QAction>
#include <QCheckBox>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

class AutostartOption : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string program = folder.path() + "/bin/orvanta";
    std::string autostartFile = folder.path() + "/config/autostart/Orvanta.desktop";
    data::Settings settings{folder.path() + "/wake.ini"};
    platform::fake::FakeLocaleInfo locale;
    i18n::TLangMgr languages{folder.path() + "/bin", '/', settings, locale};
    platform::linux_backend::LinuxUserRegistry registry{folder.path() + "/config"};
    RecordingErrorBox errors;
    QWidget window;
    ui::TLangForm texts{&window, "TMainForm", languages};
    QAction item{nullptr};
    bool locked = false;

    AutostartOption() { item.setCheckable(true); }

    std::unique_ptr<ui::OptionsPage> Page() {
        auto page = std::make_unique<ui::OptionsPage>(ui::OptionsPagePorts{languages,
                                                                           texts,
                                                                           settings,
                                                                           registry,
                                                                           program,
                                                                           '/',
                                                                           errors,
                                                                           &item,
                                                                           locked,
                                                                           [](const QString&) { return 2; },
                                                                           [] {},
                                                                           {},
                                                                           {}});
        page->LoadInitialState();
        page->Timer3Timer();
        return page;
    }
};

TEST_F(AutostartOption, AnEntryStartingAnotherProgramShowsTheOptionOff) {
    for (const char* exec : {"/opt/old/orvanta", "\"/tmp/elsewhere/orvanta\"", "orvanta"}) {
        std::filesystem::create_directories(folder.path() + "/config/autostart");
        WriteFileBytes(autostartFile, std::string("[Desktop Entry]\nType=Application\nExec=") + exec + "\n");
        auto page = Page();
        EXPECT_FALSE(Control<QCheckBox>(*page, "CheckBox1")->isChecked()) << exec;
        EXPECT_FALSE(item.isChecked()) << exec;
    }
    // This program with another argument is not this program started plainly either.
    WriteFileBytes(autostartFile, "[Desktop Entry]\nType=Application\nExec=" + program + " --hidden\n");
    EXPECT_FALSE(Control<QCheckBox>(*Page(), "CheckBox1")->isChecked());
}

TEST_F(AutostartOption, TickingWritesTheEntryForThisProgramAndUntickingRemovesIt) {
    auto page = Page();
    Control<QCheckBox>(*page, "CheckBox1")->click();
    ASSERT_TRUE(std::filesystem::exists(autostartFile));
    EXPECT_NE(ReadFileBytes(autostartFile).find("\nExec=" + program + "\n"), std::string::npos);
    EXPECT_TRUE(item.isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*Page(), "CheckBox1")->isChecked()) << "the next start sees it";

    Control<QCheckBox>(*page, "CheckBox1")->click();
    EXPECT_FALSE(std::filesystem::exists(autostartFile));
    EXPECT_FALSE(item.isChecked());
    EXPECT_TRUE(errors.errors.isEmpty());
}

} // namespace
} // namespace orvanta::test
