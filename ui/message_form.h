#pragma once

#include "ui/lang_form.h"

#include <QWidget>
#include <string>

class QLabel;
class QPushButton;
class QScrollArea;

namespace orvanta::ui {

// The reminder messages of tasks, newest on top, until the user clears them with OK. One window for the
// whole run, created hidden; closing it from the title bar only hides it and keeps the messages.
class TMessageForm : public QWidget, public TLangForm {
    Q_OBJECT

  public:
    explicit TMessageForm(i18n::TLangMgr& languages);

    // The whole content: entries separated by an empty line (CR LF, CR LF), the newest first.
    std::string text() const { return text_; }
    void setText(const std::string& text);
    // Shows the window without making it modal: the caller goes on at once.
    void showModeless();

    void Button1Click();

    QLabel* Label1() const { return label_; }
    QScrollArea* ScrollBox1() const { return scrollBox_; }
    QPushButton* Button1() const { return button_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::string text_;
    QScrollArea* scrollBox_;
    QLabel* label_;
    QLabel* labelp_;
    QPushButton* button_;
};

} // namespace orvanta::ui
