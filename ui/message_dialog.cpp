#include "ui/message_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace orvanta::ui {
namespace {

// Characters of one word before it may break: wide enough for any real word, narrow enough that the
// box stays on the screen at any font.
constexpr int kLongestUnbrokenRun = 40;

} // namespace

QString DisplayLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString WithBreaksInLongWords(const QString& text, int longestRun) {
    static const QChar kZeroWidthSpace(0x200B);
    QString result;
    result.reserve(text.size());
    int run = 0;
    for (const QChar c : text) {
        // A no-break space joins names such as "Ctrl + R" on purpose; only real spaces end a word.
        const bool endsWord = c.isSpace() && c != QChar::Nbsp;
        run = endsWord ? 0 : run + 1;
        // Never between the halves of a character outside the BMP, nor before a combining mark.
        const bool joinsThePrevious = c.isLowSurrogate() || c.category() == QChar::Mark_NonSpacing ||
                                      c.category() == QChar::Mark_Enclosing;
        if (run > longestRun && !joinsThePrevious) {
            result += kZeroWidthSpace;
            run = 1;
        }
        result += c;
    }
    return result;
}

MessageDialog::MessageDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("suiMessageDialog1");
    setModal(true);
    icon_ = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(side, side));
    icon_->setAlignment(Qt::AlignTop);
    text_ = new QLabel(this);
    text_->setObjectName("messageText");
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
    shownText_ = DisplayLineBreaks(text);
    text_->setText(WithBreaksInLongWords(shownText_, kLongestUnbrokenRun));
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
    // Never wider than the screen it opens on: the text wraps to the width it gets instead.
    const QScreen* shownOn = parentWidget() ? parentWidget()->screen() : screen();
    const int room = shownOn ? shownOn->availableGeometry().width() * 9 / 10 : hint.width();
    const int width = std::min(hint.width(), std::max(room, minimumSizeHint().width()));
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : hint.height();
    // A text taller than the screen is cut rather than pushing the buttons off it.
    const int heightRoom = shownOn ? shownOn->availableGeometry().height() * 9 / 10 : height;
    resize(width,
           std::min(std::max(height, hint.height()), std::max(heightRoom, minimumSizeHint().height())));
}

QString MessageDialog::text() const {
    return shownText_;
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
