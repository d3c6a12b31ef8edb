#include "tools/orvantactl/task_description.h"

#include "tools/orvantactl/date_time_text.h"
#include "tools/orvantactl/task_names.h"

#include <cstdio>

namespace orvanta::ctl {
namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < ' ' || c == 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

class Lines {
  public:
    void text(const char* name, const std::string& value) {
        out_ += name;
        out_ += ':';
        if (!value.empty()) out_ += ' ' + Escaped(value);
        out_ += '\n';
    }
    void number(const char* name, std::int64_t value) { text(name, std::to_string(value)); }
    void number(const char* name, std::int64_t value, const std::string& meaning) {
        text(name, std::to_string(value) + " (" + meaning + ")");
    }
    std::string str() const { return out_; }

  private:
    std::string out_;
};

} // namespace

std::string DescribeTask(const data::TaskRecord& t) {
    Lines lines;
    lines.number("ID", t.id);
    lines.number("Enabled", t.enabled, t.enabled == 1 ? "enabled" : "disabled");
    lines.text("Title", t.title);
    lines.number("DateMode", t.dateMode, DateModeName(t.dateMode));
    lines.number("Year", t.year);
    lines.number("Month", t.month);
    lines.number("Day", t.day);
    lines.number("Sun", t.sun);
    lines.number("Mon", t.mon);
    lines.number("Tue", t.tue);
    lines.number("Wed", t.wed);
    lines.number("Thu", t.thu);
    lines.number("Fri", t.fri);
    lines.number("Sat", t.sat);
    lines.text("Time", t.time);
    lines.number("Loop", t.loop);
    lines.text("EndTime", t.endTime);
    lines.number("Hotkey1", t.hotkey1, ModifierName(t.hotkey1));
    lines.number("Hotkey2", t.hotkey2, KeyName(t.hotkey2));
    lines.number("hkLoop", t.hkLoop);
    lines.number("Countdown", t.countdown);
    lines.number("Event", t.event, EventName(t.event));
    lines.text("Macro", t.macro);
    lines.text("Launch", t.launch);
    lines.text("Terminate", t.terminate);
    lines.text("OpenFile", t.openFile);
    lines.text("OpenURL", t.openUrl);
    lines.text("Message", t.message);
    const std::string saved = DescribeDosDateTime(t.last);
    lines.text("Last", saved.empty() ? t.last : t.last + " (" + saved + ")");
    return lines.str();
}

} // namespace orvanta::ctl
