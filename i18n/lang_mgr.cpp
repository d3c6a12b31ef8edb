#include "i18n/lang_mgr.h"

#include "data/error.h"
#include "data/settings/settings_keys.h"
#include "i18n/language_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orvanta::i18n {
namespace {

constexpr std::string_view kFilePrefix = "Orvanta.";

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// The file name's extension with its full stop, as the name spells it.
std::string ExtensionOf(const std::string& path, char separator) {
    const std::size_t nameStart = path.find_last_of(separator);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) return {};
    return path.substr(dot);
}

// The language files are found the way the Windows shell matches "Orvanta.*": without regard to case.
bool IsLanguageFileName(std::string_view name) {
    return name.size() >= kFilePrefix.size() &&
           SameIgnoringCase(name.substr(0, kFilePrefix.size()), kFilePrefix);
}

// Every language file in the folder, in the order the directory listing gives them. A file only counts
// when it has a General section; anything unreadable is passed over.
std::vector<TLangItem> ScanLanguageFolder(const std::string& folder, char separator) {
    std::vector<TLangItem> items;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) return items;
    for (std::filesystem::directory_iterator end; entries != end; entries.increment(error)) {
        if (error) break;
        const std::string name = entries->path().filename().string();
        if (!IsLanguageFileName(name)) continue;
        std::string path = folder + separator + name;
        std::unique_ptr<LanguageFile> file = LanguageFile::Open(path);
        if (!file || !file->hasSection("General")) continue;
        items.push_back({file->text("General", "Language", "<Unknown>"), std::move(path)});
    }
    return items;
}

} // namespace

TLangMgr::TLangMgr(std::string exeFolder, char pathSeparator, data::Settings& settings,
                   platform::LocaleInfo& locale)
    : settings_(settings), separator_(pathSeparator) {
    if (!exeFolder.empty() && exeFolder.back() == pathSeparator) exeFolder.pop_back();
    items_ = ScanLanguageFolder(exeFolder + pathSeparator + "Language", pathSeparator);

    std::string extension = settings_.read(data::settings_keys::kLanguageExtension);
    if (extension.empty()) extension = "." + locale.abbreviatedLanguageName();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (SameIgnoringCase(ExtensionOf(items_[i].FileName, separator_), extension)) {
            currentIndex_ = static_cast<int>(i);
            break;
        }
    }
}

TLangMgr::~TLangMgr() = default;

int TLangMgr::GetLanguageFiles(std::vector<std::string>& files) const {
    files.clear();
    for (const TLangItem& item : items_)
        files.push_back(item.FileName);
    return currentIndex_;
}

void TLangMgr::SetLanguage(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < items_.size()) {
        currentIndex_ = index;
        settings_.write(data::settings_keys::kLanguageExtension,
                        ExtensionOf(items_[index].FileName, separator_));
    }
    // A listener may close a window while it is told, so each one is asked only while still registered;
    // windows registered meanwhile were built in the new language already.
    const std::vector<LanguageListener*> toNotify = listeners_;
    for (LanguageListener* listener : toNotify) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->LanguageChanged();
    }
}

std::string TLangMgr::CurrentLanguageFile() const {
    if (currentIndex_ < 0 || static_cast<std::size_t>(currentIndex_) >= items_.size()) return {};
    return items_[currentIndex_].FileName;
}

void TLangMgr::AddListener(LanguageListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TLangMgr::RemoveListener(LanguageListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TLangMgr::CheckNoListeners() const {
    if (!listeners_.empty()) throw Error("unsafe free of Language Manager!");
}

CurrentLanguageLookup::CurrentLanguageLookup(TLangMgr& manager)
    : manager_(manager), file_(LanguageFile::Open(manager.CurrentLanguageFile())) {
    manager_.AddListener(this);
}

CurrentLanguageLookup::~CurrentLanguageLookup() {
    manager_.RemoveListener(this);
}

std::string CurrentLanguageLookup::text(const std::string& section, const std::string& key,
                                        const std::string& englishDefault) const {
    return file_ ? file_->text(section, key, englishDefault) : englishDefault;
}

void CurrentLanguageLookup::LanguageChanged() {
    file_ = LanguageFile::Open(manager_.CurrentLanguageFile());
}

} // namespace orvanta::i18n
