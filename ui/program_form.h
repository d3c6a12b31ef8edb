#pragma once

#include "ui/lang_form.h"

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta::ui {

class ErrorBox;

// The program of a Launch Program action and its parameters, with a Test that starts them at once.
// Writes nothing itself: the editor takes the two fields over on OK (result 1); Cancel gives 2.
class TProgramForm : public QDialog, public TLangForm {
    Q_OBJECT

  public:
    struct Ports {
        // A file-open dialog for an existing file; empty when cancelled.
        std::function<QString(QWidget* parent, const QString& filter)> pickFile;
        // Starts a "program | parameters" value the way a task would.
        std::function<void(const std::string& launchValue)> launch;
        ErrorBox& errors;
    };

    TProgramForm(i18n::TLangMgr& languages, Ports ports, QWidget* parent = nullptr);

    // Splits the editor's "program | parameters" command into the two fields.
    void SetLaunchCommand(const std::string& command);
    QString program() const;
    QString parameters() const;

  private:
    void suiButton1Click();
    void suiButton2Click();
    void testClick();

    QLabel *Label1, *Label2;
    QLineEdit *Edit2, *Edit1;
    QPushButton *suiButton1, *suiButton2, *test, *Button2, *Button1;
    Ports ports_;
};

} // namespace orvanta::ui
