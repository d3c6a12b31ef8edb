#pragma once

namespace orvanta::data {

// Every entry of wake.ini, with the value a missing entry stands for. Section and key names are
// written exactly as the file spells them; reads compare them without regard to letter case.

struct FlagSetting {
    const char* section;
    const char* key;
    bool defaultValue;
};

struct IntegerSetting {
    const char* section;
    const char* key;
    int defaultValue;
};

struct TextSetting {
    const char* section;
    const char* key;
    const char* defaultValue;
};

namespace settings_keys {

// "Run always minimized". Start-up compares the raw text with "1"; the Options page reads it as a flag.
inline constexpr FlagSetting kStartMinimized{"tray", "tray", false};

// Settings protection: the password prompt guards the main window, the task editor and the tray command.
inline constexpr FlagSetting kPasswordProtection{"Option", "lock", false};
// EncodePassword of the lock password; empty when none is set.
inline constexpr TextSetting kEncodedPassword{"Option", "pword", ""};
// True until the main window has been shown once.
inline constexpr FlagSetting kFirstRun{"Option", "mfirst", true};

// Task-list filters.
inline constexpr FlagSetting kHidePassedTasks{"Option", "HidePassed", false};
inline constexpr FlagSetting kHideDisabledTasks{"Option", "HideDisabled", false};
inline constexpr FlagSetting kHideDistantTasks{"Option", "HideLater", false};
inline constexpr IntegerSetting kDistantTaskDays{"Option", "HideDays", 30};

// Prepared by an administrator, never written: "1" locks the workstation after an automatic resume.
inline constexpr TextSetting kLockOnAutomaticResume{"Option", "run", "0"};

// Prepared by an administrator, never written: each greys out one option; the stored option still applies.
inline constexpr FlagSetting kDisableRunWithWindows{"Disable", "RunWithWindows", false};
inline constexpr FlagSetting kDisableRunMinimized{"Disable", "RunMinimized", false};
inline constexpr FlagSetting kDisableLockSession{"Disable", "LockSession", false};
inline constexpr FlagSetting kDisableProtectPassword{"Disable", "ProtectPassword", false};
inline constexpr FlagSetting kDisableChangeLanguage{"Disable", "ChangeLanguage", false};
// True: closing the main window minimises it without asking the quit question.
inline constexpr FlagSetting kDisableCloseQuestion{"Disable", "OnCloseMessage", false};

// "1" while the option "Change to other localized language" is ticked, else "0".
inline constexpr TextSetting kOtherLanguageChosen{"Lan", "Lan", "0"};
// Extension of the current language file with its leading full stop; present but empty means the
// extension of the user's locale.
inline constexpr TextSetting kLanguageExtension{"Lang", "Lang", ".enu"};

// The macro file last chosen in the recorder's open or save dialog.
inline constexpr TextSetting kLastMacroFile{"Last", "1", ""};

} // namespace settings_keys
} // namespace orvanta::data
