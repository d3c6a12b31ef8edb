#pragma once

#include <cstdint>
#include <string>

namespace orvanta::data {

class DataSet;

// Trigger kinds stored in DateMode.
enum DateMode : int { kHotkey = 0, kDaily = 1, kOnce = 2, kMonthly = 3, kAnnually = 4, kWeekly = 5 };

// Power and session codes stored in Event; 1 and 9 ask for the computer to be woken.
enum EventCode : int {
    kEventNone = 0,
    kEventWakeOnly = 1,
    kEventRestart = 2,
    kEventShutDown = 3,
    kEventLock = 4,
    kEventStandBy = 5,
    kEventHibernate = 6,
    kEventLogOff = 7,
    kEventMonitorOff = 8,
    kEventWakeAndRun = 9,
};

// One row of tasklist with the nine text columns decoded.
struct TaskRecord {
    std::int64_t id = 0;
    std::int64_t enabled = 1;
    std::string title;
    std::int64_t dateMode = kDaily;
    std::int64_t year = 0;
    std::int64_t month = 0;
    std::int64_t day = 0;
    std::int64_t sun = 0, mon = 0, tue = 0, wed = 0, thu = 0, fri = 0, sat = 0;
    std::string time;
    std::int64_t loop = 0;
    std::string endTime;
    std::int64_t hotkey1 = 0;
    std::int64_t hotkey2 = 0;
    std::int64_t hkLoop = 0;
    std::int64_t countdown = 0;
    std::int64_t event = kEventNone;
    std::string macro;
    std::string launch;
    std::string terminate;
    std::string openFile;
    std::string openUrl;
    std::string message;
    std::string last; // decimal text of the signed DOS date-time of the last save

    bool operator==(const TaskRecord&) const = default;
};

// Reads the current row of a tasklist query, decoding the hex columns. Raises on a bad hex pair.
TaskRecord ReadTaskRecord(const DataSet& rows);

} // namespace orvanta::data
