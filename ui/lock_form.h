#pragma once

#include "data/settings/settings.h"
#include "ui/lang_form.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta::ui {

// The settings password prompt. Both buttons end the dialog at once; the outcome is what it leaves in
// the caller's "prompt cancelled" flag, which it sets on creation and clears only for the right password.
// Enter in the password field checks without ending the dialog on a wrong password, so the user can try
// again; OK ends it whatever the outcome.
class TLockForm : public QDialog, public TLangForm {
    Q_OBJECT

  public:
    TLockForm(i18n::TLangMgr& languages, const data::Settings& settings, bool& lockCancelled,
              QWidget* parent = nullptr);

    // A new prompt, shown modally. Returns true when the right password was entered.
    static bool Ask(i18n::TLangMgr& languages, const data::Settings& settings, bool& lockCancelled,
                    QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button2 = nullptr; // OK
    QPushButton* Button1 = nullptr; // Cancel

    void Button2Click();
    void Button1Click();
    void Edit1EnterPressed();

  private:
    // True when the entry is the stored password; a wrong one is told to the user.
    bool CheckPassword();

    const data::Settings& settings_;
    bool& lockCancelled_;
};

} // namespace orvanta::ui
