#pragma once

#include "data/settings/settings.h"
#include "i18n/text_lookup.h"
#include "platform/api/locale_info.h"

#include <memory>
#include <string>
#include <vector>

namespace orvanta::i18n {

class LanguageFile;

// A window (or anything else showing texts) that wants to hear about a change of language.
class LanguageListener {
  public:
    virtual ~LanguageListener() = default;
    virtual void LanguageChanged() = 0;
};

// One available language file.
struct TLangItem {
    std::string Name;     // the file's General/Language, "<Unknown>" when it has none
    std::string FileName; // full path
};

// Knows the language files beside the executable and which one is current, keeps the choice in
// wake.ini and tells every listener when it changes. One instance lives for the whole program run,
// created before any window; it is passed to whoever needs it.
class TLangMgr {
  public:
    // Lists "<exeFolder><sep>Language<sep>Orvanta.*" once and picks the file named by Lang/Lang.
    TLangMgr(std::string exeFolder, char pathSeparator, data::Settings& settings,
             platform::LocaleInfo& locale);
    // Never throws; the program calls CheckNoListeners itself at its end.
    ~TLangMgr();

    TLangMgr(const TLangMgr&) = delete;
    TLangMgr& operator=(const TLangMgr&) = delete;

    // Fills the list with every item's FileName, in item order; returns CurrentIndex().
    int GetLanguageFiles(std::vector<std::string>& files) const;
    // An index within the list becomes current and its extension is written to Lang/Lang (a refused
    // write raises orvanta::Error). Then every listener hears of it, in registration order, whether the
    // index was valid or not.
    void SetLanguage(int index);
    // FileName of the current item, or empty when none is current.
    std::string CurrentLanguageFile() const;
    // Index of the current item, or -1.
    int CurrentIndex() const { return currentIndex_; }
    const std::vector<TLangItem>& Items() const { return items_; }

    void AddListener(LanguageListener* listener);
    void RemoveListener(LanguageListener* listener);
    // Raises orvanta::Error("unsafe free of Language Manager!") while any listener is registered.
    void CheckNoListeners() const;

  private:
    std::vector<TLangItem> items_;
    std::vector<LanguageListener*> listeners_;
    int currentIndex_ = -1;
    data::Settings& settings_;
    char separator_;
};

// The name the language list shows for a file extension (with its full stop, any letter case):
// the language's own name with the English one in brackets, UTF-8; an unknown extension as itself in
// upper case.
std::string LanguageDisplayName(const std::string& extension);
// The locale name ("de", "pt_BR") of a language file's extension (with its full stop, any letter case);
// empty when the extension names no known language.
std::string LanguageLocaleName(const std::string& extension);

// The lookup for texts that are not owned by a window object (the scheduler's row texts, the tray
// hint): answers from the manager's current file, reread after every change of language. Registers
// itself with the manager for its whole lifetime.
class CurrentLanguageLookup : public TextLookup, public LanguageListener {
  public:
    explicit CurrentLanguageLookup(TLangMgr& manager);
    ~CurrentLanguageLookup() override;

    CurrentLanguageLookup(const CurrentLanguageLookup&) = delete;
    CurrentLanguageLookup& operator=(const CurrentLanguageLookup&) = delete;

    std::string text(const std::string& section, const std::string& key,
                     const std::string& englishDefault) const override;
    void LanguageChanged() override;

  private:
    TLangMgr& manager_;
    std::unique_ptr<LanguageFile> file_;
};

} // namespace orvanta::i18n
