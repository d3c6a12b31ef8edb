#pragma once

#include "i18n/lang_mgr.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string>

class QWidget;

namespace orvanta::i18n {
class LanguageFile;
}

namespace orvanta::ui {

// Base of every window: translates the window from the current language file and offers the lookups.
class TLangForm : public i18n::LanguageListener {
  public:
    // section = the window's class name, e.g. "TMainForm". Registers with the manager (AddListener).
    // The window calls ReloadLanguage() itself once its widgets exist, before its own creation logic.
    TLangForm(QWidget* window, std::string section, i18n::TLangMgr& manager);
    ~TLangForm() override; // RemoveListener, closes the file

    TLangForm(const TLangForm&) = delete;
    TLangForm& operator=(const TLangForm&) = delete;

    QString GetLangText(const char* key, const QString& englishDefault) const;
    // The lookup used as a format string ("%s", "%d" and friends, as in the language files); on a
    // formatting failure the unformatted text.
    QString FormatLangText(const char* key, const QString& englishDefault, const QStringList& args) const;
    void ReloadLanguage(); // reopen the current file, translate the window
    void LanguageChanged() override { ReloadLanguage(); }
    i18n::TLangMgr& langManager() const { return manager_; }

  private:
    void TranslateWindow();

    QWidget* window_;
    std::string section_;
    i18n::TLangMgr& manager_;
    std::unique_ptr<i18n::LanguageFile> languageFile_;
};

} // namespace orvanta::ui
