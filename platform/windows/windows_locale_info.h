#pragma once

#include "platform/api/locale_info.h"

#include <string>

namespace orvanta::platform::windows_backend {

class WindowsLocaleInfo : public LocaleInfo {
  public:
    std::string abbreviatedLanguageName() const override;
};

} // namespace orvanta::platform::windows_backend
