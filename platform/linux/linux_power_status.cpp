#include "platform/linux/linux_power_status.h"

#include "platform/linux/linux_wake_timer.h"
#include "platform/linux/system_bus.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace orvanta::platform::linux_backend {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute without its line end; empty when it cannot be read.
std::string readAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool isLineSupply(const std::string& type) {
    return type == "Mains" || type.rfind("USB", 0) == 0;
}

} // namespace

LinuxPowerStatus::LinuxPowerStatus(PowerStatusSources sources) : sources_(std::move(sources)) {}

AcLineStatus LinuxPowerStatus::acLineStatus() const {
    bool lineSeen = false;
    bool lineOnline = false;
    bool discharging = false;
    bool charging = false;

    std::error_code ec;
    for (fs::directory_iterator it(sources_.powerSupplyRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path supply = it->path();
        const std::string type = readAttribute(supply / "type");
        if (isLineSupply(type)) {
            const std::string online = readAttribute(supply / "online");
            if (online.empty()) continue;
            lineSeen = true;
            lineOnline = lineOnline || online != "0";
        } else if (type == "Battery" && readAttribute(supply / "scope") != "Device") {
            const std::string status = readAttribute(supply / "status");
            if (status == "Discharging") discharging = true;
            if (status == "Charging" || status == "Full" || status == "Not charging") charging = true;
        }
    }

    if (lineSeen) return lineOnline ? AcLineStatus::Online : AcLineStatus::Offline;
    if (discharging) return AcLineStatus::Offline;
    if (charging) return AcLineStatus::Online;
    return AcLineStatus::Unknown;
}

std::vector<std::string> FindRtcWakeAlarms(const std::string& rtcRoot) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(rtcRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path alarm = it->path() / "wakealarm";
        std::error_code exists;
        if (fs::exists(alarm, exists)) found.push_back(alarm.string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool LogindAllows(const std::optional<std::string>& answer) {
    return answer && (*answer == "yes" || *answer == "challenge");
}

WakeAbility LinuxPowerStatus::wakeFromSleep() const {
    WakeAbility ability;
    ability.privilege = sources_.alarmClockUsable ? sources_.alarmClockUsable() : AlarmClockUsable();
    ability.wakeClock = !FindRtcWakeAlarms(sources_.rtcRoot).empty();
    return ability;
}

SleepStates LinuxPowerStatus::allowedSleepStates() const {
    if (sources_.askLogind)
        return {LogindAllows(sources_.askLogind("CanSuspend")),
                LogindAllows(sources_.askLogind("CanHibernate"))};
    // No bus or no logind: nothing answers, and a sleep request would fail as well.
    const SystemBus bus = OpenSystemBus(std::chrono::seconds(2));
    if (!bus) return {};
    return {LogindAllows(AskLogindManager(bus.get(), "CanSuspend")),
            LogindAllows(AskLogindManager(bus.get(), "CanHibernate"))};
}

bool LinuxPowerStatus::prefersHibernateToSleep() const {
    std::error_code ec;
    for (fs::directory_iterator it(sources_.powerSupplyRoot, ec), end; !ec && it != end; it.increment(ec))
        if (readAttribute(it->path() / "type") == "Battery" &&
            readAttribute(it->path() / "scope") != "Device")
            return false;
    return canWakeFromSleep();
}

} // namespace orvanta::platform::linux_backend
