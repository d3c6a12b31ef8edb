#include "ui/lang_form.h"

#include "i18n/language_file.h"
#include "ui/lang_format.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <optional>

namespace orvanta::ui {
namespace {

// A menu separator is captioned "-"; giving it a translated text would turn it into an item.
constexpr QLatin1StringView kSeparatorText("-");

// Redrawing stays off while the texts change, and comes back on whatever happens meanwhile.
class UpdatesSuspended {
  public:
    explicit UpdatesSuspended(QWidget* window) : window_(window), wasEnabled_(window->updatesEnabled()) {
        window_->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended() { window_->setUpdatesEnabled(wasEnabled_); }
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

  private:
    QWidget* window_;
    bool wasEnabled_;
};

// Whether a control's texts are the window's to translate. A date or time field shows a value, not a
// text of the language, and its inner line edit and arrows belong to it. A dialog parented to the window
// is a window of its own, translated from its own section; menus are windows to Qt too, but part of ours.
bool BelongsToTranslation(const QObject* object, const QWidget* window) {
    for (const QObject* o = object; o && o != window; o = o->parent()) {
        if (qobject_cast<const QDateTimeEdit*>(o)) return false;
        const auto* widget = qobject_cast<const QWidget*>(o);
        if (widget && widget->isWindow() && widget->windowType() != Qt::Popup) return false;
    }
    return true;
}

// The tab widget showing this widget as one of its pages, if any. Pages sit in the tab widget's
// internal stack, so the stack's parent is the tab widget.
QTabWidget* TabWidgetOfPage(QWidget* widget) {
    auto* stack = qobject_cast<QStackedWidget*>(widget->parent());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parent()) : nullptr;
    return (tabs && tabs->indexOf(widget) >= 0) ? tabs : nullptr;
}

// One translatable text property of a control: how to read it and how to set it.
struct TextProperty {
    QString value;
    std::function<void(const QString&)> set;
};

std::optional<TextProperty> CaptionOf(QObject* object) {
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return TextProperty{button->text(), [button](const QString& t) { button->setText(t); }};
    if (auto* label = qobject_cast<QLabel*>(object))
        return TextProperty{label->text(), [label](const QString& t) { label->setText(t); }};
    if (auto* action = qobject_cast<QAction*>(object))
        return TextProperty{action->text(), [action](const QString& t) { action->setText(t); }};
    if (auto* menu = qobject_cast<QMenu*>(object))
        return TextProperty{menu->title(), [menu](const QString& t) { menu->setTitle(t); }};
    if (auto* box = qobject_cast<QGroupBox*>(object))
        return TextProperty{box->title(), [box](const QString& t) { box->setTitle(t); }};
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (QTabWidget* tabs = TabWidgetOfPage(widget)) {
            const int index = tabs->indexOf(widget);
            return TextProperty{tabs->tabText(index),
                                [tabs, index](const QString& t) { tabs->setTabText(index, t); }};
        }
    }
    return std::nullopt;
}

std::optional<TextProperty> TextOf(QObject* object) {
    if (auto* edit = qobject_cast<QLineEdit*>(object))
        return TextProperty{edit->text(), [edit](const QString& t) { edit->setText(t); }};
    if (auto* combo = qobject_cast<QComboBox*>(object); combo && combo->isEditable())
        return TextProperty{combo->currentText(), [combo](const QString& t) { combo->setEditText(t); }};
    return std::nullopt;
}

std::optional<TextProperty> HintOf(QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object))
        return TextProperty{action->toolTip(), [action](const QString& t) { action->setToolTip(t); }};
    if (auto* widget = qobject_cast<QWidget*>(object))
        return TextProperty{widget->toolTip(), [widget](const QString& t) { widget->setToolTip(t); }};
    return std::nullopt;
}

} // namespace

TLangForm::TLangForm(QWidget* window, std::string section, i18n::TLangMgr& manager)
    : window_(window), section_(std::move(section)), manager_(manager) {
    manager_.AddListener(this);
}

TLangForm::~TLangForm() {
    manager_.RemoveListener(this);
}

QString TLangForm::GetLangText(const char* key, const QString& englishDefault) const {
    if (!languageFile_ || !key) return englishDefault;
    std::optional<std::string> found = languageFile_->value(section_, key);
    return found ? QString::fromUtf8(*found) : englishDefault;
}

QString TLangForm::FormatLangText(const char* key, const QString& englishDefault,
                                  const QStringList& args) const {
    const QString format = GetLangText(key, englishDefault);
    return FormatText(format, args).value_or(format);
}

void TLangForm::ReloadLanguage() {
    // A file gone since the start leaves the window as it is; its lookups give their defaults.
    languageFile_ = i18n::LanguageFile::Open(manager_.CurrentLanguageFile());
    if (!languageFile_) return;
    UpdatesSuspended suspended(window_);
    TranslateWindow();
}

void TLangForm::TranslateWindow() {
    // General/Charset names a Windows character set for the font. Qt fonts cover Unicode whatever the
    // language, so it has nothing to set here and is not read.
    QFont font = window_->font();
    const QString family =
        QString::fromUtf8(languageFile_->text("General", "FontName", font.family().toStdString()));
    const int pointSize = languageFile_->integer("General", "FontSize").value_or(font.pointSize());
    if (family != font.family() || (pointSize > 0 && pointSize != font.pointSize())) {
        font.setFamily(family);
        if (pointSize > 0) font.setPointSize(pointSize);
        window_->setFont(font);
    }

    window_->setWindowTitle(GetLangText("Caption", window_->windowTitle()));

    // Every default is the current text, so a key the new file lacks keeps the previous language.
    auto translate = [this](const QString& name, const char* property, std::optional<TextProperty> text) {
        if (!text || text->value == kSeparatorText) return;
        const QString translated = GetLangText(
            (name + QLatin1Char('.') + QLatin1String(property)).toUtf8().constData(), text->value);
        if (translated != text->value) text->set(translated);
    };
    for (QObject* object : window_->findChildren<QObject*>()) {
        const QString name = object->objectName();
        // Qt names the parts it builds inside its own widgets "qt_..."; they are not the window's controls.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || !BelongsToTranslation(object, window_))
            continue;
        translate(name, "Caption", CaptionOf(object));
        translate(name, "Text", TextOf(object));
        translate(name, "Hint", HintOf(object));
    }
}

} // namespace orvanta::ui
