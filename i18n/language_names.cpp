#include "i18n/lang_mgr.h"

#include <algorithm>
#include <string_view>

namespace orvanta::i18n {
namespace {

struct DisplayName {
    std::string_view extension; // upper case, with the full stop
    std::string_view name;      // UTF-8
};

// The language list shows each language in its own script, so none of these names goes through a
// language file.
constexpr DisplayName kDisplayNames[] = {
    {".ENU", "English"},           {".ARA", "العربية(Arabic)"},     {".CHT", "繁體中文(Chinese)"},
    {".CHS", "简体中文(Chinese)"}, {".CSY", "Čeština(Czech)"},      {".DAN", "Dansk(Danish)"},
    {".NLD", "Nederlands(Dutch)"}, {".FIN", "Suomi(Finnish)"},      {".FRA", "Français(French)"},
    {".DEU", "Deutsch(German)"},   {".ELL", "ελληνικά(Greek)"},     {".HEB", "עברית(Hebrew)"},
    {".HUN", "Magyar(Hungarian)"}, {".ITA", "Italiano(Italian)"},   {".JPN", "日本語(Japanese)"},
    {".KOR", "한국의(Korean)"},    {".NOR", "Norsk(Norwegian)"},    {".PLK", "Polski(Polish)"},
    {".PTB", "Português(Brazil)"}, {".PTG", "Português(Portugal)"}, {".RUS", "русский(Russian)"},
    {".ESN", "Español(Spanish)"},  {".SVE", "Svenska(Swedish)"},    {".TRK", "Türkçe(Turkish)"},
    {".THA", "ไทย(Thai)"},
};

// The locale each language file stands for, by which the toolkit's own translations are found.
constexpr DisplayName kLocaleNames[] = {
    {".ENU", "en"}, {".ARA", "ar"}, {".CHT", "zh_TW"}, {".CHS", "zh_CN"}, {".CSY", "cs"},
    {".DAN", "da"}, {".NLD", "nl"}, {".FIN", "fi"},    {".FRA", "fr"},    {".DEU", "de"},
    {".ELL", "el"}, {".HEB", "he"}, {".HUN", "hu"},    {".ITA", "it"},    {".JPN", "ja"},
    {".KOR", "ko"}, {".NOR", "nb"}, {".PLK", "pl"},    {".PTB", "pt_BR"}, {".PTG", "pt_PT"},
    {".RUS", "ru"}, {".ESN", "es"}, {".SVE", "sv"},    {".TRK", "tr"},    {".THA", "th"},
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

} // namespace

std::string LanguageLocaleName(const std::string& extension) {
    const std::string upper = Upper(extension);
    for (const DisplayName& entry : kLocaleNames)
        if (entry.extension == upper) return std::string(entry.name);
    return {};
}

std::string LanguageDisplayName(const std::string& extension) {
    const std::string upper = Upper(extension);
    for (const DisplayName& entry : kDisplayNames)
        if (entry.extension == upper) return std::string(entry.name);
    return upper;
}

} // namespace orvanta::i18n
