#include "platform/linux/linux_locale_info.h"

#include "platform/linux/ascii_text.h"

#include <cstdlib>

namespace orvanta::platform::linux_backend {
namespace {

struct LanguageCode {
    std::string_view language; // ISO 639 code, lower case
    std::string_view abbreviation;
};

constexpr LanguageCode kLanguages[] = {
    {"en", "ENU"}, {"de", "DEU"}, {"fr", "FRA"}, {"es", "ESN"}, {"it", "ITA"}, {"ja", "JPN"},
    {"cs", "CSY"}, {"da", "DAN"}, {"nl", "NLD"}, {"fi", "FIN"}, {"el", "ELL"}, {"he", "HEB"},
    {"hu", "HUN"}, {"ko", "KOR"}, {"nb", "NOR"}, {"nn", "NOR"}, {"no", "NOR"}, {"pl", "PLK"},
    {"ru", "RUS"}, {"sv", "SVE"}, {"tr", "TRK"}, {"th", "THA"}, {"ar", "ARA"},
};

} // namespace

std::string AbbreviatedLanguageNameOf(std::string_view localeName) {
    // language[_territory][.codeset][@modifier]
    const std::string_view withoutModifier = localeName.substr(0, localeName.find('@'));
    const std::string_view name = withoutModifier.substr(0, withoutModifier.find('.'));
    const std::size_t underscore = name.find('_');
    const std::string language = AsciiLower(name.substr(0, underscore));
    const std::string territory =
        underscore == std::string_view::npos ? std::string() : AsciiLower(name.substr(underscore + 1));

    // Chinese and Portuguese have a file per script or country rather than one per language.
    if (language == "zh")
        return (territory == "tw" || territory == "hk" || territory == "mo") ? "CHT" : "CHS";
    if (language == "pt") return territory == "br" ? "PTB" : "PTG";
    for (const LanguageCode& code : kLanguages)
        if (code.language == language) return std::string(code.abbreviation);
    return "ENU";
}

std::string LinuxLocaleInfo::abbreviatedLanguageName() const {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return AbbreviatedLanguageNameOf(value);
    }
    return "ENU";
}

} // namespace orvanta::platform::linux_backend
