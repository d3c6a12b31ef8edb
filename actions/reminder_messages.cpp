#include "actions/reminder_messages.h"

#include <cstdio>

namespace orvanta::actions {

void PrintingMessageWindow::setText(const std::string& text) {
    out_ << text << '\n' << std::flush;
}

std::string DefaultStamp(const platform::LocalDateTime& when) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %d:%02d:%02d", when.year, when.month, when.day,
                  when.hour, when.minute, when.second);
    return buffer;
}

std::string WithNewEntry(std::string_view previousText, std::string_view entry) {
    std::string text(entry);
    if (!previousText.empty()) {
        text += kLineBreak;
        text += kLineBreak;
        text += previousText;
    }
    return text;
}

void ShowReminderMessage(MessageWindow& window, platform::AlertSound& sound, const platform::Clock& clock,
                         const StampFormat& stamp, std::string_view message) {
    std::string entry = stamp ? stamp(clock.now()) : DefaultStamp(clock.now());
    entry += kLineBreak;
    entry += message;
    sound.beep();
    window.setText(WithNewEntry(window.text(), entry));
    window.showModeless();
}

} // namespace orvanta::actions
