#include "ui/toolkit_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orvanta::ui {

ToolkitTranslations::ToolkitTranslations(i18n::TLangMgr& manager, QString folder)
    : manager_(manager),
      folder_(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : std::move(folder)) {
    manager_.AddListener(this);
    LanguageChanged();
}

ToolkitTranslations::~ToolkitTranslations() {
    manager_.RemoveListener(this);
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

void ToolkitTranslations::LanguageChanged() {
    const std::string file = manager_.CurrentLanguageFile();
    const std::size_t dot = file.rfind('.');
    const QString locale = QString::fromStdString(
        dot == std::string::npos ? std::string() : i18n::LanguageLocaleName(file.substr(dot)));
    if (locale == installed_) return;
    // Month and day names of the date picker come from the default locale, not from a translation.
    const QLocale system = QLocale::system();
    const bool english = locale.isEmpty() || locale == QLatin1String("en");
    QLocale::setDefault(english ? (system.language() == QLocale::English ? system : QLocale(QLocale::English))
                                : QLocale(locale));
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
    installed_.clear();
    if (locale.isEmpty() || locale == QLatin1String("en")) return;
    auto translator = std::make_unique<QTranslator>();
    // "qt_" bundles the base and the other modules where a distribution ships it; "qtbase_" is the part
    // the widgets use.
    if (!translator->load(QStringLiteral("qt_") + locale, folder_) &&
        !translator->load(QStringLiteral("qtbase_") + locale, folder_))
        return;
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
    installed_ = locale;
}

} // namespace orvanta::ui
