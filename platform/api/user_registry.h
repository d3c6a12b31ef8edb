#pragma once

#include <string>

namespace orvanta::platform {

// The current user's string values outside the data folder: the run-at-start-up entry and the
// language-folder entry. Key paths use backslashes, e.g. "Software\Microsoft\Windows\CurrentVersion\Run".
class UserRegistry {
  public:
    virtual ~UserRegistry() = default;

    // A missing key or value reads as the empty text.
    virtual std::string readString(const std::string& keyPath, const std::string& valueName) const = 0;

    // Creates the key when missing. Returns false when the system refused the write.
    virtual bool writeString(const std::string& keyPath, const std::string& valueName,
                             const std::string& value) = 0;

    // Deleting a value that does not exist is accepted silently.
    virtual void deleteValue(const std::string& keyPath, const std::string& valueName) = 0;
};

inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kLangManagerKeyPath = "Software\\Talvenor\\LangManager";

} // namespace orvanta::platform
