#pragma once

#include "platform/api/alert_sound.h"
#include "platform/api/clock.h"

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace orvanta::actions {

// Where reminder messages are shown: the message window in the program, standard output in a tool.
// Its text is what the user currently sees; the user may clear it at any time.
class MessageWindow {
  public:
    virtual ~MessageWindow() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    // Shows the window without making it modal: the caller goes on at once.
    virtual void showModeless() = 0;
};

// Prints each new message and keeps nothing: what has been printed cannot be taken back, so every
// message starts from an empty text.
class PrintingMessageWindow : public MessageWindow {
  public:
    explicit PrintingMessageWindow(std::ostream& out) : out_(out) {}
    std::string text() const override { return {}; }
    void setText(const std::string& text) override;
    void showModeless() override {}

  private:
    std::ostream& out_;
};

inline constexpr std::string_view kLineBreak = "\r\n";

// How the arrival of a message is stamped.
using StampFormat = std::function<std::string(const platform::LocalDateTime&)>;

// "2025-03-07 9:05:00": a date that reads the same everywhere and the program's H:mm:ss.
std::string DefaultStamp(const platform::LocalDateTime& when);

// The window's text after a new entry: the entry alone when the window is empty, else the entry, an
// empty line, and what was there, so the newest message is on top.
std::string WithNewEntry(std::string_view previousText, std::string_view entry);

// Stamps the message with the clock, beeps, puts it on top of the window and shows the window.
void ShowReminderMessage(MessageWindow& window, platform::AlertSound& sound, const platform::Clock& clock,
                         const StampFormat& stamp, std::string_view message);

} // namespace orvanta::actions
