#include "data/settings/settings.h"
#include "i18n/lang_mgr.h"
#include "platform/fake/fake_locale_info.h"
#include "ui/lang_form.h"
#include "ui/lang_format.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <optional>

using orvanta::i18n::TLangMgr;
using orvanta::ui::TLangForm;

namespace {

// A window with one control of every kind the translation knows, and some it must leave alone.
class SampleForm : public QMainWindow, public TLangForm {
  public:
    explicit SampleForm(TLangMgr& manager) : TLangForm(this, "TSampleForm", manager) {
        setWindowTitle("Scheduler");
        auto* central = new QWidget(this);
        setCentralWidget(central);
        auto* layout = new QVBoxLayout(central);
        button = add<QPushButton>(layout, "OkBtn", "OK");
        button->setToolTip("Confirm the choice");
        label = add<QLabel>(layout, "Label1", "Time:");
        edit = add<QLineEdit>(layout, "Edit1", "untitled");
        dateTime = add<QDateTimeEdit>(layout, "DateTimePicker1", "");
        group = new QGroupBox("Options", central);
        group->setObjectName("GroupBox1");
        layout->addWidget(group);
        checkBox = new QCheckBox("Hide passed", group);
        checkBox->setObjectName("CheckBox1");
        tabs = new QTabWidget(central);
        layout->addWidget(tabs);
        auto* page = new QWidget;
        page->setObjectName("TabSheet1");
        tabs->addTab(page, "Tasks");

        auto* dialog = new QDialog(this);
        dialogButton = new QPushButton("Close", dialog);
        dialogButton->setObjectName("DialogBtn");

        menu = menuBar()->addMenu("File");
        menu->setObjectName("File1");
        exitAction = menu->addAction("Exit");
        exitAction->setObjectName("Exit1");
        separator = new QAction("-", menu);
        separator->setObjectName("N1");
        menu->addAction(separator);

        ReloadLanguage();
    }

    QPushButton* button;
    QLabel* label;
    QLineEdit* edit;
    QDateTimeEdit* dateTime;
    QGroupBox* group;
    QCheckBox* checkBox;
    QTabWidget* tabs;
    QMenu* menu;
    QAction* exitAction;
    QAction* separator;
    QPushButton* dialogButton;

  private:
    template <typename Control> Control* add(QVBoxLayout* layout, const char* name, const char* text) {
        auto* control = new Control(centralWidget());
        control->setObjectName(name);
        if constexpr (!std::is_same_v<Control, QDateTimeEdit>) control->setText(text);
        layout->addWidget(control);
        return control;
    }
};

const char* const kGerman = "[General]\n"
                            "Language=Deutsch\n"
                            "FontName=DejaVu Sans\n"
                            "FontSize=14\n"
                            "Charset=0\n"
                            "[TSampleForm]\n"
                            "Caption=Planer\n"
                            "OkBtn.Caption=Übernehmen\n"
                            "OkBtn.Hint=Auswahl bestätigen\n"
                            "Label1.Caption=Zeit:\n"
                            "Edit1.Text=ohne Titel\n"
                            "DateTimePicker1.Text=01.01.2000 00:00\n"
                            "DateTimePicker1.Hint=darf nicht erscheinen\n"
                            "qt_tabwidget_tabbar.Hint=darf nicht erscheinen\n"
                            "GroupBox1.Caption=Optionen\n"
                            "CheckBox1.Caption=Vergangene ausblenden\n"
                            "TabSheet1.Caption=Aufgaben\n"
                            "File1.Caption=Datei\n"
                            "Exit1.Caption=Beenden\n"
                            "N1.Caption=Trenner\n"
                            "DialogBtn.Caption=darf nicht erscheinen\n"
                            "Greeting=Hallo %s, noch %d Aufgaben\n"
                            "Broken=Hallo %s und %s\n";

// French lacks the button, the check box and the font.
const char* const kFrench = "[General]\n"
                            "Language=Français\n"
                            "[TSampleForm]\n"
                            "Caption=Planificateur\n"
                            "Label1.Caption=Heure :\n"
                            "File1.Caption=Fichier\n";

} // namespace

class LangFormTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void translatesEveryKindOfControlFromTheCurrentFile();
    void leavesSeparatorsDateTimeFieldsAndOtherWindowsAlone();
    void aKeyMissingFromTheNewLanguageKeepsThePreviousText();
    void aWindowCreatedAfterAChangeComesUpInTheNewLanguage();
    void redrawingIsSuspendedWhileTranslating();
    void lookupsFormatTheirArguments();
    void formatTextFollowsPrintfConventions();

  private:
    void writeLanguage(const QString& extension, const char* content) {
        QFile file(folder->filePath("Language/Orvanta" + extension));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    int indexOf(const QString& extension) const {
        std::vector<std::string> files;
        manager->GetLanguageFiles(files);
        for (std::size_t i = 0; i < files.size(); ++i)
            if (QString::fromStdString(files[i]).endsWith(extension)) return static_cast<int>(i);
        return -1;
    }
    void switchTo(const QString& extension) { manager->SetLanguage(indexOf(extension)); }

    std::optional<QTemporaryDir> folder;
    std::optional<orvanta::data::Settings> settings;
    orvanta::platform::fake::FakeLocaleInfo locale;
    std::unique_ptr<TLangMgr> manager;
};

void LangFormTest::init() {
    folder.emplace();
    QVERIFY(folder->isValid());
    QVERIFY(QDir(folder->path()).mkdir("Language"));
    writeLanguage(".DEU", kGerman);
    writeLanguage(".FRA", kFrench);
    settings.emplace(folder->filePath("wake.ini").toStdString());
    manager = std::make_unique<TLangMgr>(folder->path().toStdString(), '/', *settings, locale);
    QCOMPARE(manager->CurrentIndex(), -1); // no English file: nothing is current at first
}

void LangFormTest::cleanup() {
    QVERIFY_THROWS_NO_EXCEPTION(manager->CheckNoListeners());
    manager.reset();
    settings.reset();
    folder.reset();
}

void LangFormTest::translatesEveryKindOfControlFromTheCurrentFile() {
    SampleForm english(*manager);
    QCOMPARE(english.windowTitle(), QString("Scheduler"));
    QCOMPARE(english.button->text(), QString("OK"));
    QCOMPARE(english.GetLangText("Greeting", "Hello"), QString("Hello"));

    switchTo(".DEU");
    SampleForm later(*manager);
    for (SampleForm* form : {&english, &later}) {
        QCOMPARE(form->windowTitle(), QString("Planer"));
        QCOMPARE(form->button->text(), QString("Übernehmen"));
        QCOMPARE(form->button->toolTip(), QString("Auswahl bestätigen"));
        QCOMPARE(form->label->text(), QString("Zeit:"));
        QCOMPARE(form->edit->text(), QString("ohne Titel"));
        QCOMPARE(form->group->title(), QString("Optionen"));
        QCOMPARE(form->checkBox->text(), QString("Vergangene ausblenden"));
        QCOMPARE(form->tabs->tabText(0), QString("Aufgaben"));
        QCOMPARE(form->menu->title(), QString("Datei"));
        QCOMPARE(form->exitAction->text(), QString("Beenden"));
        QCOMPARE(form->font().family(), QString("DejaVu Sans"));
        QCOMPARE(form->font().pointSize(), 14);
    }
}

void LangFormTest::leavesSeparatorsDateTimeFieldsAndOtherWindowsAlone() {
    switchTo(".DEU");
    SampleForm form(*manager);
    QCOMPARE(form.separator->text(), QString("-"));
    QVERIFY(form.dateTime->toolTip().isEmpty());
    QVERIFY(form.tabs->tabBar()->toolTip().isEmpty());     // a part Qt builds inside the tab widget
    QCOMPARE(form.dialogButton->text(), QString("Close")); // another window's control
    QVERIFY(!form.dateTime->text().contains("darf nicht"));
    QCOMPARE(form.dateTime->dateTime(), QDateTimeEdit().dateTime());
}

void LangFormTest::aKeyMissingFromTheNewLanguageKeepsThePreviousText() {
    switchTo(".DEU");
    SampleForm form(*manager);
    switchTo(".FRA");
    QCOMPARE(form.windowTitle(), QString("Planificateur"));
    QCOMPARE(form.label->text(), QString("Heure :"));
    QCOMPARE(form.menu->title(), QString("Fichier"));
    QCOMPARE(form.button->text(), QString("Übernehmen"));
    QCOMPARE(form.checkBox->text(), QString("Vergangene ausblenden"));
    QCOMPARE(form.font().pointSize(), 14);
    // Lookups, unlike controls, fall back to the built-in English.
    QCOMPARE(form.GetLangText("Greeting", "Hello"), QString("Hello"));
}

void LangFormTest::aWindowCreatedAfterAChangeComesUpInTheNewLanguage() {
    switchTo(".FRA");
    SampleForm form(*manager);
    QCOMPARE(form.windowTitle(), QString("Planificateur"));
    QCOMPARE(form.button->text(), QString("OK"));
    QCOMPARE(QString::fromStdString(settings->read(orvanta::data::settings_keys::kLanguageExtension)),
             QString(".FRA"));
}

void LangFormTest::redrawingIsSuspendedWhileTranslating() {
    SampleForm form(*manager);
    std::vector<bool> updatesWhileChanging;
    QObject::connect(form.edit, &QLineEdit::textChanged,
                     [&] { updatesWhileChanging.push_back(form.updatesEnabled()); });
    switchTo(".DEU");
    QCOMPARE(updatesWhileChanging.size(), 1u);
    QVERIFY(!updatesWhileChanging[0]);
    QVERIFY(form.updatesEnabled());

    // A window that had redrawing off keeps it off.
    form.setUpdatesEnabled(false);
    switchTo(".FRA");
    QVERIFY(!form.updatesEnabled());
}

void LangFormTest::lookupsFormatTheirArguments() {
    SampleForm form(*manager);
    QCOMPARE(form.FormatLangText("Greeting", "Hello %s, %d tasks left", {"Ana", "3"}),
             QString("Hello Ana, 3 tasks left"));
    switchTo(".DEU");
    QCOMPARE(form.FormatLangText("Greeting", "Hello %s, %d tasks left", {"Ana", "3"}),
             QString("Hallo Ana, noch 3 Aufgaben"));
    QCOMPARE(form.FormatLangText("Greeting", "", {"Ana", "drei"}), QString("Hallo %s, noch %d Aufgaben"));
    QCOMPARE(form.FormatLangText("Broken", "", {"Ana"}), QString("Hallo %s und %s"));
}

namespace {
QString Formatted(const QString& format, const QStringList& args) {
    return orvanta::ui::FormatText(format, args).value_or("<does not fit>");
}
bool Fits(const QString& format, const QStringList& args) {
    return orvanta::ui::FormatText(format, args).has_value();
}
} // namespace

void LangFormTest::formatTextFollowsPrintfConventions() {
    QCOMPARE(Formatted("100%% of %s", {"it"}), QString("100% of it"));
    QCOMPARE(Formatted("[%5s|%-5s|%.2s]", {"ab", "cd", "xyz"}), QString("[   ab|cd   |xy]"));
    QCOMPARE(Formatted("%03d %5d %.3d %i %u", {"-7", "42", "5", " 8 ", "9"}), QString("-07    42 005 8 9"));
    QCOMPARE(Formatted("%x %X %04x", {"255", "0xab", "10"}), QString("ff AB 000a"));
    QCOMPARE(Formatted("%.2f %f", {"3.14159", "1.5"}), QString("3.14 1.500000"));
    QCOMPARE(Formatted("%1:s %0:s %s", {"a", "b"}), QString("b a b"));
    QCOMPARE(Formatted("%c", {"Xyz"}), QString("X"));
    QCOMPARE(Formatted("no conversions", {"unused"}), QString("no conversions"));
    // Formats that do not fit their arguments.
    QVERIFY(!Fits("%s and %s", {"one"}));
    QVERIFY(!Fits("%d", {"four"}));
    QVERIFY(!Fits("%u", {"-1"}));
    QVERIFY(!Fits("%f", {"x"}));
    QVERIFY(!Fits("50%", {}));
    QVERIFY(!Fits("%5", {"a"}));
    QVERIFY(!Fits("%q", {"a"}));
    QVERIFY(!Fits("%3:s", {"a"}));
}

QTEST_MAIN(LangFormTest)
#include "lang_form_test.moc"
