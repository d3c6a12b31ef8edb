#include "ui/set_pw_form.h"

#include "data/settings/password.h"
#include "data/settings/settings_keys.h"
#include "ui/error_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orvanta::ui {

namespace keys = data::settings_keys;

namespace {

QLineEdit* PasswordEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QLabel* Caption(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TSetPWForm::TSetPWForm(i18n::TLangMgr& languages, data::Settings& settings, ErrorBox& errors, Ask ask,
                       QWidget* parent)
    : QDialog(parent), TLangForm(this, "TSetPWForm", languages), settings_(settings), errors_(errors),
      ask_(std::move(ask)) {
    setObjectName("SetPWForm");
    setWindowTitle(QStringLiteral("Lock Password"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = Caption(this, "Label1", "Old Password:");
    Edit1 = PasswordEdit(this, "Edit1");
    Label2 = Caption(this, "Label2", "New Password:");
    Edit2 = PasswordEdit(this, "Edit2");
    Label3 = Caption(this, "Label3", "Re-enter:");
    Edit3 = PasswordEdit(this, "Edit3");
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName("Button1");

    // The old-password row comes first, and only where there is an old password; without it the rows
    // below move up and the dialog is one row shorter.
    const bool passwordStored = !settings_.read(keys::kEncodedPassword).empty();
    auto* layout = new QGridLayout(this);
    int row = 0;
    if (passwordStored) {
        layout->addWidget(Label1, row, 0);
        layout->addWidget(Edit1, row++, 1);
    } else {
        Label1->hide();
        Edit1->hide();
    }
    layout->addWidget(Label2, row, 0);
    layout->addWidget(Edit2, row++, 1);
    layout->addWidget(Label3, row, 0);
    layout->addWidget(Edit3, row++, 1);
    layout->addWidget(Button1, row, 1, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TSetPWForm::Button1Click);
    ReloadLanguage();
}

void TSetPWForm::Button1Click() {
    RunGuarded(errors_, [this] {
        const QString ok = GetLangText("Button1Caption", "OK");
        const std::string stored = settings_.read(keys::kEncodedPassword);
        if (data::EncodePassword(Edit1->text().toUtf8().toStdString()) != stored) {
            ask_(GetLangText("Err1", "The old password is wrong!"), {ok});
            return;
        }
        if (Edit2->text() != Edit3->text()) {
            ask_(GetLangText("Err2", "The two passwords are inconsistent!"), {ok});
            return;
        }
        if (!Edit1->text().isEmpty() || !Edit2->text().isEmpty()) {
            if (ask_(GetLangText("Err3", "Confirm change this password?"),
                     {ok, GetLangText("Button2Caption", "Cancel")}) == 1)
                settings_.write(keys::kEncodedPassword,
                                data::EncodePassword(Edit2->text().toUtf8().toStdString()));
        }
        accept();
    });
}

} // namespace orvanta::ui
