#include "ui/message_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace orvanta::ui {

QString DisplayLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

MessageDialog::MessageDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("suiMessageDialog1");
    setModal(true);
    icon_ = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(side, side));
    icon_->setAlignment(Qt::AlignTop);
    text_ = new QLabel(this);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    buttons_ = new QDialogButtonBox(this);

    auto* row = new QHBoxLayout;
    row->addWidget(icon_);
    row->addWidget(text_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons_);
}

int MessageDialog::Ask(const QString& caption, const QString& text, const QStringList& buttonCaptions) {
    setWindowTitle(caption);
    text_->setText(DisplayLineBreaks(text));
    buttons_->clear();
    for (int i = 0; i < buttonCaptions.size(); ++i) {
        QPushButton* button = buttons_->addButton(buttonCaptions[i], QDialogButtonBox::ActionRole);
        const int number = i + 1;
        connect(button, &QPushButton::clicked, this, [this, number] { done(number); });
        if (i == 0) button->setDefault(true);
    }
    FitToText();
    // Escape and the title bar's close answer 0, which no caller takes for yes.
    return exec();
}

void MessageDialog::FitToText() {
    // The box is reused: a size kept from a shorter text would clip this one, and a wrapped text needs
    // the height for the width it gets, which the plain size hint does not give.
    layout()->invalidate();
    layout()->activate();
    const QSize hint = sizeHint();
    const int width = hint.width();
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : hint.height();
    resize(width, std::max(height, hint.height()));
}

QString MessageDialog::text() const {
    return text_->text();
}

QStringList MessageDialog::buttonCaptions() const {
    QStringList captions;
    for (QAbstractButton* button : buttons_->buttons())
        captions << button->text();
    return captions;
}

void MessageDialog::PressButton(int number) {
    const QList<QAbstractButton*> buttons = buttons_->buttons();
    if (number >= 1 && number <= buttons.size()) buttons[number - 1]->click();
}

} // namespace orvanta::ui
