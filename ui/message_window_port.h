#pragma once

#include "actions/reminder_messages.h"
#include "ui/message_form.h"

#include <memory>

namespace orvanta::ui {

// The message window as the actions write reminder messages into it. Most runs never show a message,
// so the window is made by the first one and kept, with its place and entries, for the rest of the run.
class MessageWindowPort : public actions::MessageWindow {
  public:
    explicit MessageWindowPort(i18n::TLangMgr& languages) : languages_(languages) {}

    std::string text() const override { return form_ ? form_->text() : std::string(); }
    void setText(const std::string& text) override { form().setText(text); }
    void showModeless() override { form().showModeless(); }

    bool built() const { return form_ != nullptr; }
    TMessageForm& form() {
        if (!form_) form_ = std::make_unique<TMessageForm>(languages_);
        return *form_;
    }

  private:
    i18n::TLangMgr& languages_;
    std::unique_ptr<TMessageForm> form_;
};

} // namespace orvanta::ui
