#include "platform/linux/linux_power_status.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace orvanta::platform::linux_backend {
namespace {

using Attributes = std::map<std::string, std::string>;
using Supplies = std::map<std::string, Attributes>;

// A stand-in for /sys/class/power_supply and /sys/class/rtc.
class FakeSysfs {
  public:
    explicit FakeSysfs(const Supplies& supplies = {}, bool rtc = false) {
        std::filesystem::create_directories(folder_.file("power_supply"));
        if (rtc) std::filesystem::create_directories(folder_.file("rtc/rtc0"));
        for (const auto& [name, attributes] : supplies) {
            const std::string supply = folder_.file("power_supply/" + name);
            std::filesystem::create_directories(supply);
            for (const auto& [attribute, value] : attributes)
                test::WriteFileBytes(supply + "/" + attribute, value + "\n");
        }
    }
    LinuxPowerStatus status(bool alarmAllowed = true) const {
        return LinuxPowerStatus(
            {folder_.file("power_supply"), folder_.file("rtc"), [alarmAllowed] { return alarmAllowed; }});
    }

  private:
    test::TempFolder folder_;
};

const Attributes kMainsOn = {{"type", "Mains"}, {"online", "1"}};
const Attributes kMainsOff = {{"type", "Mains"}, {"online", "0"}};
Attributes battery(const std::string& status) {
    return {{"type", "Battery"}, {"status", status}};
}

TEST(LinuxPowerStatus, LineStatusFromThePowerSupplies) {
    struct Case {
        const char* what;
        Supplies supplies;
        AcLineStatus expected;
    };
    const std::vector<Case> cases = {
        {"mains on", {{"AC", kMainsOn}, {"BAT0", battery("Discharging")}}, AcLineStatus::Online},
        {"mains off", {{"AC", kMainsOff}, {"BAT0", battery("Charging")}}, AcLineStatus::Offline},
        {"USB-C charger",
         {{"AC", kMainsOff}, {"ucsi-source-psy-1", {{"type", "USB"}, {"online", "1"}}}},
         AcLineStatus::Online},
        {"mains state unreadable",
         {{"AC", {{"type", "Mains"}}}, {"BAT0", battery("Discharging")}},
         AcLineStatus::Offline},
        {"battery only, discharging", {{"BAT0", battery("Discharging")}}, AcLineStatus::Offline},
        {"battery only, charging", {{"BAT0", battery("Charging")}}, AcLineStatus::Online},
        {"battery only, full", {{"BAT0", battery("Full")}}, AcLineStatus::Online},
        {"battery only, held at a charge limit", {{"BAT0", battery("Not charging")}}, AcLineStatus::Online},
        {"battery only, state unknown", {{"BAT0", battery("Unknown")}}, AcLineStatus::Unknown},
        {"a wireless mouse's battery only",
         {{"hid-mouse-battery", {{"type", "Battery"}, {"scope", "Device"}, {"status", "Discharging"}}}},
         AcLineStatus::Unknown},
        {"no supply at all", {}, AcLineStatus::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FakeSysfs(c.supplies).status().acLineStatus(), c.expected) << c.what;

    const LinuxPowerStatus missingFolder(
        {"/nonexistent/power_supply", "/nonexistent/rtc", [] { return true; }});
    EXPECT_EQ(missingFolder.acLineStatus(), AcLineStatus::Unknown);
}

TEST(LinuxPowerStatus, WakingNeedsBothTheAlarmClockAndAnRtc) {
    EXPECT_TRUE(FakeSysfs({}, true).status(true).canWakeFromSleep());
    EXPECT_FALSE(FakeSysfs({}, true).status(false).canWakeFromSleep());
    EXPECT_FALSE(FakeSysfs({}, false).status(true).canWakeFromSleep());
}

TEST(LinuxPowerStatus, HibernateIsPreferredOnlyByAComputerThatWakesAndHasNoSystemBattery) {
    EXPECT_TRUE(FakeSysfs({{"AC", kMainsOn}}, true).status(true).prefersHibernateToSleep());
    EXPECT_FALSE(FakeSysfs({{"AC", kMainsOn}, {"BAT0", battery("Full")}}, true)
                     .status(true)
                     .prefersHibernateToSleep());
    Attributes mouse = battery("Discharging");
    mouse["scope"] = "Device";
    EXPECT_TRUE(
        FakeSysfs({{"AC", kMainsOn}, {"hid-mouse", mouse}}, true).status(true).prefersHibernateToSleep());
    EXPECT_FALSE(FakeSysfs({{"AC", kMainsOn}}, false).status(true).prefersHibernateToSleep());
    EXPECT_FALSE(FakeSysfs({{"AC", kMainsOn}}, true).status(false).prefersHibernateToSleep());
}

} // namespace
} // namespace orvanta::platform::linux_backend
