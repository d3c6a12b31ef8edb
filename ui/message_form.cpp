#include "ui/message_form.h"

#include "ui/app_icon.h"
#include "ui/message_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace orvanta::ui {

TMessageForm::TMessageForm(i18n::TLangMgr& languages)
    : QWidget(nullptr, Qt::Window), TLangForm(this, "TMessageForm", languages) {
    setObjectName("MessageForm");
    setWindowTitle(QStringLiteral("Reminder"));
    setWindowIcon(AppIcon());

    scrollBox_ = new QScrollArea(this);
    scrollBox_->setObjectName("ScrollBox1");
    scrollBox_->setWidgetResizable(true);
    label_ = new QLabel;
    label_->setObjectName("Label1");
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_->setStyleSheet(QStringLiteral("color: blue"));
    scrollBox_->setWidget(label_);

    labelp_ = new QLabel(QStringLiteral("Orvanta"), this);
    labelp_->setObjectName("Labelp");
    button_ = new QPushButton(QStringLiteral("OK"), this);
    button_->setObjectName("Button1");
    connect(button_, &QPushButton::clicked, this, &TMessageForm::Button1Click);

    // The box takes every pixel the window gains; the bottom row with OK stays visible.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(labelp_);
    bottom->addStretch(1);
    bottom->addWidget(button_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scrollBox_, 1);
    layout->addLayout(bottom);
    resize(360, 260);

    ReloadLanguage();
    move(10, 10);
}

void TMessageForm::setText(const std::string& text) {
    text_ = text;
    label_->setText(DisplayLineBreaks(QString::fromStdString(text)));
}

void TMessageForm::showModeless() {
    show();
    raise();
}

void TMessageForm::Button1Click() {
    setText({});
    hide();
}

void TMessageForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

} // namespace orvanta::ui
