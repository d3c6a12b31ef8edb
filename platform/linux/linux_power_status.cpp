#include "platform/linux/linux_power_status.h"

#include "platform/linux/linux_wake_timer.h"

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

bool LinuxPowerStatus::canWakeFromSleep() const {
    std::error_code ec;
    if (!fs::exists(fs::path(sources_.rtcRoot) / "rtc0", ec)) return false;
    return sources_.alarmClockUsable ? sources_.alarmClockUsable() : AlarmClockUsable();
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
