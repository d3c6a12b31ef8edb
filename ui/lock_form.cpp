#include "ui/lock_form.h"

#include "data/settings/password.h"
#include "data/settings/settings_keys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace orvanta::ui {

TLockForm::TLockForm(i18n::TLangMgr& languages, const data::Settings& settings, bool& lockCancelled,
                     QWidget* parent)
    : QDialog(parent), TLangForm(this, "TLockForm", languages), settings_(settings),
      lockCancelled_(lockCancelled) {
    setObjectName("LockForm");
    setWindowTitle(QStringLiteral("Orvanta"));
    // A title bar with nothing but the close button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("Please enter password:"), this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setEchoMode(QLineEdit::Password);
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName("Button2");
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setObjectName("Button1");
    // Enter belongs to the password field: with a default button it would end the dialog on a wrong
    // password too.
    for (QPushButton* b : {Button2, Button1}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 1, 0);
    layout->addLayout(buttons, 2, 0);

    connect(Button2, &QPushButton::clicked, this, &TLockForm::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TLockForm::Button1Click);
    connect(Edit1, &QLineEdit::returnPressed, this, &TLockForm::Edit1EnterPressed);

    ReloadLanguage();
    lockCancelled_ = true;
    setFixedSize(sizeHint().expandedTo(QSize(280, 0)));
}

bool TLockForm::Ask(i18n::TLangMgr& languages, const data::Settings& settings, bool& lockCancelled,
                    QWidget* parent) {
    TLockForm prompt(languages, settings, lockCancelled, parent);
    prompt.exec();
    return !lockCancelled;
}

bool TLockForm::CheckPassword() {
    const std::string stored = settings_.read(data::settings_keys::kEncodedPassword);
    if (data::EncodePassword(Edit1->text().toUtf8().toStdString()) == stored) {
        lockCancelled_ = false;
        return true;
    }
    // The next try starts from an empty field, not from the wrong text hidden behind the stars.
    Edit1->clear();
    QMessageBox notice(QMessageBox::Warning, windowTitle(), GetLangText("Err1", "Password is wrong!"),
                       QMessageBox::Ok, this);
    notice.exec();
    return false;
}

void TLockForm::Button2Click() {
    CheckPassword();
    reject();
}

void TLockForm::Button1Click() {
    lockCancelled_ = true;
    reject();
}

void TLockForm::Edit1EnterPressed() {
    if (CheckPassword()) reject();
}

} // namespace orvanta::ui
