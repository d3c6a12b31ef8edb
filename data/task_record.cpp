#include "data/task_record.h"

#include "data/data_set.h"
#include "data/hex_codec.h"

namespace orvanta::data {

TaskRecord ReadTaskRecord(const DataSet& rows) {
    auto number = [&](const char* name) { return rows.fieldAsInt64(name); };
    auto text = [&](const char* name) { return HexDecode(rows.fieldAsText(name)); };
    TaskRecord t;
    t.id = number("ID");
    t.enabled = number("Enabled");
    t.title = text("Title");
    t.dateMode = number("DateMode");
    t.year = number("Year");
    t.month = number("Month");
    t.day = number("Day");
    t.sun = number("Sun");
    t.mon = number("Mon");
    t.tue = number("Tue");
    t.wed = number("Wed");
    t.thu = number("Thu");
    t.fri = number("Fri");
    t.sat = number("Sat");
    t.time = text("Time");
    t.loop = number("Loop");
    t.endTime = text("EndTime");
    t.hotkey1 = number("Hotkey1");
    t.hotkey2 = number("Hotkey2");
    t.hkLoop = number("hkLoop");
    t.countdown = number("Countdown");
    t.event = number("Event");
    t.macro = text("Macro");
    t.launch = text("Launch");
    t.terminate = text("Terminate");
    t.openFile = text("OpenFile");
    t.openUrl = text("OpenURL");
    t.message = text("Message");
    t.last = rows.fieldAsText("Last");
    return t;
}

} // namespace orvanta::data
