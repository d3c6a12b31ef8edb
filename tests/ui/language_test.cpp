#include "i18n/language_file.h"
#include "tests/ui/main_form_fixture.h"
#include "tests/ui/named_controls.h"
#include "ui/options_page.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLocale>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>

namespace orvanta::test {
namespace {

const char* const kGerman = "[General]\n"
                            "Language=Deutsch\n"
                            "[TMainForm]\n"
                            "NewBtn.Caption=Neu\n"
                            "DelBtn.Caption=Entfernen\n"
                            "TabSheet1.Caption=Geplante Aufgaben\n"
                            "HideLater=Ausblenden nach Tagen\n"
                            "Wait=Wartend\n"
                            "EveryDay=Täglich\n"
                            "Upcoming=Nächstes Ereignis:\n";

// French lacks the Add button, the tab and the weekday word.
const char* const kFrench = "[General]\n"
                            "Language=Français\n"
                            "[TMainForm]\n"
                            "DelBtn.Caption=Supprimer\n"
                            "Wait=En attente\n";

class LanguageSwitch : public MainFormTest {
  protected:
    void SetUp() override {
        WriteFileBytes(binFolder + "/Language/Orvanta.DEU", kGerman);
        WriteFileBytes(binFolder + "/Language/Orvanta.FRA", kFrench);
        AddTask("Backup", "10:00:00");
        Start();
    }
    void Choose(const std::string& extension) {
        const auto& items = languages->Items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].FileName.ends_with(extension)) languages->SetLanguage(static_cast<int>(i));
    }
    QString Caption(const char* button) const { return form->findChild<QToolButton*>(button)->text(); }
};

TEST_F(LanguageSwitch, ControlsMenusAndTheListFollowTheLanguage) {
    Choose(".DEU");
    EXPECT_EQ(Caption("NewBtn"), "Neu");
    EXPECT_EQ(form->PageControl1()->tabText(0), "Geplante Aufgaben");
    EXPECT_EQ(form->menus().HideLater->text(), "Ausblenden nach Tagen > 30");
    EXPECT_EQ(ListRows()[0][scheduler::kDispText],
              "           Wartend ---- Täglich ---- 10:00:00 ---- Backup");
    EXPECT_EQ(form->tray().hint(), "Nächstes Ereignis: Täglich - 10:00:00 - Backup");
}

TEST_F(LanguageSwitch, AKeyMissingFromTheNewFileKeepsThePreviousText) {
    Choose(".DEU");
    Choose(".FRA");
    EXPECT_EQ(Caption("NewBtn"), "Neu");
    EXPECT_EQ(Caption("DelBtn"), "Supprimer");
    EXPECT_EQ(form->PageControl1()->tabText(0), "Geplante Aufgaben");
    // The list is built afresh from each lookup's own default.
    EXPECT_EQ(ListRows()[0][scheduler::kDispText],
              "           En attente ---- Daily ---- 10:00:00 ---- Backup");
}

// Saved in the ANSI code page, as an older editor leaves it.
class LanguageInItsCodePage : public MainFormTest {
  protected:
    void SetUp() override {
        WriteFileBytes(binFolder + "/Language/Orvanta.DEU",
                       "[General]\nLanguage=Deutsch\nCharset=0\n[TMainForm]\n"
                       "DelBtn.Caption=L\xF6schen\nNone=Keine Aufgaben \xFC"
                       "brig\n");
        Start();
        const auto& items = languages->Items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].FileName.ends_with(".DEU")) languages->SetLanguage(static_cast<int>(i));
    }
};

TEST_F(LanguageInItsCodePage, ShowsItsTextsAndKnowsTheEmptyList) {
    EXPECT_EQ(form->findChild<QToolButton*>("DelBtn")->text(), QString::fromUtf8("Löschen"));
    ASSERT_EQ(ListRows().size(), 1u);
    EXPECT_EQ(QString::fromStdString(std::string(ListRows()[0][scheduler::kDispText])),
              QString::fromUtf8("Keine Aufgaben übrig"));
    EXPECT_TRUE(form->TaskList()->model().ShowsNone());
    QuestionAnswerer answerer(*form, 1);
    form->DelBtnClick();
    form->DelAllBtnClick();
    EXPECT_TRUE(answerer.questions.isEmpty());
    EXPECT_TRUE(errors.errors.isEmpty());
}

// The language files as they ship.
class ShippedLanguages : public MainFormTest {
  protected:
    void SetUp() override { CopyShippedLanguages(); }
    void Choose(const std::string& extension) {
        const auto& items = languages->Items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].FileName.ends_with(extension)) languages->SetLanguage(static_cast<int>(i));
    }
};

TEST_F(ShippedLanguages, TheQuestionsAndTheToolkitsOwnTextsSpeakTheChosenLanguage) {
    settings.writeText("Option", "mfirst", "1");
    Start();
    Choose(".DEU");
    const auto german = i18n::LanguageFile::Open(binFolder + "/Language/Orvanta.DEU");
    ASSERT_NE(german, nullptr);
    QuestionAnswerer no(*form, 2);
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !no.questions.isEmpty(); }, 5000));
    EXPECT_EQ(no.questions[0], QString::fromStdString(german->text("TMainForm", "PowerTest", "<missing>")));
    EXPECT_EQ(QFileDialog::tr("All files (*)"), QString::fromUtf8("Alle Dateien (*)"));
    EXPECT_EQ(QLocale().language(), QLocale::German);
    Choose(".ENU");
    EXPECT_EQ(QFileDialog::tr("All files (*)"), "All files (*)");
    EXPECT_EQ(QLocale().language(), QLocale::English);
}

TEST_F(ShippedLanguages, NoTextNamesWindowsOnThisSystem) {
    Start();
    for (const std::string extension : {".DEU", ".ENU"}) {
        Choose(extension);
        for (const QString& text :
             {form->menus().RunatWin1->text(), Control<QCheckBox>(form->optionsPage(), "CheckBox1")->text(),
              Control<QCheckBox>(form->optionsPage(), "CheckBox1")->toolTip()})
            EXPECT_FALSE(text.contains("windows", Qt::CaseInsensitive))
                << extension << ": " << text.toStdString();
    }
}

} // namespace
} // namespace orvanta::test
