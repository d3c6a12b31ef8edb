#pragma once

#include "i18n/lang_mgr.h"

#include <QString>
#include <memory>

class QTranslator;

namespace orvanta::ui {

// The toolkit's own texts (file dialogs, the date picker, the standard buttons) in the chosen language:
// the toolkit's translation for the current language file is installed, and replaced at every change of
// language. Without one for that language the toolkit speaks English. Registers itself with the manager
// for its whole lifetime.
class ToolkitTranslations : public i18n::LanguageListener {
  public:
    // folder: where the toolkit's translation files are; empty: the toolkit's own installed folder.
    explicit ToolkitTranslations(i18n::TLangMgr& manager, QString folder = {});
    ~ToolkitTranslations() override;
    ToolkitTranslations(const ToolkitTranslations&) = delete;
    ToolkitTranslations& operator=(const ToolkitTranslations&) = delete;

    void LanguageChanged() override;

  private:
    i18n::TLangMgr& manager_;
    QString folder_;
    std::unique_ptr<QTranslator> translator_;
    QString installed_;
};

} // namespace orvanta::ui
