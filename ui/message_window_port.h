#pragma once

#include "actions/reminder_messages.h"
#include "ui/message_form.h"

namespace orvanta::ui {

// The message window as the actions write reminder messages into it.
class MessageWindowPort : public actions::MessageWindow {
  public:
    explicit MessageWindowPort(TMessageForm& form) : form_(form) {}
    std::string text() const override { return form_.text(); }
    void setText(const std::string& text) override { form_.setText(text); }
    void showModeless() override { form_.showModeless(); }

  private:
    TMessageForm& form_;
};

} // namespace orvanta::ui
