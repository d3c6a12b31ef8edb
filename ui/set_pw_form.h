#pragma once

#include "data/settings/settings.h"
#include "ui/lang_form.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta::ui {

class ErrorBox;

// Sets, changes or removes the settings password. The old password is asked only when one is stored;
// an empty new password with the right old one removes it.
class TSetPWForm : public QDialog, public TLangForm {
    Q_OBJECT

  public:
    // Asks in the main window's message box: text and button captions; returns 1 for the first button.
    using Ask = std::function<int(const QString& text, const QStringList& buttonCaptions)>;

    TSetPWForm(i18n::TLangMgr& languages, data::Settings& settings, ErrorBox& errors, Ask ask,
               QWidget* parent);

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;
    QPushButton* Button1 = nullptr;

    void Button1Click();

  private:
    data::Settings& settings_;
    ErrorBox& errors_;
    Ask ask_;
};

} // namespace orvanta::ui
