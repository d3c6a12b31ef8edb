#include "platform/linux/linux_locale_info.h"

#include <gtest/gtest.h>
#include <utility>

namespace orvanta::platform::linux_backend {
namespace {

TEST(LinuxLocaleInfo, MapsLocaleNamesToLanguageFileExtensions) {
    const std::pair<const char*, const char*> cases[] = {
        {"en_US.UTF-8", "ENU"},
        {"de_AT.UTF-8@euro", "DEU"},
        {"es_ES", "ESN"},
        {"ja_JP.eucJP", "JPN"},
        {"zh_TW", "CHT"},
        {"zh_HK.UTF-8", "CHT"},
        {"zh_CN", "CHS"},
        {"zh", "CHS"},
        {"pt_BR", "PTB"},
        {"pt_PT", "PTG"},
        {"pt", "PTG"},
        {"cs_CZ", "CSY"},
        {"nn_NO", "NOR"},
        {"nb", "NOR"},
        {"pl", "PLK"},
        {"sv_SE", "SVE"},
        {"DE_de", "DEU"},
        {"C", "ENU"},
        {"C.UTF-8", "ENU"},
        {"POSIX", "ENU"},
        {"", "ENU"},
        {"xx_YY", "ENU"},
    };
    for (const auto& [locale, expected] : cases)
        EXPECT_EQ(AbbreviatedLanguageNameOf(locale), expected) << locale;
}

} // namespace
} // namespace orvanta::platform::linux_backend
