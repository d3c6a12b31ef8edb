#include "ui/options_page.h"

#include "data/settings/settings_keys.h"
#include "ui/error_box.h"
#include "ui/lang_form.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace orvanta::ui {

namespace keys = data::settings_keys;

namespace {

constexpr int kRowHeight = 28;
constexpr int kLeft = 12;
constexpr int kFirstRow = 24;
// The gap between a check box's right edge and the control beside its caption.
constexpr int kBesideGap = 2;

QCheckBox* Box(QWidget* parent, const char* name, const char* caption, const char* hint, int row) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    if (hint) box->setToolTip(QString::fromUtf8(hint));
    box->adjustSize();
    box->move(kLeft, kFirstRow + row * kRowHeight);
    return box;
}

QGroupBox* Group(QWidget* parent, const char* name, const char* caption, int rows) {
    auto* group = new QGroupBox(QString::fromUtf8(caption), parent);
    group->setObjectName(name);
    group->setMinimumHeight(kFirstRow + rows * kRowHeight + 4);
    return group;
}

// Places a control right of a check box, vertically centred on it.
void PlaceBeside(QCheckBox* box, QWidget* control) {
    box->adjustSize();
    control->adjustSize();
    const int y = box->y() + (box->height() - control->height()) / 2;
    control->move(box->x() + box->width() + kBesideGap, y);
}

std::string UpperExtension(const std::string& path, char separator) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind(separator);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = path.substr(dot);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return extension;
}

} // namespace

OptionsPage::OptionsPage(OptionsPagePorts ports, QWidget* parent)
    : QWidget(parent), ports_(std::move(ports)) {
    setObjectName("TabSheet2");
    BuildWidgets();
    FillLanguageList();
    CheckBox9->setEnabled(bool(ports_.passwordRequiredOnResume));

    Timer1.setInterval(10000);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &OptionsPage::Timer1Timer);

    // Toggled also when the program sets a box: the ready flags keep such changes from being written.
    connect(CheckBox1, &QCheckBox::toggled, this, &OptionsPage::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &OptionsPage::CheckBox2Click);
    connect(CheckBox4, &QCheckBox::toggled, this, &OptionsPage::CheckBox4Click);
    connect(CheckBox6, &QCheckBox::toggled, this, &OptionsPage::CheckBox6Click);
    connect(CheckBox9, &QCheckBox::toggled, this, &OptionsPage::CheckBox9Click);
    connect(Button2, &QPushButton::clicked, this, &OptionsPage::Button2Click);
    // Only the user's choice: selecting the current language while the list is filled changes nothing.
    connect(TntComboBox1, &QComboBox::activated, this, &OptionsPage::TntComboBox1Change);
}

template <typename Handler> void OptionsPage::Guarded(Handler&& handler) {
    RunGuarded(ports_.errors, handler);
}

void OptionsPage::BuildWidgets() {
    GroupBox1 = Group(this, "GroupBox1", "General", 4);
    CheckBox1 = Box(GroupBox1, "CheckBox1", "Run at windows startup",
                    "Tick it to load Orvanta when Windows starts up.", 0);
    CheckBox2 =
        Box(GroupBox1, "CheckBox2", "Run always minimized",
            "Hides program window but keeps the program running as a system tray icon in the taskbar.", 1);
    CheckBox4 = Box(GroupBox1, "CheckBox4", "Protect program settings with password",
                    "Tick it to change the settings you will need to enter the password. Set the password "
                    "using the SetPassword button.",
                    2);
    Button2 = new QPushButton(QStringLiteral("Set Password"), GroupBox1);
    Button2->setObjectName("Button2");
    Button2->setToolTip(QStringLiteral("Set the password to lock your computer. You will need to enter the "
                                       "password to unlock the computer."));
    CheckBox6 = Box(GroupBox1, "CheckBox6", "Change to other localized language",
                    "Change the interface to other localized language.", 3);
    TntComboBox1 = new QComboBox(GroupBox1);
    TntComboBox1->setObjectName("TntComboBox1");
    TntComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    GroupBox3 = Group(this, "GroupBox3", "System", 1);
    CheckBox9 = Box(GroupBox3, "CheckBox9",
                    "No prompt for password on resume from sleep (Only for AC power, reboot to take effect)",
                    nullptr, 0);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox3);
    layout->addStretch(1);
    PlaceControls();
}

void OptionsPage::SetRunAtStartupWording(const QString& caption, const QString& hint) {
    CheckBox1->setText(caption);
    CheckBox1->setToolTip(hint);
}

void OptionsPage::FillLanguageList() {
    std::vector<std::string> files;
    const int current = ports_.languages.GetLanguageFiles(files);
    TntComboBox1->clear();
    englishIndex_ = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string extension = UpperExtension(files[i], ports_.pathSeparator);
        TntComboBox1->addItem(QString::fromStdString(i18n::LanguageDisplayName(extension)));
        if (extension == ".ENU") englishIndex_ = static_cast<int>(i);
    }
    if (TntComboBox1->count() > 0)
        TntComboBox1->setCurrentIndex(current >= 0 && current < TntComboBox1->count() ? current : 0);
}

void OptionsPage::LoadInitialState() {
    const data::Settings& s = ports_.settings;
    // Exactly this program; a path differing in letter case is another program.
    const bool runsAtStartup =
        ports_.registry.readString(platform::kRunKeyPath, "Orvanta") == ports_.executablePath;
    CheckBox1->setChecked(runsAtStartup);
    ports_.runAtStartupItem->setChecked(runsAtStartup);
    CheckBox2->setChecked(s.read(keys::kStartMinimized));
    CheckBox4->setChecked(s.read(keys::kPasswordProtection));

    // Greyed options keep their stored values, which still apply.
    const bool lockRunAtStartup = s.read(keys::kDisableRunWithWindows);
    CheckBox1->setEnabled(!lockRunAtStartup);
    ports_.runAtStartupItem->setEnabled(!lockRunAtStartup);
    CheckBox2->setEnabled(!s.read(keys::kDisableRunMinimized));
    const bool lockProtection = s.read(keys::kDisableProtectPassword);
    CheckBox4->setEnabled(!lockProtection);
    Button2->setEnabled(!lockProtection);
    const bool lockLanguage = s.read(keys::kDisableChangeLanguage);
    CheckBox6->setEnabled(!lockLanguage);
    TntComboBox1->setEnabled(!lockLanguage);
}

void OptionsPage::Timer3Timer() {
    CheckBox6->setChecked(ports_.settings.read(keys::kOtherLanguageChosen) == "1");
    optionsReady_ = true;
    PlaceControls();
}

void OptionsPage::PlaceControls() {
    PlaceBeside(CheckBox4, Button2);
    PlaceBeside(CheckBox6, TntComboBox1);
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox9})
        box->adjustSize();
}

void OptionsPage::WriteRunAtStartup(bool on) {
    // The registry reports nothing back: a refused write shows up as the option off at the next start.
    if (on)
        ports_.registry.writeString(platform::kRunKeyPath, "Orvanta", ports_.executablePath);
    else
        ports_.registry.deleteValue(platform::kRunKeyPath, "Orvanta");
}

void OptionsPage::CheckBox1Click() {
    Guarded([this] {
        if (!optionsReady_) return;
        WriteRunAtStartup(CheckBox1->isChecked());
        ports_.runAtStartupItem->setChecked(CheckBox1->isChecked());
    });
}

void OptionsPage::ToggleRunAtStartupFromTray() {
    const bool on = !ports_.runAtStartupItem->isChecked();
    ports_.runAtStartupItem->setChecked(on);
    WriteRunAtStartup(on);
    // The box follows without writing a second time.
    const QSignalBlocker quiet(CheckBox1);
    CheckBox1->setChecked(on);
}

void OptionsPage::Button2Click() {
    Guarded([this] { ports_.openSetPassword(); });
}

void OptionsPage::CheckBox2Click() {
    Guarded([this] {
        if (!optionsReady_) return;
        ports_.settings.write(keys::kStartMinimized, CheckBox2->isChecked());
    });
}

void OptionsPage::CheckBox4Click() {
    Guarded([this] {
        if (!optionsReady_) return;
        const bool on = CheckBox4->isChecked();
        ports_.settings.write(keys::kPasswordProtection, on);
        ports_.settingsLocked = on;
        if (!on || !ports_.settings.read(keys::kEncodedPassword).empty()) return;
        if (ports_.ask(ports_.texts.GetLangText(
                "SetPWord", "You have not set up the lock password! Do you want to set up now? ")) == 1)
            ports_.openSetPassword();
        else
            CheckBox4->setChecked(false); // runs this switch again, which turns protection off
    });
}

void OptionsPage::CheckBox6Click() {
    Guarded([this] {
        if (CheckBox6->isChecked()) {
            ports_.settings.write(keys::kOtherLanguageChosen, "1");
            ports_.languages.SetLanguage(TntComboBox1->currentIndex());
        } else {
            ports_.settings.write(keys::kOtherLanguageChosen, "0");
            ports_.languages.SetLanguage(englishIndex_);
        }
        // The main window rebuilds its list on every change of language; the captions may have changed width.
        PlaceControls();
    });
}

void OptionsPage::TntComboBox1Change() {
    Guarded([this] {
        CheckBox6->setChecked(true);
        ports_.languages.SetLanguage(TntComboBox1->currentIndex());
        PlaceControls();
    });
}

void OptionsPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceControls();
    Guarded([this] {
        if (!ports_.passwordRequiredOnResume) {
            CheckBox9->setEnabled(false);
            return;
        }
        ReadPowerSetting();
        Timer1.start();
    });
}

void OptionsPage::ReadPowerSetting() {
    powerOptionReady_ = false;
    CheckBox9->setChecked(!ports_.passwordRequiredOnResume());
    powerOptionReady_ = true;
}

void OptionsPage::CheckBox9Click() {
    Guarded([this] {
        if (!powerOptionReady_) return;
        if (ports_.runElevated) ports_.runElevated(SettingsProgramPath(), CheckBox9->isChecked() ? "0" : "1");
        Timer1.start();
    });
}

void OptionsPage::Timer1Timer() {
    Guarded([this] {
        Timer1.stop();
        if (ports_.passwordRequiredOnResume) ReadPowerSetting();
    });
}

} // namespace orvanta::ui
