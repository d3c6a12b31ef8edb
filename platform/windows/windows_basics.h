#pragma once

#include "platform/api/alert_sound.h"
#include "platform/api/clock.h"
#include "platform/api/locale_info.h"
#include "platform/api/memory_trim.h"
#include "platform/api/system_paths.h"
#include "platform/api/user_registry.h"

#include <string>

namespace orvanta::platform::windows_backend {

// The local time of the system clock.
class WindowsClock : public Clock {
  public:
    LocalDateTime now() const override;
};

// The common application-data folder and the module file name of the running program.
class WindowsSystemPaths : public SystemPaths {
  public:
    std::string appDataRoot() const override;
    std::string executablePath() const override;
    char pathSeparator() const override { return '\\'; }
    bool ensureFolder(const std::string& path) const override;
};

// String values under HKEY_CURRENT_USER.
class WindowsUserRegistry : public UserRegistry {
  public:
    std::string readString(const std::string& keyPath, const std::string& valueName) const override;
    bool writeString(const std::string& keyPath, const std::string& valueName,
                     const std::string& value) override;
    void deleteValue(const std::string& keyPath, const std::string& valueName) override;
};

class WindowsLocaleInfo : public LocaleInfo {
  public:
    std::string abbreviatedLanguageName() const override;
};

class WindowsMemoryTrim : public MemoryTrim {
  public:
    void trimWorkingSet() override;
};

class WindowsAlertSound : public AlertSound {
  public:
    bool beep() override;
};

} // namespace orvanta::platform::windows_backend
