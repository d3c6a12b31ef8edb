#include "data/settings/password.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/main_form_fixture.h"
#include "tests/ui/modal_answerer.h"
#include "tests/ui/named_controls.h"
#include "ui/options_page.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <fstream>
#include <set>

namespace orvanta::test {
namespace {

namespace keys = data::settings_keys;

std::set<std::string> Lines(const std::string& path) {
    std::set<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line.front() != '[') lines.insert(line);
    return lines;
}

class OptionsPageTest : public MainFormTest {
  protected:
    ui::OptionsPage& Page() { return form->optionsPage(); }
    // The settings lines a step adds; the step must remove only lines of the same keys.
    template <typename Step> std::set<std::string> Changed(Step step) {
        const std::set<std::string> before = Lines(settings.filePath());
        step();
        std::set<std::string> after = Lines(settings.filePath()), added;
        for (const std::string& line : after)
            if (!before.count(line)) added.insert(line);
        for (const std::string& line : before)
            if (!after.count(line)) {
                const std::string key = line.substr(0, line.find('='));
                bool replaced = false;
                for (const std::string& a : added)
                    replaced |= a.substr(0, a.find('=')) == key;
                EXPECT_TRUE(replaced) << "lost " << line;
            }
        return added;
    }
    void StartReady() {
        Start();
        form->Timer3Timer();
    }
};

TEST_F(OptionsPageTest, TheBoxesShowTheStoredValuesAndStartUpWritesNothingBack) {
    settings.writeText("tray", "tray", "2"); // a flag for the page, though not the text that starts hidden
    settings.write(keys::kPasswordProtection, true);
    settings.write(keys::kEncodedPassword, data::EncodePassword("abc"));
    registry.writeString(platform::kRunKeyPath, "Orvanta", binFolder + "/orvanta");
    registry.calls.clear();
    const std::string before = ReadFileBytes(settings.filePath());
    Start();
    EXPECT_FALSE(Page().OptionsReady());
    ASSERT_TRUE(WaitFor([&] { return Page().OptionsReady(); })); // Timer3, 10 ms after start
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox1")->isChecked());
    EXPECT_TRUE(form->menus().RunatWin1->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox2")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox4")->isChecked());
    EXPECT_TRUE(form->settingsLocked());
    EXPECT_FALSE(Control<QCheckBox>(Page(), "CheckBox6")->isChecked());
    EXPECT_EQ(ReadFileBytes(settings.filePath()), before);
    ASSERT_EQ(registry.calls.size(), 1u);
    EXPECT_EQ(registry.calls[0].keyPath, platform::kLangManagerKeyPath);
}

TEST_F(OptionsPageTest, EachBoxWritesExactlyItsOwnEntry) {
    StartReady();
    EXPECT_EQ(Changed([&] { Control<QCheckBox>(Page(), "CheckBox2")->click(); }),
              (std::set<std::string>{"tray=1"}));
    EXPECT_EQ(Changed([&] { Control<QCheckBox>(Page(), "CheckBox2")->click(); }),
              (std::set<std::string>{"tray=0"}));
    settings.write(keys::kEncodedPassword, data::EncodePassword("abc"));
    ModalAnswerer none;
    EXPECT_EQ(Changed([&] { Control<QCheckBox>(Page(), "CheckBox4")->click(); }),
              (std::set<std::string>{"lock=1"}));
    EXPECT_TRUE(form->settingsLocked());
    EXPECT_EQ(Changed([&] { Control<QCheckBox>(Page(), "CheckBox4")->click(); }),
              (std::set<std::string>{"lock=0"}));
    EXPECT_FALSE(form->settingsLocked());
    EXPECT_EQ(none.unexpected, 0) << "a stored password asks nothing";

    // Run at start-up lives outside the settings file.
    EXPECT_TRUE(Changed([&] { Control<QCheckBox>(Page(), "CheckBox1")->click(); }).empty());
    EXPECT_EQ(registry.readString(platform::kRunKeyPath, "Orvanta"), binFolder + "/orvanta");
    EXPECT_TRUE(form->menus().RunatWin1->isChecked());
    Control<QCheckBox>(Page(), "CheckBox1")->click();
    EXPECT_TRUE(registry.readString(platform::kRunKeyPath, "Orvanta").empty());
    EXPECT_FALSE(form->menus().RunatWin1->isChecked());
    EXPECT_EQ(registry.calls.back().op, "delete");
}

TEST_F(OptionsPageTest, ARunEntryNamingAnotherProgramShowsTheOptionOff) {
    registry.writeString(platform::kRunKeyPath, "Orvanta", "/opt/old place/orvanta");
    StartReady();
    EXPECT_FALSE(Control<QCheckBox>(Page(), "CheckBox1")->isChecked());
    EXPECT_FALSE(form->menus().RunatWin1->isChecked());
    // Turning it on points the entry at this program.
    Control<QCheckBox>(Page(), "CheckBox1")->click();
    EXPECT_EQ(registry.readString(platform::kRunKeyPath, "Orvanta"), binFolder + "/orvanta");
}

TEST_F(OptionsPageTest, ProtectionWithoutAPasswordAsksToSetOneUp) {
    StartReady();
    ModalAnswerer cancelled;
    cancelled.Answer(2);
    Control<QCheckBox>(Page(), "CheckBox4")->click();
    EXPECT_EQ(cancelled.questions,
              QStringList{"You have not set up the lock password! Do you want to set up now? "});
    EXPECT_EQ(cancelled.buttonCaptions.value(0), (QStringList{"OK", "Cancel"}));
    EXPECT_FALSE(Control<QCheckBox>(Page(), "CheckBox4")->isChecked());
    EXPECT_EQ(settings.readText("Option", "lock", ""), "0");
    EXPECT_FALSE(form->settingsLocked());

    ModalAnswerer accepted;
    accepted.Answer(1).SetPassword("", "pw", "pw").Answer(1);
    Control<QCheckBox>(Page(), "CheckBox4")->click();
    EXPECT_EQ(accepted.setPasswordDialogs, 1);
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox4")->isChecked());
    EXPECT_TRUE(form->settingsLocked());
    EXPECT_EQ(settings.read(keys::kEncodedPassword), data::EncodePassword("pw"));
    EXPECT_EQ(accepted.unexpected, 0);
}

TEST_F(OptionsPageTest, SetPasswordOpensTheDialogDirectly) {
    StartReady();
    ModalAnswerer answers;
    answers.SetPassword("", "", "");
    Control<QPushButton>(Page(), "Button2")->click();
    EXPECT_EQ(answers.setPasswordDialogs, 1);
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(OptionsPageTest, DisableEntriesGreyTheirControlsWhileTheStoredValuesStillApply) {
    const struct {
        const char* key;
        std::vector<const char*> greyed;
    } cases[] = {{"RunWithWindows", {"CheckBox1"}},
                 {"RunMinimized", {"CheckBox2"}},
                 {"ProtectPassword", {"CheckBox4", "Button2"}},
                 {"ChangeLanguage", {"CheckBox6", "TntComboBox1"}},
                 {"LockSession", {}}};
    const char* const controls[] = {"CheckBox1", "CheckBox2", "CheckBox4",
                                    "Button2",   "CheckBox6", "TntComboBox1"};
    for (const auto& c : cases) {
        form.reset();
        settings.writeText("Disable", c.key, "1");
        settings.writeText("tray", "tray", "2");
        settings.write(keys::kPasswordProtection, true);
        StartReady();
        for (const char* name : controls) {
            const bool greyed = std::find_if(c.greyed.begin(), c.greyed.end(), [&](const char* g) {
                                    return std::string(g) == name;
                                }) != c.greyed.end();
            EXPECT_EQ(Page().findChild<QWidget*>(name)->isEnabled(), !greyed) << c.key << " " << name;
        }
        EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox2")->isChecked()) << c.key;
        EXPECT_TRUE(form->settingsLocked()) << c.key;
        settings.writeText("Disable", c.key, "0");
    }
    // The notification-area twin of a greyed start-up option is greyed with it.
    form.reset();
    settings.writeText("Disable", "RunWithWindows", "1");
    StartReady();
    EXPECT_FALSE(form->menus().RunatWin1->isEnabled());
}

TEST_F(OptionsPageTest, TheResumeOptionShowsTheRealSettingAndStartsTheSettingsProgram) {
    bool passwordRequired = true;
    int reads = 0;
    passwordRequiredOnResume = [&] {
        ++reads;
        return passwordRequired;
    };
    StartReady();
    form->show();
    form->PageControl1()->setCurrentIndex(2);
    ASSERT_TRUE(WaitFor([&] { return reads == 1; }));
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox9")->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(Page(), "CheckBox9")->isChecked());
    EXPECT_TRUE(launcher.requests().empty()) << "showing the setting starts nothing";

    Control<QCheckBox>(Page(), "CheckBox9")->click();
    ASSERT_EQ(launcher.requests().size(), 1u);
    const auto request = launcher.requests()[0];
    EXPECT_EQ(request.kind, "runElevated");
    EXPECT_EQ(request.start.program, binFolder + "/Orvanta_Settings");
    EXPECT_EQ(request.start.arguments, std::vector<std::string>{"0"});
    EXPECT_TRUE(Page().Timer1.isActive());
    EXPECT_EQ(Page().Timer1.interval(), 10000);

    // The user refused the elevation: ten seconds on the box shows the real setting again.
    Page().Timer1Timer();
    EXPECT_FALSE(Control<QCheckBox>(Page(), "CheckBox9")->isChecked());
    passwordRequired = false;
    Page().Timer1Timer();
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox9")->isChecked());
    EXPECT_EQ(launcher.requests().size(), 1u) << "reading back starts nothing";
    Control<QCheckBox>(Page(), "CheckBox9")->click();
    EXPECT_EQ(launcher.requests().back().start.arguments, std::vector<std::string>{"1"});
}

TEST_F(OptionsPageTest, WithoutAReaderTheResumeOptionIsGreyedAndReadsNothing) {
    StartReady();
    form->show();
    form->PageControl1()->setCurrentIndex(2);
    QTest::qWait(20);
    EXPECT_FALSE(Control<QCheckBox>(Page(), "CheckBox9")->isEnabled());
    EXPECT_FALSE(Page().Timer1.isActive());
}

TEST_F(OptionsPageTest, TheTrayShortcutsOpenTheirTabs) {
    settings.writeText("tray", "tray", "1");
    StartReady();
    ASSERT_TRUE(form->CloseAllowed());
    form->menus().AdvancedOptions1->trigger();
    EXPECT_FALSE(form->CloseAllowed());
    EXPECT_EQ(form->PageControl1()->currentWidget(), &Page());
    form->SetCloseAllowed(true);
    form->menus().Showlist1->trigger();
    EXPECT_FALSE(form->CloseAllowed());
    EXPECT_EQ(form->PageControl1()->currentIndex(), 0);
}

const char* const kGerman =
    "[General]\n"
    "Language=Deutsch\n"
    "[TMainForm]\n"
    "CheckBox4.Caption=Programmeinstellungen mit einem recht langen Kennwort schützen\n"
    "CheckBox6.Caption=Sprache\n";

class LanguageOption : public OptionsPageTest {
  protected:
    void SetUp() override {
        WriteFileBytes(binFolder + "/Language/Orvanta.ENU", "[General]\nLanguage=English\n");
        WriteFileBytes(binFolder + "/Language/Orvanta.DEU", kGerman);
    }
    int IndexOf(const QString& name) { return Control<QComboBox>(Page(), "TntComboBox1")->findText(name); }
    void ExpectPlacedBeside(QCheckBox* box, QWidget* control) {
        EXPECT_EQ(control->x(), box->x() + box->width() + 2);
        EXPECT_GE(box->width(), box->sizeHint().width());
    }
};

TEST_F(LanguageOption, ChoosingFromTheListTicksTheBoxAndSwitches) {
    StartReady();
    ASSERT_GE(IndexOf("Deutsch(German)"), 0);
    ASSERT_GE(IndexOf("English"), 0);
    EXPECT_EQ(Control<QComboBox>(Page(), "TntComboBox1")->currentIndex(), IndexOf("English"));
    EXPECT_EQ(Page().EnglishIndex(), IndexOf("English"));
    const int englishWidth = Control<QCheckBox>(Page(), "CheckBox4")->width();

    Control<QComboBox>(Page(), "TntComboBox1")->setCurrentIndex(IndexOf("Deutsch(German)"));
    emit Control<QComboBox>(Page(), "TntComboBox1")->activated(IndexOf("Deutsch(German)"));
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox6")->isChecked());
    EXPECT_EQ(settings.read(keys::kOtherLanguageChosen), "1");
    EXPECT_EQ(settings.read(keys::kLanguageExtension), ".DEU");
    EXPECT_EQ(Control<QCheckBox>(Page(), "CheckBox4")->text(),
              "Programmeinstellungen mit einem recht langen Kennwort schützen");
    EXPECT_GT(Control<QCheckBox>(Page(), "CheckBox4")->width(), englishWidth);
    ExpectPlacedBeside(Control<QCheckBox>(Page(), "CheckBox4"), Control<QPushButton>(Page(), "Button2"));
    ExpectPlacedBeside(Control<QCheckBox>(Page(), "CheckBox6"), Control<QComboBox>(Page(), "TntComboBox1"));

    Control<QCheckBox>(Page(), "CheckBox6")->click();
    EXPECT_EQ(settings.read(keys::kOtherLanguageChosen), "0");
    EXPECT_EQ(settings.read(keys::kLanguageExtension), ".ENU");
    EXPECT_EQ(languages->CurrentIndex(), Page().EnglishIndex());
    ExpectPlacedBeside(Control<QCheckBox>(Page(), "CheckBox6"), Control<QComboBox>(Page(), "TntComboBox1"));
}

TEST_F(LanguageOption, TheInitialLoadTicksTheBoxFromTheStoredChoice) {
    settings.writeText("Lang", "Lang", ".deu");
    settings.writeText("Lan", "Lan", "1");
    Start();
    EXPECT_EQ(Control<QComboBox>(Page(), "TntComboBox1")->currentText(), "Deutsch(German)");
    EXPECT_FALSE(Control<QCheckBox>(Page(), "CheckBox6")->isChecked());
    ASSERT_TRUE(WaitFor([&] { return Page().OptionsReady(); }));
    EXPECT_TRUE(Control<QCheckBox>(Page(), "CheckBox6")->isChecked());
    EXPECT_EQ(settings.read(keys::kLanguageExtension), ".DEU");
    ExpectPlacedBeside(Control<QCheckBox>(Page(), "CheckBox4"), Control<QPushButton>(Page(), "Button2"));
}

} // namespace
} // namespace orvanta::test
