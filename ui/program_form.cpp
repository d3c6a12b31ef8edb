#include "ui/program_form.h"

#include "ui/error_box.h"
#include "ui/named_widget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orvanta::ui {

TProgramForm::TProgramForm(i18n::TLangMgr& languages, Ports ports, QWidget* parent)
    : QDialog(parent), TLangForm(this, "TProgramForm", languages), ports_(std::move(ports)) {
    setObjectName("ProgramForm");
    setWindowTitle(QStringLiteral("Select Program"));
    auto* grid = new QGridLayout(this);
    Label1 = Named(new QLabel(QStringLiteral("Program:"), this), "Label1");
    Label2 = Named(new QLabel(QStringLiteral("Parameters:"), this), "Label2");
    Edit2 = Named(new QLineEdit(this), "Edit2");
    Edit1 = Named(new QLineEdit(this), "Edit1");
    suiButton1 = Named(new QPushButton(QStringLiteral("..."), this), "suiButton1");
    suiButton2 = Named(new QPushButton(QStringLiteral("..."), this), "suiButton2");
    test = Named(new QPushButton(QStringLiteral("Test"), this), "test");
    Button2 = Named(new QPushButton(QStringLiteral("OK"), this), "Button2");
    Button1 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button1");
    for (QPushButton* b : {suiButton1, suiButton2, test})
        b->setToolTip(QStringLiteral("Selects a file."));
    Button2->setDefault(true);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit2, 0, 1);
    grid->addWidget(suiButton1, 0, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(suiButton2, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test);
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    grid->addLayout(buttons, 2, 0, 1, 3);
    ReloadLanguage();

    connect(suiButton1, &QPushButton::clicked, this, &TProgramForm::suiButton1Click);
    connect(suiButton2, &QPushButton::clicked, this, &TProgramForm::suiButton2Click);
    connect(test, &QPushButton::clicked, this, &TProgramForm::testClick);
    connect(Button2, &QPushButton::clicked, this, [this] { done(1); });
    connect(Button1, &QPushButton::clicked, this, [this] { done(2); });
}

void TProgramForm::SetLaunchCommand(const std::string& command) {
    const auto bar = command.find('|');
    if (bar == std::string::npos) {
        Edit2->setText(QString::fromStdString(command));
        Edit1->clear();
        return;
    }
    // The editor writes a blank on each side of the bar; those blanks are not part of either field.
    Edit2->setText(QString::fromStdString(command.substr(0, bar > 0 ? bar - 1 : 0)));
    Edit1->setText(
        QString::fromStdString(bar + 2 <= command.size() ? command.substr(bar + 2) : std::string()));
}

QString TProgramForm::program() const {
    return Edit2->text();
}

QString TProgramForm::parameters() const {
    return Edit1->text();
}

void TProgramForm::suiButton1Click() {
    RunGuarded(ports_.errors, [this] {
        if (!ports_.pickFile) return;
        const QString file = ports_.pickFile(this, QStringLiteral("*.exe"));
        if (!file.isEmpty()) Edit2->setText(file);
    });
}

void TProgramForm::suiButton2Click() {
    RunGuarded(ports_.errors, [this] {
        if (!ports_.pickFile) return;
        const QString file = ports_.pickFile(this, QStringLiteral("*.*"));
        if (!file.isEmpty()) Edit1->setText(file);
    });
}

void TProgramForm::testClick() {
    // The same start a task makes, so the user sees what the task will do; quoting a parameter that names
    // an existing file is part of that start.
    RunGuarded(ports_.errors, [this] {
        if (Edit2->text().isEmpty() || !ports_.launch) return;
        ports_.launch((Edit2->text() + "|" + Edit1->text()).toStdString());
    });
}

} // namespace orvanta::ui
