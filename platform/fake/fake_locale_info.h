#pragma once

#include "platform/api/locale_info.h"

#include <string>

namespace orvanta::platform::fake {

// A locale the test names; English until told otherwise.
class FakeLocaleInfo : public LocaleInfo {
  public:
    explicit FakeLocaleInfo(std::string abbreviation = "ENU") : abbreviation_(std::move(abbreviation)) {}

    std::string abbreviatedLanguageName() const override { return abbreviation_; }
    void setAbbreviatedLanguageName(std::string abbreviation) { abbreviation_ = std::move(abbreviation); }

  private:
    std::string abbreviation_;
};

} // namespace orvanta::platform::fake
