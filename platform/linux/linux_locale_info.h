#pragma once

#include "platform/api/locale_info.h"

#include <string>
#include <string_view>

namespace orvanta::platform::linux_backend {

// The language of the messages locale: the first non-empty of LC_ALL, LC_MESSAGES and LANG, read at
// each call, as setlocale would pick it.
class LinuxLocaleInfo : public LocaleInfo {
  public:
    std::string abbreviatedLanguageName() const override;
};

// The three-letter name of a POSIX locale name such as "de_DE.UTF-8@euro" or "pt_BR"; "ENU" for "C",
// "POSIX", an empty name and any language without a language file name of its own.
std::string AbbreviatedLanguageNameOf(std::string_view localeName);

} // namespace orvanta::platform::linux_backend
