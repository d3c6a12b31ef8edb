#include "data/error.h"
#include "data/settings/settings.h"
#include "data/settings/settings_keys.h"
#include "i18n/lang_mgr.h"
#include "platform/fake/fake_locale_info.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::i18n {
namespace {

using test::WriteFileBytes;
namespace keys = data::settings_keys;

struct Recorder : LanguageListener {
    Recorder(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    void LanguageChanged() override { log.push_back(name); }
    std::vector<std::string>& log;
    std::string name;
};

class LangMgrTest : public ::testing::Test {
  protected:
    LangMgrTest() { std::filesystem::create_directory(exe.file("Language")); }

    std::string languageFile(const std::string& name) const { return exe.file("Language/" + name); }
    void addLanguage(const std::string& name, const std::string& content) {
        WriteFileBytes(languageFile(name), content);
    }
    void storeLang(const std::string& value) { WriteFileBytes(settingsPath, "[Lang]\nLang=" + value + "\n"); }
    TLangMgr makeManager() { return TLangMgr(exe.path(), '/', settings, locale); }
    int indexOf(const TLangMgr& manager, const std::string& name) {
        std::vector<std::string> files;
        manager.GetLanguageFiles(files);
        return static_cast<int>(std::find(files.begin(), files.end(), languageFile(name)) - files.begin());
    }

    test::TempFolder exe, data;
    std::string settingsPath = data.file("wake.ini");
    data::Settings settings{settingsPath};
    platform::fake::FakeLocaleInfo locale;
};

TEST_F(LangMgrTest, ListsFilesWithAGeneralSectionInDirectoryOrder) {
    addLanguage("Orvanta.ENU", "[General]\nLanguage=English\n");
    addLanguage("Orvanta.DEU", "[TMainForm]\nCaption=x\n[general]\nLanguage = \"Deutsch\"\n");
    addLanguage("Orvanta.FRA", "[General]\n");
    addLanguage("Orvanta.ITA", "[TMainForm]\nCaption=Pianificatore\n");
    addLanguage("Other.SVE", "[General]\nLanguage=Svenska\n");
    std::filesystem::create_directory(languageFile("Orvanta.DIR"));

    std::vector<TLangItem> expected;
    for (const auto& entry : std::filesystem::directory_iterator(exe.file("Language"))) {
        const std::string name = entry.path().filename().string();
        if (name == "Orvanta.ENU") expected.push_back({"English", languageFile(name)});
        if (name == "Orvanta.DEU") expected.push_back({"Deutsch", languageFile(name)});
        if (name == "Orvanta.FRA") expected.push_back({"<Unknown>", languageFile(name)});
    }
    TLangMgr manager = makeManager();
    ASSERT_EQ(manager.Items().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(manager.Items()[i].Name, expected[i].Name);
        EXPECT_EQ(manager.Items()[i].FileName, expected[i].FileName);
    }
    EXPECT_EQ(manager.CurrentLanguageFile(), languageFile("Orvanta.ENU")); // nothing stored: ".enu"
}

TEST_F(LangMgrTest, StoredExtensionSelectsItsFileWithoutRegardToCase) {
    addLanguage("Orvanta.ENU", "[General]\n");
    addLanguage("Orvanta.DEU", "[General]\n");
    storeLang(".deu");
    TLangMgr manager = makeManager();
    std::vector<std::string> files;
    EXPECT_EQ(manager.GetLanguageFiles(files), indexOf(manager, "Orvanta.DEU"));
    EXPECT_EQ(manager.CurrentLanguageFile(), languageFile("Orvanta.DEU"));
}

TEST_F(LangMgrTest, AnEmptyStoredLanguageFollowsTheLocale) {
    addLanguage("Orvanta.ENU", "[General]\n");
    addLanguage("Orvanta.FRA", "[General]\n");
    storeLang("");
    locale.setAbbreviatedLanguageName("FRA");
    EXPECT_EQ(makeManager().CurrentLanguageFile(), languageFile("Orvanta.FRA"));
    locale.setAbbreviatedLanguageName("JPN");
    EXPECT_EQ(makeManager().CurrentIndex(), -1);
    EXPECT_EQ(makeManager().CurrentLanguageFile(), "");
}

TEST_F(LangMgrTest, AMissingLanguageFolderGivesNoLanguagesAndDefaults) {
    std::filesystem::remove(exe.file("Language"));
    TLangMgr manager = makeManager();
    std::vector<std::string> files{"left over"};
    EXPECT_EQ(manager.GetLanguageFiles(files), -1);
    EXPECT_TRUE(files.empty());
    CurrentLanguageLookup lookup(manager);
    EXPECT_EQ(lookup.text("TMainForm", "None", "None"), "None");
    manager.SetLanguage(0);
    EXPECT_FALSE(std::filesystem::exists(settingsPath));
}

TEST_F(LangMgrTest, SetLanguageStoresTheExtensionAsSpelledAndTellsListenersInOrder) {
    addLanguage("Orvanta.DeU", "[General]\n");
    addLanguage("Orvanta.ENU", "[General]\n");
    TLangMgr manager = makeManager();
    std::vector<std::string> log;
    Recorder first(log, "first"), second(log, "second"), gone(log, "gone");
    for (Recorder* r : {&second, &first, &gone, &second})
        manager.AddListener(r);
    manager.RemoveListener(&gone);

    const int german = indexOf(manager, "Orvanta.DeU");
    manager.SetLanguage(german);
    EXPECT_EQ(manager.CurrentIndex(), german);
    EXPECT_EQ(settings.read(keys::kLanguageExtension), ".DeU");
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));

    // Out of range: nothing changes or is stored, but the listeners still hear of it.
    storeLang(".xyz");
    manager.SetLanguage(2);
    manager.SetLanguage(-1);
    EXPECT_EQ(manager.CurrentIndex(), german);
    EXPECT_EQ(settings.read(keys::kLanguageExtension), ".xyz");
    EXPECT_EQ(log.size(), 6u);

    try {
        manager.CheckNoListeners();
        ADD_FAILURE() << "no error while windows are registered";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "unsafe free of Language Manager!");
    }
    manager.RemoveListener(&first);
    manager.RemoveListener(&second);
    EXPECT_NO_THROW(manager.CheckNoListeners());
}

TEST_F(LangMgrTest, AListenerRemovedWhileOthersAreToldIsNotCalled) {
    TLangMgr manager = makeManager();
    std::vector<std::string> log;
    Recorder later(log, "later");
    struct Closer : LanguageListener {
        TLangMgr& manager;
        LanguageListener& victim;
        Closer(TLangMgr& m, LanguageListener& v) : manager(m), victim(v) {}
        void LanguageChanged() override { manager.RemoveListener(&victim); }
    } closer(manager, later);
    manager.AddListener(&closer);
    manager.AddListener(&later);
    manager.SetLanguage(0);
    EXPECT_TRUE(log.empty());
    manager.RemoveListener(&closer);
}

TEST_F(LangMgrTest, CurrentLanguageLookupFollowsTheLanguage) {
    addLanguage("Orvanta.ENU", "[General]\n[TMainForm]\nNone=None\n");
    addLanguage("Orvanta.DEU", "[General]\n[TMainForm]\nNone=Keine\n");
    TLangMgr manager = makeManager();
    CurrentLanguageLookup lookup(manager);
    EXPECT_EQ(lookup.text("TMainForm", "None", "default"), "None");
    EXPECT_EQ(lookup.text("TMainForm", "Pass", "Passed"), "Passed");

    manager.SetLanguage(indexOf(manager, "Orvanta.DEU"));
    EXPECT_EQ(lookup.text("tmainform", "NONE", "default"), "Keine");
    // The file is read at the change; once gone, the next change leaves only the defaults.
    std::filesystem::remove(languageFile("Orvanta.DEU"));
    EXPECT_EQ(lookup.text("TMainForm", "None", "default"), "Keine");
    manager.SetLanguage(manager.CurrentIndex());
    EXPECT_EQ(lookup.text("TMainForm", "None", "default"), "default");
}

TEST(LanguageDisplayName, NamesKnownExtensionsInTheirOwnLanguage) {
    EXPECT_EQ(LanguageDisplayName(".ENU"), "English");
    EXPECT_EQ(LanguageDisplayName(".deu"), "Deutsch(German)");
    EXPECT_EQ(LanguageDisplayName(".Jpn"), "日本語(Japanese)");
    EXPECT_EQ(LanguageDisplayName(".PTG"), "Português(Portugal)");
    EXPECT_EQ(LanguageDisplayName(".CHT"), "繁體中文(Chinese)");
    EXPECT_EQ(LanguageDisplayName(".xyz"), ".XYZ");
    EXPECT_EQ(LanguageDisplayName("deu"), "DEU");
}

} // namespace
} // namespace orvanta::i18n
