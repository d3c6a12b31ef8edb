#include "tools/orvantactl/generated_title.h"

#include <array>

namespace orvanta::ctl {
namespace {

// Indexed by the event code; the shut-down caption really ends with a blank.
constexpr std::array<const char*, 9> kPowerCaptions = {nullptr,      nullptr,        "Reboot",
                                                       "Shut down ", "Lock Desktop", "Sleep",
                                                       "Hibernate",  "Log off",      "Close Monitor"};

void AppendAction(std::string& text, const char* caption, const std::string& value) {
    text += caption;
    text += ": ";
    text += value;
    text += "  ";
}

} // namespace

std::string FileNamePart(const std::string& path) {
    const std::size_t last = path.find_last_of("/\\:");
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string GeneratedTitle(const data::TaskRecord& task) {
    std::string text;
    if (task.event == data::kEventWakeOnly || task.event == data::kEventWakeAndRun) text = "Wake up  ";
    if (task.event >= data::kEventRestart && task.event <= data::kEventMonitorOff)
        text = kPowerCaptions[task.event];
    if (!task.macro.empty()) AppendAction(text, "Keyboard/Mouse Macro", FileNamePart(task.macro));
    // The program is what stands before the bar, together with the blank in front of it.
    if (!task.launch.empty())
        AppendAction(text, "Launch Program", FileNamePart(task.launch.substr(0, task.launch.find('|'))));
    if (!task.terminate.empty()) AppendAction(text, "Terminate Process", FileNamePart(task.terminate));
    if (!task.openFile.empty()) AppendAction(text, "Open File", FileNamePart(task.openFile));
    if (!task.openUrl.empty()) AppendAction(text, "Open URL", task.openUrl);
    if (!task.message.empty()) text += "Reminder: " + task.message;
    return text;
}

} // namespace orvanta::ctl
