#pragma once

#include "data/settings/settings.h"
#include "i18n/lang_mgr.h"
#include "platform/api/user_registry.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

namespace orvanta::ui {

class ErrorBox;
class TLangForm;

// What the Options tab works with and does not own.
struct OptionsPagePorts {
    i18n::TLangMgr& languages;
    // The main window's lookups: the page's texts live in its section.
    const TLangForm& texts;
    data::Settings& settings;
    platform::UserRegistry& registry;
    // The running program's full path, exactly as started, and the system's path separator.
    std::string executablePath;
    char pathSeparator;
    ErrorBox& errors;
    // The notification-area twin of "Run at windows startup".
    QAction* runAtStartupItem;
    // Protection is on; the page's switch sets it.
    bool& settingsLocked;
    // A question with OK and Cancel in the main window's message box; 1 for OK.
    std::function<int(const QString& text)> ask;
    std::function<void()> openSetPassword;
    // Whether the desktop asks for a password on resume from sleep. Empty: no such setting can be read
    // here, and the option is greyed.
    std::function<bool()> passwordRequiredOnResume;
    // Starts a program with administrator rights and one parameter.
    std::function<void(const std::string& program, const std::string& parameter)> runElevated;
    // Full path of the helper that changes the password-on-resume switch.
    std::string settingsProgram;
};

// The main window's Options tab. Every option is written the moment it changes; there is no Apply.
class OptionsPage : public QWidget {
    Q_OBJECT

  public:
    OptionsPage(OptionsPagePorts ports, QWidget* parent = nullptr);

    // The boxes from the stored values and the Disable entries (at start-up, before the first rebuild).
    // Writes nothing: the click handlers wait for OptionsReady.
    void LoadInitialState();
    // Timer3, once the message loop runs: the language box from Lan, then the handlers go live.
    void Timer3Timer();
    // Button2 beside CheckBox4's caption and the language list beside CheckBox6's, after any change of
    // caption widths.
    void PlaceControls();
    // The notification-area command, once the password prompt (if any) is passed: flips the option.
    void ToggleRunAtStartupFromTray();

    bool OptionsReady() const { return optionsReady_; }
    int EnglishIndex() const { return englishIndex_; }
    // The helper that changes the password-on-resume switch.
    std::string SettingsProgramPath() const { return ports_.settingsProgram; }

    // The start-at-login box's caption and hint in this system's own words.
    void SetRunAtStartupWording(const QString& caption, const QString& hint);

    QTimer Timer1;
    void Timer1Timer();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Click handlers; the controls are reached by their object names from outside.
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox4Click();
    void CheckBox6Click();
    void CheckBox9Click();
    void Button2Click();
    void TntComboBox1Change();

    void BuildWidgets();
    void FillLanguageList();
    void WriteRunAtStartup(bool on);
    void ReadPowerSetting();
    template <typename Handler> void Guarded(Handler&& handler);

    QGroupBox *GroupBox1 = nullptr, *GroupBox3 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox4 = nullptr, *CheckBox6 = nullptr,
              *CheckBox9 = nullptr;
    QPushButton* Button2 = nullptr;
    QComboBox* TntComboBox1 = nullptr;

    OptionsPagePorts ports_;
    bool optionsReady_ = false;
    bool powerOptionReady_ = false;
    int englishIndex_ = 0;
};

} // namespace orvanta::ui
