#include "data/settings/settings.h"
#include "i18n/lang_mgr.h"
#include "i18n/language_file.h"
#include "platform/fake/fake_locale_info.h"
#include "scheduler/row_text.h"
#include "tests/support/temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace orvanta::i18n {
namespace {

// The language files as they ship; the source folder stands in for the executable's folder.
const std::string kSourceFolder = ORVANTA_SOURCE_DIR;
const std::string kLanguageFolder = kSourceFolder + "/Language";

// "Section/Key" of every entry of a language file.
std::set<std::string> EntriesOf(const std::string& path) {
    std::set<std::string> entries;
    std::ifstream in(path);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') section = line.substr(1, line.find(']') - 1);
        if (!line.empty() && line[0] != ';' && line.find('=') != std::string::npos)
            entries.insert(section + "/" + line.substr(0, line.find('=')));
    }
    return entries;
}

TEST(ShippedLanguageFiles, AreFoundByTheirNames) {
    test::TempFolder data;
    data::Settings settings(data.file("wake.ini"));
    platform::fake::FakeLocaleInfo locale;
    TLangMgr manager(kSourceFolder, '/', settings, locale);
    std::set<std::pair<std::string, std::string>> items;
    for (const TLangItem& item : manager.Items())
        items.insert({item.Name, item.FileName});
    EXPECT_EQ(items,
              (std::set<std::pair<std::string, std::string>>{{"English", kLanguageFolder + "/Orvanta.ENU"},
                                                             {"Deutsch", kLanguageFolder + "/Orvanta.DEU"}}));
}

TEST(ShippedLanguageFiles, GermanTranslatesEveryEnglishEntry) {
    const std::set<std::string> english = EntriesOf(kLanguageFolder + "/Orvanta.ENU");
    const std::set<std::string> german = EntriesOf(kLanguageFolder + "/Orvanta.DEU");
    ASSERT_GT(english.size(), 100u);
    for (const std::string& entry : english)
        EXPECT_TRUE(german.count(entry)) << entry << " has no German text";
    // English leaves out the two keys whose built-in English differs between the places asking.
    for (const std::string& entry : german)
        EXPECT_TRUE(english.count(entry) || entry == "TMainForm/Button2Caption" || entry == "TMainForm/Loop")
            << entry << " is not an English entry";
}

TEST(ShippedLanguageFiles, EnglishListTextsMatchTheBuiltInOnes) {
    struct FileLookup : TextLookup {
        std::unique_ptr<LanguageFile> file = LanguageFile::Open(kLanguageFolder + "/Orvanta.ENU");
        std::string text(const std::string& section, const std::string& key,
                         const std::string&) const override {
            return file ? file->text(section, key, "<missing>") : "<no file>";
        }
    };
    const auto fromFile = scheduler::RowTexts::Load(FileLookup());
    const auto builtIn = scheduler::RowTexts::Load(EnglishTextLookup());
    EXPECT_EQ(fromFile.months, builtIn.months);
    EXPECT_EQ(fromFile.weekdays, builtIn.weekdays);
    for (auto piece :
         {&scheduler::RowTexts::everyYear, &scheduler::RowTexts::everyMonth, &scheduler::RowTexts::everyDay,
          &scheduler::RowTexts::unspecified, &scheduler::RowTexts::disabled, &scheduler::RowTexts::passed,
          &scheduler::RowTexts::waiting, &scheduler::RowTexts::noTitle, &scheduler::RowTexts::minutes,
          &scheduler::RowTexts::hours, &scheduler::RowTexts::start, &scheduler::RowTexts::end,
          &scheduler::RowTexts::upcoming, &scheduler::RowTexts::none})
        EXPECT_EQ(fromFile.*piece, builtIn.*piece);
}

} // namespace
} // namespace orvanta::i18n
