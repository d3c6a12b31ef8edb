#pragma once

#include <string>

namespace orvanta::platform {

// The user's language preferences.
class LocaleInfo {
  public:
    virtual ~LocaleInfo() = default;
    // The three-letter abbreviated language name of the user's default locale, upper case, e.g. "ENU",
    // "DEU", "FRA"; "ENU" when the system names no language. These are the extensions of the language
    // files, which is what the answer is used for.
    virtual std::string abbreviatedLanguageName() const = 0;
};

} // namespace orvanta::platform
